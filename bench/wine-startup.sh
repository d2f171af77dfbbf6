#!/usr/bin/env bash
# The start-up of the Windows build under Wine: sternzeit.exe against minimalclock.exe, built
# with the same Qt, each run from the folder a Windows user unpacks, on Qt's Windows platform, in
# a private Wine prefix on a private Xvfb. After the prefix is warm (Wine's desktop kept up and
# one unmeasured start of each, since the first program in a prefix starts Wine itself), the two
# start in turn, several times each, under startupwatch, which sees Wine's windows as X windows;
# the figure is the median time from the fork to the first paint of the splash, the one window
# of 300 x 225 that both show first, and to the first paint of the main window (822 x 313;
# minimalclock's lacks the layout's margins, 820 x 313).
# Prints a Markdown table with both medians and their ratio, and the same for the fastest start of
# each. With -c, the sternzeit.exe of another Windows build (another commit's, say) takes
# minimalclock's place, run from its own folder.
# No goal: Wine adds costs of its own that a Windows machine does not have.
#
#   bench/wine-startup.sh [-s STARTS] [-b BUILD_DIR] [-W WINDOWS_BUILD_DIR] [-c OTHER_WINDOWS_BUILD_DIR] [-l LOG_DIR]
#
# STARTS defaults to 7, BUILD_DIR (where bench/startupwatch is) to build/ beside bench/,
# WINDOWS_BUILD_DIR to build-windows/ beside bench/, LOG_DIR to WINDOWS_BUILD_DIR/bench/wine-startup,
# which also holds the prefix (about 700 MB while it runs). Exits 2 on a usage or set-up error.

set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
starts=7
buildDir="$here/../build"
windowsDir="$here/../build-windows"
logDir=
otherDir=

usage() {
    sed -n '/^#   bench/s/^#   //p' "$0" >&2
    exit 2
}
fail() {
    echo "wine-startup: $*" >&2
    exit 2
}

while getopts "s:b:W:c:l:h" option; do
    case $option in
        s) starts=$OPTARG ;;
        b) buildDir=$OPTARG ;;
        W) windowsDir=$OPTARG ;;
        c) otherDir=$OPTARG ;;
        l) logDir=$OPTARG ;;
        *) usage ;;
    esac
done
[[ $starts =~ ^[1-9][0-9]*$ ]] || usage

