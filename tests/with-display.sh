#!/bin/sh
# Runs a test program that needs a display. With DISPLAY set it runs there; otherwise it starts a
# private virtual display (Xvfb) for this one program and stops it afterwards. Without either, the
# test is reported as skipped (exit code 77) with the reason.
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
# Listing the tests needs no display.
for argument in "$@"; do
    [ "$argument" = "--gtest_list_tests" ] && exec "$@"
done
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "skipped: no DISPLAY is set and Xvfb is not installed (run 'make test', or install xvfb)" >&2
    exit 77
fi

folder=$(mktemp -d) || exit 1
mkfifo "$folder/display"
# -noreset: the server must not restart when its last client leaves, or a program connecting at
# that moment is refused. -displayfd lets the server pick a free display number itself.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$folder/display" 2>"$folder/log" &
server=$!
read -r number <"$folder/display"
if [ -z "$number" ]; then
    echo "could not start Xvfb:" >&2
    cat "$folder/log" >&2
    kill "$server" 2>/dev/null
    rm -rf "$folder"
    exit 1
fi
DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$folder"
exit $status
