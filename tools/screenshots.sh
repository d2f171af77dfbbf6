#!/bin/sh
# Photographs the program's windows under a virtual X server into the folder given (default
# docs/), for the README. Run from the top of the repository after a build.
set -eu
out=${1:-docs}
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/screenshots "$out"
