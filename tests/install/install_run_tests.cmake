# Tests of the install run, the shortcuts and the logged-on user query.
stampwell_host_test(install_run_portable_test
  SOURCES install_arithmetic_test.cpp install_run_course_test.cpp
  LIBS stampwell_install_portable)
stampwell_fuzz_target(command_output_fuzz
  SOURCES command_output_fuzz.cpp
  LIBS stampwell_install_portable)
