#!/usr/bin/env bash
# log_cpu.sh BRANTEL [BYTES_PER_READ [SECONDS [PAGE]]]: the CPU the real window takes on a
# virtual X server while a device sends BYTES_PER_READ bytes (255 by default, 2,550 byte/s)
# every 100 ms; measured over SECONDS (30 by default) after a warm-up of 5 s. PAGE is "log" (the
# protocol page on show, by default) or "charts" (the page the window starts on, the log out of
# sight: what the window costs without drawing the log).
set -euo pipefail
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/../../tests/e2e/x_server.sh"

readonly brantel_exe=$1 per_read=${2:-255} seconds=${3:-30} page=${4:-log}
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
if [ "$page" = log ]; then
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --pid "$app" --name '^Brantel v' | head -1)")"
    xdotool mousemove $((X + 35)) $((Y + HEIGHT - 567 + 75)) click 1
fi
sleep 5

# Time on a CPU of all the program's threads, in nanoseconds: exact, where the kernel's
# user and system ticks count whole 10 ms ticks to whichever task the tick finds running.
cpu_ns() {
    cat /proc/"$app"/task/*/schedstat | awk '{ sum += $1 } END { print sum }'
}
before=$(cpu_ns)
sleep "$seconds"
after=$(cpu_ns)
awk -v ns=$((after - before)) -v s="$seconds" -v n="$per_read" -v page="$page" \
    'BEGIN { printf "reads of %d bytes every 100 ms, %s page: %.2f%% of one core over %d s\n", n, page, ns / 1e7 / s, s }'
