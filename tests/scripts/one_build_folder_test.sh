#!/usr/bin/env bash
# ./run.sh on a machine without the test packages, then ./test.sh, then ./run.sh again, in one
# build folder of a scratch copy of the tree, with the package manager, the build, the tests and
# the program stubbed out: only the configure steps run for real. Checks that
# - both scripts configure build/ with the same options, warnings as errors among them;
# - ./run.sh builds the target `programs` alone, in at most 105 steps (routine-check is a library
#   of folders, one file per concern, in archives: the checks, the sandbox, the reports of a
#   class and the command), and ./test.sh all;
# - ./run.sh's configure prints nothing that reads like an error ("Could NOT find ...");
# - ./run.sh installs none of the test packages, ./test.sh all of them;
# - the programs' build steps are the same after ./test.sh as after ./run.sh, so that ./test.sh
#   compiles none of them again, and every step is the same after the second ./run.sh as after
#   ./test.sh, so that it has nothing to do.
# Usage: one_build_folder_test.sh SOURCE_ROOT SCRATCH_FOLDER CMAKE
set -euo pipefail
source_root=$1 scratch=$2 real_cmake=$3
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev strace lintian appstream gcc-multilib)
program_packages=(g++ gfortran cmake ninja-build qt6-base-dev libxkbcommon-dev bubblewrap libseccomp-dev
  nlohmann-json3-dev libpugixml-dev libcli11-dev)
largest_program_build=105

# A tree whose entries are those of the source tree, so that the scripts build in scratch/build.
rm -rf "$scratch"
mkdir -p "$scratch/tree" "$scratch/bin" "$scratch/log"
for entry in "$source_root"/*; do
  case "$(basename "$entry")" in build*) continue ;; esac
  ln -s "$entry" "$scratch/tree/"
done

# Each stub notes its call in the file named by $log_name. cmake configures for real, with the
# extra options in $hidden (GoogleTest and Google Benchmark not to be found, as before they are
# installed), and builds nothing; dpkg-query finds no package installed.
cat > "$scratch/bin/cmake" <<STUB
#!/bin/sh
if [ "\$1" = --build ]; then
  echo "\$*" >> "$scratch/log/\$log_name.builds"
  exit 0
fi
echo "\$*" >> "$scratch/log/\$log_name.configures"
exec "$real_cmake" "\$@" \$hidden
STUB
cat > "$scratch/bin/apt-get" <<STUB
#!/bin/sh
[ "\$1" = install ] && echo "\$*" >> "$scratch/log/\$log_name.installs"
exit 0
STUB
printf '#!/bin/sh\nexit 1\n' > "$scratch/bin/dpkg-query"
printf '#!/bin/sh\nexec "$@"\n' > "$scratch/bin/sudo"
printf '#!/bin/sh\nexit 0\n' > "$scratch/bin/ctest"
mkdir -p "$scratch/tree/build/bin"
printf '#!/bin/sh\nexit 0\n' > "$scratch/tree/build/bin/Korvik"
chmod +x "$scratch"/bin/* "$scratch/tree/build/bin/Korvik"
export PATH="$scratch/bin:$PATH" DISPLAY=:stub

failures=0
fail() {
  echo "$*" >&2
  failures=$((failures + 1))
}

# Runs SCRIPT with the log name NAME and the extra configure options that follow.
run_script() {
  local script=$1 name=$2
  shift 2
  log_name=$name hidden="$*" "$scratch/tree/$script" > "$scratch/log/$name.output" 2>&1 ||
    { cat "$scratch/log/$name.output"; exit 1; }
}

build="$scratch/tree/build"
cache_entry() { grep "^$1:" "$build/CMakeCache.txt" | cut -d= -f2-; }

run_script run.sh run -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
ninja=$(cache_entry CMAKE_MAKE_PROGRAM)
"$ninja" -C "$build" -t commands programs > "$scratch/log/run.programs"
if grep -q morvane_square_tests "$build/build.ninja"; then
  fail "./run.sh without GoogleTest configured the tests all the same"
fi
for said in "No tests: GoogleTest is not installed (./test.sh installs it)" \
            "No benchmarks: Google Benchmark is not installed (./test.sh installs it)"; do
  grep -qF -- "$said" "$scratch/log/run.output" || fail "./run.sh without the test packages does not say: $said"
done
# The configure of ./run.sh says nothing that reads like an error: a package it looks for is
# installed with the programs' packages.
if grep -E "Could NOT find|CMake Warning|CMake Error" "$scratch/log/run.output" >&2; then
  fail "./run.sh's configure prints what reads like an error"
fi
steps=$(wc -l < "$scratch/log/run.programs")
if [ "$steps" -gt "$largest_program_build" ]; then
  fail "./run.sh builds the programs in $steps steps, more than $largest_program_build"
fi
for entry in CMAKE_BUILD_TYPE:RelWithDebInfo WARNINGS_AS_ERRORS:ON; do
  if [ "$(cache_entry "${entry%%:*}")" != "${entry#*:}" ]; then
    fail "after ./run.sh, build/ has ${entry%%:*}=$(cache_entry "${entry%%:*}"), not ${entry#*:}"
  fi
done

run_script test.sh test -DCMAKE_DISABLE_FIND_PACKAGE_GTest=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=OFF
"$ninja" -C "$build" -t commands programs > "$scratch/log/test.programs"
"$ninja" -C "$build" -t commands > "$scratch/log/test.all"
# In any order: ninja lists the steps in the order the build file declares them.
if ! diff <(sort "$scratch/log/run.programs") <(sort "$scratch/log/test.programs") > "$scratch/log/programs.diff"; then
  fail "./test.sh builds the programs with other steps than ./run.sh, so it compiles them again:"
  head -n 6 "$scratch/log/programs.diff" | cut -c1-240 >&2
fi
if ! grep -q morvane_square_tests "$build/build.ninja"; then
  fail "./test.sh did not configure the tests"
fi

run_script run.sh again
"$ninja" -C "$build" -t commands > "$scratch/log/again.all"
if ! diff -q "$scratch/log/test.all" "$scratch/log/again.all" > /dev/null; then
  fail "./run.sh after ./test.sh changes the build steps, so it has work to do"
fi

if ! diff <(cut -d' ' -f1-4 --complement "$scratch/log/run.configures") \
          <(cut -d' ' -f1-4 --complement "$scratch/log/test.configures") > /dev/null; then
  fail "./run.sh and ./test.sh configure build/ with other options: $(cat "$scratch"/log/*.configures)"
fi
# "--build FOLDER -j N", then what is built.
if [ "$(cut -d' ' -f5- "$scratch/log/run.builds")" != "--target programs" ]; then
  fail "./run.sh builds $(cat "$scratch/log/run.builds"), not the target programs alone"
fi
if [ -n "$(cut -d' ' -f5- "$scratch/log/test.builds")" ]; then
  fail "./test.sh builds $(cat "$scratch/log/test.builds"), not everything"
fi

for package in "${test_packages[@]}" "${program_packages[@]}"; do
  grep -qwF -- "$package" "$scratch/log/test.installs" || fail "./test.sh does not install $package"
done
for package in "${program_packages[@]}"; do
  grep -qwF -- "$package" "$scratch/log/run.installs" || fail "./run.sh does not install $package"
done
for package in "${test_packages[@]}"; do
  if grep -qwF -- "$package" "$scratch/log/run.installs"; then
    fail "./run.sh installs the test package $package"
  fi
done
exit $((failures > 0))
