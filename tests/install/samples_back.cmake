# For each routine library copied beside the programs: a learner's library is copied over the
# copy, newer than the built file, as a learner would do; a build of the copies' target must
# then put the built library back, byte for byte.
# Takes -DBUILD -DLEARNER and -DSAMPLES, "target|built file|copy" items separated by ",".

cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" samples "${SAMPLES}")
if(NOT samples)
  message(FATAL_ERROR "no routine library is copied beside the programs")
endif()

set(failures "")
foreach(sample IN LISTS samples)
  string(REPLACE "|" ";" parts "${sample}")
  list(GET parts 0 target)
  list(GET parts 1 built)
  list(GET parts 2 copy)

  file(COPY_FILE ${LEARNER} ${copy})
  file(TOUCH ${copy})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target routine_libraries_beside_programs
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${built} ${copy} RESULT_VARIABLE differs)
  if(NOT status EQUAL 0 OR NOT differs EQUAL 0)
    string(APPEND failures "\n  ${copy} is not ${built} again after a build (status ${status}):\n${output}")
    file(COPY_FILE ${built} ${copy})
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "A build does not put every sample back beside the programs:${failures}")
endif()
