# Shared by run.sh and test.sh: installs the Debian packages the build needs (only those
# missing) and configures and builds the project in the given folder.
# Usage: source scripts/prepare.sh; install_missing_packages; build_project DIR [CMAKE OPTIONS...]
# build_project builds every target, or only $build_target when that is set.

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  desktop-file-utils dpkg-dev  # the install tests: desktop entries, the Debian package
)

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
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

# Configures every time, so that the folder is built with the options of the script that
# asked last (./test.sh after ./run.sh turns warnings into errors); with nothing changed this
# takes a moment.
build_project() {
  local folder=$1
  shift
  cmake -S "$project_root" -B "$folder" -G Ninja "$@"
  cmake --build "$folder" -j "$(nproc)" ${build_target:+--target "$build_target"}
}

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
