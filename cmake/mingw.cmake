# Toolchain of the Windows trees: MinGW-w64 with its posix thread model, for the architecture
# that STAMPWELL_ARCH names: i686 (build/win32, the shipped program) or x86_64 (build/win64, the
# same program and tests for machines that cannot run 32-bit code and so cannot run the 32-bit
# tree under Wine).
if(NOT STAMPWELL_ARCH)
  set(STAMPWELL_ARCH i686)
endif()
if(NOT STAMPWELL_ARCH MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "STAMPWELL_ARCH is ${STAMPWELL_ARCH}; the Windows trees are built for i686 or x86_64")
endif()
# The compiler checks configure projects of their own, which see only the variables listed here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STAMPWELL_ARCH)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${STAMPWELL_ARCH})
set(CMAKE_C_COMPILER ${STAMPWELL_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${STAMPWELL_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${STAMPWELL_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${STAMPWELL_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
