#!/bin/sh
# The real program on Wine's own Windows platform, as a user meets it: on a virtual X server
# beneath Wine the splash comes up, then the main window, which is still there ten seconds
# later; a click on "Schließen" ends the program with exit code 0.
#
#   sternzeit_on_wine.sh WINE_PREFIX COMMAND...
#
# COMMAND runs the program under Wine (with_wine.sh QT_PREFIX sternzeit.exe) in WINE_PREFIX,
# which no other program may use meanwhile: Wine ties a prefix's desktop to the display of its
# first program. Exits 77 (skipped) only when the X server cannot run here; stops the program,
# Wine and the X server on every way out.
set -u
. "$(dirname "$0")/virtual_display.sh"
WINEPREFIX=$1
shift
export WINEPREFIX

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
command -v xdotool >/dev/null || skip "no xdotool (Debian package xdotool)"
[ -d "$WINEPREFIX/drive_c" ] || fail "no Wine prefix in $WINEPREFIX"

work=$(mktemp -d) || exit 1
xvfb=
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Should this script be killed outright, Wine goes with the X server.
start_virtual_display "$work"
unset QT_QPA_PLATFORM

"$@" &
program=$!

# "NAME WIDTHxHEIGHT" of each shown window of the program.
shown_windows() {
    for window in $(xdotool search --onlyvisible --name '^sternzeit$' 2>/dev/null); do
        name=$(xdotool getwindowname "$window" 2>/dev/null) &&
            xdotool getwindowgeometry --shell "$window" 2>/dev/null |
            awk -F= -v name="$name" '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { h = $2 } END { print name, w "x" h }'
    done
}

# Waits up to the given seconds for a shown window of that name and size.
wait_for() {
    what=$1 seconds=$2
    shift 2
    tries=0
    while :; do
        for shown in $(shown_windows | tr ' ' ':'); do
            for wanted in "$@"; do
                [ "$shown" = "$wanted" ] && return 0
            done
        done
        kill -0 "$program" 2>/dev/null || fail "the program ended before its $what came"
        tries=$((tries + 1))
        [ "$tries" -le $((seconds * 10)) ] || fail "no $what within $seconds s; shown: $(shown_windows | tr '\n' ';')"
        sleep 0.1
    done
}

# Starting Wine and Qt's DLLs takes some seconds on a busy machine; the splash is up for about one.
wait_for splash 60 sternzeit:300x225
echo "the splash came, 300 x 225"
# The form asks for 820 x 313; the two strips of 800 pixels and the layout's margins of 11 widen
# it to 822 on every platform.
wait_for "main window" 30 Sternzeit:820x313 Sternzeit:822x313
echo "the main window came: $(shown_windows | grep '^Sternzeit ')"

sleep 10 &
wait $!
kill -0 "$program" 2>/dev/null || fail "the program ended within 10 s"
shown_windows | grep -q '^Sternzeit ' || fail "the main window went away within 10 s"
echo "still running after 10 s"

# "Schließen" is the lowest of the three buttons in the right-hand column, 100 pixels wide, at
# the height of the third value; there the user clicks.
main=$(xdotool search --onlyvisible --name '^Sternzeit$' | while read -r window; do
    [ "$(xdotool getwindowname "$window")" = Sternzeit ] && echo "$window"; done)
xdotool mousemove --window "$main" 680 219 click 1

await_end "$program" 30 || fail "the program still runs 30 s after Schließen"
wait "$program"
status=$?
program=
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
echo "Schließen ended the program with exit code 0"
