#!/bin/sh
# Installs the build given as $1 into a temporary prefix and checks what a desktop needs:
# the program and its command line, its menu entry, its icon and its software-centre description.
set -eu
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/sternzeit" ] || fail "bin/sternzeit is missing or not executable"
[ -x "$prefix/bin/sternzeit-convert" ] || fail "bin/sternzeit-convert is missing or not executable"
[ "$("$prefix/bin/sternzeit-convert" --own 201312,0512)" = "05.12.2013 12:00" ] || fail "the installed sternzeit-convert does not convert"
desktop=$prefix/share/applications/sternzeit.desktop
[ -f "$desktop" ] || fail "sternzeit.desktop is missing"
grep -qx 'Exec=sternzeit' "$desktop" || fail "the desktop entry does not start sternzeit"
grep -qx 'Icon=sternzeit' "$desktop" || fail "the desktop entry names another icon"
for size in 16 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/sternzeit.png
    [ -f "$icon" ] || fail "the $size x $size icon is missing"
    # PNG width and height stand in the IHDR chunk at bytes 16 to 23.
    [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "the $size x $size icon has another size"
done
svg=$prefix/share/icons/hicolor/scalable/apps/sternzeit.svg
[ -f "$svg" ] || fail "the scalable icon is missing"
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$svg" || fail "the scalable icon is no SVG"
metainfo=$prefix/share/metainfo/org.sternzeit.sternzeit.metainfo.xml
[ -f "$metainfo" ] || fail "the metainfo is missing"
grep -q '<launchable type="desktop-id">sternzeit.desktop</launchable>' "$metainfo" || fail "the metainfo launches another entry"

# Both validators must find nothing at all, not even a hint or a pedantic remark.
if command -v desktop-file-validate >/dev/null; then
    report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
fi
if command -v appstreamcli >/dev/null; then
    report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) \
        && ! echo "$report" | grep -q '^[EWIP]: ' || fail "appstreamcli validate: $report"
fi
echo "installed files are complete"
