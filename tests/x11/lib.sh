# Helpers for the end-to-end tests that drive the real game on an X server
# (sourced, not run). The game rewrites a state file after every event; the
# tests read what it judged and shows from there, and what the X server and
# the window manager did from xdotool, xwininfo and xprop.
#
# Every wait polls with a deadline: the machine that runs these may be busy
# building, so deadlines are generous and only a condition ends a wait.

QV_DEADLINE=${QV_DEADLINE:-20}
qv_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

qv_scratch=""
qv_game_pid=""
qv_state_file=""

# Re-runs the calling test inside its own X session unless it already is in
# one: qv_enter_session [SESSION-OPTIONS...] "$0" "$@", with the options of
# xsession.sh (--wm, --weston, --xwayland).
qv_enter_session() {
    local options=()
    while [[ $1 == --* ]]; do
        options+=("$1")
        shift
    done
    if [[ -z ${QV_X11_SESSION:-} ]]; then
        exec bash "$qv_here/xsession.sh" "${options[@]}" -- bash "$@"
    fi
}

qv_require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || qv_fail "$tool is not installed"
    done
}

qv_started_at=${EPOCHREALTIME/[.,]/}

qv_log() {
    local centiseconds=$(((${EPOCHREALTIME/[.,]/} - qv_started_at) / 10000))
    printf '%s [%3d.%02ds] %s\n' "$(basename "$0")" $((centiseconds / 100)) $((centiseconds % 100)) "$*"
}

# Ends the test: says why, shows what the game last reported, keeps the
# scratch directory with a screenshot of the whole screen.
qv_fail() {
    echo "FAIL: $*" >&2
    if [[ -n $qv_state_file && -e $qv_state_file ]]; then
        echo "--- last state file ($qv_state_file), windows, stage and shared values:" >&2
        grep -E '^(open|active)=|^host\.|^[A-Za-z0-9]+\.(Caption|Left|Top)=|^frmStage\.(Hits|Strokes|TargetIndex|TimeLeft|PosY|StageScore)=|^frmZone\.ZoneCursor=|^Module1\.(SidePanel|MenuCursor|KeepCursor|CurrentZone)=' \
            "$qv_state_file" | sed 's/^/  /' >&2
    fi
    if [[ -n $qv_scratch && -d $qv_scratch ]]; then
        if [[ -s $qv_scratch/game.err ]]; then
            echo "--- the game's error output:" >&2
            sed 's/^/  /' "$qv_scratch/game.err" >&2
        fi
        if command -v import >/dev/null && import -window root "$qv_scratch/screen.png" 2>/dev/null; then
            echo "--- screenshot: $qv_scratch/screen.png" >&2
        fi
        echo "--- kept: $qv_scratch" >&2
        # A file, not a variable: qv_fail may run in a command substitution.
        touch "$qv_scratch/.keep"
    fi
    exit 1
}

qv_cleanup() {
    if [[ -n $qv_game_pid ]] && kill -0 "$qv_game_pid" 2>/dev/null; then
        kill "$qv_game_pid" 2>/dev/null
        wait "$qv_game_pid" 2>/dev/null
    fi
    if [[ -n $qv_scratch && ! -e $qv_scratch/.keep ]]; then
        rm -rf "$qv_scratch"
    fi
}
trap qv_cleanup EXIT

# Polls COMMAND until it succeeds or SECONDS have passed.
qv_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# ------------------------------------------------------------------ the game

# How a test learns which window has the keyboard: "x" asks the X server
# (xdotool); "game" reads the game's own `host.focus=` line, for a Wayland
# compositor, which tells nobody outside.
qv_focus_probe=x

# A fresh scratch directory for one run of the game, kept when a test fails.
qv_new_scratch() {
    qv_cleanup
    qv_scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-x11.XXXXXX")
    qv_state_file=$qv_scratch/state.txt
}

# Starts a copy of the game in a scratch directory (its records file lives
# beside the executable) and waits until the title is shown and focused.
# By default it runs as an X client on DISPLAY; the arguments after the
# binary change its environment: `-u NAME` unsets, NAME=VALUE sets.
qv_start_game() {
    local binary=$1
    shift
    [[ -x $binary ]] || qv_fail "no game executable at '$binary'"
    qv_new_scratch
    cp "$binary" "$qv_scratch/quorvel"
    qv_launch_game "$@" -- "$qv_scratch/quorvel"
}

