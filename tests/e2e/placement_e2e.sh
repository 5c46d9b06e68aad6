#!/usr/bin/env bash
# The real program under a real window manager (openbox) on a virtual X server: the window is
# framed, the stored placement is its outer rectangle, and five restarts in a row bring it back
# exactly where it was. Stored maximized, it opens maximized and keeps its normal rectangle for
# un-maximizing. A stored placement off every screen comes back onto the screen.
#
# usage: placement_e2e.sh BRANTEL
# Exit status 77 (reported as skipped) only when no X server can be started here.
set -uo pipefail
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/x_server.sh"

readonly brantel_exe=$1
readonly screen_size=1280x1024
scratch_folder brantel-placement

x_server_or_skip "$screen_size"
openbox_or_fail

mkdir "$work/app" && cp "$brantel_exe" "$work/app/brantel" || fail "cannot copy $brantel_exe"
readonly ini="$work/app/brantel.ini"
# No device: the program starts on a port that cannot open.
printf '[Ports]\nCOM2=%s\n' "$work/no-device" >"$ini"
mkdir -m 700 "$work/runtime"

window=
find_window() {
    window=$(xdotool search --all --onlyvisible --pid "$(cat "$work/app.pid")" \
        --name '^Brantel v\.1\.01$' 2>/dev/null | head -1)
    [ -n "$window" ]
}
# outer_rect: the window's rectangle on screen with its frame, as "left,top,right,bottom".
outer_rect() {
    local extents left right top bottom
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r left right top bottom <<<"$extents"
    # xwininfo's absolute position is the client's on the root window, frame or not.
    local x y width height
    read -r x y width height < <(xwininfo -id "$window" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
    echo "$((x - left)),$((y - top)),$((x + width + right)),$((y + height + bottom))"
}
# Settled once the frame is on and the rectangle stays the same for a quarter of a second.
settled_rect=
settled() {
    local first second
    first=$(outer_rect) || return 1
    sleep 0.25
    second=$(outer_rect) || return 1
    [ "$first" = "$second" ] && settled_rect=$first
}
stored_norm_pos() {
    tr -d '\r' <"$ini" | sed -n 's/^NormPos=//p'
}

# start_settled: starts the program and waits until its framed window has settled, leaving the
# rectangle it shows in $settled_rect.
start_settled() {
    start_program app
    within 20 find_window || fail "the window was not shown within 20 s"
    within 10 settled || fail "the window never settled in its frame"
}
close_window() {
    xdotool windowactivate --sync "$window" key alt+x
    within 10 test -s "$work/app.status" || fail "Alt+X did not close the window"
    [ "$(cat "$work/app.status")" = 0 ] || fail "the program exited with $(cat "$work/app.status")"
}
# run_once: start_settled, then Alt+X.
run_once() {
    start_settled
    close_window
}
maximized() {
    xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_MAXIMIZED_VERT' &&
        xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_MAXIMIZED_HORZ'
}
stored_show_cmd() {
    tr -d '\r' <"$ini" | sed -n 's/^ShowCmd=//p'
}

run_once
first=$(stored_norm_pos)
[ "$first" = "$settled_rect" ] || fail "NormPos is $first, the framed window was $settled_rect"
for run in 2 3 4 5 6; do
    run_once
    [ "$settled_rect" = "$first" ] || fail "start $run showed $settled_rect, stored was $first"
    [ "$(stored_norm_pos)" = "$first" ] || fail "start $run stored $(stored_norm_pos), not $first"
done

# Stored maximized: opens maximized, twice in a row, and a double-click on the title bar
# brings back the stored normal rectangle.
sed -i 's/^ShowCmd=.*/ShowCmd=3/' "$ini"
for run in 1 2; do
    start_settled
    maximized || fail "stored maximized, start $run opened at $settled_rect, not maximized"
    [ "$settled_rect" = "0,0,1280,1024" ] || fail "maximized start $run covers $settled_rect"
    close_window
    [ "$(stored_show_cmd)" = 3 ] || fail "maximized start $run stored ShowCmd=$(stored_show_cmd)"
    [ "$(stored_norm_pos)" = "$first" ] || fail "maximized start $run stored $(stored_norm_pos)"
done
start_settled
xdotool mousemove --sync 640 8 click --repeat 2 --delay 80 1
back_at_first() {
    settled && [ "$settled_rect" = "$first" ]
}
within 10 back_at_first ||
    fail "un-maximized, the window is at $settled_rect, not at the stored $first"
maximized && fail "the title bar's double-click left the window maximized"
close_window
[ "$(stored_show_cmd)" = 1 ] || fail "un-maximized, the window stored ShowCmd=$(stored_show_cmd)"

# Off the 1280 x 1024 screen: moved, at its size, into the screen's corner.
sed -i 's/^NormPos\(([0-9x]*)\)\{0,1\}=.*/NormPos\1=1500,1200,2291,1813/' "$ini"
run_once
[ "$settled_rect" = "489,411,1280,1024" ] || fail "a window off the screen came back at $settled_rect"
echo "PASS: five restarts under openbox kept NormPos $first; maximized came back maximized;"
echo "      an off-screen placement came back on"
