# The payload (manifest rules, resource store) and the uninstall record (log, registry entry).
stampwell_portable_library(stampwell_payload_portable
  install_log.cpp
  manifest_rules.cpp
  payload_checksum.cpp
  payload_naming.cpp
  text_lines.cpp
  uninstall_entry_values.cpp
)

stampwell_win32_library(stampwell_payload
  payload_check.cpp
  payload_store.cpp
  system_message.cpp
)
stampwell_win32_library(stampwell_uninstall
  install_log_file.cpp
  uninstall_entry.cpp
)
if(STAMPWELL_WIN32)
  target_link_libraries(stampwell_payload PUBLIC stampwell_payload_portable stampwell_framework)
  target_link_libraries(stampwell_uninstall PUBLIC stampwell_payload stampwell_setup)
  stampwell_product_link(stampwell_payload stampwell_uninstall)
endif()

# The payload compiler: a host tool of the build, sharing the manifest rules above.
set(STAMPWELL_PAYLOAD_COMPILER_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/payload_compiler/main.cpp
  ${CMAKE_SOURCE_DIR}/tools/payload_compiler/payload_compiler.cpp
  ${CMAKE_SOURCE_DIR}/tools/payload_compiler/res_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/manifest_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/payload_checksum.cpp
  ${CMAKE_CURRENT_LIST_DIR}/payload_naming.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_lines.cpp)