# qv_launch_game [-u NAME | NAME=VALUE]... -- COMMAND...: runs COMMAND (the
# game, or a wrapper that starts it) in the background with its state in
# $qv_state_file, and waits until the title is shown and focused.
qv_launch_game() {
    local unset=() assign=()
    while [[ $1 != -- ]]; do
        if [[ $1 == -u ]]; then
            unset+=(-u "$2")
            shift 2
        else
            assign+=("$1")
            shift
        fi
    done
    shift
    # A real window, without an input method that could take the keys.
    # In a sanitizer build, only leaks of the game's own count.
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u QT_IM_MODULE -u XMODIFIERS "${unset[@]}" \
        XDG_RUNTIME_DIR="$qv_scratch" QUORVEL_STATE_FILE="$qv_state_file" \
        LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$qv_here/lsan.supp:print_suppressions=0" \
        "${assign[@]}" "$@" \
        >"$qv_scratch/game.out" 2>"$qv_scratch/game.err" &
    qv_game_pid=$!
    qv_wait_state active frmTitle
    qv_wait_focus frmTitle
}

# Waits until the window of FORM has the keyboard, so that the next key
# press reaches it.
qv_wait_focus() {
    if [[ $qv_focus_probe == game ]]; then
        qv_wait_state host.focus "$1"
    else
        qv_wait_x_active "$(qv_state "$1.Caption")"
    fi
}

# The value of KEY in the state file (empty when the line is missing).
qv_state() {
    awk -v key="$1=" 'index($0, key) == 1 { printf "%s", substr($0, length(key) + 1); exit }' \
        "$qv_state_file" 2>/dev/null
}

qv_state_is() {
    [[ $(qv_state "$1") == "$2" ]]
}

qv_wait_state() {
    local key=$1 value=$2
    qv_poll "$QV_DEADLINE" qv_state_settled "$key" "$value"
    qv_state_is "$key" "$value" && return 0
    if qv_game_exited; then
        wait "$qv_game_pid"
        qv_fail "the game ended with status $? while the test waited for $key=$value"
    fi
    qv_fail "waited ${QV_DEADLINE}s for $key=$value; it is '$(qv_state "$key")'"
}

# The state shows KEY=VALUE, or never will since the game has ended.
qv_state_settled() {
    qv_state_is "$1" "$2" || qv_game_exited
}

qv_game_exited() {
    ! kill -0 "$qv_game_pid" 2>/dev/null
}

# Waits for the game to end by itself and checks its exit status.
qv_expect_game_exit() {
    local expected=$1
    if ! qv_poll "$QV_DEADLINE" qv_game_exited; then
        qv_fail "the game is still running ${QV_DEADLINE}s after its last window was closed"
    fi
    wait "$qv_game_pid"
    local status=$?
    qv_game_pid=""
    ((status == expected)) || qv_fail "the game exited with status $status, not $expected"
}

# Presses keys through XTEST, as a keyboard would: they go to the window
# that has the input focus, through the keymap that is loaded.
qv_key() {
    xdotool key --clearmodifiers "$@" || qv_fail "xdotool could not press $*"
}

# Whether the stage has judged a key since its Strokes were $1.
qv_judged_since() {
    (($(qv_state frmStage.Strokes) > $1))
}

# Types the key of the falling target (the Alphabetic zone's targets 1 to
# 26 are the letters) and waits until the stage has judged it.
qv_hit_current_target() {
    local letters=({a..z}) strokes target
    strokes=$(qv_state frmStage.Strokes)
    target=$(qv_state frmStage.TargetIndex)
    ((target >= 1 && target <= 26)) || qv_fail "target $target is not a letter"
    qv_key "${letters[target - 1]}"
    qv_poll "$QV_DEADLINE" qv_judged_since "$strokes" || qv_fail "the key for target $target was not judged"
}

qv_keys_received_since() {
    (($(qv_state host.keys) > $1))
}

