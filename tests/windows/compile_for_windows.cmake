# Compiles the sources named in SETTINGS with the cross compiler COMPILER into OUTPUT, each
# program's binding through bound_calls.cpp, and links Morvane.dll from Morvane's objects and
# its export file; then reads the library's exports with OBJDUMP. Fails on the first source
# that does not compile, with the compiler's words, and when Morvane.dll exports anything but
# `square`.
# Usage: cmake -DCOMPILER=... -DOBJDUMP=... -DSETTINGS=... -DOUTPUT=... -P compile_for_windows.cmake
include(${SETTINGS})

foreach(tool COMPILER OBJDUMP)
  find_program(${tool}_PATH ${${tool}})
  if(NOT ${tool}_PATH)
    message(FATAL_ERROR "${${tool}} is not installed; scripts/prepare.sh installs it (./test.sh).")
  endif()
endforeach()

set(flags -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Werror)
foreach(folder IN LISTS INCLUDE_FOLDERS)
  list(APPEND flags -I${folder})
endforeach()

file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})

# Runs the command; fails with `what` and the tool's words unless it succeeds.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE words OUTPUT_VARIABLE words)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${COMPILER} ${what}:\n${words}")
  endif()
endfunction()

# Compiles `source` into OUTPUT/<object> with the flags and any further ones.
function(compile source object)
  run("does not compile ${source}" ${COMPILER_PATH} ${flags} ${ARGN} -c ${source} -o ${OUTPUT}/${object})
endfunction()

foreach(source IN LISTS SOURCES)
  get_filename_component(name ${source} NAME_WE)
  compile(${source} ${name}.o -DROUTINE_ABI_OWN_TYPES)
endforeach()

foreach(contract_folder IN LISTS BINDING_FOLDERS)
  string(REPLACE "=" ";" pair ${contract_folder})
  list(GET pair 0 contract)
  list(GET pair 1 folder)
  compile(${BOUND_CALLS} bound_${contract}.o -DBOUND_${contract} -I${folder})
endforeach()

set(morvane_objects)
foreach(source IN LISTS MORVANE_SOURCES)
  get_filename_component(name ${source} NAME_WE)
  compile(${source} morvane_${name}.o -DROUTINE_BUILDING_LIBRARY -frounding-math)
  list(APPEND morvane_objects ${OUTPUT}/morvane_${name}.o)
endforeach()
# As squarelib/CMakeLists.txt links it with MinGW: the stdcall name square@12 exported as square,
# and the compiler's runtimes linked in, so that it imports the system's DLLs alone.
run("does not link Morvane.dll" ${COMPILER_PATH} -shared -static -o ${OUTPUT}/Morvane.dll ${morvane_objects}
    ${OUTPUT}/record_output.o ${OUTPUT}/record_format.o ${MORVANE_EXPORTS} -Wl,--kill-at -Wl,--enable-stdcall-fixup -Wl,--fatal-warnings)

execute_process(COMMAND ${OBJDUMP_PATH} -p ${OUTPUT}/Morvane.dll OUTPUT_VARIABLE table RESULT_VARIABLE status)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" names "${table}")
string(REGEX MATCHALL "\\[ *[0-9]+\\][ \t]+[^ \t\n]+\n" entries "${names}")
string(REGEX REPLACE "\\[ *[0-9]+\\][ \t]+([^ \t\n]+)\n" "\\1" exported "${entries}")
if(NOT status EQUAL 0 OR NOT exported STREQUAL "square")
  message(FATAL_ERROR "Morvane.dll built by ${COMPILER} exports \"${exported}\", not square alone")
endif()
