#!/usr/bin/env bash
# Cross-builds the part of Qt 5 that the Windows programs and their tests need, from Debian's
# own Qt source, once per machine, and prints the folder it is installed in (its last line on
# standard output; everything else goes to standard error).
#
#   tools/windows-qt.sh
#
# The source is the one Debian built this machine's Qt 5 from (the version of libqt5core5a that is
# installed, or else the one apt would install), fetched with apt from the mirror the machine already uses, through a private
# source list of our own: the machine's apt sources and lists stay as they are. apt checks the
# .dsc against the archive's signed index, and dpkg-source checks the tarballs against the .dsc
# before unpacking them, with Debian's patches applied.
#
# What comes out: Core, Gui, Widgets, Test (and PrintSupport, which comes along), as static
# libraries for x86_64-w64-mingw32 with posix threads, to be linked into each program together
# with the compiler's runtime, so that a program is one file; the windows, offscreen and minimal
# platform plugins, the windowsvista style and the ico image plugin, static too; the host tools
# moc, uic and rcc for Linux. Optimised for size, each function and datum in a section of its own
# for the linker to drop when unused (MinGW's linker keeps every function that has unwind data,
# so what pays is leaving features out). No OpenGL, D-Bus, network, SQL or XML, no JPEG or GIF,
# and none of the features listed below that nothing here uses. Debian repacks the source without
# src/3rdparty/wintab, so tablet events are left out too. Three small changes to the source
# (windows-qt.patch beside this script, which says why each) keep out of the programs what they
# never run: the C++ library's locales, FreeType beside Windows' own font engine, and Qt's stock
# pictures.
#
# Beside Qt the prefix holds what a shipped copy must name: Qt's licence files, Debian's
# copyright record of the source (COPYRIGHT.debian) and SOURCE, which names the exact source
# package, its checksum, the compiler and the configure line.
#
# The installed prefix is kept in WINDOWS_QT_CACHE (/var/cache/sternzeit-windows-qt) under
# <source version>-<hash of the configure line and the compiler's version>, and returned at once when it is there. A lock
# lets one run build while the others wait for it. The source and build tree live in a folder
# under /var/tmp that goes away on every way out; only a finished prefix is ever moved into
# the cache. Needs root for the cache, unless WINDOWS_QT_CACHE points somewhere writable. With
# WINDOWS_QT_CACHED_ONLY set it fails rather than build (as in a fresh root, which is given the
# machine's own build).
# shellcheck disable=SC2317  # cleanup runs from the EXIT trap
set -euo pipefail
set -m # each long step runs as a process group of its own, which a signal ends as a whole

readonly source_package=qtbase-opensource-src
readonly target=x86_64-w64-mingw32
cache_root=${WINDOWS_QT_CACHE:-/var/cache/sternzeit-windows-qt}
jobs=${JOBS:-$(nproc)}

# Everything that determines the result besides the source version. Changing a word here
# builds a new prefix beside the old one.
configure_options=(
    -xplatform win32-g++ -device-option "CROSS_COMPILE=$target-"
    -release -static -static-runtime -opensource -confirm-license
    -optimize-size -gc-binaries
    -nomake examples -nomake tests
    -no-opengl -no-direct2d -no-dbus -no-icu
    -qt-zlib -qt-libpng -no-libjpeg -no-gif
    -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml
    -no-feature-tabletevent
    # Left out because neither program nor test uses them; each saves tens to hundreds of KB per
    # program. The native style's headers need item views, combo box and input dialog, which stay.
    -no-feature-mimetype -no-feature-big_codecs -no-feature-topleveldomain -no-feature-statemachine
    -no-feature-xmlstream -no-feature-sharedmemory -no-feature-systemsemaphore
    -no-feature-jalalicalendar -no-feature-hijricalendar -no-feature-islamiccivilcalendar
    -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter
    -no-feature-movie -no-feature-imageformat_ppm -no-feature-imageformat_xbm
    -no-feature-style-fusion -no-feature-graphicsview -no-feature-graphicseffect
    -no-feature-filedialog -no-feature-fontdialog -no-feature-colordialog -no-feature-progressdialog
    -no-feature-errormessage -no-feature-wizard -no-feature-calendarwidget -no-feature-datetimeedit
    -no-feature-mdiarea -no-feature-undocommand -no-feature-undostack -no-feature-undogroup
    -no-feature-undoview -no-feature-toolbox -no-feature-dial -no-feature-lcdnumber
    -no-feature-splitter -no-feature-keysequenceedit -no-feature-syntaxhighlighter
    -no-feature-columnview -no-feature-fontcombobox -no-feature-dirmodel -no-feature-filesystemmodel
    -no-feature-fscompleter -no-feature-tablewidget -no-feature-treewidget
    # Regular expressions are interpreted: the JIT compiler is 150 KB of code that writes code.
    -D PCRE2_DISABLE_JIT
)
# Recorded word for word with the configure line in what ships.
readonly source_patch=$(dirname "$(readlink -f "$0")")/windows-qt.patch

