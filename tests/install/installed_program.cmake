# Starts a program (installed, unpacked from the package, or laid out beside a learner's library)
# on the offscreen platform from WORKDIR, a folder of its own,
# with LD_LIBRARY_PATH removed from the environment:
# 1. alone: it must still be running after a second, and is then ended;
# 2. with the first-click library preloaded (DRIVER): the program's own binding must load
#    LIBRARY from LIBRARY_DIR at the click of BUTTON, and the transcript must read
#    "before the click: LIBRARY not loaded", the lines of EXPECTED (separated by "|"), then
#    "loaded from: " and the library's real path in LIBRARY_DIR.
# Takes -DPROGRAM -DWORKDIR -DDRIVER -DBUTTON -DRESULT -DLIBRARY -DLIBRARY_DIR -DEXPECTED;
# -DSANITIZED=ON for a build with the sanitizers, with -DPRELOAD_FIRST naming the sanitizer's
# runtime where it must be preloaded before the driver.

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
unset(ENV{LD_LIBRARY_PATH})
set(ENV{QT_QPA_PLATFORM} offscreen)

execute_process(COMMAND ${PROGRAM} WORKING_DIRECTORY ${WORKDIR} TIMEOUT 1
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status MATCHES "timeout")
  message(NOTICE "${output}")
  message(FATAL_ERROR "${PROGRAM} ended within a second, with status '${status}'")
endif()

set(ENV{FIRST_CLICK_BUTTON} "${BUTTON}")
set(ENV{FIRST_CLICK_RESULT} "${RESULT}")
set(ENV{FIRST_CLICK_LIBRARY} "${LIBRARY}")
if(PRELOAD_FIRST)
  set(ENV{LD_PRELOAD} "${PRELOAD_FIRST}:${DRIVER}")
else()
  set(ENV{LD_PRELOAD} "${DRIVER}")
endif()
if(SANITIZED)
  # The sanitizer's own dlopen stands between the program and the loader, which then reads the
  # sanitizer runtime's run-time search path instead of the program's: a sanitized program
  # finds the installed lib/ only through LD_LIBRARY_PATH.
  set(ENV{LD_LIBRARY_PATH} "${LIBRARY_DIR}")
  # Leaks are the window tests' concern; at the end of a whole program Qt now and then leaves
  # the record of one of its threads behind, which the leak checker would report.
  set(ENV{ASAN_OPTIONS} "$ENV{ASAN_OPTIONS}:detect_leaks=0")
endif()
execute_process(COMMAND ${PROGRAM} WORKING_DIRECTORY ${WORKDIR} TIMEOUT 60
                RESULT_VARIABLE status OUTPUT_VARIABLE transcript ERROR_VARIABLE errors)
unset(ENV{LD_PRELOAD})
unset(ENV{LD_LIBRARY_PATH})

file(REAL_PATH ${LIBRARY_DIR}/${LIBRARY} library_file)
string(REPLACE "|" "\n" expected_lines "${EXPECTED}")
set(expected "before the click: ${LIBRARY} not loaded\n${expected_lines}\nloaded from: ${library_file}\n")
if(NOT status STREQUAL "0" OR NOT transcript STREQUAL expected)
  message(NOTICE "Expected:\n${expected}Printed:\n${transcript}Its errors:\n${errors}")
  message(FATAL_ERROR "${PROGRAM} did not bind ${LIBRARY} from ${LIBRARY_DIR} at its first click "
                      "(status '${status}')")
endif()
