# Shell drag and drop: the data blocks and the hover decisions (portable), and the COM objects
# of a drag with the effects of dropped shell items.
stampwell_portable_library(stampwell_dragdrop_portable
  ${CMAKE_CURRENT_LIST_DIR}/drag_blocks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drag_hover.cpp
)
target_link_libraries(stampwell_dragdrop_portable PUBLIC stampwell_shelltools_portable)

stampwell_win32_library(stampwell_dragdrop
  ${CMAKE_CURRENT_LIST_DIR}/data_effects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drop_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drop_target.cpp
  ${CMAKE_CURRENT_LIST_DIR}/format_etc_list.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_dragdrop PUBLIC stampwell_dragdrop_portable stampwell_shelltools stampwell_framework)
  stampwell_product_link(stampwell_dragdrop)
endif()