# Presses KEY and waits until the game's windows have received it (the
# game's `host.keys=` count). On a busy machine a key was once lost on its
# way through weston and XWayland to a window that had the keyboard; a key
# that provably never arrived, the count standing still for
# QV_LOST_KEY_SECONDS, is pressed once more, and a second loss fails the test.
QV_LOST_KEY_SECONDS=${QV_LOST_KEY_SECONDS:-5}
qv_key_received() {
    local before attempt
    for attempt in 1 2; do
        before=$(qv_state host.keys)
        [[ -n $before ]] || qv_fail "the state file has no host.keys line"
        qv_key "$1"
        qv_poll "$QV_LOST_KEY_SECONDS" qv_keys_received_since "$before" && return 0
        ((attempt == 1)) && qv_log "key $1 never reached the game; pressing it again"
    done
    qv_fail "key $1 never reached the game's windows, twice"
}

# ------------------------------------------------------------- the X side

# The one mapped client window whose title is exactly CAPTION.
qv_x_window() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null | head -n1
}

qv_x_window_exists() {
    [[ -n $(qv_x_window "$1") ]]
}

qv_x_window_gone() {
    [[ -z $(qv_x_window "$1") ]]
}

qv_wait_x_window() {
    qv_poll "$QV_DEADLINE" qv_x_window_exists "$1" || qv_fail "no window titled '$1' appeared"
    qv_x_window "$1"
}

qv_wait_x_window_gone() {
    qv_poll "$QV_DEADLINE" qv_x_window_gone "$1" || qv_fail "the window titled '$1' is still mapped"
}

qv_x_active_title() {
    local id
    id=$(xdotool getactivewindow 2>/dev/null) || return 1
    xdotool getwindowname "$id" 2>/dev/null
}

qv_x_active_is() {
    [[ $(qv_x_active_title) == "$1" ]]
}

# Waits until the window manager has given the focus to the window titled
# CAPTION, so that the next key press reaches it.
qv_wait_x_active() {
    qv_poll "$QV_DEADLINE" qv_x_active_is "$1" ||
        qv_fail "the active X window is '$(qv_x_active_title)', not '$1'"
}

# The window manager's frame around client window ID: its top-level ancestor.
qv_x_frame_of() {
    local id=$1 root parent
    root=$(xwininfo -root | awk '/Window id:/ { print $4; exit }')
    while :; do
        parent=$(xwininfo -tree -id "$id" 2>/dev/null | awk '/Parent window id:/ { print $4; exit }')
        [[ -n $parent ]] || return 1
        [[ $parent == "$root" ]] && break
        id=$parent
    done
    printf '%s' "$id"
}

# Clicks the close box the game draws on the tool window titled CAPTION:
# 12 x 10 pixels, its centre 11 pixels left of the window's right edge and
# 10 below its top.
qv_click_drawn_close_box() {
    local window width
    window=$(qv_x_window "$1")
    [[ -n $window ]] || qv_fail "no window titled '$1' to close"
    width=$(xwininfo -id "$window" | awk '/^ *Width:/ { print $2 }')
    [[ -n $width ]] || qv_fail "xwininfo knows no width of '$1'"
    xdotool mousemove --window "$window" $((width - 11)) 10 click 1 || qv_fail "xdotool could not click the close box of '$1'"
}

# "X Y": where the top-left corner of window ID stands on the screen.
qv_x_origin() {
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { if (x != "") print x, y }'
}

# From the title to the name entry, focused: a play of the Alphabetic zone
# that scores enough for the table.
qv_play_to_name_entry() {
    local form
    for form in frmMenu frmZone frmStage; do
        qv_key space
        qv_wait_state active "$form"
        qv_wait_focus "$form"
    done
    qv_key space
    qv_wait_state frmStage.Timer1.Enabled 1
    while (($(qv_state frmStage.StageScore) < 4000)); do
        qv_state_is frmStage.Timer1.Enabled 1 || qv_fail "the play ended at $(qv_state frmStage.StageScore) points"
        qv_hit_current_target
    done
    QV_DEADLINE=45 qv_wait_state frmStage.TimeLeft 0
    qv_key Return
    qv_wait_state active frmResults
    qv_key Return
    qv_wait_state active frmNentry
    qv_wait_focus frmNentry
}
