#!/bin/sh
# Runs the given command as the client of a headless Wayland compositor of its own: weston in a
# private runtime directory, stopped again on every way out. Exits with 77, which CTest counts
# as skipped, only when weston is missing or cannot start.
set -u
runtime=$(mktemp -d -t sternzeit-weston.XXXXXX)
weston_pid=
cleanup() {
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null
        wait "$weston_pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }

# Should this script be killed outright, weston goes with it.
XDG_RUNTIME_DIR=$runtime setpriv --pdeathsig TERM \
    weston --backend=headless-backend.so --socket=sternzeit-test --idle-time=0 --no-config \
           --log="$runtime/weston.log" &
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
