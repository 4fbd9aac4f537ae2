#!/usr/bin/env bash
# ./run.sh and then ./test.sh in one build folder: the folder must end up configured with
# test.sh's options (warnings as errors), not left as run.sh configured it.
# Usage: later_options_test.sh SOURCE_ROOT SCRATCH_FOLDER CMAKE
set -euo pipefail
source_root=$1 scratch=$2 real_cmake=$3

# A tree whose entries are those of the source tree, so that the scripts build in scratch/build.
rm -rf "$scratch"
mkdir -p "$scratch/tree" "$scratch/bin"
for entry in "$source_root"/*; do
  case "$(basename "$entry")" in build*) continue ;; esac
  ln -s "$entry" "$scratch/tree/"
done

# Configure for real; build, test and run nothing.
cat > "$scratch/bin/cmake" <<STUB
#!/bin/sh
[ "\$1" = --build ] && exit 0
exec "$real_cmake" "\$@"
STUB
printf '#!/bin/sh\nexit 0\n' > "$scratch/bin/ctest"
mkdir -p "$scratch/tree/build/bin"
printf '#!/bin/sh\nexit 0\n' > "$scratch/tree/build/bin/Korvik"
chmod +x "$scratch/bin/cmake" "$scratch/bin/ctest" "$scratch/tree/build/bin/Korvik"

export PATH="$scratch/bin:$PATH" DISPLAY=:stub
"$scratch/tree/run.sh" > "$scratch/run.log" 2>&1 || { cat "$scratch/run.log"; exit 1; }
"$scratch/tree/test.sh" > "$scratch/test.log" 2>&1 || { cat "$scratch/test.log"; exit 1; }

cache="$scratch/tree/build/CMakeCache.txt"
if ! grep -qx 'WARNINGS_AS_ERRORS:BOOL=ON' "$cache"; then
  echo "after ./run.sh and ./test.sh the build folder has: $(grep '^WARNINGS_AS_ERRORS' "$cache")" >&2
  exit 1
fi