startupwatch=$buildDir/bench/startupwatch
[[ -x $startupwatch ]] || fail "$startupwatch is missing; build first (make bench)"
startupwatch=$(realpath "$startupwatch")
[[ -d $windowsDir ]] || fail "$windowsDir is missing; build first (make windows)"
windowsDir=$(realpath "$windowsDir")
shopt -s nullglob
folders=("$windowsDir"/sternzeit-*-windows-x64/)
shopt -u nullglob
minimal=$windowsDir/bench/minimalclock.exe
[[ ${#folders[@]} -eq 1 && -f ${folders[0]}sternzeit.exe && -f $minimal ]] ||
    fail "no Windows folder with sternzeit.exe, or no bench/minimalclock.exe, in $windowsDir; build first (make windows)"
for command in Xvfb wine wineserver x86_64-w64-mingw32-strip; do
    command -v "$command" >/dev/null || fail "$command is missing (Debian packages xvfb, wine, wine64, binutils-mingw-w64-x86-64)"
done
logDir=${logDir:-$windowsDir/bench/wine-startup}

# What the watcher waits for a start: Wine and Qt's DLLs take a second or two on a busy machine.
watchMs=6000
splashSize=300x225
mainSize='^82[02]x313$'

WINEPREFIX=$logDir/prefix
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER

xvfbPid=
programPid=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [[ -n $programPid ]] && kill -KILL "$programPid" 2>/dev/null
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    [[ -n $xvfbPid ]] && kill "$xvfbPid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$logDir/programs" "$logDir/other-programs" "$logDir/desktop.fifo"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

mkdir -p "$logDir"
rm -rf "$logDir/programs" "$logDir/other-programs" "$logDir/desktop.fifo" "$logDir"/warm-up-* "$logDir"/start-*

# Both programs in one copy of the folder as the zip holds it, both stripped as the folder's
# programs are.
cp -r "${folders[0]}" "$logDir/programs"
x86_64-w64-mingw32-strip -o "$logDir/programs/minimalclock.exe" "$minimal"
declare -A program=([sternzeit]=$logDir/programs/sternzeit.exe [minimalclock]=$logDir/programs/minimalclock.exe)
names=(sternzeit minimalclock)
if [[ -n $otherDir ]]; then
    other=("$(realpath "$otherDir")"/sternzeit-*-windows-x64/sternzeit.exe)
    [[ -f ${other[0]} ]] || fail "no Windows folder with sternzeit.exe in $otherDir"
    cp -r "$(dirname "${other[0]}")" "$logDir/other-programs"
    program[other]=$logDir/other-programs/sternzeit.exe
    names=(sternzeit other)
fi

rm -rf "$WINEPREFIX"
sh "$here/../tests/with_wine.sh" --prefix >"$logDir/prefix.log" 2>&1 ||
    fail "cannot make the Wine prefix (see $logDir/prefix.log)"

# Should this script be killed outright, where no trap runs, the X server goes with it; what
# runs in the prefix then stays until the next run removes it.
setpriv --pdeathsig TERM Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
    3>"$logDir/display" 2>"$logDir/xvfb.log" &
xvfbPid=$!
for _ in $(seq 100); do
    [[ -s $logDir/display ]] && break
    sleep 0.1
done
[[ -s $logDir/display ]] || fail "Xvfb did not start (see $logDir/xvfb.log)"
DISPLAY=:$(head -n1 "$logDir/display")
export DISPLAY

# Wine's desktop (explorer.exe, which the first program with a window starts) closes a second
# after the last program on it has ended, and the next start would pay for it again. A command
# shell that waits for input it never gets keeps it up between the starts, as the shell is
# always up on Windows, and with it Wine's server and services. It reads a pipe it also holds
# open for writing, so no program started later inherits the other end.
mkfifo "$logDir/desktop.fifo"
wine cmd <>"$logDir/desktop.fifo" >/dev/null 2>&1 &

stopProgram() {
    [[ -n $programPid ]] || return 0
    kill "$programPid" 2>/dev/null || true
    for _ in $(seq 50); do
        [[ -d /proc/$programPid ]] || break
        sleep 0.1
    done
    kill -KILL "$programPid" 2>/dev/null || true
    programPid=
}

# start NAME LOG: one start under the watcher; leaves the times of the splash's and the main
# window's first paints in splashMs and mainMs. The program inherits the watcher's output, so
# that goes to a file, never a pipe.
start() {
    local name=$1 log=$2
    "$startupwatch" -t "$watchMs" wine "${program[$name]}" >"$log" 2>"${log%.log}.stderr" ||
        fail "startupwatch could not watch $name (see ${log%.log}.stderr)"
    programPid=$(awk '$1 == "pid" { print $2 }' "$log")
    splashMs=$(awk -v size="$splashSize" '$1 == "paint" && $3 == size { print $4; exit }' "$log")
    mainMs=$(awk -v size="$mainSize" '$1 == "paint" && $3 ~ size { print $4; exit }' "$log")
    stopProgram
    [[ -n $splashMs && -n $mainMs ]] || fail "$name painted no splash of $splashSize or main window of $mainSize within $watchMs ms (see $log)"
}

# shellcheck disable=SC2317  # called through row
median() {
    printf '%s\n' "$@" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

wineVersion=$(wine --version)
echo "Start-up under $wineVersion on display $DISPLAY, $starts starts each, logs in $logDir"
for name in "${names[@]}"; do
    start "$name" "$logDir/warm-up-$name.log"
done
declare -A times mainTimes
for k in $(seq "$starts"); do
    # In turn, each first every other time, so that neither always follows the other.
    order=("${names[@]}")
    (( k % 2 )) || order=("${names[1]}" "${names[0]}")
    for name in "${order[@]}"; do
        start "$name" "$logDir/start-$name-$k.log"
        times[$name]+=" $splashMs"
        mainTimes[$name]+=" $mainMs"
    done
done

# row LABEL PICK TIMES: one figure of both programs' starts and its ratio; PICK reads the median or
# the fastest of a list of times, TIMES names the list (times, mainTimes).
row() {
    local text=$1 pick=$2 s m
    local -n list=$3
    # shellcheck disable=SC2086
    s=$($pick ${list[${names[0]}]})
    # shellcheck disable=SC2086
    m=$($pick ${list[${names[1]}]})
    awk -v t="$text" -v s="$s" -v m="$m" 'BEGIN { printf "| %s | %.1f | %.1f | %.3f |\n", t, s, m, s / m }'
}
# shellcheck disable=SC2317  # called through row
fastest() { printf '%s\n' "$@" | sort -g | head -n1; }

for name in "${names[@]}"; do
    echo "  $name: splash${times[$name]} ms; main window${mainTimes[$name]} ms"
done
echo
echo "| under $wineVersion, $starts starts each | ${program[${names[0]}]#"$logDir"/} | ${program[${names[1]}]#"$logDir"/} | ratio |"
echo "| --- | ---: | ---: | ---: |"
row "start → splash painted, median (ms)" median times
row "start → main window painted, median (ms)" median mainTimes
# On a busy machine the fastest start is the one least held up by other work.
row "start → splash painted, fastest (ms)" fastest times
row "start → main window painted, fastest (ms)" fastest mainTimes
exit 0
