# Installs the build in BUILD into PREFIX, afresh, and checks what lies where:
# - the tree holds exactly the expected files and links (expected_contents.cmake);
# - each program carries the run-time search path $ORIGIN/../LIBDIR as RUNPATH, and no RPATH;
# - each routine library is a versioned file whose SONAME is its link libX.so.1, and its plain
#   name libX.so, which the programs load, leads to that file;
# - the public headers in HEADERDIR each compile on their own from C and from C++ with nothing
#   but the installed include/ on the include path, and with only the flags of the installed
#   pkg-config file (cc $(pkg-config --cflags routine-crossings));
# - the installed routine_abi.f90 is all a Fortran library needs besides its own source: the
#   sample Ostrum compiles against it into a library;
# - each desktop entry passes desktop-file-validate without a word, names its program by its
#   title and names an installed icon; the AppStream metainfo passes appstreamcli validate.
# Takes -DBUILD -DPREFIX -DBINDIR -DLIBDIR -DINCLUDEDIR -DHEADERDIR -DDATADIR -DMANDIR -DDOCDIR
# -DSOURCE -DREADELF -DC_COMPILER -DCXX_COMPILER -DFortran_COMPILER -DPKG_CONFIG.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/expected_contents.cmake)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(NOTICE "${output}")
  message(FATAL_ERROR "cmake --install failed with status ${status}")
endif()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
expect_exactly("the installed tree" "${found}")

foreach(program IN LISTS programs commands)
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

foreach(library IN LISTS libraries)
  set(versioned ${PREFIX}/${LIBDIR}/${library}.${library_version})
  if(NOT EXISTS ${versioned} OR IS_SYMLINK ${versioned})
    continue()
  endif()
  execute_process(COMMAND ${READELF} -d ${versioned} OUTPUT_VARIABLE table)
  if(NOT table MATCHES "\\(SONAME\\) +Library soname: \\[${library}\\.${library_soversion}\\]")
    fail("${library}.${library_version} does not carry the SONAME ${library}.${library_soversion}")
  endif()
  file(REAL_PATH ${PREFIX}/${LIBDIR}/${library} target)
  if(NOT target STREQUAL versioned)
    fail("${LIBDIR}/${library} leads to ${target}, not to ${library}.${library_version}")
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

# Each header by its bare name, with the flags the installed pkg-config file gives. One at a
# time: ostrum.h and morvane.h each declare their own `square`.
set(ENV{PKG_CONFIG_PATH} ${PREFIX}/${DATADIR}/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags routine-crossings
                RESULT_VARIABLE status OUTPUT_VARIABLE flags ERROR_VARIABLE errors
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  fail("pkg-config --cflags routine-crossings failed: ${errors}")
else()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  foreach(header IN LISTS headers)
    set(source ${sources}/${header}.pkg-config.c)
    file(WRITE ${source} "#include <${header}>\n")
    execute_process(COMMAND ${C_COMPILER} ${flags} -Wall -Wextra -Wpedantic -Werror -fsyntax-only ${source}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
      fail("${header} does not compile with the flags '${flags}' of pkg-config:\n${output}")
    endif()
  endforeach()
endif()

# The Fortran twin, compiled with a Fortran library's own source as docs/installing.md says.
set(fortran ${sources}/fortran)
file(MAKE_DIRECTORY ${fortran})
execute_process(COMMAND ${Fortran_COMPILER} -std=f2018 -Wall -Werror -shared -fPIC -J ${fortran}
                        ${PREFIX}/${HEADERDIR}/routine_abi.f90 ${SOURCE}/routines/ostrum/ostrum.F90
                        -o ${fortran}/libOstrum.so
                WORKING_DIRECTORY ${fortran}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  fail("the sample Ostrum does not compile against the installed routine_abi.f90:\n${output}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(NOT DESKTOP_FILE_VALIDATE)
  fail("desktop-file-validate is missing (Debian package desktop-file-utils)")
endif()
foreach(program IN LISTS programs)
  string(TOLOWER ${program} name)
  set(entry ${PREFIX}/${DATADIR}/applications/${name}.desktop)
  if(NOT EXISTS ${entry})
    continue()
  endif()
  if(DESKTOP_FILE_VALIDATE)
    # Not a hint either: a hint is advice a desktop's menu may still trip over.
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0 OR NOT output STREQUAL "")
      fail("${name}.desktop is not valid:\n${output}")
    endif()
  endif()
  file(STRINGS ${entry} lines)
  foreach(line "Name=${program}" "Exec=${program}" "Icon=${name}")
    if(NOT line IN_LIST lines)
      fail("${name}.desktop has no line ${line}")
    endif()
  endforeach()
endforeach()

find_program(APPSTREAMCLI appstreamcli)
file(GLOB metainfo ${PREFIX}/${DATADIR}/metainfo/*.metainfo.xml)
if(NOT APPSTREAMCLI)
  fail("appstreamcli is missing (Debian package appstream)")
elseif(metainfo)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    fail("appstreamcli does not accept ${metainfo}:\n${output}")
  endif()
endif()

if(failures)
  message(NOTICE "The installed tree in ${PREFIX} is not as it should be:${failures}")
  message(FATAL_ERROR "The installed tree is not as it should be")
endif()
