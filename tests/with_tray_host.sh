#!/bin/sh
# Runs the given command on a virtual X server of its own with a real system tray in a panel at
# its top right, and stops both again however the command ends. Exits 77 (skipped) when the X
# server or the tray cannot run here, otherwise with the command's status.
set -u
. "$(dirname "$0")/virtual_display.sh"

skip() { echo "SKIP: $*" >&2; exit 77; }
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
command -v trayer >/dev/null || skip "no tray host (Debian package trayer)"

work=$(mktemp -d) || exit 1
chmod 700 "$work"
xvfb=
tray=
command=
cleanup() {
    [ -n "$command" ] && kill "$command" 2>/dev/null
    [ -n "$tray" ] && kill "$tray" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

start_virtual_display "$work"
XDG_RUNTIME_DIR=$work
export XDG_RUNTIME_DIR
# Without a session bus Qt asks the X server for the tray, which is what trayer offers.
unset DBUS_SESSION_BUS_ADDRESS

trayer --edge top --align right --widthtype request --height 32 >"$work/trayer.log" 2>&1 &
tray=$!
sleep 0.5
kill -0 "$tray" 2>/dev/null || { cat "$work/trayer.log" >&2; skip "trayer did not start"; }

# In the background, so that a signal to this script stops it at once and cleans up.
"$@" &
command=$!
wait "$command"
status=$?
command=
exit "$status"
