#!/usr/bin/env bash
# The web build of quorvel-replay, run by node, must play every script as
# the native driver does: every replay script of tests/replay/, the
# screenshot tour and the failing scripts of tests/replay/failing/ run
# through both, one after the other in the same folder, and must leave the
# same dumps (byte for byte), the same records file, the same exit status
# and the same messages. --help, wrong arguments and a missing script too.
# A script without a seed gets one, or the two runs would play differently.
# A failing script's records file, when it starts from one, is NAME.dat.
#
# Usage: web-matches-native.sh NATIVE_DRIVER WEB_DRIVER_JS SOURCE_DIR WORK_DIR
set -uo pipefail
native=$1 web=$2 source=$3 work=$4

note="quorvel-replay: this build draws no pictures; snap writes the dumps only"
failures=0
compared=0

problem() {
  echo "web-matches-native: $*" >&2
  failures=$((failures + 1))
}

if ! command -v node >/dev/null; then
  echo "web-matches-native: node is missing (scripts/install-deps.sh installs nodejs)" >&2
  exit 1
fi
if [ ! -f "$web" ]; then
  echo "web-matches-native: there is no web build of the driver at $web;" \
    "build it with: cmake --preset web && cmake --build --preset web" >&2
  exit 1
fi

rm -rf "$work"
mkdir -p "$work/native" "$work/web" "$work/xdg"
chmod 700 "$work/xdg"
# Qt's offscreen platform warns on stderr without a runtime folder.
export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=offscreen

# run DRIVER RESULT ARGS...: stdout, stderr and the exit status into RESULT.*
run() {
  local driver=$1 result=$2
  shift 2
  if [ "$driver" = native ]; then
    "$native" "$@" >"$result.out" 2>"$result.err"
  else
    node "$web" "$@" >"$result.out" 2>"$result.err"
  fi
  echo $? >"$result.status"
}

# The lines the driver itself writes on stderr: its messages and the
# failures of a script, without anything a library says.
driver_lines() {
  grep -E "^(quorvel-replay: |usage: |/)" "$1" | grep -vxF "$note"
}

# compare_runs NAME [whole]: the same status, stdout and messages; with
# `whole`, stderr must be the same to the byte.
compare_runs() {
  local name=$1 a=$work/native/$1 b=$work/web/$1
  cmp -s "$a.status" "$b.status" ||
    problem "$name: exit status $(cat "$a.status") natively, $(cat "$b.status") on the web"
  cmp -s "$a.out" "$b.out" || problem "$name: stdout differs: $(diff "$a.out" "$b.out" | head -5)"
  if [ "${2:-}" = whole ]; then
    cmp -s "$a.err" "$b.err" || problem "$name: stderr differs: $(diff "$a.err" "$b.err" | head -5)"
  elif ! diff <(driver_lines "$a.err") <(driver_lines "$b.err") >/dev/null; then
    problem "$name: the messages differ:" "$(diff <(driver_lines "$a.err") <(driver_lines "$b.err") | head -6)"
  fi
}

# Help, wrong arguments and a script that is not there.
for driver in native web; do
  run $driver "$work/$driver/help" --help
  run $driver "$work/$driver/no-arguments"
  run $driver "$work/$driver/three-arguments" one two three
  run $driver "$work/$driver/missing-script" "$work/no-such-script.scn"
done
compare_runs help whole
compare_runs no-arguments whole
compare_runs three-arguments whole
compare_runs missing-script
[ "$(cat "$work/web/help.status")" = 0 ] && [ -s "$work/web/help.out" ] ||
  problem "--help on the web: status $(cat "$work/web/help.status"), $(wc -c <"$work/web/help.out") bytes"
for name in no-arguments three-arguments missing-script; do
  [ "$(cat "$work/web/$name.status")" = 2 ] || problem "$name: the web driver exits $(cat "$work/web/$name.status"), not 2"
done
cmp -s "$work/web/help.out" "$work/web/no-arguments.err" ||
  problem "the web driver's usage on wrong arguments is not its --help"