file(GLOB STAMPWELL_PAYLOAD_COMPILER_HEADERS
  ${CMAKE_SOURCE_DIR}/tools/payload_compiler/*.h ${CMAKE_CURRENT_LIST_DIR}/manifest_rules.h
  ${CMAKE_CURRENT_LIST_DIR}/payload_checksum.h
  ${CMAKE_CURRENT_LIST_DIR}/payload_naming.h ${CMAKE_CURRENT_LIST_DIR}/text_lines.h
  ${CMAKE_CURRENT_LIST_DIR}/install_layout.h ${CMAKE_SOURCE_DIR}/framework/ascii.h)

if(STAMPWELL_HOST)
  stampwell_portable_library(stampwell_payload_compiler
    ${CMAKE_SOURCE_DIR}/tools/payload_compiler/payload_compiler.cpp
    ${CMAKE_SOURCE_DIR}/tools/payload_compiler/res_writer.cpp)
  target_link_libraries(stampwell_payload_compiler PUBLIC stampwell_payload_portable)
  add_executable(payload_compiler ${CMAKE_SOURCE_DIR}/tools/payload_compiler/main.cpp)
  target_link_libraries(payload_compiler PRIVATE stampwell_payload_compiler)
endif()

if(STAMPWELL_WIN32)
  set(STAMPWELL_PAYLOAD_DIR "" CACHE PATH "A real product folder to embed instead of the demo payload")
  option(STAMPWELL_FULL_PAYLOAD "Embed the full-size synthetic payload (about 28 MB) for benchmarks" OFF)
  set(STAMPWELL_PAYLOAD_MANIFEST ${STAMPWELL_RESOURCES}/payload/manifest.txt CACHE INTERNAL "")

  # The win32 tree's compiler makes Windows programs; the tool runs here, so it is built with
  # the machine's own compiler.
  find_program(STAMPWELL_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(STAMPWELL_PAYLOAD_COMPILER ${CMAKE_BINARY_DIR}/tools/payload_compiler CACHE INTERNAL "")
  add_custom_command(OUTPUT ${STAMPWELL_PAYLOAD_COMPILER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${STAMPWELL_HOST_CXX} -O2 -std=c++20 -Wall -I${CMAKE_SOURCE_DIR}
            ${STAMPWELL_PAYLOAD_COMPILER_SOURCES} -o ${STAMPWELL_PAYLOAD_COMPILER}
    DEPENDS ${STAMPWELL_PAYLOAD_COMPILER_SOURCES} ${STAMPWELL_PAYLOAD_COMPILER_HEADERS}
    COMMENT "Building the payload compiler for the build machine")
  add_custom_target(stampwell_payload_compiler DEPENDS ${STAMPWELL_PAYLOAD_COMPILER})

  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(make_payload ${CMAKE_SOURCE_DIR}/tools/make_payload.py)
  if(STAMPWELL_PAYLOAD_DIR)
    set(payload_kind folder)
    # A real product folder: rebuild when any file that the manifest lists changes.
    set(payload_dir ${STAMPWELL_PAYLOAD_DIR})
    file(STRINGS ${STAMPWELL_PAYLOAD_MANIFEST} entries)
    set(payload_inputs)
    foreach(entry ${entries})
      string(REPLACE "\\" "/" entry "${entry}")
      if(EXISTS ${payload_dir}/${entry})
        list(APPEND payload_inputs ${payload_dir}/${entry})
      endif()
    endforeach()
  elseif(STAMPWELL_FULL_PAYLOAD)
    set(payload_kind full)
    set(payload_dir ${CMAKE_BINARY_DIR}/payload-full)
    set(payload_inputs ${payload_dir}.stamp)
    add_custom_command(OUTPUT ${payload_dir}.stamp
      COMMAND ${Python3_EXECUTABLE} ${make_payload} full --manifest ${STAMPWELL_PAYLOAD_MANIFEST}
              --out ${payload_dir} --stamp ${payload_dir}.stamp
      DEPENDS ${make_payload} ${STAMPWELL_PAYLOAD_MANIFEST}
      COMMENT "Generating the full-size synthetic payload")
  else()
    set(payload_kind demo)
    set(payload_dir ${CMAKE_BINARY_DIR}/payload-demo)
    set(payload_inputs ${payload_dir}.stamp)
    add_custom_command(OUTPUT ${payload_dir}.stamp
      COMMAND ${Python3_EXECUTABLE} ${make_payload} demo --manifest ${STAMPWELL_PAYLOAD_MANIFEST}
              --out ${payload_dir} --stamp ${payload_dir}.stamp
              --program $<TARGET_FILE:demo_stampwell> --uninstaller $<TARGET_FILE:demo_uninstaller>
              --upgrade $<TARGET_FILE:demo_upgrade> --library $<TARGET_FILE:demo_library>
              --licence ${STAMPWELL_RESOURCES}/payload/licence.txt
      DEPENDS ${make_payload} ${STAMPWELL_PAYLOAD_MANIFEST} ${STAMPWELL_RESOURCES}/payload/licence.txt
              demo_stampwell demo_uninstaller demo_upgrade demo_library
      COMMENT "Generating the demo payload")
  endif()
  set(STAMPWELL_PAYLOAD_FOLDER ${payload_dir} CACHE INTERNAL "The folder whose files the setup program carries")
  set(STAMPWELL_PAYLOAD_KIND ${payload_kind} CACHE INTERNAL "demo, full or folder")

  set(payload_res ${CMAKE_CURRENT_BINARY_DIR}/payload.res)
  set(payload_obj ${CMAKE_CURRENT_BINARY_DIR}/payload.o)
  add_custom_command(OUTPUT ${payload_res}
    COMMAND ${STAMPWELL_PAYLOAD_COMPILER} ${STAMPWELL_PAYLOAD_MANIFEST} ${payload_dir} ${payload_res}
    DEPENDS ${STAMPWELL_PAYLOAD_COMPILER} ${STAMPWELL_PAYLOAD_MANIFEST} ${payload_inputs}
    COMMENT "Compiling the payload resources")
  add_custom_command(OUTPUT ${payload_obj}
    COMMAND ${CMAKE_RC_COMPILER} -i ${payload_res} -O coff -o ${payload_obj}
    DEPENDS ${payload_res}
    COMMENT "Converting the payload resources to an object")
  add_custom_target(stampwell_payload_object DEPENDS ${payload_obj})
  stampwell_product_resources(${payload_obj})
endif()
