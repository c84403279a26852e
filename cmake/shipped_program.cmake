# What turns the linked setup program into the file a publisher ships: its debug information
# moves to a file beside it, and it is signed when a certificate is configured. The build is
# reproducible: two builds of the same sources give the same bytes wherever they are made.

# A date that the build writes (the PE header's time stamp) comes from SOURCE_DATE_EPOCH when
# the configuring shell sets it, so that a release can carry its commit's date; otherwise it is
# zero, never the time of the build.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(STAMPWELL_SOURCE_DATE_EPOCH_DEFAULT $ENV{SOURCE_DATE_EPOCH})
else()
  set(STAMPWELL_SOURCE_DATE_EPOCH_DEFAULT 0)
endif()
set(STAMPWELL_SOURCE_DATE_EPOCH ${STAMPWELL_SOURCE_DATE_EPOCH_DEFAULT} CACHE STRING
  "Seconds since 1970 written as the setup program's time stamp (default: SOURCE_DATE_EPOCH, else 0)")

# Signing: off unless a certificate is given, as a PKCS#12 file or as a PEM certificate and key.
# The password is never stored in the cache: it comes from STAMPWELL_SIGN_PASSWORD in the
# environment of the build, or from the file STAMPWELL_SIGN_PASSWORD_FILE names.
foreach(setting PKCS12 CERT KEY PASSWORD_FILE TIMESTAMP_URL)
  if(DEFINED ENV{STAMPWELL_SIGN_${setting}})
    set(default $ENV{STAMPWELL_SIGN_${setting}})
  else()
    set(default "")
  endif()
  set(STAMPWELL_SIGN_${setting} "${default}" CACHE STRING "Signing of the setup program: ${setting} (see README)")
endforeach()
if(STAMPWELL_SIGN_PKCS12 OR STAMPWELL_SIGN_CERT OR STAMPWELL_SIGN_KEY)
  set(STAMPWELL_SIGNING ON)
else()
  set(STAMPWELL_SIGNING OFF)
endif()

if(STAMPWELL_WIN32)
  # Paths of the machine that built the program never reach its bytes or its debug file: the
  # sources become ".", the build folder "build" (the more specific mapping is given last, and
  # the compiler applies the last one that matches).
  target_compile_options(stampwell_options INTERFACE
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
  # The linker's time stamp would differ on every build; the shipped program gets its own
  # (above) when its debug information is split off.
  target_link_options(stampwell_options INTERFACE -Wl,--no-insert-timestamp)

  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(STAMPWELL_TOOL_PREFIX x86_64-w64-mingw32)
  else()
    set(STAMPWELL_TOOL_PREFIX i686-w64-mingw32)
  endif()
  find_program(STAMPWELL_OBJCOPY ${STAMPWELL_TOOL_PREFIX}-objcopy REQUIRED)
  if(STAMPWELL_SIGNING)
    find_program(STAMPWELL_OSSLSIGNCODE osslsigncode REQUIRED)
  endif()
endif()

# Splits the debug information of target into <name>.debug beside it and leaves the program
# without symbols, pointing at that file (.gnu_debuglink, which gdb follows); then signs it
# when signing is configured. The steps run after every link, on the fresh output.
# Sections start on page boundaries in the file as in memory, so that a loader can map the
# file's pages as they are: the payload and the pictures (most of the file) are then read
# only when they are used. With the linker's default 512-byte alignment a loader that maps
# pages cannot (Wine's) reads every section into memory at start, payload included. Every
# program that carries a payload gets this layout, so that a benchmark's copy of the setup
# program starts as the shipped one does.
function(stampwell_page_aligned_sections target)
  target_link_options(${target} PRIVATE -Wl,--file-alignment=0x1000)
endfunction()

function(stampwell_ship_program target)
  set(exe $<TARGET_FILE:${target}>)
  stampwell_page_aligned_sections(${target})
  set(debug $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.debug)
  # objcopy writes the PE time stamp anew, from SOURCE_DATE_EPOCH or else from the clock.
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${STAMPWELL_SOURCE_DATE_EPOCH} ${STAMPWELL_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug ${exe} ${debug}
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${debug} ${exe}
    COMMENT "Moving the debug information of ${target} to its .debug file"
    VERBATIM)
  if(STAMPWELL_SIGNING)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E env
              STAMPWELL_SIGN_PKCS12=${STAMPWELL_SIGN_PKCS12} STAMPWELL_SIGN_CERT=${STAMPWELL_SIGN_CERT}
              STAMPWELL_SIGN_KEY=${STAMPWELL_SIGN_KEY} STAMPWELL_SIGN_PASSWORD_FILE=${STAMPWELL_SIGN_PASSWORD_FILE}
              STAMPWELL_SIGN_TIMESTAMP_URL=${STAMPWELL_SIGN_TIMESTAMP_URL} OSSLSIGNCODE=${STAMPWELL_OSSLSIGNCODE}
              bash ${CMAKE_SOURCE_DIR}/tools/sign-program.sh ${exe}
      COMMENT "Signing ${target}"
      VERBATIM)
  endif()
endfunction()
