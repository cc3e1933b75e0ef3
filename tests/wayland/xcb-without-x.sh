#!/usr/bin/env bash
# A player who asks for X11 (QT_QPA_PLATFORM=xcb) where only a Wayland
# compositor runs: the game says in one line that the platform cannot start
# and exits with status 2, rather than Qt's abort.
#
#   xcb-without-x.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/../x11/lib.sh"
qv_enter_session --weston "$0" "$@"
qv_require_tools weston

binary=${1:?usage: xcb-without-x.sh PATH-TO-QUORVEL}
[[ -x $binary ]] || qv_fail "no game executable at '$binary'"
qv_scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-wayland.XXXXXX")
cp "$binary" "$qv_scratch/quorvel"

env -u DISPLAY QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY="$WAYLAND_DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
    "$qv_scratch/quorvel" >"$qv_scratch/game.out" 2>"$qv_scratch/game.err" </dev/null
status=$?
((status == 2)) || qv_fail "the game exited with status $status, not 2"
lines=$(grep -c . "$qv_scratch/game.err")
((lines == 1)) || qv_fail "the game wrote $lines lines, not one: $(cat "$qv_scratch/game.err")"
grep -qx 'quorvel: cannot open windows on the Qt platform "xcb": .*' "$qv_scratch/game.err" ||
    qv_fail "the line does not name the platform: $(cat "$qv_scratch/game.err")"
[[ ! -s $qv_scratch/game.out ]] || qv_fail "the game printed on its standard output: $(cat "$qv_scratch/game.out")"
qv_log "$(cat "$qv_scratch/game.err") (status 2)"
