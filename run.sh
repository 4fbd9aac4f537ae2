#!/usr/bin/env bash
# Installs what is missing, builds in build/, and starts Korvik.
# ./run.sh vandrel and ./run.sh tolvan start the other programs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/prepare.sh"

case "${1:-korvik}" in
  korvik) program=Korvik ;;
  vandrel) program=Vandrel ;;
  tolvan) program=Tolvan ;;
  *) echo "usage: ./run.sh [korvik|vandrel|tolvan]" >&2; exit 2 ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: $program opens a window, but neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  exit 1
fi

install_missing_packages
build_project "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$here/build/bin/$program"
