# Builds the Debian package of the build in BUILD with CPack into OUTPUT, afresh, and checks
# its control fields and its files: exactly the files and links of an installed tree, under
# /usr; the programs' run-time search path kept through packaging. Unpacks it into OUTPUT/root,
# a throwaway root from which the programs are started (installed_program.cmake).
# Takes -DBUILD -DOUTPUT -DBINDIR -DLIBDIR -DHEADERDIR -DDATADIR -DMANDIR -DDOCDIR -DSOURCE -DREADELF.

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
    "Maintainer=Routine Crossings developers <dev@routine-crossings.invalid>"
    "Section=education")
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

# The files and links of the package, from its listing:
# "-rw-r--r-- root/root 1182 date time ./usr/..." and "lrwxrwxrwx root/root 0 date time ./usr/... -> ...".
execute_process(COMMAND dpkg-deb -c ${package} OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" lines "${listing}")
set(files "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[-l].* \\./usr/([^ ]*)( -> .*)?$")
    list(APPEND files ${CMAKE_MATCH_1})
  elseif(line MATCHES "^[^d]")
    fail("the package holds something beyond /usr: ${line}")
  endif()
endforeach()
expect_exactly("the package's /usr" "${files}")

set(root ${OUTPUT}/root)
execute_process(COMMAND dpkg-deb -x ${package} ${root} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("dpkg-deb -x could not unpack the package (status ${status})")
endif()
foreach(program IN LISTS programs commands)
  execute_process(COMMAND ${READELF} -d ${root}/usr/${BINDIR}/${program} OUTPUT_VARIABLE table)
  if(NOT table MATCHES "\\(RUNPATH\\) +Library runpath: \\[\\$ORIGIN/\\.\\./${LIBDIR}\\]")
    fail("the packaged ${program} lost its run-time search path $ORIGIN/../${LIBDIR}")
  endif()
endforeach()

if(failures)
  message(NOTICE "The package ${package} is not as it should be:${failures}")
  message(FATAL_ERROR "The Debian package is not as it should be")
endif()
