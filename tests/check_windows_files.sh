#!/bin/sh
# Reads the zip and the installer that make windows builds in the build folder $1 (version $2),
# the files a Windows user gets, with this machine's tools and without running anything: the zip
# holds exactly the folder the programs need, every program and library in it is stripped and
# may be placed anywhere in memory with its data kept from executing, sternzeit.exe opens no
# console window and carries its icon and manifest and nothing else, sternzeit-convert.exe is a
# console program; the installer asks for no administrator rights and shows the program's icon.
set -eu
build_dir=$1
version=$2
name=sternzeit-$version-windows-x64
zip=$(cd "$build_dir" && pwd)/$name.zip
setup=$build_dir/sternzeit-$version-setup.exe

fail() { printf 'FAIL: %s\n' "$*"; exit 1; }
for tool in cmake x86_64-w64-mingw32-objdump wrestool icotool; do
    command -v $tool >/dev/null || fail "$tool is missing (make windows installs it)"
done
for file in "$zip" "$setup"; do
    [ -f "$file" ] || fail "$file is missing (make windows builds it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"

# Everything in one folder named like the zip, and in it nothing missing and nothing extra.
[ "$(ls -A "$work")" = "$name" ] || fail "the zip holds more than the folder $name: $(ls -A "$work")"
folder=$work/$name
sort >"$work/expected" <<EOF
LICENSE.txt
LIESMICH.txt
Qt5Core.dll
Qt5Gui.dll
Qt5Widgets.dll
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
licenses/Qt-COPYRIGHT.debian.txt
licenses/Qt-LICENSE.GPL3.txt
licenses/Qt-LICENSE.LGPLv3.txt
licenses/Qt-SOURCE.txt
licenses/gcc-runtime-COPYRIGHT.debian.txt
licenses/mingw-w64-COPYRIGHT.debian.txt
platforms/qwindows.dll
sternzeit-convert.exe
sternzeit.exe
styles/qwindowsvistastyle.dll
translations/qtbase_de.qm
EOF
(cd "$folder" && find . ! -type d | sed 's|^\./||' | sort) >"$work/found"
diff -u "$work/expected" "$work/found" >"$work/difference" ||
    fail "the folder does not hold what the programs need (- missing, + extra):
$(tail -n +3 "$work/difference")"
grep -q "sternzeit-convert.exe --help" "$folder/LIESMICH.txt" || fail "LIESMICH.txt explains nothing"

# The loader flags: high-entropy address space layout randomisation with a relocatable image
# (which needs its relocations kept) and no-execute data. Stripped: no symbols, no debugging data.
for binary in $(cd "$folder" && find . -name '*.exe' -o -name '*.dll' | sed 's|^\./||' | sort); do
    x86_64-w64-mingw32-objdump -p "$folder/$binary" >"$work/header" || fail "$binary is no Windows program"
    for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
        grep -qx "[[:space:]]*$flag" "$work/header" || fail "$binary lacks $flag"
    done
    ! grep -qx "[[:space:]]*relocations stripped" "$work/header" || fail "$binary cannot be relocated"
    grep -qx "[[:space:]]*symbols stripped" "$work/header" || fail "$binary is not stripped"
    ! x86_64-w64-mingw32-objdump -h "$folder/$binary" | grep -q ' \.debug_' || fail "$binary carries debugging data"
done

subsystem() { x86_64-w64-mingw32-objdump -p "$folder/$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p'; }
[ "$(subsystem sternzeit.exe)" = "(Windows GUI)" ] || fail "sternzeit.exe is no GUI program: $(subsystem sternzeit.exe)"
[ "$(subsystem sternzeit-convert.exe)" = "(Windows CUI)" ] ||
    fail "sternzeit-convert.exe is no console program: $(subsystem sternzeit-convert.exe)"

# sternzeit.exe: the icon group with its seven pictures and the manifest, in US English, nothing else.
program=$folder/sternzeit.exe
wrestool -l "$program" >"$work/resources" || fail "wrestool cannot read sternzeit.exe"
unexpected=$(grep -v -e "^--type=3 --name=[1-7] --language=1033 " -e "^--type=14 --name='IDI_ICON1' --language=1033 " \
    -e "^--type=24 --name=1 --language=1033 " "$work/resources" || true)
[ -z "$unexpected" ] || fail "sternzeit.exe carries other resources: $unexpected"
[ "$(grep -c '^--type=3 ' "$work/resources")" -eq 7 ] || fail "sternzeit.exe does not carry seven icon pictures"
grep -q '^--type=14 ' "$work/resources" || fail "sternzeit.exe carries no icon group IDI_ICON1"
grep -q '^--type=24 ' "$work/resources" || fail "sternzeit.exe carries no manifest as resource 1"

# The sizes of an icon group $2 in the program $1, and the execution level its manifest asks for.
icon_sizes() {
    wrestool -x --type=14 --name="$2" "$1" >"$work/icon.ico" || fail "cannot read the icon group $2 of $1"
    icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) .*/\1x\2/p' | sort -n | tr '\n' ' '
}
execution_level() {
    wrestool -x --raw --type=24 --name=1 "$1" | grep -o '<requestedExecutionLevel [^>]*>'
}
all_sizes="16x16 24x24 32x32 48x48 64x64 128x128 256x256 "

sizes=$(icon_sizes "$program" IDI_ICON1)
[ "$sizes" = "$all_sizes" ] || fail "IDI_ICON1 holds the sizes $sizes"
level=$(execution_level "$program")
[ "$level" = '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' ] ||
    fail "the manifest asks for another execution level: $level"
wrestool -x --raw --type=24 --name=1 "$program" | grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' ||
    fail "the manifest does not ask for Common Controls 6.0.0.0"

# Wine grants every program all rights, so only the installer's manifest shows that it asks for none.
level=$(execution_level "$setup")
[ "$level" = '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' ] ||
    fail "the installer asks for another execution level: $level"
group=$(wrestool -l --type=14 "$setup" | sed -n 's/^--type=14 --name=\([0-9]*\) .*/\1/p')
sizes=$(icon_sizes "$setup" "$group")
[ "$sizes" = "$all_sizes" ] || fail "the installer's icon holds the sizes $sizes"
echo "the zip holds the folder as it must be, and the installer asks for no administrator rights"
