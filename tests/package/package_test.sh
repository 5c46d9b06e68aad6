#!/usr/bin/env bash
# Builds the Debian package (scripts/package) and checks it as a user's machine would get it: its
# files and dependencies, lintian, the desktop entry and AppStream metadata, the manual pages,
# one version everywhere, and the programs run from the package unpacked into a scratch folder.
# Slow (a Release build of its own), so it runs from .ci/run rather than in the ctest suite.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d /tmp/brantel-package-test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

passed=0
failed=0
# check <what> <command...>: one line per check, "ok" or "FAIL" with the command's output.
check() {
    local what=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "ok - $what"
        passed=$((passed + 1))
    else
        echo "FAIL - $what"
        [ -n "$output" ] && sed 's/^/    /' <<<"$output"
        failed=$((failed + 1))
    fi
}

# same <got> <wanted>: equal texts, or both shown.
same() {
    [ "$1" = "$2" ] && return 0
    diff <(echo "$2") <(echo "$1") | sed -n 's/^</wanted:/p; s/^>/got:   /p'
    return 1
}

if ! "$root/scripts/package" >"$scratch/package.log" 2>&1; then
    cat "$scratch/package.log"
    echo "package: 0 passed, 1 failed"
    exit 1
fi
deb=$(tail -n 1 "$scratch/package.log")
mapfile -t programs <"$root/build/package/brantel-programs.txt"
version=$(dpkg-deb -f "$deb" Version)
tree="$scratch/unpacked"
dpkg-deb -x "$deb" "$tree"
metainfo=usr/share/metainfo/org.example.brantel.metainfo.xml

# Exactly these files: the listed programs with their manual pages, and the desktop files.
files_are_complete() {
    local wanted=(usr/share/applications/brantel.desktop usr/share/doc/brantel/changelog.gz
        usr/share/doc/brantel/copyright usr/share/icons/hicolor/64x64/apps/brantel.png
        usr/share/icons/hicolor/scalable/apps/brantel.svg "$metainfo")
    for program in "${programs[@]}"; do
        wanted+=("usr/bin/$program" "usr/share/man/man1/$program.1.gz")
    done
    same "$(cd "$tree" && find . -type f -printf '%P\n' | sort)" \
        "$(printf '%s\n' "${wanted[@]}" | sort)"
}
check "the package holds exactly the programs ${programs[*]}, their manual pages and the desktop files" \
    files_are_complete

# Depends comes from dpkg-shlibdeps: the C++ runtime and each Qt library, with the least version
# (later Debian releases name some of them with a "t64" suffix).
depends_are_computed() {
    local depends library missing=0
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 \
        libqt6charts6; do
        grep -Eq "(^|, )${library//+/\\+}(t64)? \(>= [^)]+\)" <<<"$depends" ||
            { echo "no $library"; missing=1; }
    done
    [ $missing -eq 0 ]
}
check "Depends lists the shared libraries with their versions" depends_are_computed

lintian_finds_no_errors() {
    lintian --fail-on error --display-info --tag-display-limit 0 "$deb" | tee "$scratch/lintian.txt"
}
check "lintian reports no errors" lintian_finds_no_errors

check "desktop-file-validate accepts the desktop entry" \
    desktop-file-validate "$tree/usr/share/applications/brantel.desktop"
check "appstreamcli validate accepts the AppStream metadata" \
    appstreamcli validate --no-net --pedantic "$tree/$metainfo"

# The manual pages render without warnings and have the sections a user looks for; the window
# program's says where its INI file lives when installed.
manual_pages_are_complete() {
    local program page text section bad=0
    for program in "${programs[@]}"; do
        page="$tree/usr/share/man/man1/$program.1.gz"
        text=$(MANWIDTH=100 man --warnings -l "$page" 2>"$scratch/man.err") || bad=1
        [ -s "$scratch/man.err" ] && { cat "$scratch/man.err"; bad=1; }
        for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES; do
            grep -qx "$section" <<<"$text" || { echo "$program: no $section"; bad=1; }
        done
        grep -q -- "--version" <<<"$text" || { echo "$program: no --version"; bad=1; }
    done
    text=$(MANWIDTH=100 man -l "$tree/usr/share/man/man1/brantel.1.gz")
    grep -q "~/.config/Brantel/brantel.ini" <<<"$text" || { echo "brantel: no per-user INI"; bad=1; }
    [ $bad -eq 0 ]
}
check "each manual page renders cleanly with its sections" manual_pages_are_complete

# The release history names the package's version as its newest entry.
check "the Debian changelog's newest entry is $version" \
    same "$(zcat "$tree/usr/share/doc/brantel/changelog.gz" | sed -n '1s/^brantel (\([^)]*\)).*/\1/p')" \
    "$version"
check "the AppStream metadata's newest release is $version" \
    same "$(grep -o -m 1 '<release version="[^"]*"' "$tree/$metainfo" | cut -d '"' -f 2)" "$version"

binaries=()
for program in "${programs[@]}"; do
    binaries+=("$tree/usr/bin/$program")
done
check "each unpacked program answers --version with $version" \
    "$root/tests/tools/version_test.sh" "$version" "${binaries[@]}"
check "the unpacked brantel-frame builds a worked example" \
    same "$("$tree/usr/bin/brantel-frame" --var 300 --var -1 "A 01 L D D CRC")" \
    "50 01 06 2C FF 82"

# In a folder its user may not write, as in /usr/bin, the window program keeps its settings in
# the per-user file, which starts as a copy of the file beside it. Root may write anywhere, so
# as root the program runs as nobody.
per_user_ini_is_used() {
    local home="$scratch/home" beside="$tree/usr/bin/brantel.ini" as_user=() program waited
    printf '[Ports]\nCOM2=/tmp/brantel-package-test-port\n' >"$beside"
    mkdir -p "$home"
    chmod 755 "$scratch"
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$home"
        as_user=(runuser -u nobody --)
    else
        chmod a-w "$tree/usr/bin"
    fi
    "${as_user[@]}" env -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
        "$tree/usr/bin/brantel" >"$scratch/brantel.log" 2>&1 &
    program=$!
    waited=0
    while [ ! -s "$home/.config/Brantel/brantel.ini" ] && [ $waited -lt 200 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
    chmod u+w "$tree/usr/bin"
    same "$(cat "$home/.config/Brantel/brantel.ini" 2>&1)" "$(cat "$beside")"
}
check "the unpacked brantel, in a folder its user may not write, uses ~/.config/Brantel/brantel.ini" \
    per_user_ini_is_used

echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "lintian's warnings and notes:"
grep -E '^[WI]: ' "$scratch/lintian.txt" | sed 's/^/    /'
echo "package: $passed passed, $failed failed"
[ $failed -eq 0 ]
