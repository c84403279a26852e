# System libraries that the setup program loads when it first calls them, not at its start.
#
# The shell and OLE Automation libraries (and the libraries they bring: the shell's light-weight
# utilities, the shell core) are not needed before the first window is painted: the wizard uses
# them for the folder browser, the shortcuts and the install run. Imported the usual way, the
# loader maps and initialises them before the program's first instruction. Their import
# libraries' delay-load twins (made here, at configure time, from the toolchain's own import
# libraries) bind each function on its first call instead; the binding then goes through the
# loader's default search directories that the program's security baseline has set by then.
#
# A target opts in with stampwell_delay_load(target); every other target (the tests) imports
# the libraries as usual. The choice is made where the link line is made, so it holds for the
# libraries' appearances that come from the project's static libraries too.
#
# The link takes each delay-load library through a linker script that also names the stubs of
# the functions that the program calls (written just before each link, from the undefined
# import pointers of the objects that are linked). The 32-bit linker drops a stub whose own
# name nothing uses; code that calls through the import pointer, as the system headers make it,
# would then find a null pointer in place of the stub's address.

include(${CMAKE_CURRENT_LIST_DIR}/imported_functions.cmake)

set(STAMPWELL_DELAY_LOADED_LIBRARIES shell32 oleaut32)
set(STAMPWELL_DELAY_LOAD_DIR ${CMAKE_BINARY_DIR}/delay-load)

function(stampwell_make_delay_import_library name)
  find_library(STAMPWELL_IMPORT_LIBRARY_${name} NAMES lib${name}.a REQUIRED)
  find_program(STAMPWELL_NM ${STAMPWELL_TOOL_PREFIX}-nm REQUIRED)
  find_program(STAMPWELL_DLLTOOL ${STAMPWELL_TOOL_PREFIX}-dlltool REQUIRED)
  set(dir ${STAMPWELL_DELAY_LOAD_DIR})
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${STAMPWELL_NM} ${STAMPWELL_IMPORT_LIBRARY_${name}}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${STAMPWELL_NM} could not read ${STAMPWELL_IMPORT_LIBRARY_${name}}")
  endif()
  # Each function has an import pointer "__imp_<name>"; 32-bit names carry the leading
  # underscore and, for __stdcall, the "@<bytes>" that the export table drops (--kill-at).
  stampwell_imported_functions("${symbols}" I ${STAMPWELL_IMPORT_POINTER_PREFIX} functions)
  list(JOIN functions "\n" lines)
  file(WRITE ${dir}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${lines}\n")
  # Made in its folder under a relative name: dlltool names the library's symbols after its
  # output path, and the build's folder must not reach the program's bytes or debug file.
  execute_process(COMMAND ${STAMPWELL_DLLTOOL} --kill-at --input-def ${name}.def --dllname ${name}.dll
                          --output-delaylib lib${name}_delay.a
                  WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${dir}/lib${name}_delay.a)
    message(FATAL_ERROR "${STAMPWELL_DLLTOOL} could not make the delay-load library of ${name}")
  endif()
endfunction()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(STAMPWELL_IMPORT_POINTER_PREFIX "__imp_")
  set(STAMPWELL_SYMBOL_PREFIX "")
else()
  set(STAMPWELL_IMPORT_POINTER_PREFIX "__imp__")
  set(STAMPWELL_SYMBOL_PREFIX "_")
endif()

# stampwell_system_library_<name>: the library as an import, or delay-loaded for a target that
# calls stampwell_delay_load.
foreach(name ${STAMPWELL_DELAY_LOADED_LIBRARIES})
  stampwell_make_delay_import_library(${name})
  add_library(stampwell_system_library_${name} INTERFACE)
  target_link_libraries(stampwell_system_library_${name} INTERFACE
    "$<IF:$<BOOL:$<TARGET_PROPERTY:STAMPWELL_DELAY_LOAD>>,$<TARGET_PROPERTY:STAMPWELL_DELAY_LOAD_DIR>/lib${name}_delay.ld,${name}>")
endforeach()

# Links target with the libraries above delay-loaded. libs: the project's libraries that it
# links, whose objects may call them.
function(stampwell_delay_load target)
  set(dir ${STAMPWELL_DELAY_LOAD_DIR}/${target})
  set_target_properties(${target} PROPERTIES STAMPWELL_DELAY_LOAD ON STAMPWELL_DELAY_LOAD_DIR ${dir})
  file(MAKE_DIRECTORY ${dir})
  set(inputs "$<TARGET_OBJECTS:${target}>")
  foreach(lib ${ARGN})
    list(APPEND inputs "$<TARGET_FILE:${lib}>")
  endforeach()
  foreach(name ${STAMPWELL_DELAY_LOADED_LIBRARIES})
    # The link needs the script to exist when the build is planned; its stubs come before each link.
    if(NOT EXISTS ${dir}/lib${name}_delay.ld)
      file(WRITE ${dir}/lib${name}_delay.ld "INPUT(\"${STAMPWELL_DELAY_LOAD_DIR}/lib${name}_delay.a\")\n")
    endif()
    add_custom_command(TARGET ${target} PRE_LINK
      COMMAND ${CMAKE_COMMAND} -DNM=${STAMPWELL_NM} -DDEF=${STAMPWELL_DELAY_LOAD_DIR}/${name}.def
              -DLIBRARY=${STAMPWELL_DELAY_LOAD_DIR}/lib${name}_delay.a -DSCRIPT=${dir}/lib${name}_delay.ld
              -DPOINTER_PREFIX=${STAMPWELL_IMPORT_POINTER_PREFIX} -DSYMBOL_PREFIX=${STAMPWELL_SYMBOL_PREFIX}
              "-DINPUTS=${inputs}" -P ${CMAKE_SOURCE_DIR}/cmake/delay_load_script.cmake
      VERBATIM)
  endforeach()
endfunction()
