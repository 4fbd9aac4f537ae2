#!/usr/bin/env bash
# Morvane's `square` on a regular file makes at most 5 system calls per call (open, fstat,
# write, close and no more than one other): 100 calls under strace, counted between the marks
# the driver leaves around them, and the trace file must hold their 200 records.
# Usage: square_system_calls_test.sh STRACE DRIVER SCRATCH_FOLDER
set -euo pipefail
strace=$1 driver=$2 scratch=$3
calls=100 limit=5

if [ ! -x "$strace" ]; then
  echo "strace is missing (Debian package strace)" >&2
  exit 1
fi
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch"
if ! "$strace" -f -o system-calls.log "$driver" "$calls"; then
  echo "the driver failed under strace; its system calls:" >&2
  tail -20 system-calls.log >&2
  exit 1
fi

# Each line of the log is "PID name(arguments) = result"; the calls of square are those between
# the two marks.
counts=$(awk '/"square\.calls\.end"/ { inside = 0 }
              inside { sub(/^[0-9]+ +/, ""); sub(/\(.*/, ""); count[$0]++ }
              /"square\.calls\.begin"/ { inside = 1 }
              END { for (name in count) print count[name], name }' system-calls.log | sort -rn)
total=$(awk '{ sum += $1 } END { print sum + 0 }' <<<"$counts")
echo "system calls of $calls calls of square on a regular file: $total"
echo "$counts"

records=$(wc -l < square.dat)
if [ "$records" -ne $((2 * calls)) ]; then
  echo "square.dat holds $records records after $calls calls, not $((2 * calls))" >&2
  exit 1
fi
if [ "$total" -gt $((limit * calls)) ]; then
  echo "$calls calls of square made $total system calls, more than $limit each" >&2
  exit 1
fi
