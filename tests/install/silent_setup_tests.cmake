# The shipped setup program run unattended, watched and checked from a Windows test program.
stampwell_wine_test(silent_setup_test
  SOURCES silent_setup_test.cpp install_test_support.cpp win32_test_support.cpp
  LIBS stampwell_install)
if(STAMPWELL_WIN32)
  add_dependencies(silent_setup_test StampwellSetup)
  set_tests_properties(silent_setup_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
  set_property(TEST silent_setup_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_PAYLOAD_FOLDER=${STAMPWELL_PAYLOAD_FOLDER}")
endif()

# An unattended run in the test's own process, with the wizard window for its progress page.
stampwell_wine_test(unattended_cancel_test
  SOURCES unattended_cancel_test.cpp install_test_support.cpp win32_test_support.cpp
  LIBS stampwell_install_wizard
  RESOURCES ${STAMPWELL_WIZARD_RC} ${STAMPWELL_FOLDER_BROWSE_RC} ${STAMPWELL_RESOURCES}/shellbrowse_strings.rc
    ${STAMPWELL_RESOURCES}/app.rc ${CMAKE_BINARY_DIR}/install/payload.o)
if(STAMPWELL_WIN32)
  add_dependencies(unattended_cancel_test stampwell_payload_object)
  set_tests_properties(unattended_cancel_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
endif()
