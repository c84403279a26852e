# The install run, the shortcuts and the logged-on user query.
stampwell_portable_library(stampwell_install_portable
  command_output.cpp
  install_layout.cpp
  install_paths.cpp
  install_progress.cpp
  install_run.cpp
)
target_link_libraries(stampwell_install_portable PUBLIC stampwell_app_portable)
