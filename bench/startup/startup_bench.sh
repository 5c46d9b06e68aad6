#!/usr/bin/env bash
# Start-up time and memory of Brantel beside the serial terminals that users pick today from
# Debian's packages, measured side by side in one run on one virtual X server; then the memory
# of the whole window after a day of traffic at 9600 baud.
#
# usage: bench/startup/startup_bench.sh [--runs N] [--no-day]
#   --runs N   start-ups per program, after one warm-up start each (default 10)
#   --no-day   leave out the day of traffic (it takes several minutes)
# BRANTEL_BENCH_BUILD names the build folder (default build/bench, made as a Release build).
#
# Each start is timed from just before the process is created until the X server maps its
# main window (startup_clock); memory is the peak (VmHWM) and resident (VmRSS) size one second
# later. Runs of the programs are interleaved, so a busy moment of the machine falls on all.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/../../scripts/lib.sh"
# shellcheck source=tests/e2e/x_server.sh
source "$BRANTEL_ROOT/tests/e2e/x_server.sh"

runs=10
day=1
while [ $# -gt 0 ]; do
    case $1 in
    --runs) runs=$2 && shift ;;
    --no-day) day=0 ;;
    *) echo "usage: $0 [--runs N] [--no-day]" >&2 && exit 2 ;;
    esac
    shift
done

# The peers: one line each, "name|part of its window title|command line".
peers=("cutecom|CuteCom|cutecom" "gtkterm|GTKTerm|gtkterm" "moserial|Moserial|moserial")

brantel_install "${BRANTEL_PACKAGES[@]}"
for peer in "${peers[@]}"; do
    # A peer the system's package lists do not know (moserial left Debian 12) is left out.
    if apt-cache show "${peer%%|*}" >/dev/null 2>&1; then
        brantel_install "${peer%%|*}" || echo "${peer%%|*} cannot be installed here; left out"
    else
        echo "${peer%%|*} is not in this system's package lists; left out"
    fi
done

build=${BRANTEL_BENCH_BUILD:-$BRANTEL_ROOT/build/bench}
# A folder configured before keeps its settings; a new one is a Release build without tests.
if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S "$BRANTEL_ROOT" -B "$build" -DBRANTEL_BENCH=ON >/dev/null
else
    cmake -S "$BRANTEL_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRANTEL_TESTS=OFF \
        -DBRANTEL_BENCH=ON >/dev/null
fi
cmake --build "$build" --target brantel brantel-sim startup_clock bench_log_day

scratch_folder brantel-startup

start_x_server "$work" 1280x1024
pids+=("$X_SERVER_PID")
mkdir -p "$work/home" && mkdir -m 700 "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
unset QT_QPA_PLATFORM

"$build/tools/sim/brantel-sim" --link "$work/com-brantel" >/dev/null &
pids+=($!)
within 5 test -L "$work/com-brantel"

# Brantel as the demo runs it: its own folder, the sample command table, COM2 on a device.
mkdir "$work/brantel"
cp "$build/src/brantel" "$work/brantel/brantel"
{
    cat "$BRANTEL_ROOT/scripts/demo-files/brantel.ini"
    printf '\n[Ports]\nCOM2=%s\n' "$work/com-brantel"
} >"$work/brantel/brantel.ini"

# The peers as a user who has run them before meets them. cutecom opens no port at start.
# gtkterm opens its port at start (it refuses a pseudo-terminal, so it takes its default,
# /dev/ttyS0) and shows a dialog at every start until it has a settings file with its section.
mkdir -p "$HOME/.config"
printf '[default]\nspeed\t= 9600\n' >"$HOME/.config/.gtktermrc"
contenders=("brantel|Brantel v.1.01|$work/brantel/brantel")
for peer in "${peers[@]}"; do
    if command -v "${peer%%|*}" >/dev/null; then
        contenders+=("$peer")
    fi
done

