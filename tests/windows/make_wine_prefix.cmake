# Makes the Wine prefix that the Windows tests share, once (a new prefix takes seconds).
# Now and then Wine fails to start the first programs of a new prefix
# ("could not load kernel32.dll") and leaves it without its registry. Such a prefix is ended,
# removed and made once more, with Wine's errors shown, so that a second failure says why.
# Usage: cmake -DPREFIX=... -P make_wine_prefix.cmake
include(${CMAKE_CURRENT_LIST_DIR}/find_wine.cmake)
if(EXISTS ${PREFIX}/system.reg)
  return()
endif()
execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE status OUTPUT_VARIABLE words ERROR_VARIABLE words)
if(status EQUAL 0 AND EXISTS ${PREFIX}/system.reg)
  return()
endif()
message("${WINE} could not make the prefix ${PREFIX}, so it is made again:\n${words}")
execute_process(COMMAND ${WINE_SERVER} -k)
file(REMOVE_RECURSE ${PREFIX})
set(ENV{WINEDEBUG} err+all)
execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE status OUTPUT_VARIABLE words ERROR_VARIABLE words)
if(NOT status EQUAL 0 OR NOT EXISTS ${PREFIX}/system.reg)
  message(FATAL_ERROR "${WINE} could not make the prefix ${PREFIX} a second time:\n${words}")
endif()
