# Tests of the shell toolbox: the portable arithmetic under the sanitizers (and once more through
# the cross compiler), the shell side under Wine on real folders of the test prefix.
set(toolbox_portable_tests
  ${CMAKE_CURRENT_LIST_DIR}/block_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pidl_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shortcut_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trailing_char_test.cpp
)
stampwell_host_test(shelltools_portable_test
  SOURCES ${toolbox_portable_tests}
  LIBS stampwell_shelltools_portable)
stampwell_wine_test(shelltools_portable_win32_test
  SOURCES ${toolbox_portable_tests}
  LIBS stampwell_shelltools_portable)

stampwell_wine_test(shelltools_test
  TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_id_list_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_operations_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/send_to_and_shortcut_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
  LIBS stampwell_shelltools
  RESOURCES ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)
