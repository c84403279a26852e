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
# A target opts in with the target property STAMPWELL_DELAY_LOAD; every other target (the tests)
# imports the libraries as usual. The choice is made where the link line is made, so it holds
# for the libraries' appearances that come from the project's static libraries too.

set(STAMPWELL_DELAY_LOADED_LIBRARIES shell32 oleaut32)

function(stampwell_make_delay_import_library name out_var)
  find_library(STAMPWELL_IMPORT_LIBRARY_${name} NAMES lib${name}.a REQUIRED)
  find_program(STAMPWELL_NM ${STAMPWELL_TOOL_PREFIX}-nm REQUIRED)
  find_program(STAMPWELL_DLLTOOL ${STAMPWELL_TOOL_PREFIX}-dlltool REQUIRED)
  set(dir ${CMAKE_BINARY_DIR}/delay-load)
  set(def ${dir}/${name}.def)
  set(library ${dir}/lib${name}_delay.a)
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${STAMPWELL_NM} ${STAMPWELL_IMPORT_LIBRARY_${name}}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${STAMPWELL_NM} could not read ${STAMPWELL_IMPORT_LIBRARY_${name}}")
  endif()
  # Each function has an import pointer "__imp_<name>"; 32-bit names carry the leading
  # underscore and, for __stdcall, the "@<bytes>" that the export table drops (--kill-at).
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(prefix "__imp_")
  else()
    set(prefix "__imp__")
  endif()
  string(REGEX MATCHALL " I ${prefix}[^\r\n ]+" pointers "${symbols}")
  list(REMOVE_DUPLICATES pointers)
  list(SORT pointers)
  set(lines "LIBRARY ${name}.dll\nEXPORTS\n")
  foreach(pointer ${pointers})
    string(REPLACE " I ${prefix}" "" function "${pointer}")
    string(APPEND lines "${function}\n")
  endforeach()
  file(WRITE ${def} "${lines}")
  execute_process(COMMAND ${STAMPWELL_DLLTOOL} --kill-at --input-def ${def} --dllname ${name}.dll
                          --output-delaylib ${library}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${library})
    message(FATAL_ERROR "${STAMPWELL_DLLTOOL} could not make the delay-load library of ${name}")
  endif()
  set(${out_var} ${library} PARENT_SCOPE)
endfunction()

# stampwell_system_library_<name>: the library as an import, or delay-loaded for a target that
# sets STAMPWELL_DELAY_LOAD.
foreach(name ${STAMPWELL_DELAY_LOADED_LIBRARIES})
  stampwell_make_delay_import_library(${name} delay_library)
  add_library(stampwell_system_library_${name} INTERFACE)
  target_link_libraries(stampwell_system_library_${name} INTERFACE
    "$<IF:$<BOOL:$<TARGET_PROPERTY:STAMPWELL_DELAY_LOAD>>,${delay_library},${name}>")
endforeach()
