# Checks that every Windows program and library of a build tree starts on a Windows machine
# that has nothing but Windows itself: each imports only libraries of the system folder.
#   cmake -DOBJDUMP=... -DPROGRAMS=list-file -P check_tree_imports.cmake
# PROGRAMS names a file with one program path a line. A MinGW run-time library (libgcc_s_*,
# libstdc++-6, libwinpthread-1) in an import table means that program does not start beside
# Windows' own files, and under Wine only where a copy happens to lie on its search path.
#
# The libraries below ship in the system folder of every Windows version the programs support
# (7 and later). A new import of another system library belongs on this list once its
# documentation names it a part of Windows on all of them.
set(windows_libraries
  advapi32 bcrypt comctl32 comdlg32 crypt32 dbghelp dwmapi gdi32 imm32 iphlpapi kernel32
  mpr msimg32 msvcrt ntdll ole32 oleacc oleaut32 powrprof propsys psapi rpcrt4 rstrtmgr
  secur32 setupapi shell32 shfolder shlwapi urlmon user32 userenv uxtheme version
  winhttp wininet winmm wintrust ws2_32)

file(STRINGS "${PROGRAMS}" programs)
if(NOT programs)
  message(FATAL_ERROR "no programs listed in ${PROGRAMS}")
endif()
set(faults "")
set(checked 0)
foreach(program ${programs})
  if(NOT EXISTS "${program}")
    list(APPEND faults "${program}: not built")
    continue()
  endif()
  execute_process(COMMAND ${OBJDUMP} -p "${program}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(APPEND faults "${program}: ${OBJDUMP} cannot read it")
    continue()
  endif()
  # Both the ordinary and the delay-load import tables name their libraries this way.
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  foreach(line ${names})
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" lower)
    string(REGEX REPLACE "\\.dll$" "" stem "${lower}")
    list(FIND windows_libraries "${stem}" index)
    if(index EQUAL -1)
      list(APPEND faults "${program}: imports ${dll}, which Windows does not ship")
    endif()
  endforeach()
  math(EXPR checked "${checked} + 1")
endforeach()
if(faults)
  string(REPLACE ";" "\n  " report "${faults}")
  message(FATAL_ERROR "programs that would not start on Windows alone:\n  ${report}\n"
    "Link the run-time statically (the tree's link options do) or load the library at run time by full path.")
endif()
message(STATUS "${checked} programs import only libraries of the system folder")
