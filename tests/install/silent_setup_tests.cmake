# The shipped setup program run unattended, watched and checked from a Windows test program.
stampwell_wine_test(silent_setup_test
  SOURCES silent_setup_test.cpp install_test_support.cpp win32_test_support.cpp
  LIBS stampwell_install)
if(STAMPWELL_WIN32)
  add_dependencies(silent_setup_test StampwellSetup)
  set_tests_properties(silent_setup_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
  set_property(TEST silent_setup_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_PAYLOAD_FOLDER=${STAMPWELL_PAYLOAD_FOLDER}")
endif()
