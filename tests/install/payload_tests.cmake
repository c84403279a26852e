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
stampwell_host_test(payload_checksum_test
  SOURCES payload_checksum_test.cpp
  LIBS stampwell_payload_portable)
stampwell_fuzz_target(payload_checksum_fuzz
  SOURCES payload_checksum_fuzz.cpp
  LIBS stampwell_payload_portable)
stampwell_host_test(payload_compiler_test
  SOURCES payload_compiler_test.cpp
  LIBS stampwell_payload_compiler)
stampwell_host_test(demo_uninstall_plan_test
  SOURCES uninstall_plan_test.cpp
  LIBS stampwell_demo_uninstall_plan)

if(STAMPWELL_WIN32)
  # A small payload of this test's own: a few bytes, an empty file and a larger one.
  set(store_payload ${CMAKE_CURRENT_BINARY_DIR}/store-payload)
  file(MAKE_DIRECTORY ${store_payload}/Data ${store_payload}/Example/Animated)
  file(WRITE ${store_payload}/manifest.txt "Help.CHM\nData\\empty.dll\nExample\\Animated\\01.gif\n")
  file(WRITE ${store_payload}/Help.CHM "help\r\nbytes")
  file(WRITE ${store_payload}/Data/empty.dll "")
  string(REPEAT "GIF89a-0123456789abcdef-" 8000 big)
  file(WRITE ${store_payload}/Example/Animated/01.gif "${big}")
  add_custom_command(OUTPUT ${store_payload}.o
    COMMAND ${STAMPWELL_PAYLOAD_COMPILER} ${store_payload}/manifest.txt ${store_payload} ${store_payload}.res
    COMMAND ${CMAKE_RC_COMPILER} -i ${store_payload}.res -O coff -o ${store_payload}.o
    DEPENDS ${STAMPWELL_PAYLOAD_COMPILER} ${store_payload}/manifest.txt)
endif()
stampwell_wine_test(payload_store_test
  SOURCES payload_store_test.cpp win32_test_support.cpp
  LIBS stampwell_payload
  RESOURCES ${CMAKE_CURRENT_BINARY_DIR}/store-payload.o)
if(STAMPWELL_WIN32)
  add_dependencies(payload_store_test StampwellSetup)
  set_property(TEST payload_store_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_PAYLOAD_FOLDER=${STAMPWELL_PAYLOAD_FOLDER}")
endif()
# The check of the built setup program's payload, and of a copy with bytes changed in a resource.
stampwell_wine_test(payload_check_test
  SOURCES payload_check_test.cpp install_test_support.cpp win32_test_support.cpp
  LIBS stampwell_install
  RESOURCES ${CMAKE_CURRENT_BINARY_DIR}/store-payload.o)
if(STAMPWELL_WIN32)
  add_dependencies(payload_check_test StampwellSetup)
  set_tests_properties(payload_check_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
endif()
stampwell_wine_test(uninstall_record_test
  SOURCES uninstall_record_test.cpp win32_test_support.cpp
  LIBS stampwell_uninstall)
stampwell_wine_test(uninstaller_round_trip_test
  SOURCES uninstaller_round_trip_test.cpp win32_test_support.cpp
  LIBS stampwell_uninstall)
if(STAMPWELL_WIN32)
  add_dependencies(uninstaller_round_trip_test StampwellSetup)
  set_property(TEST uninstaller_round_trip_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_PAYLOAD_KIND=${STAMPWELL_PAYLOAD_KIND}")
endif()
stampwell_fuzz_target(uninstall_log_fuzz
  SOURCES uninstall_log_fuzz.cpp
  LIBS stampwell_demo_uninstall_plan)
