# The install run through the wizard window: its pages, its close rule during the run and its
# error report, with the product's payload and the window's resources.
stampwell_wine_test(wizard_install_run_test
  GUI
  SOURCES wizard_install_run_test.cpp install_test_support.cpp win32_test_support.cpp
          ${CMAKE_SOURCE_DIR}/tests/wizard/wizard_test_support.cpp
  LIBS stampwell_install_wizard
  RESOURCES ${STAMPWELL_WIZARD_RC} ${STAMPWELL_FOLDER_BROWSE_RC} ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc
    ${STAMPWELL_RESOURCES}/app.rc ${CMAKE_BINARY_DIR}/install/payload.o)
if(STAMPWELL_WIN32)
  set_source_files_properties(${STAMPWELL_WIZARD_RC} PROPERTIES OBJECT_DEPENDS "${STAMPWELL_WIZARD_RC_DEPENDS}")
  set_source_files_properties(${CMAKE_BINARY_DIR}/install/payload.o PROPERTIES GENERATED TRUE EXTERNAL_OBJECT TRUE)
  add_dependencies(wizard_install_run_test stampwell_payload_object)
  set_tests_properties(wizard_install_run_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
endif()
