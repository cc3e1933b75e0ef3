#!/usr/bin/env bash
# Kana keyboards on a real X server: the game runs on its own Xvfb with a
# window manager; the keys are XTEST key events from xdotool, going through
# the keymap that setxkbmap loaded, first the Japanese layout (`jp`), then
# its kana variant (`jp(kana)`). What the stage judged is read back from the
# game's state file.
#
#   kana-keyboard.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools xdotool setxkbmap xkbcomp

binary=${1:?usage: kana-keyboard.sh PATH-TO-QUORVEL}

# The targets of the Alphabetic zone (positions 1 to 26) and of the Kana
# zone (27 to 66) as X keysyms: the key's character on the JIS layout
# (`jp`), and what the same key types with kana input (`jp(kana)`).
ascii_keysyms=(a b c d e f g h i j k l m n o p q r s t u v w x y z
    3 e 4 5 6 t g h colon b
    x d r p c q a z w s
    u i 1 comma k f v 2 asciicircum minus
    j n bracketright slash m 7 8 9 o l)
kana_keysyms=(kana_CHI kana_KO kana_SO kana_SHI kana_I kana_HA kana_KI kana_KU kana_NI kana_MA
    kana_NO kana_RI kana_MO kana_MI kana_RA kana_SE kana_TA kana_SU kana_TO kana_KA
    kana_NA kana_HI kana_TE kana_SA kana_N kana_TSU
    kana_A kana_I kana_U kana_E kana_O kana_KA kana_KI kana_KU kana_KE kana_KO
    kana_SA kana_SHI kana_SU kana_SE kana_SO kana_TA kana_CHI kana_TSU kana_TE kana_TO
    kana_NA kana_NI kana_NU kana_NE kana_NO kana_HA kana_HI kana_FU kana_HE kana_HO
    kana_MA kana_MI kana_MU kana_ME kana_MO kana_YA kana_YU kana_YO kana_RA kana_RI)
# Zone number: first position and count of its targets.
zone_first=(1 27)
zone_count=(26 40)
kTargetsPerLayout=8
current_zone=0

# ------------------------------------------------------------ keyboard layouts

use_layout() {
    local variant=$1
    setxkbmap -layout jp ${variant:+-variant "$variant"} || qv_fail "setxkbmap could not load jp($variant)"
    # The keymap must really carry the keys, or xdotool would type a missing
    # keysym through a spare keycode of its own instead of the layout's key.
    local keymap
    keymap=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null)
    if [[ -n $variant ]]; then
        grep -Eq 'key <AE03> *\{ *\[ *kana_A' <<<"$keymap" || qv_fail "jp($variant) is not in effect: <AE03> does not type kana_A"
    else
        grep -Eq 'key <AE03> *\{ *\[ *3,' <<<"$keymap" || qv_fail "jp is not in effect: <AE03> does not type 3"
    fi
    qv_log "layout jp${variant:+($variant)}"
}

# ------------------------------------------------------------ zone select

expect_zone_frame_at() {
    local zone=$1
    qv_wait_state frmZone.ZoneCursor "$zone"
    qv_wait_state frmZone.Shape1.Left $((300 + 1440 * zone))
    qv_wait_state frmZone.Shape4.Left $((1560 + 1440 * zone))
}

# ------------------------------------------------------------ the stage

