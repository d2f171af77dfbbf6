#!/bin/sh
# Photographs the running program in a panel that shows status icons, with the icon's menu open,
# into the folder given (default docs/), for the README: a session bus and a virtual X server of
# its own, the watcher and the panel (drawn without the accessibility bus), the panel at the top
# of a 1280 x 1024 screen with the icon at its right end, a right click on the icon, the pointer
# then on the menu's second entry, so that the tooltip is gone; the upper part of the screen. Run
# from the top of the repository after a build; needs xdotool and imagemagick.
set -eu
out=$(cd "${1:-docs}" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session sh -c '
    status-notifier-watcher >/dev/null 2>&1 &
    watcher=$!
    # Grey, so that the panel stands out from the clock window beside it.
    NO_AT_BRIDGE=1 gtk-sni-tray-standalone --top --end --size 32 --color "#3c3c3c" >/dev/null 2>&1 &
    panel=$!
    QT_QPA_PLATFORM=xcb build/app/sternzeit &
    program=$!
    # Past the splash and the first tick.
    sleep 3
    xdotool mousemove 1264 16 click 3
    sleep 0.7
    xdotool mousemove 1200 70
    sleep 1.5
    import -window root -crop 1280x330+0+0 +repage "$0/statuspanel.png"
    kill "$program" "$panel" "$watcher"
' "$out"
