#!/bin/sh
# Runs the installer that make windows builds in the build folder $1 (version $2) as a Windows
# user would, silently, in a new Wine prefix of its own with a virtual X server beneath, on a C:
# drive that holds no Qt and no compiler and with no way to this machine's files. It must put the
# zip's files under the user's own programs and nothing elsewhere but the Start menu entry and
# the entry under the user's installed apps; the installed programs must start and work from
# there; and the silent uninstaller must leave no file and no key of the user's behind. Exits 77
# (skipped) only where Wine or the X server cannot start here.
set -u
. "$(dirname "$0")/virtual_display.sh"
build_dir=$(cd "$1" && pwd) || exit 1
version=$2
setup=$build_dir/sternzeit-$version-setup.exe
zip=$build_dir/sternzeit-$version-windows-x64.zip

skip() { printf 'SKIP: %s\n' "$*"; exit 77; }
fail() { printf 'FAIL: %s\n' "$*"; exit 1; }
[ -f "$setup" ] || fail "$setup is missing (make windows builds it)"
[ -f "$zip" ] || fail "$zip is missing (make windows builds it)"
for tool in wine wineserver Xvfb; do
    command -v $tool >/dev/null || skip "$tool is not installed (make windows installs it)"
done

work=$(mktemp -d) || exit 1
chmod 700 "$work"
xvfb=
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    # Ends whatever still runs in this prefix, and its server.
    [ -d "$work/prefix" ] && WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Wine, and anything it starts, sees only this test's folders: the prefix, and a home of its own
# that the user's Documents and Downloads lead to. No menu entries for this machine's desktop,
# no offers to download Wine's add-ons, no Qt of this machine.
mkdir "$work/home"
HOME=$work/home
XDG_RUNTIME_DIR=$work
WINEPREFIX=$work/prefix
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME XDG_RUNTIME_DIR WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_SCALE_FACTOR QT_FORCE_STDERR_LOGGING XDG_DATA_HOME XDG_CONFIG_HOME

start_virtual_display "$work"

started=$(date +%s)
wineboot --init >"$work/wineboot.log" 2>&1 && wineserver -w ||
    { cat "$work/wineboot.log"; skip "Wine cannot make a prefix here"; }
echo "a new Wine prefix in $(($(date +%s) - started)) s"
# The machine's root stays out of reach: the programs can find nothing but what was installed.
# Wine forgets the machine's fonts with it when it next starts, which is not the installer's doing.
rm "$WINEPREFIX/dosdevices/z:" || fail "the prefix has no drive Z: to take away"
cd "$WINEPREFIX/drive_c" && wine cmd /c exit && wineserver -w || fail "Wine does not start without drive Z:"
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public)
[ "$(echo "$user" | wc -l)" -eq 1 ] || fail "the prefix has more than one user: $user"
profile=$WINEPREFIX/drive_c/users/$user
folder=$profile/AppData/Local/Programs/Sternzeit
windows_folder="C:\\users\\$user\\AppData\\Local\\Programs\\Sternzeit"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Sternzeit.lnk"
cp "$setup" "$HOME/"

# The files of the C: drive, the user's Desktop and Documents among them (links to this test's
# home), and the user's registry, without the times Wine notes beside each key and without Wine's
# own settings, where it keeps its record of this machine's fonts as it sees fit.
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find -L . | sort) >"$work/$1.files"
    awk '/^\[/ { wine = ($0 ~ /^\[Software\\\\Wine[]\\]/); sub(/\] [0-9]+$/, "]") }
         !wine && !/^#time=/' "$WINEPREFIX/user.reg" >"$work/$1.reg"
}
snapshot before

wine "C:\\users\\$user\\Downloads\\${setup##*/}" /S || fail "the installer failed with status $?"

# The installed folder is the zip's folder with the uninstaller beside, byte for byte.
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
[ -f "$folder/Uninstall.exe" ] || fail "no Uninstall.exe in $folder"
diff -r --exclude=Uninstall.exe "$work/zip/sternzeit-$version-windows-x64" "$folder" >"$work/folder.diff" ||
    fail "the installed files are not those of the zip:
$(cat "$work/folder.diff")"
# Nothing elsewhere but the entry in the Start menu, and the folder Programs, which a new profile lacks.
(cd "$WINEPREFIX/drive_c" && find -L . | sort) | comm -13 "$work/before.files" - |
    grep -v -e "^./users/$user/AppData/Local/Programs/Sternzeit/" \
        -e "^./users/$user/AppData/Local/Programs\(/Sternzeit\)\{0,1\}$" \
        -e "^./users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Sternzeit.lnk$" >"$work/elsewhere"
