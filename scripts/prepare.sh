# Shared by run.sh and test.sh: installs the Debian packages the build needs (only those
# missing), configures and builds the project in the given folder, and lays out a program
# with a routine library of one's own.
# Usage: source scripts/prepare.sh; install_missing_packages PACKAGE...;
#        build_project DIR [CMAKE OPTIONS...]
# build_project builds every target, or only $build_target when that is set.

# What the programs, their routine libraries and routine-check need: all that ./run.sh installs.
program_packages=(
  g++ gfortran cmake ninja-build pkg-config  # gfortran: the sample routine libraries
  qt6-base-dev
  libxkbcommon-dev  # Qt's configure looks for it, and says "Could NOT find XKB" without it
  bubblewrap libseccomp-dev  # routine-check: the sandbox a library runs in
  nlohmann-json3-dev libpugixml-dev  # routine-check: the JSON Lines and JUnit reports of a class
  libcli11-dev  # routine-check: its command line
)
# What the tests and the benchmarks need besides, installed by ./test.sh alone.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  strace  # counts the system calls of Morvane's trace
  flang-19  # routine-check's test of a len=* loop as LLVM Flang builds it
  # the install tests: desktop entries, the Debian package and Lintian's check of it, AppStream
  desktop-file-utils dpkg-dev lintian appstream
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix  # the Windows code compiled (tests/windows/)
  gfortran-mingw-w64-x86-64-posix gfortran-mingw-w64-i686-posix  # the Fortran samples as DLLs
  wine64  # runs the 64-bit Windows builds (tests/windows/)
  gcc-multilib  # gcc -m32: the pages' layouts checked for 32-bit Linux (tests/docs/)
  # routine-check on libraries built with LLVM Flang: its runtime linked in, and OpenMP's
  flang-19 libflang-19-dev libomp-19-dev
)

# build/'s options, the same for ./run.sh and ./test.sh, so that neither compiles again what the
# other built: ./run.sh builds the programs, ./test.sh the rest beside them.
build_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON)

install_missing_packages() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      as_root=(sudo)
    else
      echo "These packages are missing and installing them needs root or sudo: ${missing[*]}" >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures every time (with nothing changed this takes a moment), so that a folder
# configured before the test packages were installed gains the tests and the benchmarks.
build_project() {
  local folder=$1
  shift
  cmake -S "$project_root" -B "$folder" -G Ninja "$@"
  cmake --build "$folder" -j "$(nproc)" ${build_target:+--target "$build_target"}
}

# The file of the routine library a program binds, as it is looked for on Linux.
routine_library_file() {
  case "$1" in
    Korvik) echo libOstrum.so ;;
    Vandrel) echo libMorvane.so ;;
    Tolvan) echo libPettrix.so ;;
    *) return 1 ;;
  esac
}

# Lays out FOLDER afresh with a copy of PROGRAM and, beside it, a copy of LIBRARY under the
# file name NAME that the program binds; prints the path of the program's copy. The program
# is copied, not linked: it looks for its libraries in the directory of its own file, and a
# link would lead it back to where it was built.
# Usage: lay_out_scratch_folder FOLDER PROGRAM LIBRARY NAME
lay_out_scratch_folder() {
  local folder=$1 program=$2 library=$3 name=$4
  # Made beside the old folder and then put in its place, so that a library taken from the
  # old folder is copied before the old folder goes.
  local fresh="$folder.new"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  cp "$program" "$fresh/"
  cp "$library" "$fresh/$name"
  rm -rf "$folder"
  mv "$fresh" "$folder"
  echo "$folder/$(basename "$program")"
}

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
