#!/usr/bin/env bash
# Runs every command that README.md and the pages under docs/ show, as written, from the
# project's root, and checks that they leave the source tree as it was:
# - each line of a ```sh block must succeed and print nothing on its error output; a line that
#   starts ./run.sh runs without a display, which it must say after checking its library file;
# - a ```text block that starts with "$ " is a transcript: each "$ " line is run, and what it
#   prints (both outputs, in order) must be the lines shown under it;
# - a block after the line <!-- not run by the tests: WHY --> is left alone;
# - a ```text block after <!-- clicked: PROGRAM BUTTON LABEL LIBRARY FOLDER --> shows what the
#   program does at the first click of BUTTON with LIBRARY beside a copy of it in FOLDER (LABEL
#   "-" for none): the lines the click driver (tests/install/first_click.cpp) prints for each
#   message box and the result label, which must be the lines shown.
# Files are read in the order below, the blocks of each in order, so a block may use what a
# block before it built. When the build folder is not build/, "build/" at the start of a word
# stands for it.
# Usage: shown_commands_test.sh PROJECT_ROOT BUILD_FOLDER CLICK_DRIVER [SANITIZER_RUNTIME]
# (the sanitizer's runtime, for a build with the sanitizers, is preloaded before the driver)
set -uo pipefail
root=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
driver=$(realpath "$3")
sanitizer_runtime=${4:-}
cd "$root" || exit 2
unset DISPLAY WAYLAND_DISPLAY
failures=0
ran=0

fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# One record a line, fields separated by a tab: "run", "transcript", "output" or "skip", where
# it stands (file:line) and its text. Continued lines (ending in \) are joined.
blocks_of() {
  awk -v file="$1" '
    function emit(kind, line, text) { printf "%s\t%s:%d\t%s\n", kind, file, line, text }
    /^[ \t]*<!-- not run by the tests: .* -->[ \t]*$/ { skip = NR; next }
    /^<!-- clicked: .* -->$/ { clicked = NR; click = substr($0, 15, length($0) - 18); next }
    !inside && /^[ \t]*```/ {
      inside = 1
      indent = match($0, /[^ \t]/) - 1
      kind = $0; sub(/^[ \t]*```/, "", kind)
      first = 1; pending = ""
      skipped = (skip == NR - 1)
      if (skipped) emit("skip", NR, kind)
      if (clicked == NR - 1) { emit("click", NR, click); kind = "clicked" }
      next
    }
    inside && /^[ \t]*```[ \t]*$/ { inside = 0; transcript = 0; next }
    inside && !skipped {
      text = substr($0, indent + 1)
      if (kind == "sh") {
        if (pending != "") { text = pending " " text; pending = "" }
        if (text ~ /\\$/) { pending = substr(text, 1, length(text) - 1); next }
        if (text !~ /^[ \t]*(#.*)?$/) emit("run", NR, text)
      } else if (kind == "clicked") {
        emit("output", NR, text)
      } else if (kind == "text") {
        if (first && text ~ /^\$ /) transcript = 1
        if (transcript) {
          if (text ~ /^\$ /) emit("transcript", NR, substr(text, 3))
          else emit("output", NR, text)
        }
      }
      first = 0
    }
  ' "$1"
}

with_build_folder() {
  if [ "$build" = "$root/build" ]; then
    printf '%s' "$1"
  else
    printf '%s' "$1" | sed -E "s#(^|[ =])build/#\\1$build/#g"
  fi
}

run_line() { # where, command
  local where=$1 command out err status
  command=$(with_build_folder "$2")
  out=$(mktemp) err=$(mktemp)
  bash -c "$command" >"$out" 2>"$err"
  status=$?
  ran=$((ran + 1))
  if [[ $2 == ./run.sh* ]]; then
    # Without a display it stops after checking its library file, before building.
    grep -q "^No display: " "$err" && [ $status -eq 1 ] ||
      fail "$where: $2 (status $status): $(cat "$out" "$err")"
  elif [ $status -ne 0 ] || [ -s "$err" ]; then
    fail "$where: $2 (status $status): $(cat "$err")"
  fi
  rm -f "$out" "$err"
}

check_transcript() { # where, command, expected output
  local where=$1 command shown
  command=$(with_build_folder "$2")
  shown=$(bash -c "$command" 2>&1)
  ran=$((ran + 1))
  if [ "$shown" != "$3" ]; then
    fail "$where: \$ $2 prints otherwise than the page shows; the page, then the command:
$3
----
$shown"
  fi
}

check_click() { # where, "PROGRAM BUTTON LABEL LIBRARY FOLDER", expected lines
  local where=$1 program button label library folder shown preload
  read -r program button label library folder <<<"$2"
  [ "$label" = "-" ] && label=""
  source "$root/scripts/prepare.sh"
  lay_out_scratch_folder "$folder" "$build/bin/$program" "$library" "$(routine_library_file "$program")" >/dev/null
  preload=$driver
  [ -z "$sanitizer_runtime" ] || preload="$sanitizer_runtime:$driver"
  # timeout stands before env, so that only the program gets the preloaded driver (and the
  # sanitizer's runtime, which in timeout itself keeps it from seeing its child end).
  shown=$(cd "$folder" && timeout 60 env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen FIRST_CLICK_BUTTON="$button" \
    FIRST_CLICK_RESULT="$label" FIRST_CLICK_LIBRARY="$(routine_library_file "$program")" \
    ${sanitizer_runtime:+LD_LIBRARY_PATH="$folder" ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"} \
    LD_PRELOAD="$preload" "./$program" 2>/dev/null | grep -E '^(message box|result): ')
  ran=$((ran + 1))
  [ "$shown" = "$3" ] || fail "$where: $program with $library shows otherwise than the page says; the page, then the program:
$3
----
$shown"
}

# The source tree as a list of files, and a mark of the time before any command ran.
tree_listing() {
  find . \( -path ./.git -o -path './build*' \) -prune -o -type f -print | sort
}
stamp=$(mktemp)
before=$(tree_listing)
sleep 1

# The pages in a learner's order: the numbered ones, then the traps, then the descriptor page,
# which builds on them. Every page under docs/ must be among them.
files=(README.md docs/*.md docs/passing/0-rules.md docs/passing/[1-9]-*.md docs/passing/README.md
       docs/passing/traps.md docs/passing/descriptor.md)
for page in docs/*.md docs/passing/*.md; do
  [[ " ${files[*]} " == *" $page "* ]] || fail "$page is not among the files this test reads"
done
for file in "${files[@]}"; do
  pending_kind="" pending_command="" pending_where="" pending_output=""
  flush() {
    case "$pending_kind" in
      transcript) check_transcript "$pending_where" "$pending_command" "$pending_output" ;;
      click) check_click "$pending_where" "$pending_command" "$pending_output" ;;
    esac
    pending_kind="" pending_command="" pending_where="" pending_output=""
  }
  while IFS=$'\t' read -r kind where text; do
    case "$kind" in
      run) flush; run_line "$where" "$text" ;;
      transcript | click) flush; pending_kind=$kind pending_command=$text pending_where=$where ;;
      output) pending_output+="${pending_output:+$'\n'}$text" ;;
      skip) ;;
    esac
  done < <(blocks_of "$file")
  flush
done

after=$(tree_listing)
added=$(comm -13 <(echo "$before") <(echo "$after"))
[ -z "$added" ] || fail "the commands left files in the source tree:
$added"
changed=$(find . \( -path ./.git -o -path './build*' \) -prune -o -type f -newer "$stamp" -print)
[ -z "$changed" ] || fail "the commands changed files of the source tree:
$changed"
rm -f "$stamp"

[ $ran -ge 20 ] || fail "only $ran commands found in the pages"
echo "$ran commands run, $failures failed"
[ $failures -eq 0 ]
