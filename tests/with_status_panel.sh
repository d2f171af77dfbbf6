#!/bin/sh
# Runs the given command with a session bus of its own and a virtual X server for a panel that
# shows status icons, and names the panel's two programs for it: STATUS_WATCHER_COMMAND, the
# watcher that icons and panels register with, and STATUS_PANEL_COMMAND, the panel itself. The
# command starts and stops them as it needs; both are tried once first. Stops everything again
# however the command ends. Exits 77 (skipped) when the X server, the bus, the watcher or the
# panel cannot run here, otherwise with the command's status.
set -u
. "$(dirname "$0")/virtual_display.sh"

skip() { echo "SKIP: $*" >&2; exit 77; }
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
command -v dbus-daemon >/dev/null || skip "no dbus-daemon (Debian package dbus)"
command -v gdbus >/dev/null || skip "no gdbus to ask the watcher with (Debian package libglib2.0-bin)"
command -v status-notifier-watcher >/dev/null ||
    skip "no status-notifier-watcher (Debian package haskell-status-notifier-item-utils)"
command -v gtk-sni-tray-standalone >/dev/null ||
    skip "no gtk-sni-tray-standalone (Debian package haskell-gtk-sni-tray-utils)"

# Each goes when whatever started it goes, also when that is killed outright.
STATUS_WATCHER_COMMAND="setpriv --pdeathsig TERM status-notifier-watcher"
STATUS_PANEL_COMMAND="setpriv --pdeathsig TERM gtk-sni-tray-standalone --top --end --size 32"
export STATUS_WATCHER_COMMAND STATUS_PANEL_COMMAND

work=$(mktemp -d) || exit 1
chmod 700 "$work"
xvfb=
bus=
watcher=
panel=
command=
cleanup() {
    for process in "$command" "$panel" "$watcher" "$bus" "$xvfb"; do
        [ -n "$process" ] && kill "$process" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

start_virtual_display "$work"
XDG_RUNTIME_DIR=$work
export XDG_RUNTIME_DIR

# A bus that starts no services of its own, so that nothing outlives it.
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
bus=$!
await_while "$bus" test -s "$work/bus" || { cat "$work/bus.log" >&2; skip "the session bus did not start"; }
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# The panel draws on the X server also beside a Wayland compositor, and without the accessibility
# bus, which this bus does not start.
GDK_BACKEND=x11
NO_AT_BRIDGE=1
export GDK_BACKEND NO_AT_BRIDGE

host_registered() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null | grep -q true
}
$STATUS_WATCHER_COMMAND >"$work/watcher.log" 2>&1 &
watcher=$!
$STATUS_PANEL_COMMAND >"$work/panel.log" 2>&1 &
panel=$!
await_while "$panel" host_registered && kill -0 "$watcher" 2>/dev/null || {
    cat "$work/watcher.log" "$work/panel.log" >&2
    skip "the watcher and the panel did not start"
}
kill "$panel" "$watcher"
wait "$panel" "$watcher" 2>/dev/null
panel=
watcher=

# In the background, so that a signal to this script stops it at once and cleans up.
"$@" &
command=$!
wait "$command"
status=$?
command=
exit "$status"
