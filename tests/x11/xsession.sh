#!/usr/bin/env bash
# Runs a command inside a private X session: its own Xvfb on the first free
# display of :90 to :99 and, with --wm, an openbox window manager; or, with
# --weston, a weston compositor (its x11 backend, one output window filling
# the Xvfb screen) that Wayland clients connect to, with --xwayland its
# XWayland server too. XTEST key presses on the Xvfb reach weston's output
# window and so the Wayland client that weston gave the keyboard.
# Everything started here is torn down when the command ends, however it ends.
#
#   xsession.sh [--wm | --weston [--xwayland]] [--] COMMAND [ARGS...]
#
# The command sees DISPLAY (the Xvfb) and QV_X11_SESSION=1; with --weston
# also WAYLAND_DISPLAY and a private XDG_RUNTIME_DIR (mode 0700), with
# --xwayland QV_XWAYLAND_DISPLAY. Exit status: the command's; 1 when a tool
# is missing or no session could be started.
set -uo pipefail

with_wm=0
with_weston=0
with_xwayland=0
while (($#)); do
    case $1 in
    --wm) with_wm=1; shift ;;
    --weston) with_weston=1; shift ;;
    --xwayland) with_xwayland=1; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
if (($# == 0)); then
    echo "usage: xsession.sh [--wm | --weston [--xwayland]] [--] COMMAND [ARGS...]" >&2
    exit 2
fi

for tool in Xvfb xdpyinfo xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "xsession: $tool is missing (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/qv-xsession.XXXXXX")
xvfb_pid=""
wm_pid=""
weston_pid=""

stop_process() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    # Give it two seconds to go quietly, then make sure.
    for _ in $(seq 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

teardown() {
    stop_process "$weston_pid"
    stop_process "$wm_pid"
    stop_process "$xvfb_pid"
    rm -rf "$session_dir"
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Polls COMMAND until it succeeds or SECONDS have passed.
poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# The display answers, and it is ours: the lock file names our server.
our_server_answers() {
    local number=$1
    kill -0 "$xvfb_pid" 2>/dev/null || return 2
    [[ $(tr -d ' ' 2>/dev/null <"/tmp/.X$number-lock") == "$xvfb_pid" ]] || return 1
    xdpyinfo -display ":$number" >/dev/null 2>&1
}

start_xvfb() {
    local number status
    for number in $(seq 90 99); do
        [[ -e /tmp/.X$number-lock ]] && continue
        Xvfb ":$number" -nolisten tcp -screen 0 1024x768x24 -noreset \
            >"$session_dir/xvfb-$number.log" 2>&1 &
        xvfb_pid=$!
        poll 15 our_server_answers "$number"
        status=$?
        if ((status == 0)); then
            export DISPLAY=":$number"
            return 0
        fi
        # Another session took this display first, or the server failed.
        stop_process "$xvfb_pid"
        xvfb_pid=""
    done
    echo "xsession: no display of :90 to :99 could be started" >&2
    for log in "$session_dir"/xvfb-*.log; do
        [[ -e $log ]] && sed "s|^|  $(basename "$log"): |" "$log" >&2
    done
    return 1
}

wm_is_running() {
    kill -0 "$wm_pid" 2>/dev/null || return 2
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

start_wm() {
    local tool
    for tool in openbox xdotool xmessage; do
        if ! command -v "$tool" >/dev/null; then
            echo "xsession: $tool is missing (scripts/install-deps.sh installs it)" >&2
            return 1
        fi
    done
    # The packaged configuration, not the user's own key bindings and theme.
    mkdir -p "$session_dir/config"
    XDG_CONFIG_HOME="$session_dir/config" openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
    wm_pid=$!
    if ! poll 15 wm_is_running; then
        echo "xsession: openbox did not come up:" >&2
        sed 's/^/  /' "$session_dir/openbox.log" >&2
        return 1
    fi
    if ! poll 60 wm_focuses_new_windows; then
        echo "xsession: openbox gave no new window the focus:" >&2
        sed 's/^/  /' "$session_dir/openbox.log" >&2
        return 1
    fi
}

# openbox names itself on the root window as soon as it owns the screen,
# but a window mapped while it is still starting is managed without the
# focus, and a test's first key would go nowhere. A probe window that
# openbox focuses shows that it has started; one it did not focus is
# replaced by another.
wm_focuses_new_windows() {
    kill -0 "$wm_pid" 2>/dev/null || return 2
    xmessage -title "$wm_probe_title" "waiting for the window manager" >/dev/null 2>&1 &
    local probe_pid=$! status=1
    poll 5 wm_probe_is_active && status=0
    kill "$probe_pid" 2>/dev/null
    wait "$probe_pid" 2>/dev/null
    poll 5 wm_probe_is_gone || status=1
    return $status
}

wm_probe_title=qv-wm-probe

wm_probe_is_active() {
    [[ $(xdotool getactivewindow getwindowname 2>/dev/null) == "$wm_probe_title" ]]
}

wm_probe_is_gone() {
    [[ -z $(xdotool search --name "^$wm_probe_title\$" 2>/dev/null) ]]
}

weston_is_up() {
    kill -0 "$weston_pid" 2>/dev/null || return 2
    [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] || return 1
    xwininfo -root -tree 2>/dev/null | grep -q '"Weston Compositor'
}

# The display weston's XWayland listens on, from weston's log.
xwayland_display() {
    sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$session_dir/weston.log" | head -n1
}

xwayland_is_listening() {
    kill -0 "$weston_pid" 2>/dev/null || return 2
    [[ -n $(xwayland_display) ]]
}

start_weston() {
    if ! command -v weston >/dev/null; then
        echo "xsession: weston is missing (scripts/install-deps.sh installs it)" >&2
        return 1
    fi
    export XDG_RUNTIME_DIR=$session_dir/runtime
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    export WAYLAND_DISPLAY=qv-wayland
    # No on-screen keyboard as input method, no panel: only what the test runs.
    printf '[core]\nidle-time=0\n[input-method]\npath=\n[shell]\npanel-position=none\n' \
        >"$session_dir/weston.ini"
    local options=(--backend=x11-backend.so --idle-time=0 --socket="$WAYLAND_DISPLAY"
        --width=1024 --height=768 --config="$session_dir/weston.ini")
    ((with_xwayland)) && options+=(--xwayland)
    weston "${options[@]}" >"$session_dir/weston.log" 2>&1 &
    weston_pid=$!
    if ! poll 20 weston_is_up; then
        echo "xsession: weston did not come up:" >&2
        sed 's/^/  /' "$session_dir/weston.log" >&2
        return 1
    fi
    if ((with_xwayland)); then
        if ! poll 20 xwayland_is_listening; then
            echo "xsession: weston started no XWayland:" >&2
            sed 's/^/  /' "$session_dir/weston.log" >&2
            return 1
        fi
        export QV_XWAYLAND_DISPLAY
        QV_XWAYLAND_DISPLAY=$(xwayland_display)
    fi
    # Without a window manager the X focus follows the pointer: into weston.
    xdotool mousemove 512 384 || return 1
}

start_xvfb || exit 1
if ((with_wm)); then
    start_wm || exit 1
fi
if ((with_weston)); then
    start_weston || exit 1
fi

QV_X11_SESSION=1 "$@"
