# The shell tree: the tree-view base with node menus and custom draw, the per-node data, the
# shell tree itself and its option names.
stampwell_portable_library(stampwell_shelltree_portable
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_options.cpp
)

stampwell_win32_library(stampwell_shelltree
  ${CMAKE_CURRENT_LIST_DIR}/custom_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/custom_tree_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_dragdrop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_fill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_refresh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_tree_watch.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_shelltree PUBLIC stampwell_shelltree_portable stampwell_locator
    stampwell_shellnotify stampwell_dragdrop stampwell_shelltools stampwell_framework)
  stampwell_product_link(stampwell_shelltree)
endif()
