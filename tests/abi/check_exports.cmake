# Compares the C++ symbols that a shared library exports with a list.
#   cmake -DLIBRARY=libloopweave.so -DEXPECTED=exported_symbols.txt -P check_exports.cmake
# Only the public classes' public members may be exported: everything else is
# internal and may change without notice to hosts.

execute_process(COMMAND nm -DC --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

# Each line is "address type name"; keep the names, once each (constructors
# and destructors appear once per variant).
string(REGEX REPLACE "[0-9a-f]+ [A-Za-z] ([^\n]*)" "\\1" names "${listing}")
string(REPLACE "\n" ";" names "${names}")
list(FILTER names EXCLUDE REGEX "^$")
list(REMOVE_DUPLICATES names)
list(SORT names)

file(STRINGS ${EXPECTED} expected)
list(FILTER expected EXCLUDE REGEX "^(#.*)?$")
list(SORT expected)

if(NOT names STREQUAL expected)
  set(unexpected ${names})
  list(REMOVE_ITEM unexpected ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${names})
  list(JOIN unexpected "\n  " unexpected)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "Exported symbols differ from ${EXPECTED}\n"
                      "Exported but not listed:\n  ${unexpected}\nListed but not exported:\n  ${missing}")
endif()
