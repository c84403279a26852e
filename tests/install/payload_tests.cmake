# Tests of the payload and the uninstall record.
stampwell_host_test(payload_rules_test
  SOURCES payload_rules_test.cpp
  LIBS stampwell_payload_portable)
if(STAMPWELL_HOST)
  set_property(TEST payload_rules_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endif()
# The same rules once more through the cross compiler's run-time library.
stampwell_wine_test(payload_rules_win32_test
  SOURCES payload_rules_test.cpp
  LIBS stampwell_payload_portable)
stampwell_host_test(payload_compiler_test
  SOURCES payload_compiler_test.cpp
  LIBS stampwell_payload_compiler)
stampwell_host_test(demo_uninstall_plan_test
  SOURCES uninstall_plan_test.cpp
  LIBS stampwell_demo_uninstall_plan)
