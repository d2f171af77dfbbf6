#!/bin/sh
# Runs the given command as the client of a Wayland compositor of its own: weston in a private
# runtime directory, stopped again on every way out.
#
#   with_weston.sh [--seat] COMMAND [ARGUMENT...]
#
# Without --seat weston runs headless, with no input devices at all. With --seat it runs as a
# window on a virtual X server of its own, whose pointer and keyboard become its seat, and shows
# every client window over its whole output; the command gets that X server's DISPLAY to press
# and type there (with xdotool, say). Exits with 77, which CTest counts as skipped, only when
# weston or the X server is missing or cannot start.
set -u
. "$(dirname "$0")/virtual_display.sh"
runtime=$(mktemp -d -t sternzeit-weston.XXXXXX)
weston_pid=
xvfb=
cleanup() {
    for pid in $weston_pid $xvfb; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

skip() { echo "SKIP: $*"; exit 77; }
command -v weston >/dev/null || skip "weston is not installed"

backend="--backend=headless-backend.so"
if [ "${1:-}" = --seat ]; then
    shift
    command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
    start_virtual_display "$runtime"
    backend="--backend=x11-backend.so --use-pixman --shell=kiosk-shell.so"
fi

# Should this script be killed outright, weston and the X server go with it.
# shellcheck disable=SC2086  # the backend's options are separate words
XDG_RUNTIME_DIR=$runtime setpriv --pdeathsig TERM \
    weston $backend --socket=sternzeit-test --idle-time=0 --no-config --log="$runtime/weston.log" &
weston_pid=$!

tries=0
until [ -S "$runtime/sternzeit-test" ]; do
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        weston_pid=
        echo "SKIP: weston cannot start here:"
        cat "$runtime/weston.log"
        exit 77
    fi
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || { echo "FAIL: weston opened no socket within 10 s"; exit 1; }
    sleep 0.1
done

XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=sternzeit-test "$@"
exit $?
