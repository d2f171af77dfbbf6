#!/bin/sh
# On Wayland a left press on the main window asks the compositor to move it, as its own
# protocol log shows (WAYLAND_DEBUG=client). Runs the program given as the client of
# "with_weston.sh --seat", whose compositor shows the window over its whole output on a virtual
# X server, and presses there with xdotool. Exits 77 (skipped) only without xdotool.
set -u
. "$(dirname "$0")/virtual_display.sh"
program=$1
command -v xdotool >/dev/null || { echo "SKIP: no xdotool (Debian package xdotool)"; exit 77; }

log=$(mktemp)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

WAYLAND_DEBUG=client "$program" 2>"$log" &
pid=$!

fail() { echo "FAIL: $*"; exit 1; }

# The main window, and the splash gone from in front of it.
main_window() {
    toplevel=$(sed -n 's/.*-> \(xdg_toplevel@[0-9]*\)\.set_title("Sternzeit").*/\1/p' "$log")
    [ -n "$toplevel" ]
}
await main_window || fail "the main window was not shown within 10 s"
await grep -q 'xdg_toplevel@[0-9]*\.destroy()' "$log" || fail "the splash was not closed within 10 s"

compositor=$(xdotool search --class 'Weston Compositor' | head -n 1)
[ -n "$compositor" ] || fail "the compositor's window is not on the X server"
eval "$(xdotool getwindowgeometry --shell "$compositor")"
# shellcheck disable=SC2153  # X, Y, WIDTH and HEIGHT come from xdotool
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) sleep 0.2 mousedown 1 sleep 0.2 mouseup 1

asks_to_move() { grep -q "$toplevel\.move(" "$log"; }
if ! await asks_to_move; then
    grep -q 'wl_pointer@[0-9]*\.button(.*, 272, 1)' "$log" || fail "the compositor delivered no left press"
    fail "a left press on the main window did not ask the compositor to move it"
fi
echo "PASS: the left press asked the compositor to move the main window"
