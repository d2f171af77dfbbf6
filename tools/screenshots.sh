#!/bin/sh
# Photographs the program's windows under a virtual X server into the folder given (default
# docs/), for the README. Run from the top of the repository after a build.
set -eu
out=${1:-docs}
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/screenshots "$out"

# The main window once more on a screen of twice the pixel density, as the README shows it.
scaled=$(mktemp -d)
trap 'rm -rf "$scaled"' EXIT
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2560x2048x24" build/tools/screenshots "$scaled"
cp "$scaled/mainwindow.png" "$out/mainwindow@2x.png"