[ ! -s "$work/elsewhere" ] || fail "the installer wrote elsewhere too:
$(cat "$work/elsewhere")"
[ -f "$shortcut" ] || fail "no Start menu entry"
# The link's target, and its icon, which is the program's own.
strings "$shortcut" | grep -qxF "$windows_folder\\sternzeit.exe" || fail "the Start menu entry does not start sternzeit.exe"
strings -el "$shortcut" | grep -qF "$windows_folder\\sternzeit.exe" || fail "the Start menu entry shows another icon"

# The entry under the user's installed apps, all of it.
size_kib=$(find "$folder" -type f -printf '%s\n' | awk '{ bytes += $1 } END { print int(bytes / 1024) }')
sort >"$work/expected.key" <<EOF
CreatedAppsList REG_DWORD 0x1
CreatedFolder REG_SZ C:\\users\\$user\\AppData\\Local\\Programs
DisplayIcon REG_SZ $windows_folder\\sternzeit.exe,0
DisplayName REG_SZ Sternzeit
DisplayVersion REG_SZ $version
EstimatedSize REG_DWORD $(printf '0x%x' "$size_kib")
InstallLocation REG_SZ $windows_folder
NoModify REG_DWORD 0x1
NoRepair REG_DWORD 0x1
Publisher REG_SZ The Sternzeit developers
QuietUninstallString REG_SZ "$windows_folder\\Uninstall.exe" /S
UninstallString REG_SZ "$windows_folder\\Uninstall.exe"
EOF
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sternzeit' >"$work/key.raw" 2>&1 ||
    fail "no entry under the user's installed apps: $(cat "$work/key.raw")"
tr -d '\r' <"$work/key.raw" | sed -n 's/^    \([^ ]*\)    \(REG_[A-Z]*\)    \(.*\)$/\1 \2 \3/p' | sort >"$work/found.key"
diff -u "$work/expected.key" "$work/found.key" >"$work/key.diff" ||
    fail "the entry under the user's installed apps differs (- expected, + found):
$(tail -n +3 "$work/key.diff")"

# The installed programs run from there alone.
printf 'Mein Format: 201312,0512\r\nAnderes Format: -147073.234375\r\n' >"$work/expected.out"
wine "$windows_folder\\sternzeit-convert.exe" "05.12.2013 12:00" >"$work/convert.out" 2>"$work/convert.err" ||
    fail "the installed sternzeit-convert.exe failed with status $?: $(cat "$work/convert.err")"
cmp -s "$work/expected.out" "$work/convert.out" ||
    fail "the installed sternzeit-convert.exe printed: $(od -c "$work/convert.out")"

wine "$windows_folder\\sternzeit.exe" >"$work/program.log" 2>&1 &
program=$!
for second in 1 2 3 4 5 6 7 8 9 10; do
    sleep 1
    kill -0 "$program" 2>/dev/null || { wait "$program"; fail "the installed sternzeit.exe ended after $second s with status $?: $(cat "$work/program.log")"; }
done
# Asked to close as Windows asks when the user logs off: the program must end, and end well.
wine taskkill /im sternzeit.exe >/dev/null 2>&1 || fail "taskkill found no sternzeit.exe"
await_end "$program" 10 || fail "the installed sternzeit.exe did not end within 10 s of being asked to close"
wait "$program"
status=$?
program=
[ "$status" -eq 0 ] || fail "the installed sternzeit.exe ended with status $status: $(cat "$work/program.log")"
echo "the installed programs ran"

# The uninstaller copies itself to the user's Temp folder, runs from there and returns at once;
# the server ends when the copy has, and writes the registry.
wine "$windows_folder\\Uninstall.exe" /S || fail "the uninstaller failed with status $?"
wineserver -w
snapshot after
diff -u "$work/before.reg" "$work/after.reg" >"$work/reg.diff" ||
    fail "the uninstaller left the user's registry changed (- before, + after):
$(tail -n +3 "$work/reg.diff")"
# That copy of the uninstaller alone stays, for Windows to remove at the next start, as it does
# for every uninstaller of this kind.
grep -q "PendingFileRenameOperations.*Temp.*\.tmp.*\.exe" "$WINEPREFIX/system.reg" ||
    fail "the uninstaller's copy in the Temp folder is not set to go at the next start"
comm -13 "$work/before.files" "$work/after.files" |
    grep -v "^./users/$user/Temp/~nsu[^/]*\.tmp\(/Un\.exe\)\{0,1\}$" >"$work/left"
comm -23 "$work/before.files" "$work/after.files" >"$work/gone"
[ ! -s "$work/left" ] || fail "the uninstaller left files behind:
$(cat "$work/left")"
[ ! -s "$work/gone" ] || fail "the uninstaller removed what it had not made:
$(cat "$work/gone")"
! grep -qi sternzeit "$WINEPREFIX/system.reg" || fail "the machine's registry names Sternzeit: $(grep -i sternzeit "$WINEPREFIX/system.reg")"
echo "installed, ran and uninstalled without a trace in $(($(date +%s) - started)) s"
