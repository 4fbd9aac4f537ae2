# gfortran obeys the STDCALL directive on 32-bit Linux as well: docs/walkthrough/mysum_stdcall.F90
# compiled for 32-bit x86 returns with `ret $12` (the routine takes its three arguments off the
# stack) when ROUTINE_STDCALL is defined, and with a plain `ret` when it is not, which is why only
# the build for 32-bit Windows may define it. Compiled to assembly alone, so no 32-bit library is
# needed.
# Usage: cmake -DGFORTRAN=... -DSOURCE=... -DOUTPUT=... -P stdcall_directive.cmake
file(MAKE_DIRECTORY ${OUTPUT})
foreach(case "-DROUTINE_STDCALL=ret\t$12" "-UROUTINE_STDCALL=ret")
  string(REPLACE "=" ";" pair "${case}")
  list(GET pair 0 definition)
  list(GET pair 1 expected)
  execute_process(COMMAND ${GFORTRAN} -m32 -O1 -S ${definition} -J ${OUTPUT} ${SOURCE} -o -
                  RESULT_VARIABLE status OUTPUT_VARIABLE assembly ERROR_VARIABLE words)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${GFORTRAN} -m32 ${definition} does not compile ${SOURCE}:\n${words}")
  endif()
  string(REGEX MATCHALL "\tret[^\n]*\n" returns "${assembly}")
  if(NOT returns STREQUAL "\t${expected}\n")
    message(FATAL_ERROR "With ${definition}, 32-bit sumdll returns with \"${returns}\", not \"${expected}\":\n${assembly}")
  endif()
endforeach()
message("32-bit x86: ret $12 with ROUTINE_STDCALL, a plain ret without")
