# Finds Debian's wine64 (it lies outside PATH, in /usr/lib/wine) as WINE and its server as
# WINE_SERVER, and sets WINEPREFIX to PREFIX and WINEDEBUG to -all for the programs it runs;
# stops with the command that installs it when it is missing.
find_program(WINE wine64 PATHS /usr/lib/wine NO_CACHE)
if(NOT WINE)
  message(FATAL_ERROR "wine64 is not installed, so the Windows builds cannot run: "
                      "sudo apt-get install wine64 (./test.sh installs it)")
endif()
find_program(WINE_SERVER wineserver64 wineserver PATHS /usr/lib/wine NO_CACHE)
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
unset(ENV{DISPLAY})