say() { printf 'windows-qt: %s\n' "$*" >&2; }
elapsed_since() { echo $(($(date +%s) - $1)); }

work=""
step_job=""
finish() {
    local status=$?
    if [ -n "$step_job" ]; then
        kill -TERM -- "-$step_job" 2>/dev/null || true
        wait "$step_job" 2>/dev/null || true
    fi
    if [ -n "$work" ] && [ -d "$work" ]; then
        local started
        started=$(date +%s)
        rm -rf --one-file-system -- "$work"
        say "removed the build tree in $(elapsed_since "$started") s"
    fi
    [ $status -eq 0 ] || say "FAILED (exit status $status)"
    exit $status
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a long step with its output in a log, in the background, and waits for it, so that a
# signal to this script is handled at once rather than after the step.
run_step() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    step_job=$!
    local status=0
    wait "$step_job" || status=$?
    step_job=""
    return "$status"
}

# "URI SUITE..." of the machine's enabled deb sources in deb822 form and one-line form.
host_mirrors() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$f" ] || continue
        awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                           print $i, $(i + 1) }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -r "$f" ] || continue
        awk 'function flush() {
                 if (types ~ /(^| )deb( |$)/ && tolower(enabled) !~ /no/ && uris != "") print uris, suites
                 types = uris = suites = enabled = ""
             }
             /^#/ { next }
             /^[ \t]*$/ { flush(); next }
             { field = tolower(substr($0, 1, index($0, ":") - 1)); value = substr($0, index($0, ":") + 1) }
             field == "types" { types = value } field == "uris" { uris = value }
             field == "suites" { suites = value } field == "enabled" { enabled = value }
             END { flush() }' "$f"
    done
}

version=${WINDOWS_QT_SOURCE_VERSION:-$(dpkg-query -W -f='${Version}' libqt5core5a 2>/dev/null ||
    apt-cache policy libqt5core5a | awk '/Candidate:/ { print $2 }')}
if [ -z "$version" ] || [ "$version" = "(none)" ]; then
    say "no Qt 5 version known to apt"
    exit 1
fi
tools_version=$($target-g++-posix -dumpversion)
# Two builds of the same source with the same options give the same bytes, wherever their tree
# lies: the compilers map the tree's folder to this one, so that no build folder reaches a binary.
readonly tree_in_binaries=/usr/src/sternzeit-windows-qt
key=$(printf '%s\n' "${configure_options[@]}" "$tools_version" "-ffile-prefix-map=$tree_in_binaries" \
    "$(cat "$source_patch")" |
    sha1sum | cut -c1-12)
prefix=$cache_root/$version-$key

mkdir -p "$cache_root"
exec 9>"$cache_root/lock"
if ! flock -n 9; then
    say "another run is building Qt for Windows; waiting for it"
    flock 9
fi
if [ -f "$prefix/.complete" ]; then
    say "Qt $version for Windows from the cache"
    echo "$prefix"
    exit 0
fi
if [ -n "${WINDOWS_QT_CACHED_ONLY:-}" ]; then
    say "Qt $version for Windows is not in the cache ($prefix), and WINDOWS_QT_CACHED_ONLY is set"
    exit 1
fi

total_started=$(date +%s)
say "building Qt $version for Windows into $prefix (about a quarter of an hour on two cores)"
work=$(mktemp -d /var/tmp/sternzeit-windows-qt.XXXXXX)

# The configured Debian mirror, as a private deb-src list; only apt's view in this run sees it.
step_started=$(date +%s)
mkdir -p "$work/apt/lists/partial" "$work/apt/parts" "$work/source"
host_mirrors | while read -r uri suites; do
    for suite in $suites; do
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main"
    done
