# Runs the call report built for Linux (LINUX_PROGRAM) and the one built for Windows
# (WINDOWS_PROGRAM, under Wine in PREFIX), each in a fresh folder under SCRATCH where
# Morvane writes "square.dat", and fails unless both report the same bytes after every call,
# line by line. The trace's line end is the one line that differs: LF on Linux, CR LF on
# Windows.
# Usage: cmake -DLINUX_PROGRAM=... -DWINDOWS_PROGRAM=... -DPREFIX=... -DSCRATCH=... -P compare_call_reports.cmake
include(${CMAKE_CURRENT_LIST_DIR}/find_wine.cmake)

function(report platform)
  set(folder ${SCRATCH}/${platform})
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})
  if(platform STREQUAL "linux")
    set(command ${LINUX_PROGRAM})
  else()
    set(command ${WINE} ${WINDOWS_PROGRAM})
  endif()
  execute_process(COMMAND ${command} WORKING_DIRECTORY ${folder} RESULT_VARIABLE status
                  OUTPUT_VARIABLE text ERROR_VARIABLE words)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The ${platform} call report ended with ${status}:\n${text}${words}")
  endif()
  string(REPLACE "\r" "" text "${text}") # Wine's console writes CR LF
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${platform}_lines "${lines}" PARENT_SCOPE)
endfunction()

report(linux)
report(windows)

foreach(platform_end linux=LF windows=CR\ LF)
  string(REPLACE "=" ";" pair "${platform_end}")
  list(GET pair 0 platform)
  list(GET pair 1 end)
  list(FIND ${platform}_lines "trace lines end in ${end}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Morvane's trace on ${platform} does not end its lines in ${end}:\n${${platform}_lines}")
  endif()
  list(REMOVE_AT ${platform}_lines ${at})
endforeach()

list(LENGTH linux_lines count)
list(LENGTH windows_lines windows_count)
if(count LESS 60 OR NOT count EQUAL windows_count)
  message(FATAL_ERROR "The reports differ in length: ${count} lines on Linux, ${windows_count} on Windows")
endif()
math(EXPR last "${count} - 1")
set(differences "")
foreach(i RANGE ${last})
  list(GET linux_lines ${i} on_linux)
  list(GET windows_lines ${i} on_windows)
  if(NOT on_linux STREQUAL on_windows)
    string(APPEND differences "Linux:   ${on_linux}\nWindows: ${on_windows}\n")
  endif()
endforeach()
if(differences)
  message(FATAL_ERROR "The calls left different bytes on Linux and on Windows:\n${differences}")
endif()
message("${count} lines of the report the same on Linux and on Windows")
