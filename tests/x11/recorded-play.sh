#!/usr/bin/env bash
# A play kept by the real game under load: a whole stage typed through
# XTEST while busy loops hold both cores, so that ticks come late. The play
# the game keeps beside its records must carry those late ticks and verify,
# natively and under node, to the figures the results showed; then
# `quorvel --watch` shows it in a real window to the same score, and Escape
# ends the watch.
#
#   recorded-play.sh PATH-TO-QUORVEL PATH-TO-QUORVEL-REPLAY PATH-TO-QUORVEL-REPLAY.JS
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools xdotool node

binary=${1:?usage: recorded-play.sh QUORVEL QUORVEL-REPLAY QUORVEL-REPLAY.JS}
replay=${2:?the native replay driver}
webreplay=${3:?the web build of the replay driver}
[[ -f $webreplay ]] || qv_fail "no web build of the replay driver at $webreplay"

load_pids=()
stop_load() {
    ((${#load_pids[@]})) && kill "${load_pids[@]}" 2>/dev/null
    load_pids=()
}
trap 'stop_load; qv_cleanup' EXIT

# The key of the falling target, judged, unless "TIME UP" came first.
judged_or_over() { qv_judged_since "$1" || qv_state_is frmStage.TimeLeft 0; }
hit_while_playing() {
    local letters=({a..z}) strokes target
    strokes=$(qv_state frmStage.Strokes)
    target=$(qv_state frmStage.TargetIndex)
    qv_key "${letters[target - 1]}"
    qv_poll "$QV_DEADLINE" judged_or_over "$strokes" || qv_fail "the key for target $target was not judged"
}

qv_start_game "$binary"
for form in frmMenu frmZone frmStage; do
    qv_key space
    qv_wait_state active "$form"
    qv_wait_focus "$form"
done
# Busy loops at a lower priority: ticks come late, but seldom later than a
# second, which would make the play one that nobody may rank (a slow
# sanitizer build of the game included).
for _ in 1 2; do
    nice -n 10 bash -c 'while :; do :; done' &
    load_pids+=($!)
done
qv_key space
qv_wait_state frmStage.Timer1.Enabled 1
while qv_state_is frmStage.Timer1.Enabled 1; do
    hit_while_playing
    # A digit is a miss in the Alphabetic zone.
    (($(qv_state frmStage.Hits) % 5 == 0)) && qv_key 1
done
stop_load
QV_DEADLINE=45 qv_wait_state frmStage.TimeLeft 0
qv_key Return
qv_wait_state active frmResults
shown_total=$(qv_state Module1.LastScore)
shown_score=$(qv_state 'frmResults.Label2(0).Caption')
shown_response=$(qv_state 'frmResults.Label2(1).Caption')
shown_rate=$(qv_state 'frmResults.Label2(2).Caption')
qv_log "the results show $shown_score points, $shown_response ms, $shown_rate %, total $shown_total"

kept_play() { compgen -G "$qv_scratch/plays/play-*-z0-$shown_total.qvplay" >/dev/null; }
qv_poll "$QV_DEADLINE" kept_play || qv_fail "no play was kept in $qv_scratch/plays: $(ls "$qv_scratch/plays" 2>&1)"
play=$(compgen -G "$qv_scratch/plays/play-*.qvplay")
late=$(grep -cE '^[0-9]+ [a-z] [0-9]+$' "$play")
qv_log "kept $(basename "$play"): $(wc -c <"$play") bytes, $late late ticks"
((late > 0)) || qv_fail "no tick of the play under load came late"

native=$(QT_QPA_PLATFORM=offscreen "$replay" verify "$play" 2>&1) || qv_fail "the native driver refuses the play: $native"
web=$(node "$webreplay" verify "$play" 2>&1) || qv_fail "the driver under node refuses the play: $web"
[[ $native == "$web" ]] || qv_fail "the drivers verify differently: native '$native', node '$web'"
for line in "score $shown_score" "response $shown_response" "hitrate $shown_rate" "total $shown_total"; do
    grep -qxF "$line" <<<"$native" || qv_fail "the play verifies to '$native', the game showed '$line'"
done

# Watching it, while the game waits on its next screen: a window of its
# own that says it is a replay, played to "TIME UP".
watch_state=$qv_scratch/watch.txt
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$qv_scratch" QUORVEL_STATE_FILE="$watch_state" \
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$qv_here/lsan.supp:print_suppressions=0" \
    "$qv_scratch/quorvel" --watch "$play" >"$qv_scratch/watch.out" 2>"$qv_scratch/watch.err" &
watch_pid=$!
qv_state_file=$watch_state
qv_wait_state frmStage.Caption "Replay - Quorvel - Alphabetic Characters Zone -"
qv_wait_x_active "Replay - Quorvel - Alphabetic Characters Zone -"
QV_DEADLINE=60 qv_wait_state 'frmStage.Label10(0).Visible' 1
qv_state_is frmStage.StageScore "$shown_score" || qv_fail "the watch ended at $(qv_state frmStage.StageScore) points"
qv_key Escape
watch_gone() { ! kill -0 "$watch_pid" 2>/dev/null; }
qv_poll "$QV_DEADLINE" watch_gone || qv_fail "Escape did not end the watch"
wait "$watch_pid" || qv_fail "the watch exited with status $?: $(cat "$qv_scratch/watch.err")"
echo "recorded-play: a play with $late late ticks verified to total $shown_total and was watched"
