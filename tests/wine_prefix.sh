#!/bin/sh
# Makes and removes the private Wine prefix that the Windows programs run in under Wine:
#
#   wine_prefix.sh create DIR    a new prefix in DIR (any old one there goes first)
#   wine_prefix.sh remove DIR    stops what runs in it and removes it
#
# A new prefix has neither Arial nor Tahoma, and Wine falls back to a mathematics font of very
# tall lines, which spreads the main window over twice its height. Liberation Sans, made to
# Arial's widths, stands in for both: for Arial, which the main window's texts ask for, and for
# Tahoma, which Windows puts behind "MS Shell Dlg 2", the default font that Qt 5 gives every
# other text; on the program's lines the two differ by a few pixels at most. (Wine's own Tahoma,
# Debian's fonts-wine, carries Tahoma's widths in its tables, yet Wine sets its letters up to a
# pixel wider each, so that the conversion dialog's help text would need 340 of its 321 pixels.)
# The font file also lies in the prefix's Fonts folder, where Qt's offscreen platform, which
# reads font files itself, finds it as the one font there is. A program that crashes gets no
# dialog that would wait for a click.
set -eu

usage() { echo "usage: $0 create|remove DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
WINEPREFIX=$2
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# The prefix never sees a display; programs that draw get one of their own.
DISPLAY=
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES DISPLAY

remove() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
}

case $action in
remove)
    remove
    ;;
create)
    command -v wine >/dev/null || { echo "no Wine (Debian packages wine and wine64)" >&2; exit 1; }
    remove
    started=$(date +%s)
    wine wineboot --init >/dev/null 2>&1
    fonts=/usr/share/fonts/truetype/liberation2
    for style in Regular Bold Italic BoldItalic; do
        ln -s "$fonts/LiberationSans-$style.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    settings=$WINEPREFIX/drive_c/sternzeit-tests.reg
    cat >"$settings" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Tahoma"="Liberation Sans"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
    wine regedit /S 'C:\sternzeit-tests.reg' >/dev/null 2>&1
    rm -f "$settings"
    # The registry is written to the prefix's files when the last Wine process ends.
    wineserver -w
    echo "Wine prefix ready in $WINEPREFIX after $(($(date +%s) - started)) s"
    ;;
*)
    usage
    ;;
esac
