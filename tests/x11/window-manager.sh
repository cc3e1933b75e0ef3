#!/usr/bin/env bash
# The game's windows under a real window manager: its own Xvfb with openbox.
# Walks title, menu, records panel and options panel with key presses, clicks
# the menu window while a side panel is open, checks titles, stacking and
# places, drags a panel by its title bar, and closes the windows through the
# window manager and through the close box the game draws.
#
# The side panels are framed by the game (openbox's title bar would leave
# their captions a few letters): openbox gives them no frame extents, and
# the game's state file says which caption their drawn title bar shows.
#
# Two views of a place are compared:
# - the model's Left/Top in the state file (twips, 15 to a pixel): where the
#   game put the window, the outer top-left corner of its frame;
# - the X server's: the frame is the client window's top-level ancestor
#   (openbox reparents each client into a frame with a border and a title
#   bar), and `xwininfo -id FRAME` gives its absolute upper-left corner.
#   `xwininfo -id CLIENT` gives the client area's corner instead, which sits
#   inside the frame by the border and the title bar (its -frame option only
#   changes which window a mouse click picks); xdotool getwindowgeometry
#   adds the client's offset in its frame once more, so neither is used.
#
#   window-manager.sh PATH-TO-QUORVEL
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools xdotool xwininfo xprop

binary=${1:?usage: window-manager.sh PATH-TO-QUORVEL}

kTwipsPerPixel=15
kTitleCaption="Quorvel for Windows 95"
kMenuCaption="Quorvel - Menu -"
kRecordsCaption=("  Alphabetic Characters Zone" "  Kana Characters Zone" "  All kinds Characters Zone")
kOptionsCaption="  Option"

# "X Y" of the frame around the window titled CAPTION.
frame_origin() {
    local client frame
    client=$(qv_x_window "$1")
    [[ -n $client ]] || return 1
    frame=$(qv_x_frame_of "$client") || return 1
    qv_x_origin "$frame"
}

frame_origin_is() {
    [[ $(frame_origin "$1") == "$2" ]]
}

# The window manager places a new window a moment after it is mapped.
expect_frame_at() {
    local caption=$1 expected=$2
    qv_poll "$QV_DEADLINE" frame_origin_is "$caption" "$expected" ||
        qv_fail "the frame of '$caption' stands at '$(frame_origin "$caption")', not at $expected"
}

# "X Y" in whole pixels of form FORM's Left and Top in the state file.
model_origin() {
    local left top
    left=$(qv_state "$1.Left")
    top=$(qv_state "$1.Top")
    [[ -n $left && -n $top ]] || qv_fail "the state file has no place for $1"
    awk -v l="$left" -v t="$top" -v k="$kTwipsPerPixel" 'BEGIN { printf "%d %d", int(l / k + 0.5), int(t / k + 0.5) }'
}

