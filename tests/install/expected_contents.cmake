# What an installed tree and the Debian package must hold, and how the checks collect failures.
# Included by installed_tree.cmake and installed_package.cmake.

set(programs Korvik Vandrel Tolvan)
set(libraries libMorvane.so libOstrum.so libPettrix.so)
set(headers morvane.h ostrum.h pettrix.h routine_abi.h)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()
