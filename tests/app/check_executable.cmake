# Checks the PE header and import table of the setup program:
#   cmake -DOBJDUMP=... -DFORMAT=pei-i386 -DEXE=... -DDELAY_LOADED=a,b -P check_executable.cmake
# A GUI program of the tree's architecture (the shipped one is 32-bit) whose imports are only libraries that Windows loads from its own
# folder (msvcrt, the C run-time, is one of the system's known libraries), and none of those that
# it loads on first use (DELAY_LOADED): an import would load them before the first window again.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
if(NOT dump MATCHES "file format ${FORMAT}")
  message(FATAL_ERROR "not a ${FORMAT} Windows program")
endif()
if(NOT dump MATCHES "Subsystem[ \t]+00000002")
  message(FATAL_ERROR "not a GUI program")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
  shlwapi.dll comdlg32.dll imm32.dll msvcrt.dll)
foreach(line ${names})
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  string(STRIP "${dll}" dll)
  string(REPLACE "," ";" delay_loaded "${DELAY_LOADED}")
  foreach(late ${delay_loaded})
    if(dll STREQUAL "${late}.dll")
      message(FATAL_ERROR "import of ${dll}, which the program should load on first use")
    endif()
  endforeach()
  list(FIND allowed ${dll} index)
  if(index EQUAL -1)
    message(FATAL_ERROR "import of ${dll}: only system libraries that load from the system folder may be imported")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
