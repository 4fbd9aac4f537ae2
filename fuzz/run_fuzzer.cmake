# Runs one fuzzer for a bounded time:
#   cmake -DFUZZER=... -DCORPUS=... -DSEEDS=... -DFAULTS=... -P run_fuzzer.cmake
# The time in seconds comes from the environment's FUZZ_SECONDS, 60 without it.
set(seconds 60)
if(DEFINED ENV{FUZZ_SECONDS})
  set(seconds $ENV{FUZZ_SECONDS})
endif()
file(MAKE_DIRECTORY ${FAULTS})
execute_process(COMMAND ${FUZZER} -max_total_time=${seconds} -timeout=30 -rss_limit_mb=4096
                        -print_final_stats=1 -artifact_prefix=${FAULTS}/ ${CORPUS} ${SEEDS}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (status ${status}); the input that shows it is in ${FAULTS}")
endif()
