# The folder browse dialog component and its window, with the window's portable arithmetic
# (option names, layout, the geometry record).
stampwell_portable_library(stampwell_folderbrowse_portable
  ${CMAKE_CURRENT_LIST_DIR}/dialog_form_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_options.cpp
)

stampwell_win32_library(stampwell_folderbrowse
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browse_window.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_folderbrowse PUBLIC stampwell_folderbrowse_portable stampwell_shelltree
    stampwell_frame stampwell_framework)
  target_include_directories(stampwell_folderbrowse PRIVATE ${STAMPWELL_RESOURCES})
  # The window's form resource and the 256-colour pictures of its small buttons.
  set(folder_browse_rc ${CMAKE_CURRENT_BINARY_DIR}/folder_browse_resources.rc)
  set(pictures ${STAMPWELL_RESOURCES}/pictures)
  set(form ${STAMPWELL_RESOURCES}/forms/PTFrmFolderBrowseDlg.form)
  # Written when the tree is configured, so that the file is an ordinary source: a file that
  # only the build makes would wait, in every program that carries it, for the order of all
  # those programs (the benchmark's full-size payload among them).
  file(CONFIGURE OUTPUT ${folder_browse_rc} CONTENT
"// Generated: the folder browse window's form resource and pictures.
PTFRMFOLDERBROWSEDLG RCDATA \"${form}\"
PTSCP_NEWFOLDER16_8BPP BITMAP \"${pictures}/ptscp_newfolder16_8bpp.bmp\"
PTSCP_DELETE16_8BPP BITMAP \"${pictures}/ptscp_delete16_8bpp.bmp\"
")
  set(deps ${form} ${pictures}/ptscp_newfolder16_8bpp.bmp ${pictures}/ptscp_delete16_8bpp.bmp)
  set_source_files_properties(${folder_browse_rc} PROPERTIES OBJECT_DEPENDS "${deps}")
  set_source_files_properties(${folder_browse_rc} DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTIES OBJECT_DEPENDS "${deps}")
  set(STAMPWELL_FOLDER_BROWSE_RC ${folder_browse_rc} CACHE INTERNAL "")
  stampwell_product_link(stampwell_folderbrowse)
  stampwell_product_resources(${folder_browse_rc})
endif()
