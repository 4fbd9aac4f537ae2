# Makes the Wine prefix that the Windows tests share, once (a new prefix takes seconds).
# Usage: cmake -DPREFIX=... -P make_wine_prefix.cmake
include(${CMAKE_CURRENT_LIST_DIR}/find_wine.cmake)
if(NOT EXISTS ${PREFIX}/system.reg)
  execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE status OUTPUT_VARIABLE words ERROR_VARIABLE words)
  if(NOT status EQUAL 0 OR NOT EXISTS ${PREFIX}/system.reg)
    message(FATAL_ERROR "${WINE} could not make the prefix ${PREFIX}:\n${words}")
  endif()
endif()
