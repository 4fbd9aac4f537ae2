# What an installed tree and the Debian package must hold, and how the checks collect failures.
# Included by installed_tree.cmake and installed_package.cmake.

set(programs Korvik Vandrel Tolvan)
set(libraries libMorvane.so libOstrum.so libPettrix.so)
set(headers morvane.h ostrum.h pettrix.h routine_abi.h)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()

# Fails unless the list `found` holds exactly the names that follow, in any order; `where`
# names the folder in the failure.
function(expect_names where found)
  list(SORT found)
  set(expected ${ARGN})
  list(SORT expected)
  if(NOT "${found}" STREQUAL "${expected}")
    set(failures "${failures}\n  ${where} holds [${found}], not [${expected}]" PARENT_SCOPE)
  endif()
endfunction()
