# The shell locator with its stored form, and the change and device notifications that keep
# the shell tree current.
stampwell_portable_library(stampwell_locator_portable
  ${CMAKE_CURRENT_LIST_DIR}/locator_stored_form.cpp
)
target_link_libraries(stampwell_locator_portable PUBLIC stampwell_shelltools_portable)

stampwell_win32_library(stampwell_locator
  ${CMAKE_CURRENT_LIST_DIR}/form_property_filer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_locator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/locator_application_window.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_locator PUBLIC stampwell_locator_portable stampwell_shelltools stampwell_framework)
  stampwell_product_link(stampwell_locator)
endif()

stampwell_win32_library(stampwell_shellnotify
  ${CMAKE_CURRENT_LIST_DIR}/change_handler_thread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_change_handler.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_shellnotify PUBLIC stampwell_shelltools stampwell_framework)
  stampwell_product_link(stampwell_shellnotify)
endif()
