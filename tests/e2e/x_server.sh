# shellcheck shell=bash
# Shell helpers for scripts that drive the program's window on a private virtual X server.
# Source it from bash; the helpers also work under `set -e`.

# within SECONDS COMMAND...: true as soon as COMMAND succeeds (tried every 20 ms), false once
# the time is up.
within() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@"; do
        (($(date +%s%N) < deadline)) || return 1
        sleep 0.02
    done
}

# alive PID: the process runs (a child that has ended but was not waited for does not count).
alive() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) && [ -n "$state" ] && [ "$state" != Z ]
}

# start_x_server DIR WIDTHxHEIGHT: starts Xvfb on a free display with one screen of that size,
# exports DISPLAY and sets X_SERVER_PID. Returns 1, with the reason on stderr, when no server
# could be started. Several runs at once each get their own display: a display number whose
# lock another server holds makes Xvfb stop at once, and the next number is tried.
start_x_server() {
    local dir=$1 size=$2 display attempt
    for attempt in 1 2 3 4 5 6 7 8; do
        display=$((100 + RANDOM % 900))
        [ -e "/tmp/.X$display-lock" ] && continue
        : >"$dir/display"
        # Xvfb writes the display number to descriptor 3 once it accepts clients. Without
        # -noreset it resets whenever its last client leaves, and refuses the next one meanwhile.
        Xvfb ":$display" -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset \
            3>"$dir/display" 2>"$dir/xvfb.log" &
        X_SERVER_PID=$!
        within 15 _x_server_settled "$dir" || true
        if [ -s "$dir/display" ] && alive "$X_SERVER_PID"; then
            export DISPLAY=":$display"
            return 0
        fi
        kill "$X_SERVER_PID" 2>/dev/null || true
        wait "$X_SERVER_PID" 2>/dev/null || true
    done
    echo "no X server could be started (attempt $attempt): $(tail -2 "$dir/xvfb.log" | tr '\n' ' ')" >&2
    return 1
}

_x_server_settled() {
    [ -s "$1/display" ] || ! alive "$X_SERVER_PID"
}

# scratch_folder PREFIX: makes a scratch folder in $work and an empty $pids; when the script
# ends, every process in $pids is stopped and the folder removed.
scratch_folder() {
    work=$(mktemp -d "/tmp/$1.XXXXXX")
    pids=()
    trap _stop_and_remove EXIT
}

_stop_and_remove() {
    local pid
    # A program a test started in a subshell of its own leaves its number in app.pid.
    [ -s "$work/app.pid" ] && kill "$(cat "$work/app.pid")" 2>/dev/null
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}

# fail MESSAGE: the test fails, with the tail of every log in $work.
fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -5 "$log"; } >&2
    done
    exit 1
}

# x_server_or_skip WIDTHxHEIGHT: starts the test's X server (see start_x_server) and adds it to
# $pids; where none can be started the test ends as skipped (exit status 77).
x_server_or_skip() {
    command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed (Debian package xvfb)"; exit 77; }
    if ! start_x_server "$work" "$1" 2>"$work/x_server.why"; then
        echo "SKIPPED: $(cat "$work/x_server.why")"
        exit 77
    fi
    pids+=("$X_SERVER_PID")
}

# openbox_or_fail: checks the tools the window tests use, starts openbox on the test's X server
# (added to $pids) and waits until it manages the screen.
openbox_or_fail() {
    local tool
    for tool in xdotool xprop xwininfo openbox; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    within 10 _window_manager_running || fail "openbox did not take the screen"
}

_window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# start_program RUN: starts the copy of the program in $work/app on the test's X server; its pid
# goes to $work/RUN.pid (and $pids), its output to $work/RUN.log, its exit status to
# $work/RUN.status.
start_program() {
    rm -f "$work/$1.pid" "$work/$1.status"
    (
        cd "$work/app" || exit
        QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" ./brantel >>"$work/$1.log" 2>&1 &
        echo $! >"$work/$1.pid"
        wait $!
        echo $? >"$work/$1.status"
    ) &
    within 5 test -s "$work/$1.pid" || fail "run $1 did not start"
    pids+=("$(cat "$work/$1.pid")")
}
