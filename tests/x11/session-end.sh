#!/usr/bin/env bash
# The session ends while the certificate shows the name just entered:
# SIGTERM (a logout, a shutdown) closes the game's windows as the player
# would, the name entry's own unload saves, and the records file holds
# byte for byte the table that dismissing the certificate would have
# written.
#
#   session-end.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools xdotool iconv cmp

binary=${1:?usage: session-end.sh PATH-TO-QUORVEL}
kName=xyz

# The table the game holds now, as the records file carries it.
table_as_saved() {
    local zone rank
    for zone in 0 1 2; do
        for rank in 0 1 2 3 4 5 6 7 8 9; do
            printf '%s, %s\r\n' "$(qv_state "Module1.RecordName($zone,$rank)")" \
                "$(qv_state "Module1.RecordScore($zone,$rank)")"
        done
    done | iconv -f UTF-8 -t CP932
}

qv_start_game "$binary"
records=$qv_scratch/qorvl.dat
qv_play_to_name_entry
row=$(qv_state frmNentry.EntryRow)
qv_key x y z
qv_wait_state "frmNentry.Label1($row).Caption" "$kName"
qv_key Return
qv_wait_state active frmCertif
qv_wait_state "Module1.RecordName(0,$row)" "$kName"
[[ -e $records ]] && qv_fail "the records were saved before the game ended"
table_as_saved >"$qv_scratch/expected.dat"
qv_log "the certificate shows $kName in row $row"

kill -TERM "$qv_game_pid"
qv_expect_game_exit 0
[[ -e $records ]] || qv_fail "SIGTERM at the certificate saved no records"
cmp "$records" "$qv_scratch/expected.dat" >&2 ||
    qv_fail "the records file is not the table the certificate's dismissal saves: $(od -c "$records" | head -5)"
[[ ! -s $qv_scratch/game.err ]] || qv_fail "the game reported: $(cat "$qv_scratch/game.err")"
qv_log "SIGTERM at the certificate saved $kName as its dismissal would"
