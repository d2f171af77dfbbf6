#!/bin/sh
# Runs one program of the Windows build under Wine, as CTest's emulator for that build:
#
#   with_wine.sh PROGRAM.exe [ARGUMENT...]
#   with_wine.sh --prefix        (only makes the prefix)
#
# in the Wine prefix that WINEPREFIX names, made on first use, quietly, never offering to download
# Wine's add-ons or writing menu entries into the home folder. Every program carries Qt and the
# compiler's runtime inside, so it needs nothing beside it. The arguments pass through Windows'
# command shell, so they must not hold its special characters (& | < > ^ %).
set -eu
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
export WINEDEBUG WINEDLLOVERRIDES

# A new prefix has neither Arial nor Tahoma, and Wine would fall back to a mathematics font of
# very tall lines. Liberation Sans, made to Arial's widths, stands in for both: for Arial, which
# the main window asks for, and for Tahoma, which Windows puts behind Qt 5's default font (Wine's
# own Tahoma would cut off the conversion dialog's help text). Qt's offscreen platform reads it
# from the Fonts folder itself. A crash shows no dialog that would wait for a click. The lines of
# a .reg file in WINE_PREFIX_SETTINGS go in too. The prefix never sees a display.
make_prefix() {
    rm -rf "$WINEPREFIX"
    DISPLAY='' wine wineboot --init >/dev/null 2>&1
    for style in Regular Bold Italic BoldItalic; do
        ln -s "/usr/share/fonts/truetype/liberation2/LiberationSans-$style.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    cat >"$WINEPREFIX/drive_c/settings.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Tahoma"="Liberation Sans"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

${WINE_PREFIX_SETTINGS:-}
EOF
    DISPLAY='' wine regedit /S 'C:\settings.reg' >/dev/null 2>&1
    rm "$WINEPREFIX/drive_c/settings.reg"
    # The registry reaches the prefix's files when the last Wine process has ended.
    wineserver -w
    touch "$WINEPREFIX/.made"
}
# The tests that share a prefix wait for the first one to make it.
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.made" ] || make_prefix
exec 9>&-
[ "$1" != --prefix ] || exit 0

# A Unix path as Wine sees it, on its drive Z:.
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
# Qt's offscreen platform reads its fonts from a folder rather than asking Windows.
: "${QT_QPA_FONTDIR:=$(windows_path "$WINEPREFIX/drive_c/windows/Fonts")}"
# A test program without a console window would send its log to the debugger.
QT_FORCE_STDERR_LOGGING=1
export QT_QPA_FONTDIR QT_FORCE_STDERR_LOGGING
# Wine hands the QT_ variables of a Linux desktop to Windows programs only with WINE in front.
for variable in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    eval "export WINE$variable=\"\$$variable\""
done

# Wine takes the system's time zone from TZ, but also hands TZ on to the program, whose C runtime
# reads it in its own form ("CET-1CEST"), so that "Europe/Berlin" would come out as a zone at UTC
# with a summer time of its own. A Windows machine has no TZ: the command shell clears it and
# starts the program. The first program in a prefix starts Wine's server and system programs,
# which keep its standard error open after it has ended, and CTest would wait for them; so the
# program's standard error goes to a file, passed on as it grows, until the program has ended.
program=$1
shift
case $program in /*) ;; *) program=$PWD/$program ;; esac
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
