# Tests of the shell tree: the option names on the host (and once more through the cross
# compiler), the tree itself under Wine on real folders of the test prefix.
stampwell_host_test(shelltree_portable_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_tree_options_test.cpp
  LIBS stampwell_shelltree_portable)

stampwell_wine_test(shelltree_test
  TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_tree_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_tree_form_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_tree_menu_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_tree_options_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
  LIBS stampwell_shelltree
  RESOURCES ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)
