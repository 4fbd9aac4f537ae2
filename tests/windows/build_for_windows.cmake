# Configures and builds project/ (the set's code without Qt, for 64-bit Windows) in OUTPUT with
# the MinGW-w64 cross compilers; stops with the command that installs any that is missing.
# Usage: cmake -DSOURCE=<the set's folder> -DOUTPUT=... -P build_for_windows.cmake
foreach(tool x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gfortran-posix
             i686-w64-mingw32-gcc-posix)
  find_program(found ${tool} NO_CACHE)
  if(NOT found)
    message(FATAL_ERROR "${tool} is not installed: sudo apt-get install g++-mingw-w64-x86-64-posix "
                        "g++-mingw-w64-i686-posix gfortran-mingw-w64-x86-64-posix gfortran-mingw-w64-i686-posix "
                        "(./test.sh installs them)")
  endif()
  unset(found)
endforeach()
set(launcher)
find_program(CCACHE ccache NO_CACHE)
if(CCACHE)
  set(launcher -DCMAKE_C_COMPILER_LAUNCHER=${CCACHE} -DCMAKE_CXX_COMPILER_LAUNCHER=${CCACHE})
endif()
foreach(step configure build)
  if(step STREQUAL "configure")
    set(command ${CMAKE_COMMAND} -S ${SOURCE}/tests/windows/project -B ${OUTPUT} -G Ninja
                -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/tests/windows/mingw_x86_64.cmake -DSET_SOURCE_DIR=${SOURCE}
                -DCMAKE_BUILD_TYPE=RelWithDebInfo ${launcher})
  else()
    set(command ${CMAKE_COMMAND} --build ${OUTPUT} -j 2)
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE words ERROR_VARIABLE words)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The Windows build did not ${step}:\n${words}")
  endif()
endforeach()
