# shellcheck shell=sh
# Sourced by the test scripts that wait for what they start, an X server of their own above all:
#
#   await COMMAND...                     waits up to 10 s for the command to succeed
#   await_while PID COMMAND...           the same, giving up at once should process PID end
#   await_end PID SECONDS                waits up to SECONDS for process PID to end
#   start_virtual_display DIR [OPTION...]
#
# start_virtual_display starts Xvfb, with the Xvfb options given, on a free display; its display
# number and log go to the private folder DIR. It sets xvfb to the server's process, for the
# script's cleanup to stop, and exports DISPLAY once the server accepts clients. When no server
# comes up it passes the log on and skips the test with the script's own skip.

await() { await_while "" "$@"; }

await_while() {
    watched=$1
    shift
    tries=0
    until "$@" >/dev/null 2>&1; do
        [ -z "$watched" ] || kill -0 "$watched" 2>/dev/null || return 1
        tries=$((tries + 1))
        [ "$tries" -le 100 ] || return 1
        sleep 0.1
    done
}

await_end() {
    tries=0
    while kill -0 "$1" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -le $(($2 * 10)) ] || return 1
        sleep 0.1
    done
}

start_virtual_display() {
    display_dir=$1
    shift
    # The server picks a free display itself and writes its number once it accepts clients.
    # Another one starting at the same moment may take the number it chose, so it has three
    # tries. Should the script be killed outright, the server goes with it.
    for attempt in 1 2 3; do
        setpriv --pdeathsig TERM Xvfb -displayfd 3 -nolisten tcp "$@" -screen 0 1280x1024x24 \
            3>"$display_dir/display" 2>"$display_dir/xvfb.log" &
        xvfb=$!
        await_while "$xvfb" test -s "$display_dir/display" && break
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null
        xvfb=
    done
    [ -n "$xvfb" ] || { cat "$display_dir/xvfb.log" >&2; skip "Xvfb gave no display in three tries"; }
    DISPLAY=:$(cat "$display_dir/display")
    export DISPLAY
}
