#!/usr/bin/env bash
# A Wayland session with XWayland, the common desktop: weston --xwayland in a
# private Xvfb, the game started with both DISPLAY (the XWayland server) and
# WAYLAND_DISPLAY set, XDG_SESSION_TYPE=wayland and no platform chosen. It
# must run as an X client of XWayland, where its windows can be placed: the
# records panel's outer corner at +236/+62 pixels from the menu's frame, its
# whole caption in the title bar it draws (weston's X window manager would
# cut it short).
#
#   xwayland-session.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/../x11/lib.sh"
qv_enter_session --weston --xwayland "$0" "$@"
qv_require_tools xdotool xwininfo weston Xwayland

binary=${1:?usage: xwayland-session.sh PATH-TO-QUORVEL}
kTwipsPerPixel=15
qv_focus_probe=game

# What the XWayland server knows of the window titled CAPTION.
on_xwayland() {
    DISPLAY=$QV_XWAYLAND_DISPLAY "$@"
}

# "X Y" of the frame around the window titled CAPTION on the XWayland
# screen: its top-level ancestor, which weston's X window manager puts
# around the windows it decorates. The records panel draws its own frame,
# so it is its own top-level window.
frame_origin() {
    local id frame
    id=$(on_xwayland qv_x_window "$1")
    [[ -n $id ]] || return 1
    frame=$(on_xwayland qv_x_frame_of "$id") || return 1
    on_xwayland qv_x_origin "$frame"
}

# The frame of CAPTION stands DX, DY pixels from that of REFERENCE.
frame_offset_is() {
    local caption=$1 reference=$2 dx=$3 dy=$4 x y rx ry
    read -r x y <<<"$(frame_origin "$caption")" || return 1
    read -r rx ry <<<"$(frame_origin "$reference")" || return 1
    [[ -n $x && -n $rx ]] && ((x - rx == dx && y - ry == dy))
}

qv_start_game "$binary" DISPLAY="$QV_XWAYLAND_DISPLAY" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
    XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" XDG_SESSION_TYPE=wayland
qv_wait_state host.platform xcb
title_caption=$(qv_state frmTitle.Caption)
qv_poll "$QV_DEADLINE" on_xwayland qv_x_window_exists "$title_caption" ||
    qv_fail "no window titled '$title_caption' on the XWayland display $QV_XWAYLAND_DISPLAY"
qv_log "the game is an X client of XWayland ($QV_XWAYLAND_DISPLAY)"

# The game says it has the keyboard once XWayland gave its window the X
# focus; the compositor's own choice is XWayland's active window.
keyboard_on() {
    qv_wait_focus "$1"
    on_xwayland qv_wait_x_active "$(qv_state "$1.Caption")"
}

keyboard_on frmTitle
qv_key_received space
qv_wait_state open frmMenu
menu_caption=$(qv_state frmMenu.Caption)
keyboard_on frmMenu
qv_key_received Down
qv_wait_state open frmMenu,frmRecord
records_caption=$(qv_state frmRecord.Caption)
qv_poll "$QV_DEADLINE" on_xwayland qv_x_window_exists "$records_caption" ||
    qv_fail "no records panel on the XWayland display"
dx=$((($(qv_state frmRecord.Left) - $(qv_state frmMenu.Left)) / kTwipsPerPixel))
dy=$((($(qv_state frmRecord.Top) - $(qv_state frmMenu.Top)) / kTwipsPerPixel))
((dx == 236 && dy == 62)) || qv_fail "the model put the records panel at +$dx/+$dy px from the menu"
qv_poll "$QV_DEADLINE" frame_offset_is "$records_caption" "$menu_caption" "$dx" "$dy" ||
    qv_fail "the records panel stands at '$(frame_origin "$records_caption")', the menu at '$(frame_origin "$menu_caption")': not +$dx/+$dy px"
qv_log "records panel placed at +$dx/+$dy px from the menu, as designed"
qv_wait_state host.titleBar.frmRecord "$records_caption"
qv_log "its title bar shows '$records_caption' whole"

keyboard_on frmRecord
qv_key_received Down
qv_wait_state open frmMenu,frmOption
keyboard_on frmOption
qv_log "options panel open and focused"
