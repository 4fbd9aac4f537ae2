# What an installed tree and the Debian package must hold, and how the checks collect failures.
# Included by installed_tree.cmake and installed_package.cmake.

set(programs Korvik Vandrel Tolvan)
# Commands installed beside the programs, with their search path but no desktop entry, and
# the manual pages in section 1.
set(commands routine-check)
set(manual_pages routine-check.1)
set(libraries libMorvane.so libOstrum.so libPettrix.so)
set(headers morvane.h ostrum.h pettrix.h routine_abi.h)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  ${text}")
endmacro()
