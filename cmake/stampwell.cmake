# Helpers shared by every folder of the project.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(STAMPWELL_WIN32 ON)
  set(STAMPWELL_HOST OFF)
  enable_language(RC)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")
  set(STAMPWELL_WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STAMPWELL_WINE_RUN} --build-dir ${CMAKE_BINARY_DIR})
else()
  set(STAMPWELL_WIN32 OFF)
  set(STAMPWELL_HOST ON)
endif()

set(STAMPWELL_ROOT ${CMAKE_SOURCE_DIR})
set(STAMPWELL_RESOURCES ${CMAKE_SOURCE_DIR}/resources)

add_library(stampwell_options INTERFACE)
target_include_directories(stampwell_options INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_options(stampwell_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
# CI builds stop at the first warning; a developer's build only warns, so that a newer
# compiler's new warning does not stop work. Third-party code (GoogleTest) does not take
# these options and its headers are system headers, so it stays exempt.
option(STAMPWELL_WERROR "Treat compiler warnings as errors (CI builds)" OFF)
if(STAMPWELL_WERROR)
  target_compile_options(stampwell_options INTERFACE -Werror)
endif()
if(STAMPWELL_WIN32)
  # ANSI functions throughout: the system's texts are 8-bit strings in the ANSI code page.
  target_compile_definitions(stampwell_options INTERFACE
    _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800 NOMINMAX STRICT)
  # Every program and library of the tree carries its C++ run-time, libgcc and the thread
  # library inside itself, as the setup program does: Windows ships none of MinGW's DLLs, and a
  # program that needs one does not start (a test helper that fails so makes whole test runs
  # fail for reasons far from it). Set for the directory, so that a target that takes none of
  # our options is covered too; ship_tree_imports_test checks every program's import table.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(STAMPWELL_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(stampwell_options INTERFACE ${STAMPWELL_SANITIZE})
  target_link_options(stampwell_options INTERFACE ${STAMPWELL_SANITIZE})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/shipped_program.cmake)

# The libraries that Windows always loads from its own directory; only these may
# appear in an import table (the others are loaded at run time by full path). The setup
# program loads some of them on first use (delay_loaded_libraries.cmake).
if(STAMPWELL_WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/delay_loaded_libraries.cmake)
endif()
set(STAMPWELL_SYSTEM_LIBS kernel32 user32 gdi32 advapi32 stampwell_system_library_shell32 ole32
  stampwell_system_library_oleaut32 uuid shlwapi comdlg32 imm32)

# A library of portable code: no <windows.h>, built in both trees.
function(stampwell_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC stampwell_options)
endfunction()

# A library of Win32 code: built in the win32 tree only.
function(stampwell_win32_library name)
  if(STAMPWELL_WIN32)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC stampwell_options ${STAMPWELL_SYSTEM_LIBS})
  endif()
endfunction()

# What a folder adds to the setup executable.
function(stampwell_product_link)
  set_property(GLOBAL APPEND PROPERTY STAMPWELL_PRODUCT_LIBS ${ARGN})
endfunction()
function(stampwell_product_sources)
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY STAMPWELL_PRODUCT_SOURCES ${abs})
  endforeach()
endfunction()
# Resource scripts (.rc) and resource objects; a resource object can be generated.
function(stampwell_product_resources)
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY STAMPWELL_PRODUCT_RESOURCES ${abs})
  endforeach()
endfunction()

# The setup program: a 32-bit GUI executable that needs nothing beside itself.
function(stampwell_make_product)
  get_property(sources GLOBAL PROPERTY STAMPWELL_PRODUCT_SOURCES)
  get_property(resources GLOBAL PROPERTY STAMPWELL_PRODUCT_RESOURCES)
  get_property(libs GLOBAL PROPERTY STAMPWELL_PRODUCT_LIBS)
  add_executable(StampwellSetup WIN32 ${sources} ${resources})
  target_include_directories(StampwellSetup PRIVATE ${STAMPWELL_RESOURCES})
  target_link_libraries(StampwellSetup PRIVATE ${libs} stampwell_options ${STAMPWELL_SYSTEM_LIBS})
  stampwell_delay_load(StampwellSetup ${libs})
  stampwell_ship_program(StampwellSetup)
endfunction()

# A host test: portable code under the sanitizers.
function(stampwell_host_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(STAMPWELL_HOST)
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} stampwell_options gmock gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS host)
  endif()
endfunction()

