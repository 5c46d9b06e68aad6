#!/usr/bin/env bash
# The real program on a virtual X server, driven by synthetic mouse and keyboard input against
# the device simulator: rows double-clicked in the command grid and text sent with "Write" reach
# the device byte for byte, Alt+X closes the window, and the INI file beside the executable then
# holds the stored options and the whole command table.
#
# usage: window_e2e.sh BRANTEL BRANTEL_SIM
# Exit status 77 (reported as skipped) only when no X server can be started here.
set -uo pipefail
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/x_server.sh"

readonly brantel_exe=$1 sim_exe=$2
readonly screen_size=1280x1024
scratch_folder brantel-e2e

# --- X server -------------------------------------------------------------------------------
x_server_or_skip "$screen_size"
command -v xdotool >/dev/null || fail "xdotool is not installed (Debian package xdotool)"

# --- device and program ---------------------------------------------------------------------
"$sim_exe" --link "$work/com2" --record "$work/received" >"$work/sim.log" 2>&1 &
pids+=($!)
within 5 test -L "$work/com2" || fail "the simulator made no link"

# The program keeps its INI file beside its executable, so it runs from a copy of its own.
mkdir "$work/app"
cp "$brantel_exe" "$work/app/brantel" || fail "cannot copy $brantel_exe"
cat >"$work/app/brantel.ini" <<EOF
[Main]
Command1=Status;A 02 L CRC
Command2=Read register;A 03 L 10 CRC
Command3=Named value;A 01 L CRC N
[Ports]
COM2=$work/com2
EOF
mkdir -m 700 "$work/runtime"
(
    QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" "$work/app/brantel" >"$work/app.log" 2>&1 &
    echo $! >"$work/app.pid"
    wait $!
    echo $? >"$work/app.status"
) &
pids+=($!)
within 5 test -s "$work/app.pid" || fail "the program did not start"
app_pid=$(cat "$work/app.pid")

window=
find_window() {
    window=$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Brantel v\.1\.01$' 2>/dev/null | head -1)
    [ -n "$window" ]
}
window_or_exit() {
    find_window || [ -s "$work/app.status" ]
}
within 20 window_or_exit
if [ -z "$window" ]; then
    [ -s "$work/app.status" ] && fail "the program ended with status $(cat "$work/app.status") before its window showed"
    fail "the window \"Brantel v.1.01\" was not shown within 20 s"
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
# The client area is 783 x 567 at design size; what the window has above it is the menu bar.
readonly win_x=$X win_y=$Y win_height=$HEIGHT
readonly panel_x=$X panel_y=$((Y + HEIGHT - 567))

click() {
    xdotool mousemove --sync "$1" "$2" click 1
}
# Grid rows are 16 pixels high below the header; the first click makes the row current.
double_click_row() {
    click $((panel_x + 50)) $((panel_y + 113 + 16 * ($1 - 1)))
    xdotool click --repeat 2 --delay 80 1
}

received_hex() {
    od -An -v -tx1 "$work/received" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//' | tr a-f A-F
}
received_is() {
    [ "$(received_hex)" = "$1" ]
}
# expect_sent WHAT HEX: the device got exactly these bytes; the record starts empty again.
expect_sent() {
    within 5 received_is "$2" || fail "$1: the device got '$(received_hex)', not '$2'"
    : >"$work/received"
}

# --- the session ----------------------------------------------------------------------------
click $((panel_x + 463)) $((panel_y + 51)) # Parameters
xdotool type --delay 30 "N:12"
click $((panel_x + 35)) $((panel_y + 75)) # the "Протокол" tab
double_click_row 2
expect_sent "double-click on row 2" "50 03 05 10 68"
double_click_row 3
expect_sent "double-click on row 3 with N:12" "50 01 06 BA 31 32"

click $((panel_x + 404)) $((panel_y + 30)) # Edit2
xdotool type --delay 30 "Hi 7"
click $((panel_x + 175)) $((panel_y + 27)) # Write
expect_sent "Write with \"Hi 7\" in Edit2" "48 69 20 37"

xdotool key alt+x
within 10 test -s "$work/app.status" || fail "Alt+X did not close the window"
[ "$(cat "$work/app.status")" = 0 ] || fail "the program exited with status $(cat "$work/app.status")"

# --- the INI file written at close ----------------------------------------------------------
readonly ini="$work/app/brantel.ini"
# section_lines NAME: the key=value lines of the section, in file order, one enclosing pair of
# double quotes taken off each value as the program's own reader does.
section_lines() {
    tr -d '\r' <"$ini" | awk -v name="$1" '
        /^\[/ { inside = (tolower($0) == "[" tolower(name) "]"); next }
        inside && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1); value = substr($0, index($0, "=") + 1)
            if (length(value) >= 2 && value ~ /^".*"$/) value = substr(value, 2, length(value) - 2)
            print key "=" value
        }'
}
# row_value CELL...: the stored form of a command row, empty cells written as one space.
row_value() {
    local cells=("$@") line='' c
    for ((c = 0; c < 50; c++)); do
        line+="${cells[c]:- };"
    done
    echo "${line%;}"
}

min_max=$(section_lines TForm1 | sed -n "s/^MinMaxPos($screen_size)=//p")
norm_pos="$win_x,$win_y,$((win_x + 783)),$((win_y + win_height))"
# key|pattern of its value, in the order the file must list them.
expected_options=(
    "FormVersion|0"
    "Flags|0"
    "ShowCmd|1"
    "PixelsPerInch|[1-9][0-9]*"
    "MinMaxPos($screen_size)|-?[0-9]+,-?[0-9]+,-?[0-9]+,-?[0-9]+"
    "MinMaxPos|$min_max"
    "NormPos($screen_size)|$norm_pos"
    "NormPos|$norm_pos"
    "Visible|0"
    "PortNumber_Value|2"
    "PortSpeed_Text|9600"
    "AddressEdit_Text|50"
    "Parameters_Text|N:12"
)
mapfile -t options < <(section_lines TForm1)
[ ${#options[@]} -eq ${#expected_options[@]} ] ||
    fail "[TForm1] has ${#options[@]} keys, not ${#expected_options[@]}: ${options[*]}"
for i in "${!expected_options[@]}"; do
    key=${expected_options[i]%%|*} pattern=${expected_options[i]#*|}
    [ "${options[i]%%=*}" = "$key" ] || fail "[TForm1] key $((i + 1)) is '${options[i]%%=*}', not '$key'"
    value=${options[i]#*=}
    [[ $value =~ ^$pattern$ ]] || fail "[TForm1] $key is '$value', not /$pattern/"
done

mapfile -t rows < <(section_lines Main)
[ ${#rows[@]} -eq 29 ] || fail "[Main] has ${#rows[@]} keys, not Command1 to Command29"
for r in $(seq 1 29); do
    case $r in
    1) expected=$(row_value "Status" "A 02 L CRC") ;;
    2) expected=$(row_value "Read register" "A 03 L 10 CRC") ;;
    3) expected=$(row_value "Named value" "A 01 L CRC N") ;;
    *) expected=$(row_value) ;;
    esac
    [ "${rows[r - 1]}" = "Command$r=$expected" ] || fail "[Main] line $r is '${rows[r - 1]}'"
done

[ "$(section_lines Ports)" = "COM2=$work/com2" ] || fail "[Ports] changed: $(section_lines Ports)"
echo "PASS: rows and Write reached the device; Alt+X saved [TForm1] and Command1..Command29"