# measure NAME: one start of the program; appends "ns peak-kB resident-kB" to NAME.runs.
measure() {
    local entry
    for entry in "${contenders[@]}"; do
        [ "${entry%%|*}" = "$1" ] && break
    done
    local rest=${entry#*|}
    local title=${rest%%|*} command=${rest#*|}
    # shellcheck disable=SC2086 # the command line is split into its words on purpose
    "$build/bench/startup/startup_clock" "$title" $command 2>>"$work/$1.log" >>"$work/$1.runs" ||
        echo "$1: no window (see its log)" >&2
}

names=()
for entry in "${contenders[@]}"; do
    names+=("${entry%%|*}")
done
echo "Warm-up start of ${names[*]} (not counted; first starts also write the peers' settings)"
for name in "${names[@]}"; do
    measure "$name"
    : >"$work/$name.runs"
done
echo "Measuring $runs starts each, interleaved..."
for ((run = 1; run <= runs; run++)); do
    for name in "${names[@]}"; do
        measure "$name"
    done
done

# median COLUMN FILE: the median of the column's numbers.
median() {
    awk -v c="$1" '{ print $c }' "$2" | sort -n | awk '{ v[NR] = $1 }
        END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
version() {
    if [ "$1" = brantel ]; then
        git -C "$BRANTEL_ROOT" describe --always --dirty 2>/dev/null
    else
        dpkg-query -W -f='${Version}' "$1" 2>/dev/null
    fi
}

base_ms=$(awk -v ns="$(median 1 "$work/brantel.runs")" 'BEGIN { printf "%.1f", ns / 1e6 }')
base_rss=$(median 3 "$work/brantel.runs")
echo
echo "Start-up to window mapped and memory 1 s later; medians over the starts that showed a window"
echo "($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), Xvfb 1280x1024x24)"
printf '%-10s %-14s %6s %8s %8s %8s %10s %9s %9s %10s\n' program version starts "ms" min max \
    "vs brantel" "peak MiB" "RSS MiB" "vs brantel"
fastest_peer=
for name in "${names[@]}"; do
    file=$work/$name.runs
    [ -s "$file" ] || { printf '%-10s (no window)\n' "$name" && continue; }
    ms=$(awk -v ns="$(median 1 "$file")" 'BEGIN { printf "%.1f", ns / 1e6 }')
    min=$(sort -n "$file" | head -1 | awk '{ printf "%.1f", $1 / 1e6 }')
    max=$(sort -n "$file" | tail -1 | awk '{ printf "%.1f", $1 / 1e6 }')
    peak=$(median 2 "$file")
    rss=$(median 3 "$file")
    awk -v n="$name" -v v="$(version "$name")" -v starts="$(wc -l <"$file")" -v ms="$ms" \
        -v lo="$min" -v hi="$max" -v base="$base_ms" -v peak="$peak" -v rss="$rss" \
        -v brss="$base_rss" 'BEGIN {
        printf "%-10s %-14s %6d %8.1f %8.1f %8.1f %9.2fx %9.1f %9.1f %9.2fx\n",
            n, v, starts, ms, lo, hi, ms / base, peak / 1024, rss / 1024, rss / brss }'
    if [ "$name" != brantel ] && { [ -z "$fastest_peer" ] || awk -v a="$ms" -v b="$fastest_ms" 'BEGIN { exit !(a < b) }'; }; then
        fastest_peer=$name fastest_ms=$ms
    fi
done
echo "(\"vs brantel\": the program's figure divided by brantel's; above 1 means brantel is faster or smaller)"
for name in "${names[@]}"; do
    stopped=$(grep -c "did not close" "$work/$name.log" || true)
    [ "$stopped" = 0 ] || echo "note: $name did not close its window on request $stopped times (stopped by signal)"
done
if [ -n "$fastest_peer" ]; then
    awk -v b="$base_ms" -v f="$fastest_ms" -v n="$fastest_peer" 'BEGIN {
        printf "brantel %.1f ms: %s than the fastest peer (%s, %.1f ms) and %s the 300 ms target\n",
            b, (b <= f ? "no slower" : "SLOWER"), n, f, (b < 300 ? "under" : "OVER") }'
fi

if [ "$day" = 1 ]; then
    echo
    echo "A day of traffic at 9600 baud through the whole window (reads of 255 bytes, the longest lines):"
    "$build/bench/startup/bench_log_day" 255 2>/dev/null
fi