# A Windows test: one executable, one CTest test, run under Wine in the shared session.
# RESOURCES are .rc scripts or resource objects linked into the test program.
function(stampwell_wine_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS;RESOURCES" ${ARGN})
  if(NOT STAMPWELL_WIN32)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES} ${T_RESOURCES})
  target_include_directories(${name} PRIVATE ${STAMPWELL_RESOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} stampwell_options gmock gtest_main ${STAMPWELL_SYSTEM_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  # One X screen serves the run: tests that show windows, move the mouse or search for a
  # window by its caption would see each other's windows, so Windows tests take turns.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine
    FIXTURES_REQUIRED wine_session RESOURCE_LOCK wine_display
    ENVIRONMENT "STAMPWELL_BUILD_DIR=${CMAKE_BINARY_DIR};STAMPWELL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# A libFuzzer target (host tree, clang only) and a CTest test that runs it for a bounded time.
function(stampwell_fuzz_target name)
  cmake_parse_arguments(T "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT STAMPWELL_HOST OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  if(NOT T_SECONDS)
    set(T_SECONDS 20)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${T_LIBS} stampwell_options)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  # The seeds kept in the repository start a bounded run from valid inputs; libFuzzer writes
  # what it finds into the first folder only, so the checkout stays as it is.
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(NOT IS_DIRECTORY ${seeds})
    message(WARNING "fuzz target ${name} has no seed corpus in ${seeds}")
    set(seeds "")
  endif()
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${T_SECONDS} -rss_limit_mb=2048 ${corpus} ${seeds})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_SECONDS}0 LABELS fuzz)
endfunction()

if(STAMPWELL_WIN32)
  # The session's desktop stays in use from start to stop, as a logon session's does.
  add_executable(desktop_keeper WIN32 ${CMAKE_SOURCE_DIR}/tools/desktop_keeper.cpp)
  add_test(NAME wine_session_start COMMAND ${STAMPWELL_WINE_RUN} --build-dir ${CMAKE_BINARY_DIR} --start
    --keep-desktop $<TARGET_FILE:desktop_keeper>)
  add_test(NAME wine_session_stop COMMAND ${STAMPWELL_WINE_RUN} --build-dir ${CMAKE_BINARY_DIR} --stop)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 180)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)
endif()

# A benchmark: an executable that prints what it measured, side by side, as ratios.
# Registered as a CTest test labelled "bench" that `make test` leaves out and `make bench`
# runs; Windows benchmarks run under Wine like the tests.
function(stampwell_benchmark name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;RESOURCES;ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 900)
  endif()
  add_executable(${name} ${T_SOURCES} ${T_RESOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} stampwell_options)
  if(STAMPWELL_WIN32)
    target_include_directories(${name} PRIVATE ${STAMPWELL_RESOURCES})
    target_link_libraries(${name} PRIVATE ${STAMPWELL_SYSTEM_LIBS})
    add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session
      ENVIRONMENT "STAMPWELL_BUILD_DIR=${CMAKE_BINARY_DIR};STAMPWELL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  else()
    add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS bench TIMEOUT ${T_TIMEOUT})
endfunction()

# Every program and library that the Windows tree builds, in the order of their folders.
function(stampwell_collect_windows_programs dir out)
  set(found "")
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    get_target_property(excluded ${t} EXCLUDE_FROM_ALL)
    get_target_property(unchecked ${t} STAMPWELL_IMPORTS_UNCHECKED)
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY)$" AND NOT excluded AND NOT unchecked)
      list(APPEND found "$<TARGET_FILE:${t}>")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    stampwell_collect_windows_programs(${sub} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# A test that fails as soon as any program of the tree needs a library that Windows does not
# ship. Called last, once every folder has declared its targets.
function(stampwell_check_tree_imports)
  if(NOT STAMPWELL_WIN32)
    return()
  endif()
  find_program(STAMPWELL_SHIP_OBJDUMP ${STAMPWELL_TOOL_PREFIX}-objdump REQUIRED)
  stampwell_collect_windows_programs(${CMAKE_SOURCE_DIR} programs)
  list(JOIN programs "\n" content)
  set(list_file ${CMAKE_BINARY_DIR}/windows_programs.txt)
  file(GENERATE OUTPUT ${list_file} CONTENT "${content}\n")
  add_test(NAME ship_tree_imports_test
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${STAMPWELL_SHIP_OBJDUMP} -DPROGRAMS=${list_file}
            -P ${CMAKE_SOURCE_DIR}/tests/ship/check_tree_imports.cmake)
endfunction()
