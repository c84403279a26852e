# Tests of the folder browse dialog: the portable arithmetic under the sanitizers with the
# geometry record's fuzz target.
stampwell_host_test(folderbrowse_portable_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_browse_portable_test.cpp
  LIBS stampwell_folderbrowse_portable)
stampwell_fuzz_target(dialog_form_state_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_form_state_fuzz.cpp
  LIBS stampwell_folderbrowse_portable)
