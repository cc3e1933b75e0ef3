#!/usr/bin/env bash
# A save of the records that fails in the real game: a directory stands
# where the records file belongs. The name entry's save is reported in one
# line on stderr and in a dialog over the title; the player dismisses it and
# plays on. With the directory gone, the end of the game saves the record.
#
#   failed-save.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools xdotool

binary=${1:?usage: failed-save.sh PATH-TO-QUORVEL}
kName=abc

# The message box is the only window with the program's bare name.
dialog_shown() {
    xdotool search --onlyvisible --name '^Quorvel$' >/dev/null 2>&1
}
dialog_gone() {
    ! dialog_shown
}

qv_start_game "$binary"
records=$qv_scratch/qorvl.dat
mkdir "$records"
qv_play_to_name_entry
row=$(qv_state frmNentry.EntryRow)
qv_key a b c
qv_wait_state "frmNentry.Label1($row).Caption" "$kName"
qv_key Return
qv_wait_state active frmCertif
qv_wait_focus frmCertif
qv_key Return
qv_wait_state open frmTitle
qv_log "the name entry closed and saved"

report="quorvel: The records file \"$records\" cannot be written: Filename refers to a directory."
qv_poll "$QV_DEADLINE" dialog_shown || qv_fail "no dialog reports the failed save"
[[ $(cat "$qv_scratch/game.err") == "$report" ]] || qv_fail "stderr is not the one line '$report'"
[[ $(xdotool getactivewindow getwindowname) == Quorvel ]] || qv_fail "the dialog does not have the keyboard"
qv_game_exited && qv_fail "the game ended after the failed save"
qv_log "reported on stderr and in a dialog"

qv_key Return
qv_poll "$QV_DEADLINE" dialog_gone || qv_fail "Enter did not dismiss the dialog"
qv_wait_focus frmTitle
qv_wait_state "Module1.RecordName(0,$row)" "$kName"
qv_key space
qv_wait_state active frmMenu
qv_wait_focus frmMenu
qv_log "the game goes on with $kName in row $row"

rmdir "$records"
qv_key alt+F4
qv_expect_game_exit 0
grep -aq "^$kName, " "$records" || qv_fail "the end of the game did not save the record: $(cat "$records")"
[[ $(wc -l <"$qv_scratch/game.err") == 1 ]] || qv_fail "the save at the end reported: $(cat "$qv_scratch/game.err")"
qv_log "the end of the game saved the record"
