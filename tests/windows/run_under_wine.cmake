# Runs the Windows program PROGRAM under Wine in the prefix PREFIX; fails when it fails, with
# what it printed.
# Usage: cmake -DPREFIX=... -DPROGRAM=... -P run_under_wine.cmake
include(${CMAKE_CURRENT_LIST_DIR}/find_wine.cmake)
execute_process(COMMAND ${WINE} ${PROGRAM} RESULT_VARIABLE status OUTPUT_VARIABLE words ERROR_VARIABLE words)
message("${words}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} under Wine ended with ${status}")
endif()
