# A learner's library run as ./run.sh --library runs it: SCRATCH laid out by
# lay_out_scratch_folder (scripts/prepare.sh) with a copy of PROGRAM_NAME from PROGRAMS and
# LEARNER beside it under the name the program binds. The first click of the copy must bind
# the learner's library from SCRATCH (installed_program.cmake), the programs' folder must stay
# as built, byte for byte, and laying SCRATCH out again from the library inside it must keep
# the library.
# Takes -DPREPARE -DPROGRAMS -DPROGRAM_NAME -DLEARNER -DSCRATCH -DLIBRARY, and -DWORKDIR
# -DDRIVER -DBUTTON -DRESULT -DEXPECTED (and -DSANITIZED, -DPRELOAD_FIRST) for
# installed_program.cmake.

cmake_minimum_required(VERSION 3.25)

# "file hash" for each file in the folder.
function(hash_folder folder result)
  file(GLOB files LIST_DIRECTORIES false ${folder}/*)
  set(hashes "")
  foreach(file IN LISTS files)
    file(SHA256 ${file} hash)
    list(APPEND hashes "${file} ${hash}")
  endforeach()
  set(${result} "${hashes}" PARENT_SCOPE)
endfunction()

# Lays SCRATCH out with `library`; the path of the program's copy goes into `result`.
function(lay_out library result)
  execute_process(
    COMMAND bash -c [[source "$1" && lay_out_scratch_folder "$2" "$3" "$4" "$(routine_library_file "$5")"]]
            lay_out ${PREPARE} ${SCRATCH} ${PROGRAMS}/${PROGRAM_NAME} ${library} ${PROGRAM_NAME}
    RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "lay_out_scratch_folder failed with status ${status}: ${errors}")
  endif()
  set(${result} "${printed}" PARENT_SCOPE)
endfunction()

hash_folder(${PROGRAMS} before)
lay_out(${LEARNER} PROGRAM)
if(NOT PROGRAM STREQUAL "${SCRATCH}/${PROGRAM_NAME}" OR IS_SYMLINK ${PROGRAM})
  message(FATAL_ERROR "the program's copy is '${PROGRAM}', not a file ${SCRATCH}/${PROGRAM_NAME}")
endif()

set(LIBRARY_DIR ${SCRATCH})
include(${CMAKE_CURRENT_LIST_DIR}/installed_program.cmake)

hash_folder(${PROGRAMS} after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "${PROGRAMS} changed while the learner's library ran:\nbefore: ${before}\nafter: ${after}")
endif()

lay_out(${SCRATCH}/${LIBRARY} PROGRAM)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${LEARNER} ${SCRATCH}/${LIBRARY} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "laid out again from ${SCRATCH}/${LIBRARY}, the folder lost the learner's library")
endif()