# Start-up centres the title's outer window on the screen.
expect_title_centred() {
    local screen width height
    screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
    width=${screen%x*}
    height=${screen#*x}
    awk -v l="$(qv_state frmTitle.Left)" -v w="$(qv_state frmTitle.Width)" \
        -v t="$(qv_state frmTitle.Top)" -v h="$(qv_state frmTitle.Height)" \
        -v sw=$((width * kTwipsPerPixel)) -v sh=$((height * kTwipsPerPixel)) \
        'BEGIN { exit !(l * 2 + w == sw && t * 2 + h == sh) }' ||
        qv_fail "the title is not centred on the ${screen} screen"
}

# "X Y" moved by DX and DY pixels.
offset() {
    local x y
    read -r x y <<<"$1"
    echo "$((x + $2)) $((y + $3))"
}

# Indexes in the window manager's stacking order, bottom first.
stacking_index() {
    local client hex
    client=$(qv_x_window "$1")
    [[ -n $client ]] || return 1
    hex=$(printf '0x%x' "$client")
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/^.*# //; s/, /\n/g' | grep -n -x "$hex" | cut -d: -f1
}

expect_stacked_above() {
    local upper=$1 lower=$2 upper_index lower_index
    upper_index=$(stacking_index "$upper")
    lower_index=$(stacking_index "$lower")
    [[ -n $upper_index && -n $lower_index ]] ||
        qv_fail "'$upper' or '$lower' is missing from _NET_CLIENT_LIST_STACKING: $(xprop -root _NET_CLIENT_LIST_STACKING)"
    ((upper_index > lower_index)) ||
        qv_fail "'$upper' is stacked below '$lower': $(xprop -root _NET_CLIENT_LIST_STACKING)"
}

# "LEFT, RIGHT, TOP, BOTTOM": what the window manager's frame adds around
# the client window titled CAPTION.
frame_extents() {
    local client
    client=$(qv_x_window "$1")
    [[ -n $client ]] || return 1
    xprop -id "$client" _NET_FRAME_EXTENTS | sed -n 's/^_NET_FRAME_EXTENTS(CARDINAL) = //p'
}

frame_extents_are() {
    [[ $(frame_extents "$1") == "$2" ]]
}

# The window of FORM shows its whole CAPTION in the title bar the game
# draws, and the window manager adds no title bar of its own.
expect_whole_caption() {
    local form=$1 caption=$2
    qv_wait_state "host.titleBar.$form" "$caption"
    qv_poll "$QV_DEADLINE" frame_extents_are "$caption" "0, 0, 0, 0" ||
        qv_fail "openbox frames '$caption' with extents '$(frame_extents "$caption")'"
}

# A side panel of the menu is shown: the model and the X server agree that
# it is the active window, at DX_TWIPS/DY_TWIPS from the menu window, above
# the menu, with its whole caption in view.
expect_side_panel() {
    local form=$1 caption=$2 dx_twips=$3 dy_twips=$4
    qv_wait_state active "$form"
    qv_wait_state "$form.Caption" "$caption"
    expect_whole_caption "$form" "$caption"
    qv_wait_state "$form.Left" $(($(qv_state frmMenu.Left) + dx_twips))
    qv_wait_state "$form.Top" $(($(qv_state frmMenu.Top) + dy_twips))
    qv_wait_x_window "$caption" >/dev/null || exit 1
    qv_wait_x_active "$caption"
    expect_frame_at "$caption" "$(model_origin "$form")"
    expect_frame_at "$caption" "$(offset "$menu_frame" $((dx_twips / kTwipsPerPixel)) $((dy_twips / kTwipsPerPixel)))"
    expect_stacked_above "$caption" "$kMenuCaption"
}

expect_only_menu_open() {
    qv_wait_state open frmMenu
    qv_wait_state active frmMenu
    qv_wait_x_active "$kMenuCaption"
}

# Clicks the menu window's own picture, left of where the panels stand.
click_menu() {
    local menu
    menu=$(qv_x_window "$kMenuCaption")
    [[ -n $menu ]] || qv_fail "no menu window to click"
    xdotool mousemove --window "$menu" 40 180 click 1 || qv_fail "xdotool could not click the menu"
}

# Closes the active window the way its close box does: openbox's Alt+F4
# sends it WM_DELETE_WINDOW (xdotool's windowclose and windowkill would
# destroy the window or kill the client instead).
close_active_window() {
    qv_key alt+F4
}

# The host takes a move in the first second after it placed a window for
# the window manager settling it there, not for the player's drag.
kPlacementSettleMicroseconds=1000000

placement_settled() {
    ((${EPOCHREALTIME/[.,]/} - panel_shown_at > kPlacementSettleMicroseconds))
}

# Drags the records panel by DX, DY pixels with its drawn title bar, as a
# player does. The press asks the window manager to move the window, which
# from then on follows the pointer's moves from wherever the pointer was when
# the move began; on a busy machine that may be after the first moves.
# So the pointer nudges the panel until it follows, and then goes where the
# panel comes to stand DX, DY from where it began.
drag_records_panel() {
    local dx=$1 dy=$2 panel x y fx fy
    panel=$(qv_x_window "${kRecordsCaption[0]}")
    [[ -n $panel ]] || qv_fail "no records panel to drag"
    drag_start=$(frame_origin "${kRecordsCaption[0]}")
    read -r x y <<<"$drag_start"
    drag_press=("$((x + 60))" "$((y + 9))")
    qv_poll "$QV_DEADLINE" placement_settled
    xdotool mousemove "${drag_press[@]}" mousedown 1 || qv_fail "xdotool could not press on the records panel"
    qv_poll "$QV_DEADLINE" panel_follows_nudge || qv_fail "the records panel does not follow the pointer"
    # The panel moved by as much less than the pointer as the pointer had
    # moved before the move began.
    read -r fx fy <<<"$(frame_origin "${kRecordsCaption[0]}")"
    xdotool mousemove "$((drag_pointer[0] - (fx - x) + dx))" "$((drag_pointer[1] - (fy - y) + dy))" ||
        qv_fail "xdotool could not move the pointer"
    expect_frame_at "${kRecordsCaption[0]}" "$(offset "$drag_start" "$dx" "$dy")"
    xdotool mouseup 1 || qv_fail "xdotool could not release the button"
}

panel_moved() {
    local now
    now=$(frame_origin "${kRecordsCaption[0]}")
    [[ -n $now && $now != "$drag_start" ]]
}

# Moves the pointer 2, 1 from the press and back, until the panel has left
# its place; drag_pointer says where the pointer then stands.
panel_follows_nudge() {
    local at
    for at in "$((drag_press[0] + 2)) $((drag_press[1] + 1))" "${drag_press[*]}"; do
        read -r -a drag_pointer <<<"$at"
        xdotool mousemove "${drag_pointer[@]}" || return 1
        qv_poll 1 panel_moved && return 0
    done
    return 1
}

# ------------------------------------------------------------ title and menu

qv_start_game "$binary"
qv_wait_state "frmTitle.Caption" "$kTitleCaption"
expect_title_centred
title_place="$(qv_state frmTitle.Left) $(qv_state frmTitle.Top)"
title_frame=$(model_origin frmTitle)
expect_frame_at "$kTitleCaption" "$title_frame"
qv_log "title at $title_frame"

qv_key space
qv_wait_state open frmMenu
qv_wait_state active frmMenu
qv_wait_x_window_gone "$kTitleCaption"
qv_wait_x_active "$kMenuCaption"
[[ "$(qv_state frmMenu.Left) $(qv_state frmMenu.Top)" == "$title_place" ]] ||
    qv_fail "the menu's Left/Top ($(qv_state frmMenu.Left) $(qv_state frmMenu.Top)) are not the title's ($title_place)"
expect_frame_at "$kMenuCaption" "$title_frame"
menu_frame=$title_frame
qv_log "menu where the title stood"

# ------------------------------------------------------------ side panels

qv_key Down
qv_wait_state open frmMenu,frmRecord
expect_side_panel frmRecord "${kRecordsCaption[0]}" 3540 930
qv_log "records panel at +236/+62 px, above the menu"

qv_key Right
qv_wait_state frmRecord.Caption "${kRecordsCaption[1]}"
qv_wait_x_window "${kRecordsCaption[1]}" >/dev/null || exit 1
expect_whole_caption frmRecord "${kRecordsCaption[1]}"
qv_key Right
qv_wait_state frmRecord.Caption "${kRecordsCaption[2]}"
expect_whole_caption frmRecord "${kRecordsCaption[2]}"
qv_key Left
qv_wait_state frmRecord.Caption "${kRecordsCaption[1]}"
qv_log "records panel retitled for each zone, its caption whole"

qv_key Down
qv_wait_state open frmMenu,frmOption
qv_wait_x_window_gone "${kRecordsCaption[1]}"
expect_side_panel frmOption "$kOptionsCaption" 3540 1890
qv_wait_state Module1.MenuCursor 2
qv_log "options panel at +236/+126 px, above the menu"

qv_key Up
qv_wait_state open frmMenu,frmRecord
qv_wait_x_window_gone "$kOptionsCaption"
expect_side_panel frmRecord "${kRecordsCaption[0]}" 3540 930
qv_log "Up on the options panel brings back the records panel"

# ------------------------------------------------------------ clicks on the menu

click_menu
expect_only_menu_open
qv_wait_x_window_gone "${kRecordsCaption[0]}"
qv_wait_state Module1.MenuCursor 1
qv_log "a click on the menu closed the records panel"

# The menu's own keys: Up to START, Down to RECORDS opens the panel again;
# from there Down opens the options panel, which a click closes as well.
qv_key Up
qv_wait_state Module1.MenuCursor 0
qv_key Down
expect_side_panel frmRecord "${kRecordsCaption[0]}" 3540 930
qv_key Down
expect_side_panel frmOption "$kOptionsCaption" 3540 1890
qv_wait_state Module1.SidePanel 2
click_menu
expect_only_menu_open
qv_wait_x_window_gone "$kOptionsCaption"
qv_wait_state Module1.MenuCursor 2
qv_log "a click on the menu closed the options panel"

# ------------------------------------------------------------ drag and close boxes

qv_key Up
expect_side_panel frmRecord "${kRecordsCaption[0]}" 3540 930
panel_shown_at=${EPOCHREALTIME/[.,]/}
drag_records_panel 30 20
# The state file is rewritten after the game's next event.
qv_key Right
qv_wait_state frmRecord.Caption "${kRecordsCaption[1]}"
qv_wait_state frmRecord.Left $((3540 + $(qv_state frmMenu.Left) + 30 * kTwipsPerPixel))
qv_wait_state frmRecord.Top $((930 + $(qv_state frmMenu.Top) + 20 * kTwipsPerPixel))
expect_frame_at "${kRecordsCaption[1]}" "$(model_origin frmRecord)"
qv_log "records panel dragged by its title bar by +30/+20 px: the model follows"

qv_click_drawn_close_box "${kRecordsCaption[1]}"
expect_only_menu_open
qv_wait_x_window_gone "${kRecordsCaption[1]}"
qv_log "records panel closed by the close box the game draws"

qv_key Up
qv_wait_state Module1.MenuCursor 0
qv_key Down
expect_side_panel frmRecord "${kRecordsCaption[0]}" 3540 930
qv_key Down
expect_side_panel frmOption "$kOptionsCaption" 3540 1890
close_active_window
expect_only_menu_open
qv_wait_x_window_gone "$kOptionsCaption"
qv_log "options panel closed through the window manager"

close_active_window
qv_wait_x_window_gone "$kMenuCaption"
qv_expect_game_exit 0
qv_log "menu closed: the game exited 0"
