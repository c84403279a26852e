# Tests of the folder browse dialog: the portable arithmetic under the sanitizers with the
# geometry record's fuzz target.
stampwell_host_test(folderbrowse_portable_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_browse_portable_test.cpp
  LIBS stampwell_folderbrowse_portable)
stampwell_fuzz_target(dialog_form_state_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_form_state_fuzz.cpp
  LIBS stampwell_folderbrowse_portable)

# The window and the component under Wine, with the wizard's Browse handler; a screenshot of
# the window goes to artifacts/.
if(STAMPWELL_WIN32)
  stampwell_wine_test(folderbrowse_test GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_browse_window_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/folder_browse_dialog_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/folder_browse_events_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
            ${CMAKE_SOURCE_DIR}/tests/wizard/wizard_test_support.cpp
    LIBS stampwell_folderbrowse stampwell_wizard_browse
    RESOURCES ${STAMPWELL_FOLDER_BROWSE_RC} ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)
endif()
