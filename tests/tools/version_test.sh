#!/usr/bin/env bash
# version_test.sh VERSION PROGRAM...
# Each program answers --version with one line "<its file name> VERSION" and exit status 0,
# without a display (the window program answers before it would need one).
set -u
version=$1
shift
failed=0
for program in "$@"; do
    name=$(basename "$program")
    got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version 2>&1
          echo "exit $?")
    want="$name $version"$'\n'"exit 0"
    if [ "$got" = "$want" ]; then
        echo "ok - $name --version"
    else
        printf 'FAIL - %s --version printed:\n%s\nwanted:\n%s\n' "$name" "$got" "$want"
        failed=1
    fi
done
exit $failed
