# Installs the build in BUILD into PREFIX, afresh, and checks what lies where:
# - bin/ holds the three programs and lib/ the three routine libraries, and nothing else;
# - each program carries the run-time search path $ORIGIN/../LIBDIR as RUNPATH, and no RPATH;
# - HEADERDIR holds the four public headers, and nothing else, each usable on its own from C
#   and from C++ with nothing but the installed include/ on the include path;
# - DATADIR/applications holds a valid desktop entry for each program, naming it by its title.
# Takes -DBUILD -DPREFIX -DBINDIR -DLIBDIR -DINCLUDEDIR -DHEADERDIR -DDATADIR -DREADELF
# -DC_COMPILER -DCXX_COMPILER.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/expected_contents.cmake)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(NOTICE "${output}")
  message(FATAL_ERROR "cmake --install failed with status ${status}")
endif()

# Exactly the expected files in a folder.
macro(expect_files folder)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${PREFIX}/${folder} ${PREFIX}/${folder}/*)
  expect_names(${folder}/ "${found}" ${ARGN})
endmacro()
expect_files(${BINDIR} ${programs})
expect_files(${LIBDIR} ${libraries})
expect_files(${HEADERDIR} ${headers})

foreach(program IN LISTS programs)
  set(file ${PREFIX}/${BINDIR}/${program})
  if(NOT EXISTS ${file})
    continue()
  endif()
  execute_process(COMMAND ${READELF} -d ${file} OUTPUT_VARIABLE table RESULT_VARIABLE status)
  string(REGEX MATCHALL "\\((RPATH|RUNPATH)\\)[^\n]*" paths "${table}")
  if(NOT status EQUAL 0 OR NOT "${paths}" MATCHES "^\\(RUNPATH\\) +Library runpath: \\[\\$ORIGIN/\\.\\./${LIBDIR}\\]$")
    fail("${program}'s run-time search path is [${paths}], not one RUNPATH $ORIGIN/../${LIBDIR}")
  endif()
endforeach()

# Each header alone, from C and from C++, warnings as errors.
file(RELATIVE_PATH header_folder ${PREFIX}/${INCLUDEDIR} ${PREFIX}/${HEADERDIR})
get_filename_component(sources ${PREFIX} DIRECTORY)
set(sources ${sources}/header-uses)
file(REMOVE_RECURSE ${sources})
foreach(header IN LISTS headers)
  foreach(language c cpp)
    if(language STREQUAL "c")
      set(compile ${C_COMPILER} -std=c11)
    else()
      set(compile ${CXX_COMPILER} -std=c++17)
    endif()
    set(source ${sources}/${header}.${language})
    file(WRITE ${source} "#include <${header_folder}/${header}>\n")
    execute_process(COMMAND ${compile} -Wall -Wextra -Wpedantic -Werror -fsyntax-only
                            -I ${PREFIX}/${INCLUDEDIR} ${source}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
      fail("the installed ${header} does not compile alone as ${language}:\n${output}")
    endif()
  endforeach()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(NOT DESKTOP_FILE_VALIDATE)
  fail("desktop-file-validate is missing (Debian package desktop-file-utils)")
endif()
foreach(program IN LISTS programs)
  string(TOLOWER ${program} name)
  set(entry ${PREFIX}/${DATADIR}/applications/${name}.desktop)
  if(NOT EXISTS ${entry})
    fail("no desktop entry ${entry}")
    continue()
  endif()
  if(DESKTOP_FILE_VALIDATE)
    # Hints (two main categories) are advice; warnings and errors are not.
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0 OR output MATCHES "(error|warning):")
      fail("${name}.desktop is not valid:\n${output}")
    endif()
  endif()
  file(STRINGS ${entry} lines)
  foreach(key Name Exec)
    if(NOT "${key}=${program}" IN_LIST lines)
      fail("${name}.desktop has no line ${key}=${program}")
    endif()
  endforeach()
endforeach()

if(failures)
  message(NOTICE "The installed tree in ${PREFIX} is not as it should be:${failures}")
  message(FATAL_ERROR "The installed tree is not as it should be")
endif()