# The keysym that types a character accepted for TARGET in LAYOUT ("ascii"
# or "kana"); with SHIFTED, a letter key's capital.
key_for_target() {
    local layout=$1 target=$2 shifted=${3:-}
    local slot=$((target - 1))
    ((slot >= 0 && slot < ${#ascii_keysyms[@]})) || qv_fail "target $target is in no zone this test plays"
    if [[ $layout == kana ]]; then
        printf '%s' "${kana_keysyms[slot]}"
    elif [[ -n $shifted && ${ascii_keysyms[slot]} == [a-z] ]]; then
        printf '%s' "${ascii_keysyms[slot]^^}"
    else
        printf '%s' "${ascii_keysyms[slot]}"
    fi
}

# The key of the zone's next target: never accepted for TARGET.
wrong_key_for_target() {
    local layout=$1 target=$2
    local first=${zone_first[current_zone]} count=${zone_count[current_zone]}
    key_for_target "$layout" $((first + (target - first + 1) % count))
}

stage_is_playing() {
    qv_state_is frmStage.Timer1.Enabled 1
}

# A glyph about to leave the canvas would be replaced by a new target before
# the key arrives; wait for a fresh flight instead.
target_not_leaving() {
    (($(qv_state frmStage.PosY) < 160))
}

retries=0
keys_pressed=0

# Presses the key that KIND ("hit" or "miss") calls for, for the target now
# falling, and checks how it was judged: a hit adds one to Hits and Strokes,
# a miss adds one to Strokes only. Returns 1 when the target flew off between
# reading it and the key's arrival, so that the key met another target.
judge_one_key() {
    local layout=$1 kind=$2 shifted=${3:-}
    stage_is_playing || qv_fail "the play time ran out: the machine was too slow for the typing checks"
    qv_poll "$QV_DEADLINE" target_not_leaving || qv_fail "the target did not move on"
    local hits strokes target key
    hits=$(qv_state frmStage.Hits)
    strokes=$(qv_state frmStage.Strokes)
    target=$(qv_state frmStage.TargetIndex)
    if [[ $kind == hit ]]; then
        key=$(key_for_target "$layout" "$target" "$shifted") || exit 1
    else
        key=$(wrong_key_for_target "$layout" "$target") || exit 1
    fi
    qv_key "$key"
    keys_pressed=$((keys_pressed + 1))
    qv_poll "$QV_DEADLINE" qv_judged_since "$strokes" ||
        qv_fail "key $key for target $target was not judged (Strokes stayed $strokes)"
    local new_hits new_strokes new_target
    new_hits=$(qv_state frmStage.Hits)
    new_strokes=$(qv_state frmStage.Strokes)
    new_target=$(qv_state frmStage.TargetIndex)
    ((new_strokes == strokes + 1)) || qv_fail "key $key raised Strokes from $strokes to $new_strokes"
    local expected_hits=$hits
    [[ $kind == hit ]] && expected_hits=$((hits + 1))
    if ((new_hits == expected_hits)); then
        qv_log "$kind: key $key on target $target (Hits $new_hits, Strokes $new_strokes)"
        return 0
    fi
    # Only a hit replaces the target, so a key judged otherwise than meant,
    # with another target now, met a target that replaced a flown-off one.
    if [[ $new_target != "$target" ]]; then
        qv_log "target $target flew off before key $key arrived; again"
        retries=$((retries + 1))
        return 1
    fi
    qv_fail "key $key on target $target in layout $layout: Hits went from $hits to $new_hits (expected $expected_hits)"
}

judge_until_done() {
    local attempt
    for attempt in 1 2 3 4 5; do
        judge_one_key "$@" && return 0
    done
    qv_fail "five targets in a row flew off before their key arrived"
}

type_targets() {
    local layout=$1 count=$2 n shifted
    for ((n = 0; n < count; n++)); do
        shifted=""
        ((n % 2)) && shifted=1
        judge_until_done "$layout" hit "$shifted"
    done
    judge_until_done "$layout" miss
}

# ------------------------------------------------------------ the road

# From the title to the zone select, with whatever layout is loaded.
walk_to_zone_select() {
    qv_start_game "$binary"
    qv_key space
    qv_wait_state active frmMenu
    qv_wait_x_active "$(qv_state frmMenu.Caption)"
    qv_key space
    qv_wait_state active frmZone
    qv_wait_x_active "$(qv_state frmZone.Caption)"
    expect_zone_frame_at 0
}

# Starts the zone under the frame and types its targets, first on the JIS
# layout and then with kana input, a wrong key after each series. The stage
# is then the only window: closing it ends the program.
play_zone() {
    current_zone=$1
    qv_key space
    qv_wait_state active frmStage
    qv_wait_x_active "$(qv_state frmStage.Caption)"
    qv_wait_state Module1.CurrentZone "$current_zone"
    use_layout ""
    qv_key space
    qv_poll "$QV_DEADLINE" stage_is_playing || qv_fail "Space did not start the play"
    qv_log "playing zone $current_zone"

    retries=0
    keys_pressed=0
    type_targets ascii "$kTargetsPerLayout"
    use_layout kana
    type_targets kana "$kTargetsPerLayout"
    # Every key press was judged exactly once.
    qv_state_is frmStage.Strokes "$keys_pressed" ||
        qv_fail "$keys_pressed keys were pressed in play, but Strokes is $(qv_state frmStage.Strokes)"
    qv_log "zone $current_zone: $(qv_state frmStage.Hits) hits in $keys_pressed keys," \
        "$(qv_state frmStage.TimeLeft)s of play left, $retries targets flew off first"

    qv_key alt+F4
    qv_expect_game_exit 0
    qv_log "stage closed; the game exited 0"
}

# Kana zone. KeyDown codes name physical keys: with kana input the F and J
# keys type ﾊ and ﾏ, and still move the frame.
use_layout ""
walk_to_zone_select
use_layout kana
qv_key kana_MA
expect_zone_frame_at 1
qv_key kana_HA
expect_zone_frame_at 0
qv_key kana_MA
expect_zone_frame_at 1
qv_log "F and J move the frame under jp(kana)"
play_zone 1

# Alphabetic zone: a letter also accepts the kana its key types.
use_layout ""
walk_to_zone_select
play_zone 0
