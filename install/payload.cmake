# The payload (manifest rules, resource store) and the uninstall record (log, registry entry).
stampwell_portable_library(stampwell_payload_portable
  install_log.cpp
  manifest_rules.cpp
  payload_naming.cpp
  uninstall_entry_values.cpp
)

stampwell_win32_library(stampwell_payload
  payload_store.cpp
  system_message.cpp
)
stampwell_win32_library(stampwell_uninstall
  install_log_file.cpp
  uninstall_entry.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_payload PUBLIC stampwell_payload_portable stampwell_framework)
  target_link_libraries(stampwell_uninstall PUBLIC stampwell_payload stampwell_app)
  stampwell_product_link(stampwell_payload stampwell_uninstall)
endif()
