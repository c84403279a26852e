# The folder browse dialog component and its window, with the window's portable arithmetic
# (option names, layout, the geometry record).
stampwell_portable_library(stampwell_folderbrowse_portable
  ${CMAKE_CURRENT_LIST_DIR}/dialog_form_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_options.cpp
)
