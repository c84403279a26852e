# Tests of the install run, the shortcuts and the logged-on user query.
stampwell_host_test(install_run_portable_test
  SOURCES install_arithmetic_test.cpp install_run_course_test.cpp journal_records_test.cpp
  LIBS stampwell_install_portable)
stampwell_fuzz_target(journal_fuzz
  SOURCES journal_fuzz.cpp
  LIBS stampwell_install_portable)
stampwell_fuzz_target(command_output_fuzz
  SOURCES command_output_fuzz.cpp
  LIBS stampwell_install_portable)

# The Windows tests share the prefix's desktop, Start Menu, documents folder and uninstall
# entry with each other and with the other tests that install: they take the same lock.
stampwell_wine_test(shortcut_and_user_test
  SOURCES shortcut_and_user_test.cpp install_test_support.cpp win32_test_support.cpp
  LIBS stampwell_install)
stampwell_wine_test(install_run_test
  SOURCES install_run_test.cpp install_run_failures_test.cpp install_run_in_use_test.cpp install_run_journal_test.cpp
          install_run_undo_test.cpp install_run_killed_test.cpp
          install_test_support.cpp
          win32_test_support.cpp
  LIBS stampwell_install
  RESOURCES ${CMAKE_BINARY_DIR}/install/payload.o)
if(STAMPWELL_WIN32)
  set_source_files_properties(${CMAKE_BINARY_DIR}/install/payload.o PROPERTIES GENERATED TRUE EXTERNAL_OBJECT TRUE)
  add_dependencies(install_run_test stampwell_payload_object)
  set_tests_properties(shortcut_and_user_test install_run_test PROPERTIES RESOURCE_LOCK "stampwell_installation;wine_display")
  set_property(TEST install_run_test APPEND PROPERTY ENVIRONMENT "STAMPWELL_PAYLOAD_FOLDER=${STAMPWELL_PAYLOAD_FOLDER}")
endif()

# The full drive and the read-only drive: the install run's cases of install_run_test on drives
# that a script mounts for them and removes after (skipped where nothing can be mounted).
if(STAMPWELL_WIN32)
  add_test(NAME install_small_drives_test
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/small_drives.sh --build-dir ${CMAKE_BINARY_DIR} $<TARGET_FILE:install_run_test>)
  set_tests_properties(install_small_drives_test PROPERTIES LABELS wine TIMEOUT 300 SKIP_RETURN_CODE 77
    FIXTURES_REQUIRED wine_session RESOURCE_LOCK "stampwell_installation;wine_display"
    ENVIRONMENT "STAMPWELL_BUILD_DIR=${CMAKE_BINARY_DIR};STAMPWELL_PAYLOAD_FOLDER=${STAMPWELL_PAYLOAD_FOLDER}")
endif()
