# Writes the linker script through which a program links a delay-load library: the library,
# and the stubs of its functions that the program's objects call through their import pointers.
#   cmake -DNM=... -DDEF=lib.def -DLIBRARY=lib_delay.a -DSCRIPT=out.ld -DPOINTER_PREFIX=__imp_
#         -DSYMBOL_PREFIX= -DINPUTS=objects;libraries -P delay_load_script.cmake
file(STRINGS ${DEF} exports)
list(REMOVE_AT exports 0 1)  # LIBRARY, EXPORTS
execute_process(COMMAND ${NM} --undefined-only ${INPUTS} OUTPUT_VARIABLE undefined RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} could not read the objects of the link")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/imported_functions.cmake)
stampwell_imported_functions("${undefined}" U ${POINTER_PREFIX} called)
set(script "INPUT(\"${LIBRARY}\")\n")
foreach(function ${called})
  list(FIND exports "${function}" index)
  if(NOT index EQUAL -1)
    string(APPEND script "EXTERN(\"${SYMBOL_PREFIX}${function}\")\n")
  endif()
endforeach()
# Unchanged text keeps the file's time, so that nothing that depends on it runs again.
if(EXISTS ${SCRIPT})
  file(READ ${SCRIPT} old)
endif()
if(NOT old STREQUAL script)
  file(WRITE ${SCRIPT} "${script}")
endif()
