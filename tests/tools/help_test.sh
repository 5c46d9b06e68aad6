#!/usr/bin/env bash
# help_test.sh PROGRAM...
# Each program answers --help and -h with its usage on standard output, naming --version, and
# exit status 0 with nothing on standard error, without a display (the window program answers
# before it would need one).
set -u
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
failed=0
for program in "$@"; do
    name=$(basename "$program")
    for option in --help -h; do
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option" \
              2>"$errors")
        status=$?
        if [ $status -eq 0 ] && [[ $out == "usage: $name "* ]] && [[ $out == *--version* ]] &&
            [ ! -s "$errors" ]; then
            echo "ok - $name $option"
        else
            printf 'FAIL - %s %s: exit %s, printed:\n%s\n' "$name" "$option" "$status" "$out"
            cat "$errors"
            failed=1
        fi
    done
done
exit $failed
