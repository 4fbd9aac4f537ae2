# Builds the Debian package of the build in BUILD with CPack into OUTPUT, afresh, and checks
# its control fields and its files: the programs, libraries and headers in the same places as
# an installed tree under /usr, and nothing else there; the desktop entries; the programs'
# run-time search path kept through packaging.
# Takes -DBUILD -DOUTPUT -DBINDIR -DLIBDIR -DHEADERDIR -DDATADIR -DREADELF.

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/expected_contents.cmake)

file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${OUTPUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB package ${OUTPUT}/*.deb)
list(LENGTH package count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(NOTICE "${output}")
  message(FATAL_ERROR "cpack -G DEB made no package (status ${status})")
endif()

set(fields
    "Package=routine-crossings"
    "Version=1.00"
    "Maintainer=Routine Crossings developers <dev@routine-crossings.invalid>")
foreach(field IN LISTS fields)
  string(REGEX MATCH "^[^=]+" name "${field}")
  string(REGEX REPLACE "^[^=]+=" "" expected "${field}")
  execute_process(COMMAND dpkg-deb -f ${package} ${name} OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT value STREQUAL expected)
    fail("${name} is '${value}', not '${expected}'")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb -f ${package} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt6widgets6")
  fail("Depends '${depends}' does not name the Qt 6 Widgets library")
endif()

# The files of the package, from its listing: "-rw-r--r-- root/root 1182 date time ./usr/...".
execute_process(COMMAND dpkg-deb -c ${package} OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" lines "${listing}")
set(files "")
foreach(line IN LISTS lines)
  if(line MATCHES "^-.* \\./(.*)$")
    list(APPEND files ${CMAKE_MATCH_1})
  endif()
endforeach()
macro(expect_files folder)
  set(found "")
  foreach(packaged IN LISTS files)
    if(packaged MATCHES "^usr/${folder}/(.*)$")
      list(APPEND found ${CMAKE_MATCH_1})
    endif()
  endforeach()
  expect_names(usr/${folder}/ "${found}" ${ARGN})
endmacro()
expect_files(${BINDIR} ${programs})
expect_files(${LIBDIR} ${libraries})
expect_files(${HEADERDIR} ${headers})
foreach(program IN LISTS programs)
  string(TOLOWER ${program} name)
  if(NOT "usr/${DATADIR}/applications/${name}.desktop" IN_LIST files)
    fail("no usr/${DATADIR}/applications/${name}.desktop")
  endif()
endforeach()

set(unpacked ${OUTPUT}/unpacked)
execute_process(COMMAND dpkg-deb -x ${package} ${unpacked})
foreach(program IN LISTS programs)
  execute_process(COMMAND ${READELF} -d ${unpacked}/usr/${BINDIR}/${program} OUTPUT_VARIABLE table)
  if(NOT table MATCHES "\\(RUNPATH\\) +Library runpath: \\[\\$ORIGIN/\\.\\./${LIBDIR}\\]")
    fail("the packaged ${program} lost its run-time search path $ORIGIN/../${LIBDIR}")
  endif()
endforeach()

if(failures)
  message(NOTICE "The package ${package} is not as it should be:${failures}")
  message(FATAL_ERROR "The Debian package is not as it should be")
endif()
