#!/usr/bin/env bash
# Installs what is missing, builds everything in build/ (reusing what ./run.sh built there) and
# runs every test; non-zero on any failure, and when there is no test to run.
# ./test.sh --sanitize builds and runs the same tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/.
# ./test.sh --fuzz installs clang and libFuzzer, builds the fuzzing targets with them in
# build-fuzz/ and runs each for FUZZ_SECONDS seconds (60 unless set); not part of the other runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/prepare.sh"

folder="$here/build"
options=("${build_options[@]}")
packages=("${program_packages[@]}" "${test_packages[@]}")
case "${1:-}" in
  "") ;;
  --sanitize)
    folder="$here/build-sanitize"
    options=(-DCMAKE_BUILD_TYPE=Debug -DWARNINGS_AS_ERRORS=ON -DSANITIZE=ON -DBUILD_BENCHMARKS=OFF)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
    export LSAN_OPTIONS="suppressions=$here/tests/leak-suppressions.txt:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
  --fuzz)
    folder="$here/build-fuzz"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON -DCMAKE_C_COMPILER=clang
             -DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=ON -DBUILD_FUZZERS=ON -DBUILD_TESTING=OFF
             -DBUILD_BENCHMARKS=OFF)
    packages+=(clang libclang-rt-dev)  # the compiler, and libFuzzer with the sanitizers' runtimes
    build_target=fuzzers
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
  *) echo "usage: ./test.sh [--sanitize | --fuzz]" >&2; exit 2 ;;
esac

install_missing_packages "${packages[@]}"
build_project "$folder" "${options[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$folder" --output-on-failure --no-tests=error -j "$(nproc)"
