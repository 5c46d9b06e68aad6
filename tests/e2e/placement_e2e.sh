#!/usr/bin/env bash
# The real program under a real window manager (openbox) on a virtual X server: the window is
# framed, the stored placement is its outer rectangle, and five restarts in a row bring it back
# exactly where it was. A stored placement off every screen comes back onto the screen.
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

# run_once: starts the program, waits until its framed window has settled, closes it with
# Alt+X, and leaves the rectangle it showed in $settled_rect.
run_once() {
    start_program app
    within 20 find_window || fail "the window was not shown within 20 s"
    within 10 settled || fail "the window never settled in its frame"
    xdotool windowactivate --sync "$window" key alt+x
    within 10 test -s "$work/app.status" || fail "Alt+X did not close the window"
    [ "$(cat "$work/app.status")" = 0 ] || fail "the program exited with $(cat "$work/app.status")"
}

run_once
first=$(stored_norm_pos)
[ "$first" = "$settled_rect" ] || fail "NormPos is $first, the framed window was $settled_rect"
for run in 2 3 4 5 6; do
    run_once
    [ "$settled_rect" = "$first" ] || fail "start $run showed $settled_rect, stored was $first"
    [ "$(stored_norm_pos)" = "$first" ] || fail "start $run stored $(stored_norm_pos), not $first"
done

# Off the 1280 x 1024 screen: moved, at its size, into the screen's corner.
sed -i 's/^NormPos\(([0-9x]*)\)\{0,1\}=.*/NormPos\1=1500,1200,2291,1813/' "$ini"
run_once
[ "$settled_rect" = "489,411,1280,1024" ] || fail "a window off the screen came back at $settled_rect"
echo "PASS: five restarts under openbox kept NormPos $first; an off-screen placement came back on"
