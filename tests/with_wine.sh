#!/bin/sh
# Runs one program of the Windows build under Wine, as CTest's emulator for that build:
#
#   with_wine.sh QT_PREFIX PROGRAM.exe [ARGUMENT...]
#
# The program finds the Qt DLLs and plugins of QT_PREFIX and the compiler's runtime DLLs where
# they lie, without copies beside it. Wine runs in the prefix WINEPREFIX names (one that
# wine_prefix.sh made), quietly; it never offers to download its Mono or Gecko add-ons and never
# writes menu entries into the home folder. The arguments pass through Windows' command shell,
# so they must not hold its special characters (& | < > ^ %).
set -eu
qt=$1
shift

# A Unix path as Wine sees it, on its drive Z:.
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

runtime=$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)
threads=$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$(dirname "$runtime")");$(windows_path "$(dirname "$threads")")"
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
export WINEPATH WINEDEBUG WINEDLLOVERRIDES

# Qt's offscreen platform reads font files from a folder of its own choosing rather than asking
# Windows; it gets the prefix's Fonts folder, where wine_prefix.sh put the stand-in for Arial.
: "${QT_QPA_FONTDIR:=$(windows_path "$WINEPREFIX/drive_c/windows/Fonts")}"
export QT_QPA_FONTDIR

# Wine keeps the QT_ variables of a Linux desktop from Windows programs and hands them over only
# with WINE in front, so that is how the test's QT_QPA_PLATFORM and the others reach the program.
# A test program without a console window sends its log to the debugger, so it is told to write
# it to standard error, where CTest reads it.
QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
QT_FORCE_STDERR_LOGGING=1
export QT_PLUGIN_PATH QT_FORCE_STDERR_LOGGING
for variable in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    eval "export WINE$variable=\"\$$variable\""
done

# Wine takes the system's time zone from TZ, as every Linux program does, but also hands TZ on to
# the program, whose C runtime, which Qt's local time goes through, reads it in its own form
# ("CET-1CEST"): "Europe/Berlin" comes out as a zone at UTC with a summer time of its own. A
# Windows machine has no TZ; the command shell clears it and starts the program, whose runtime
# then asks the system.
program=$1
shift
case $program in /*) ;; *) program=$PWD/$program ;; esac

# The first program in a prefix starts Wine's server and system programs, which take over its
# standard error and keep it open after it has ended; CTest would wait for them to end before it
# calls the test done. The program's standard error goes to a file instead, passed on as it grows
# and to its end once the program has ended.
log=$(mktemp "$WINEPREFIX/stderr.XXXXXX")
exec 3<&0 # a program started in the background would read nothing
wine cmd /c set 'TZ=&' "$(windows_path "$program")" "$@" <&3 3<&- 2>"$log" &
wine=$!
trap 'kill "$wine" 2>/dev/null' INT TERM HUP
tail --pid="$wine" -f -s 0.1 -n +1 "$log" >&2
status=0
wait "$wine" || status=$?
rm -f "$log"
exit "$status"