done >"$work/apt/sources.list"
[ -s "$work/apt/sources.list" ] || { say "no Debian mirror among the machine's apt sources"; exit 1; }
# apt downloads as its own unprivileged user, who must be able to write there.
chmod 755 "$work"
chown -R _apt "$work/apt/lists" "$work/source" 2>/dev/null || true
apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=$work/apt/parts"
    -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
    -o DPkg::Lock::Timeout=600)
apt-get "${apt_private[@]}" update -qq >&2
(cd "$work/source" && apt-get "${apt_private[@]}" source --download-only -qq "$source_package=$version" >&2)
dsc=$(echo "$work"/source/*.dsc)
dsc_sum=$(sha256sum "$dsc" | cut -d' ' -f1)
# The uploader's signature on the .dsc needs Debian's keyring of developers, which the machine
# lacks; the archive's signed index that apt checked the .dsc against vouches for it instead.
dpkg-source --require-strong-checksums -x "$dsc" "$work/source/qtbase" 2>&1 |
    { grep -v -e '^gpgv:' -e 'cannot verify inline signature' -e 'applying .*\.diff' >&2 || true; }
rm -f "$work"/source/*.tar.* "$work"/source/*.dsc
patch -s -d "$work/source/qtbase" -p1 --no-backup-if-mismatch <"$source_patch" >&2
say "fetched ${dsc##*/} (checked against the archive's signed index and its checksums) in $(elapsed_since "$step_started") s"

# The cross compiler with posix threads, whatever the machine's alternatives choose: a private
# folder of tool names in front of PATH, the compilers among them mapping the tree's folder away.
mkdir -p "$work/bin"
for tool in gcc g++ c++; do
    printf '#!/bin/sh\nexec /usr/bin/%s-%s-posix -ffile-prefix-map=%s=%s "$@"\n' \
        "$target" "$tool" "$work" "$tree_in_binaries" >"$work/bin/$target-$tool"
    chmod +x "$work/bin/$target-$tool"
done
ln -s "/usr/bin/$target-cpp-posix" "$work/bin/$target-cpp"
export PATH=$work/bin:$PATH
# rcc stamps each of Qt's own resources, which the programs link in, with the time of the source's
# last change in Debian's changelog rather than the time of the build; a date set for the programs
# around it does not reach Qt, which is cached by source and options alone.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$work/source/qtbase/debian/changelog" -STimestamp)
QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
export SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE

mkdir -p "$work/build"
cd "$work/build"
step_started=$(date +%s)
cpu_started=$(awk '{ print $14 + $15 + $16 + $17 }' /proc/$$/stat)
say "configure: ${configure_options[*]}"
run_step "$work/configure.log" "$work/source/qtbase/configure" -prefix "$prefix" "${configure_options[@]}" ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
say "configured in $(elapsed_since "$step_started") s"

step_started=$(date +%s)
run_step "$work/build.log" make -j "$jobs" || { grep -m 20 -B 5 -i 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2; exit 1; }
say "built in $(elapsed_since "$step_started") s"

step_started=$(date +%s)
run_step "$work/install.log" make install INSTALL_ROOT="$work/install" || { tail -n 40 "$work/install.log" >&2; exit 1; }
# What a shipped copy must name: Qt's licences, Debian's record of the source's copyrights, and
# the exact source and configure line it was built from.
cp "$work"/source/qtbase/LICENSE.* "$work/install$prefix/"
cp "$work/source/qtbase/debian/copyright" "$work/install$prefix/COPYRIGHT.debian"
printf '%s\n' "Built from Debian's source package ${dsc##*/} (SHA-256 $dsc_sum)," \
    "cross-compiled with $target-g++-posix $tools_version and configured with" \
    "configure -prefix $prefix ${configure_options[*]}" "" >"$work/install$prefix/SOURCE"
cat "$source_patch" >>"$work/install$prefix/SOURCE"
rm -rf "$prefix"
mv "$work/install$prefix" "$prefix"
cpu_seconds=$((($(awk '{ print $14 + $15 + $16 + $17 }' /proc/$$/stat) - cpu_started) / $(getconf CLK_TCK)))
touch "$prefix/.complete"
say "installed in $(elapsed_since "$step_started") s: $(du -sh "$prefix" | cut -f1) in $prefix"
say "total $(elapsed_since "$total_started") s wall, $cpu_seconds s CPU of configure, build and install"
echo "$prefix"
