#!/usr/bin/env bash
# Installs what the programs need when it is missing, builds the programs, their routine
# libraries and routine-check in build/ (./test.sh builds the rest there), and starts Korvik.
# ./run.sh vandrel and ./run.sh tolvan start the other programs.
# ./run.sh korvik --library FILE starts Korvik with FILE as its routine library: a copy of the
# program and FILE lie side by side in build/scratch/korvik/, and build/bin/ stays as built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/prepare.sh"

usage() {
  echo "usage: ./run.sh [korvik|vandrel|tolvan] [--library FILE]" >&2
  exit 2
}

name=korvik
library=""
while [ $# -gt 0 ]; do
  case "$1" in
    korvik | vandrel | tolvan) name=$1 ;;
    --library)
      [ $# -ge 2 ] || usage
      library=$2
      shift
      ;;
    *) usage ;;
  esac
  shift
done
case "$name" in
  korvik) program=Korvik ;;
  vandrel) program=Vandrel ;;
  tolvan) program=Tolvan ;;
esac

if [ -n "$library" ]; then
  if [ ! -f "$library" ]; then
    echo "No library file '$library'." >&2
    exit 2
  fi
  library=$(cd "$(dirname "$library")" && pwd)/$(basename "$library")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: $program opens a window, but neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  exit 1
fi

install_missing_packages "${program_packages[@]}"
build_target=programs
build_project "$here/build" "${build_options[@]}"

if [ -z "$library" ]; then
  exec "$here/build/bin/$program"
fi
bound=$(routine_library_file "$program")
started=$(lay_out_scratch_folder "$here/build/scratch/$name" "$here/build/bin/$program" "$library" "$bound")
echo "Starting $started with $library as $bound beside it"
exec "$started"
