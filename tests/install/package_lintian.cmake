# Runs Lintian, Debian's package checker, on the package in OUTPUT (installed_package.cmake):
# it must report no error and no warning. An override of a tag stands, with its reason, in
# packaging/lintian-overrides.
# Takes -DOUTPUT.

cmake_minimum_required(VERSION 3.25)

find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is missing (Debian package lintian)")
endif()
file(GLOB package ${OUTPUT}/*.deb)
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --no-tag-display-limit ${package}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR output MATCHES "(^|\n)[EW]: ")
  message(NOTICE "${output}${errors}")
  message(FATAL_ERROR "lintian finds fault with ${package} (status ${status})")
endif()
