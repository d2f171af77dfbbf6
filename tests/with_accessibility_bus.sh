#!/bin/sh
# Runs a program as a screen reader meets it and a client that reads and drives it: a virtual X
# server, a private session bus, the accessibility bus with its registry (Debian's at-spi2-core),
# the program, then the client given after "--" (usage: with_accessibility_bus.sh PROGRAM -- CLIENT...).
# The client finds the screen as the user sees it in the XWD image that XVFB_SCREEN names.
# Everything started here is stopped again however the client ends. Exits 77 (skipped) only
# where the X server or the buses cannot run, otherwise with the client's status.
set -u
. "$(dirname "$0")/virtual_display.sh"

skip() { echo "SKIP: $*" >&2; exit 77; }
launcher=/usr/libexec/at-spi-bus-launcher
registry=/usr/libexec/at-spi2-registryd
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
command -v dbus-daemon >/dev/null || skip "no D-Bus daemon (Debian package dbus)"
[ -x "$launcher" ] && [ -x "$registry" ] || skip "no accessibility bus (Debian package at-spi2-core)"

program=$1
shift 2

work=$(mktemp -d) || exit 1
chmod 700 "$work"
xvfb=
pids=
cleanup() {
    for pid in $xvfb $pids; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A desktop session's X server keeps what is published on it while the session runs; this one
# would otherwise reset, and forget it, whenever its last client leaves. It keeps its screen in
# a file.
start_virtual_display "$work" -noreset -fbdir "$work"
XDG_RUNTIME_DIR=$work
XVFB_SCREEN=$work/Xvfb_screen0
export XDG_RUNTIME_DIR XVFB_SCREEN

dbus-daemon --session --nofork --address="unix:path=$work/session" 2>"$work/dbus.log" &
pids="$pids $!"
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/session
export DBUS_SESSION_BUS_ADDRESS
await test -S "$work/session" || { cat "$work/dbus.log" >&2; skip "the session bus did not start"; }

# Started on the display, as a desktop session starts it, the launcher also publishes the
# accessibility bus on the X server. Qt 5 connects there at once; asked through the session bus
# alone, it went unseen in every other start.
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids="$pids $!"
address_of_bus() {
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        | tr -d ' ' >"$work/a11y"
    [ -s "$work/a11y" ]
}
await address_of_bus || { cat "$work/launcher.log" >&2; skip "the accessibility bus did not start"; }
a11y=$(cat "$work/a11y")

# A program joins the desktop only once the registry is there to take it.
"$registry" >"$work/registry.log" 2>&1 &
pids="$pids $!"
registry_is_up() {
    dbus-send --bus="$a11y" --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry | grep -q true
}
await registry_is_up || { cat "$work/registry.log" >&2; skip "the accessibility registry did not start"; }

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
pids="$pids $!"

# In the background, so that a signal to this script stops it at once and cleans up.
"$@" &
client=$!
wait "$client"
status=$?
[ "$status" -eq 0 ] || cat "$work/program.log" >&2
exit "$status"
