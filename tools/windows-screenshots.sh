#!/bin/sh
# Photographs sternzeit.exe of the Windows build as Qt's Windows platform draws it under Wine, for
# the README: the main window, and the conversion dialog after converting 05.12.2013 12:00. The
# program runs in a new Wine prefix with the fonts the tests give it (tests/with_wine.sh), on
# a virtual X server, and is worked with the keyboard as a user works it. Run from the top of the
# repository after make windows:
#
#   tools/windows-screenshots.sh [OUT]      (default docs/)
set -eu
if [ "${1:-}" != --on-display ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --on-display "$@"
fi
shift
out=${1:-docs}
build=${WINDOWS_DIR:-build-windows}
command -v import >/dev/null || { echo "needs import (Debian package imagemagick)" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "needs xdotool (Debian package xdotool)" >&2; exit 1; }
if [ ! -f "$build/app/sternzeit.exe" ]; then
    echo "no Windows build in $build (make windows)" >&2
    exit 1
fi
mkdir -p "$out"

work=$(mktemp -d /var/tmp/sternzeit-screenshots.XXXXXX)
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    [ -d "$work/prefix" ] && WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

WINEPREFIX=$work/prefix
export WINEPREFIX
sh tests/with_wine.sh --prefix 2>/dev/null
unset QT_QPA_PLATFORM
sh tests/with_wine.sh "$build/app/sternzeit.exe" &
program=$!

# The shown window of that exact title and size, once it is there.
window() {
    tries=0
    while [ "$tries" -le 600 ]; do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            [ "$(xdotool getwindowname "$id")" = "$1" ] &&
                xdotool getwindowgeometry --shell "$id" | grep -qx "WIDTH=${2%x*}" &&
                xdotool getwindowgeometry --shell "$id" | grep -qx "HEIGHT=${2#*x}" &&
                { echo "$id"; return; }
        done
        tries=$((tries + 1))
        sleep 0.1
    done
    echo "no window \"$1\" of $2 came" >&2
    exit 1
}

# Once the splash has gone and the clock has ticked. The keys go to the window under the pointer.
main=$(window Sternzeit 822x313)
sleep 3
import -window "$main" "$out/windows-mainwindow.png"

# "Berechnen" has the keyboard focus; in the dialog the input field has it, and Tab goes on to
# "Datum->Sternzeit", "Sternzeit->Datum" (passed over), "Mein Format", "Nach der Formel" and
# "Berechnen".
xdotool mousemove --window "$main" 10 10 key space
dialog=$(window Umrechnung 817x411)
# Wine hands the keys on as the program takes them, which on a busy machine can lag behind.
xdotool mousemove --window "$dialog" 10 10
sleep 1
xdotool type --delay 50 "05.12.2013 12:00"
for key in Tab space Tab Tab space Tab space Tab space; do
    sleep 0.5
    xdotool key "$key"
done
sleep 3
import -window "$dialog" "$out/windows-compute.png"

# The main window again at display scales of 125 and 150 %, which Wine reports to the program as
# Windows does, from the setting it reads when it starts anew.
for scale in 125 150; do
    wineserver -k
    wait "$program" || true
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * scale / 100)) /f >/dev/null 2>&1
    wineserver -w
    sh tests/with_wine.sh "$build/app/sternzeit.exe" &
    program=$!
    main=$(window Sternzeit $(((822 * scale + 50) / 100))x$(((313 * scale + 50) / 100)))
    sleep 3
    import -window "$main" "$out/windows-mainwindow-$scale.png"
done
echo "wrote $out/windows-mainwindow.png, $out/windows-compute.png and the main window at 125 and 150 %"
