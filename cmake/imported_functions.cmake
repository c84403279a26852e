# The names of the functions behind the import pointers ("<prefix><name>") that an nm listing
# shows with the given symbol type: "I" where an import library defines them, "U" where an
# object calls through them. Sorted, each once.
function(stampwell_imported_functions nm_listing type prefix out_var)
  string(REGEX MATCHALL " ${type} ${prefix}[^\r\n ]+" pointers "${nm_listing}")
  list(REMOVE_DUPLICATES pointers)
  list(SORT pointers)
  list(TRANSFORM pointers REPLACE "^ ${type} ${prefix}" "")
  set(${out_var} ${pointers} PARENT_SCOPE)
endfunction()