# play SCRIPT EXPECTED_STATUS: both drivers in turn in the same scratch
# folder, each run kept in $work/DRIVER/NAME.
play() {
  local script=$1 expected=$2 name
  name=$(basename "$(dirname "$script")")-$(basename "$script" .scn)
  local scratch=$work/scratch/$name
  for driver in native web; do
    rm -rf "$scratch"
    mkdir -p "$scratch/appdir"
    if grep -q '^seed ' "$script"; then
      cp "$script" "$scratch/script.scn"
    else
      { echo "seed 5"; cat "$script"; } >"$scratch/script.scn"
    fi
    if [ -f "${script%.scn}.dat" ]; then
      cp "${script%.scn}.dat" "$scratch/appdir/qorvl.dat"
    fi
    run $driver "$work/$driver/$name" "$scratch/script.scn" "$scratch/out"
    rm -f "$scratch"/out/*.png
    mv "$scratch" "$work/$driver/$name.files"
  done
  compare_runs "$name"
  local status
  status=$(cat "$work/native/$name.status")
  [ "$status" = "$expected" ] || problem "$name: exit status $status, expected $expected"
  if ! diff -r "$work/native/$name.files" "$work/web/$name.files" >/dev/null; then
    problem "$name: the files differ:" "$(diff -r "$work/native/$name.files" "$work/web/$name.files" | head -8)"
  fi
  local dumps notes
  dumps=$(find "$work/native/$name.files" -name '*.txt' | wc -l)
  compared=$((compared + dumps))
  notes=$(grep -cxF "$note" "$work/web/$name.err")
  if [ "$dumps" -gt 0 ] && [ "$notes" != 1 ]; then
    problem "$name: the web driver said $notes times that it draws no pictures, not once"
  fi
  if [ "$dumps" -eq 0 ] && [ "$notes" != 0 ]; then
    problem "$name: the web driver spoke of pictures without a snap"
  fi
  if [ "$expected" != 0 ] && [ -z "$(driver_lines "$work/native/$name.err")" ]; then
    problem "$name: failed without saying why"
  fi
}

for script in "$source"/tests/replay/*.scn "$source/docs/screenshots/tour.scn"; do
  play "$script" 0
done
for script in "$source"/tests/replay/failing/*.scn; do
  play "$script" 1
done

# Every play a script recorded verifies alike on both drivers, to the
# figures the game showed at its results; a tampered copy is refused alike.
verified=0
figure() { grep -m1 "^$1 " "$2" | cut -d' ' -f2; }
shown() { grep -m1 -F "$1=" "$2" | cut -d= -f2; }
for playfile in "$work"/native/*.files/out/*.qvplay; do
  [ -e "$playfile" ] || continue
  name=verify-$(basename "$(dirname "$(dirname "$playfile")")" .files)-$(basename "$playfile" .qvplay)
  sed 's/^seed \([0-9]*\)$/seed 1\1/' "$playfile" >"$work/$name-tampered.qvplay"
  for driver in native web; do
    run $driver "$work/$driver/$name" verify "$playfile"
    run $driver "$work/$driver/$name-tampered" verify "$work/$name-tampered.qvplay"
  done
  compare_runs "$name" whole
  compare_runs "$name-tampered" whole
  [ "$(cat "$work/native/$name.status")" = 0 ] || problem "$name: refused: $(cat "$work/native/$name.err")"
  [ "$(cat "$work/native/$name-tampered.status")" = 1 ] && grep -q "the play says" "$work/native/$name-tampered.err" ||
    problem "$name: a play with another seed was not refused for its figures: $(cat "$work/native/$name-tampered.err")"
  for dump in "$(dirname "$playfile")"/*.txt; do
    [ "$(figure total "$work/native/$name.out")" = "$(shown Module1.LastScore "$dump")" ] &&
      [ "$(figure score "$work/native/$name.out")" = "$(shown 'frmResults.Label2(0).Caption' "$dump")" ] &&
      [ "$(figure response "$work/native/$name.out")" = "$(shown 'frmResults.Label2(1).Caption' "$dump")" ] &&
      [ "$(figure hitrate "$work/native/$name.out")" = "$(shown 'frmResults.Label2(2).Caption' "$dump")" ] ||
      problem "$name: verifies to $(tr '\n' ' ' <"$work/native/$name.out"), not what $(basename "$dump") shows"
  done
  verified=$((verified + 1))
done
[ "$verified" -gt 0 ] || problem "no script recorded a play to verify"

echo "web-matches-native: $compared dumps compared, $verified plays verified"
if [ "$failures" -ne 0 ]; then
  echo "web-matches-native: $failures differences" >&2
  exit 1
fi
