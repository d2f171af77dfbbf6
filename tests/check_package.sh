#!/bin/sh
# Builds the Debian package of the build given as $1 in a temporary folder and holds it to what
# a distribution asks: lintian finds no error and no warning, and every program in it passes
# hardening-check. $2 is the compiler the build used: it tells whether this system's C start
# files carry the control-flow marking at all, which a program can only have if they do.
# Further arguments go to hardening-check.
set -eu
build_dir=$1
compiler=$2
shift 2
extra_options=$*
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in cpack lintian hardening-check dpkg-deb dpkg-shlibdeps readelf; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed (make test installs it)"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }

# cpack installs the build as it is, which ctest runs after building, into its own folder under $work.
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
set -- "$work"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single package"
deb=$1

# Errors and warnings fail; so do the notes on leftover sections and hardening, which the
# build is meant to have none of.
lintian --fail-on error,warning --display-info --pedantic "$deb" >"$work/lintian.log" 2>/dev/null \
    || { cat "$work/lintian.log"; fail "lintian"; }
cat "$work/lintian.log"
! grep -E '^I: [^ ]+ (binary-has-unneeded-section|hardening-)' "$work/lintian.log" >/dev/null || fail "lintian"

cf_option=
if ! readelf -n "$("$compiler" -print-file-name=Scrt1.o)" | grep -q 'IBT, SHSTK'; then
    echo "control-flow marking not checked: this system's C start files do not carry it"
    cf_option=--nocfprotection
fi
dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
    # shellcheck disable=SC2086
    hardening-check $cf_option $extra_options "$program" || fail "hardening-check $(basename "$program")"
done
echo "the package is clean"
