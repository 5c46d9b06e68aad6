#!/usr/bin/env bash
# log_cpu.sh BRANTEL [BYTES_PER_READ [SECONDS]]: the CPU the real window takes on a virtual X
# server while a device sends BYTES_PER_READ bytes (255 by default, 2,550 byte/s) every 100 ms
# and the log is on show; measured over SECONDS (30 by default) after a warm-up of 5 s.
set -euo pipefail
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/../../tests/e2e/x_server.sh"

readonly brantel_exe=$1 per_read=${2:-255} seconds=${3:-30}
scratch_folder brantel-logcpu

start_x_server "$work" 1280x1024
pids+=("$X_SERVER_PID")

# The device: a pseudo-terminal that sends one read's worth every 100 ms, bytes that vary.
python3 - "$work/com2" "$per_read" $((seconds + 10)) <<'PY' &
import os, pty, sys, time
link, per_read, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
master, slave = pty.openpty()
os.symlink(os.ttyname(slave), link)
start, n = time.monotonic(), 0
while time.monotonic() - start < seconds:
    os.write(master, bytes((n * 167 + i) % 256 for i in range(per_read)))
    n += 1
    time.sleep(max(0, start + n * 0.1 - time.monotonic()))
PY
pids+=($!)
within 5 test -L "$work/com2"

mkdir "$work/app" "$work/runtime" && chmod 700 "$work/runtime"
cp "$brantel_exe" "$work/app/brantel"
printf '[Ports]\nCOM2=%s\n' "$work/com2" >"$work/app/brantel.ini"
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" "$work/app/brantel" >/dev/null 2>&1 &
app=$!
pids+=("$app")
window_shown() {
    xdotool search --onlyvisible --pid "$app" --name '^Brantel v' >/dev/null 2>&1
}
within 20 window_shown
# The "Протокол" tab, below the 63-pixel panel and the menu bar, as a user clicks it.
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --pid "$app" --name '^Brantel v' | head -1)")"
xdotool mousemove $((X + 35)) $((Y + HEIGHT - 567 + 75)) click 1
sleep 5

cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$app/stat"
}
before=$(cpu_ticks)
sleep "$seconds"
after=$(cpu_ticks)
awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v n="$per_read" \
    'BEGIN { printf "reads of %d bytes every 100 ms: %.2f%% of one core over %d s\n", n, 100 * t / hz / s, s }'
