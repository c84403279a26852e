# The shipped program carries no debug information, but a debugger finds it in the .debug file
# beside it (through the program's .gnu_debuglink) and maps code to the sources, named relative
# to the source folder:
#   cmake -DGDB=... -DOBJDUMP=... -DEXE=... -P debug_file.cmake
execute_process(COMMAND ${OBJDUMP} -h ${EXE} OUTPUT_VARIABLE sections RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
if(sections MATCHES "\\.debug_")
  message(FATAL_ERROR "${EXE} still carries debug sections")
endif()
if(NOT sections MATCHES "\\.gnu_debuglink")
  message(FATAL_ERROR "${EXE} does not name its debug file")
endif()
execute_process(COMMAND ${GDB} -nx -batch -ex "info line stampwell::wizard::TForm1::Button_finishClick" ${EXE}
  OUTPUT_VARIABLE answer ERROR_VARIABLE errors RESULT_VARIABLE rc)
message(STATUS "gdb: ${answer}")
if(NOT answer MATCHES "Line [0-9]+ of \"\\./wizard/form1\\.cpp\"")
  message(FATAL_ERROR "gdb does not find the source line of the finish handler through the debug file: ${answer}${errors}")
endif()
