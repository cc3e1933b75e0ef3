#!/usr/bin/env bash
# The whole road on native Wayland: weston (x11 backend) inside a private
# Xvfb, the game as a Wayland client with no X display of its own. Keys are
# XTEST key presses on the Xvfb, which weston hands to the window it gave
# the keyboard; which window that is, only the game can tell (`host.focus=`
# in its state file). Where the windows open is weston's choice, so only the
# model's places are checked: the screens still set them as designed.
#
#   native-road.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/../x11/lib.sh"
qv_enter_session --weston "$0" "$@"
qv_require_tools xdotool weston

binary=${1:?usage: native-road.sh PATH-TO-QUORVEL}
qv_focus_probe=game

# KEY goes to FORM once FORM has the keyboard.
press_on() {
    qv_wait_focus "$1"
    qv_key_received "$2"
}

# FORM opened at DX, DY twips from the menu window.
expect_beside_menu() {
    qv_wait_state "$1.Left" $(($(qv_state frmMenu.Left) + $2))
    qv_wait_state "$1.Top" $(($(qv_state frmMenu.Top) + $3))
}

# STATE holds KEY=VALUE for the next SECONDS, read every 50 ms.
expect_holds() {
    local seconds=$1 key=$2 value=$3
    local until=$((${EPOCHREALTIME/[.,]/} + seconds * 1000000))
    while ((${EPOCHREALTIME/[.,]/} < until)); do
        qv_state_is "$key" "$value" || qv_fail "$key went from '$value' to '$(qv_state "$key")'"
        sleep 0.05
    done
}

# ------------------------------------------------------------ title, menu, panels

qv_start_game "$binary" -u DISPLAY WAYLAND_DISPLAY="$WAYLAND_DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
qv_wait_state host.platform wayland
title_place="$(qv_state frmTitle.Left) $(qv_state frmTitle.Top)"
qv_log "title up on native Wayland"

press_on frmTitle space
qv_wait_state open frmMenu
[[ "$(qv_state frmMenu.Left) $(qv_state frmMenu.Top)" == "$title_place" ]] ||
    qv_fail "the menu's Left/Top are not the title's ($title_place)"

press_on frmMenu Down
qv_wait_state open frmMenu,frmRecord
expect_beside_menu frmRecord 3540 930
qv_log "records panel"

press_on frmRecord Down
qv_wait_state open frmMenu,frmOption
expect_beside_menu frmOption 3540 1890
qv_wait_focus frmOption
expect_holds 1 open frmMenu,frmOption
qv_log "options panel, still open a second later"

qv_wait_state Module1.OptSpeed 0
press_on frmOption Right
qv_wait_state Module1.OptSpeed 1
qv_log "Right chose the high speed"

press_on frmOption Up
qv_wait_state open frmMenu,frmRecord
press_on frmRecord Up
qv_wait_state open frmMenu
qv_wait_state Module1.MenuCursor 0
qv_log "back on the menu, on START"

# ------------------------------------------------------------ a short play

press_on frmMenu space
qv_wait_state open frmZone
press_on frmZone space
qv_wait_state open frmStage
qv_wait_state Module1.CurrentZone 0
press_on frmStage space
qv_poll "$QV_DEADLINE" qv_state_is frmStage.Timer1.Enabled 1 || qv_fail "Space did not start the play"

# One key, judged: returns once Strokes has counted it.
judge_key() {
    local strokes
    strokes=$(qv_state frmStage.Strokes)
    qv_key "$1"
    qv_poll "$QV_DEADLINE" qv_judged_since "$strokes" || qv_fail "key $1 was not judged (Strokes stayed $strokes)"
}

letters=(a b c d e f g h i j k l m n o p q r s t u v w x y z)
# A target may fly off between reading it and the key's arrival; then the
# key met the next target and most likely missed.
for attempt in 1 2 3 4 5; do
    judge_key "${letters[$(qv_state frmStage.TargetIndex) - 1]}"
    (($(qv_state frmStage.Hits) == 1)) && break
done
qv_state_is frmStage.Hits 1 || qv_fail "five keys for the falling target did not hit it"
# No target of the Alphabetic zone accepts a digit. One hit in three
# strokes or more keeps the final score under 2000: the road leads back to
# the title.
judge_key 5
judge_key 5
qv_log "$(qv_state frmStage.Hits) hit in $(qv_state frmStage.Strokes) strokes; waiting for TIME UP"

play_over() {
    qv_state_is frmStage.Timer1.Enabled 0 && qv_state_is frmStage.TimeLeft 0
}
QV_DEADLINE=45 qv_poll 45 play_over || qv_fail "the play did not end within 45 s"

# ------------------------------------------------------------ results, title

press_on frmStage space
qv_wait_state open frmResults
final=$(qv_state Module1.LastScore)
((final < 2000)) || qv_fail "the final score $final would not lead back to the title"
press_on frmResults space
qv_wait_state open frmTitle
qv_wait_focus frmTitle
qv_log "results (final score $final), then the title again: the road holds"
