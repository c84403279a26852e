# The shell toolbox: identifier lists, their containers, shortcut text and the shell operations
# that the tree, the locator and the browse window build on.
stampwell_portable_library(stampwell_shelltools_portable
  ${CMAKE_CURRENT_LIST_DIR}/id_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id_list_array.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pidl_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shortcut_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trailing_char.cpp
)

stampwell_win32_library(stampwell_shelltools
  ${CMAKE_CURRENT_LIST_DIR}/context_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/context_menu_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/default_key_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drag_drop_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/new_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_probes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_shortcut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_icons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_id_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_pidl_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_toolbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_helpers.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_shelltools PUBLIC stampwell_shelltools_portable stampwell_framework)
  target_include_directories(stampwell_shelltools PRIVATE ${STAMPWELL_RESOURCES})
  stampwell_product_link(stampwell_shelltools)
  stampwell_product_resources(${STAMPWELL_RESOURCES}/shellbrowse_strings.rc)
endif()
