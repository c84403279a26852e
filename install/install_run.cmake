# The install run, the shortcuts and the logged-on user query.
stampwell_portable_library(stampwell_install_portable
  command_output.cpp
  files_in_use.cpp
  install_layout.cpp
  install_paths.cpp
  install_progress.cpp
  install_run.cpp
  journal_records.cpp
  logged_install_system.cpp
  space_needed.cpp
)
target_link_libraries(stampwell_install_portable PUBLIC stampwell_setup_portable)

stampwell_win32_library(stampwell_install
  command_capture.cpp
  desktop_link.cpp
  directories.cpp
  drive_space.cpp
  exact_ansi_path.cpp
  file_tree.cpp
  in_use_finder.cpp
  install_system.cpp
  leftover_removal.cpp
  logged_on_user.cpp
  product_in_use.cpp
  registry_value.cpp
  run_journal.cpp
  run_log.cpp
  shell_link.cpp
  start_menu_step.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_install PUBLIC stampwell_install_portable stampwell_uninstall stampwell_payload
                        stampwell_setup)
  stampwell_product_link(stampwell_install)
endif()
