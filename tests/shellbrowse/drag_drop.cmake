# Tests of shell drag and drop: the blocks and the hover decisions under the sanitizers (and once
# more through the cross compiler) with the fuzz target of the block reader; the COM objects and
# the shell's side under Wine.
set(dragdrop_portable_tests
  ${CMAKE_CURRENT_LIST_DIR}/drag_blocks_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drag_hover_test.cpp
)
stampwell_host_test(dragdrop_portable_test
  SOURCES ${dragdrop_portable_tests}
  LIBS stampwell_dragdrop_portable)
stampwell_wine_test(dragdrop_portable_win32_test
  SOURCES ${dragdrop_portable_tests}
  LIBS stampwell_dragdrop_portable)
stampwell_fuzz_target(drag_blocks_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/drag_blocks_fuzz.cpp
  LIBS stampwell_dragdrop_portable)

stampwell_wine_test(dragdrop_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/drag_objects_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/drag_shell_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
  LIBS stampwell_dragdrop
  RESOURCES ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)

stampwell_wine_test(shelltree_drag_test
  TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_tree_drag_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
  LIBS stampwell_shelltree
  RESOURCES ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)
