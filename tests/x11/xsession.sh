#!/usr/bin/env bash
# Runs a command inside a private X session: its own Xvfb on the first free
# display of :90 to :99 and, with --wm, an openbox window manager.
# Everything started here is torn down when the command ends, however it ends.
#
#   xsession.sh [--wm] [--] COMMAND [ARGS...]
#
# The command sees DISPLAY and QV_X11_SESSION=1. Exit status: the command's;
# 77 (a skipped test) when Xvfb is not installed; 1 when no session could be
# started.
set -uo pipefail

with_wm=0
while (($#)); do
    case $1 in
    --wm) with_wm=1; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
if (($# == 0)); then
    echo "usage: xsession.sh [--wm] [--] COMMAND [ARGS...]" >&2
    exit 2
fi

if ! command -v Xvfb >/dev/null; then
    echo "xsession: Xvfb is not installed; skipping" >&2
    exit 77
fi
for tool in xdpyinfo xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "xsession: $tool is missing (install x11-utils)" >&2
        exit 1
    fi
done

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/qv-xsession.XXXXXX")
xvfb_pid=""
wm_pid=""

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
    if ! command -v openbox >/dev/null; then
        echo "xsession: openbox is missing (install openbox)" >&2
        return 1
    fi
    # The packaged configuration, not the user's own key bindings and theme.
    mkdir -p "$session_dir/config"
    XDG_CONFIG_HOME="$session_dir/config" openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
    wm_pid=$!
    if ! poll 15 wm_is_running; then
        echo "xsession: openbox did not come up:" >&2
        sed 's/^/  /' "$session_dir/openbox.log" >&2
        return 1
    fi
}

start_xvfb || exit 1
if ((with_wm)); then
    start_wm || exit 1
fi

QV_X11_SESSION=1 "$@"
