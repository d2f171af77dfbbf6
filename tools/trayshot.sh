#!/bin/sh
# Photographs the running program with its tray menu open into the folder given (default docs/),
# for the README: a virtual X server with a tray host in a panel at the top right of a
# 1280 x 1024 screen (trayer), a right click on the icon, the upper part of the screen. Run from
# the top of the repository after a build; needs xdotool and imagemagick. Without a session bus
# Qt asks the X server for the tray, which is what trayer offers.
set -eu
out=$(cd "${1:-docs}" && pwd)
exec env -u DBUS_SESSION_BUS_ADDRESS xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
    tray=$!
    sleep 0.5
    QT_QPA_PLATFORM=xcb build/app/sternzeit &
    program=$!
    # Past the splash and the first tick.
    sleep 3
    # The only icon in the panel, at the right end of the top edge; near its foot, so that the
    # menu leaves it in sight.
    xdotool mousemove 1268 29 click 3
    sleep 1
    import -window root -crop 1280x330+0+0 +repage "$0/tray.png"
    kill "$program" "$tray"
' "$out"
