# The shipped program carries no debug information, but a debugger finds it in the .debug file
# beside it (through the program's .gnu_debuglink) and maps code to the sources, named without
# the building machine's folders ("./wizard/form1.cpp"; "../../wizard/form1.cpp" when a compiler
# cache handed the compiler relative paths):
#   cmake -DGDB=... -DOBJDUMP=... -DEXE=... -DSOURCE_DIR=... -P debug_file.cmake
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
if(NOT answer MATCHES "Line [0-9]+ of \"([^\"]*)wizard/form1\\.cpp\"")
  message(FATAL_ERROR "gdb does not find the source line of the finish handler through the debug file: ${answer}${errors}")
endif()
string(FIND "${CMAKE_MATCH_1}" "${SOURCE_DIR}" leaked)
if(CMAKE_MATCH_1 MATCHES "^/" OR NOT leaked EQUAL -1)
  message(FATAL_ERROR "the debug file names the building machine's folder: ${CMAKE_MATCH_1}")
endif()
