#!/usr/bin/env bash
# tools/fresh-root.sh [STEP...] (as root) proves the README's promise on a machine that has nothing
# yet: a minimal Debian 12 root made by mmdebstrap (minbase with build-essential, cmake, git,
# ca-certificates and sudo, from the host's mirror), a clone of HEAD in it, and there each STEP, one
# argument of make arguments (default: test run lint). A step whose goal is `run` builds, then
# passes when the program still runs FRESH_RUN_SECONDS (10) after its start; any other passes when
# make succeeds; the last line gives every result. Windows builds see this machine's Qt read-only.
# The minbase root is a tarball in FRESH_CACHE_DIR (/var/cache/sternzeit-fresh-root), made anew
# after a week; a second mmdebstrap unpacks it and its customize hooks clone and run the steps. It
# runs in namespaces of its own: what it mounted and ran ends with it, however the run ends.
# shellcheck disable=SC2015,SC2016  # "A && B || fail" is meant; hooks expand $1 in mmdebstrap's sh
set -uo pipefail
readonly suite=bookworm includes=build-essential,cmake,git,ca-certificates,sudo
say() { printf 'fresh-root: %s\n' "$*"; }

# One step, run as a customize hook in the root $2, with only the environment a new machine's
# shell has; the one addition keeps a Windows step from building a Qt of its own.
if [ "${1:-}" = --step ]; then
    root=$2 step=$3 started=$SECONDS program="" i=0 result=FAILED log=$FRESH_LOG_DIR/make-${3// /_}.log
    in_root() {  # always in a subshell of its own (a pipeline, a job), so that $! is its make
        exec chroot "$root" /usr/bin/env -i HOME=/root ${CI:+CI="$CI"} WINDOWS_QT_CACHED_ONLY=1 \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            /bin/sh -c "cd /src && $1" </dev/null 2>&1
    }
    if [ "${step%% *}" != run ]; then
        in_root "make $step" | tee -a "$log" && result=passed
        for f in "$root"/src/build*/Testing/Temporary/LastTest*.log; do
            [ -e "$f" ] && f=${f#"$root/src/"} && cp "$root/src/$f" "$FRESH_LOG_DIR/${f%%/*}-${f##*/}"
        done
    elif ! in_root "make build${step#run}" | tee -a "$log"; then
        result="FAILED (build)"
    else
        in_root "QT_QPA_PLATFORM=offscreen exec make $step" >>"$log" &
        # make looks at the build once more before it starts the program (up to a minute on a busy
        # machine): the seconds count from the program's start, seen in the root's own /proc.
        while [ -z "$program" ] && kill -0 $! 2>/dev/null && ((i++ < 120)) && sleep 0.5; do
            program=$(grep -lx sternzeit "$root"/proc/[0-9]*/comm 2>/dev/null | head -n1)
        done
        result="FAILED, not running"
        [ -n "$program" ] && sleep "$FRESH_RUN_SECONDS" && result="FAILED, ended within the time"
        grep -qx sternzeit "$program" 2>/dev/null && result="alive after $FRESH_RUN_SECONDS s"
        kill $! 2>/dev/null; wait  # make stops the program it started
    fi
    say "step: make $step took $((SECONDS - started)) s"
    echo "make $step $result" >>"$FRESH_RESULTS"
    exit 0
fi

self=$(realpath "$0") && repo=${self%/tools/*} || exit 1
cache_dir=${FRESH_CACHE_DIR:-/var/cache/sternzeit-fresh-root} work="" error="" results=()
export FRESH_LOG_DIR=${FRESH_LOG_DIR:-$repo/build-fresh-root} FRESH_RUN_SECONDS=${FRESH_RUN_SECONDS:-10}
[ $# -gt 0 ] && steps=("$@") || steps=(test run lint)

# Every way out removes the work folder (all mounts are in mmdebstrap's namespaces) and says the results.
finish() {
    local status=$? i && trap '' INT TERM HUP
    [ -s "$work/results" ] && mapfile -t results <"$work/results"
    [ -n "$work" ] && ! rm -rf --one-file-system -- "$work" && status=1 error+="${error:+; }$work left"
    for ((i = ${#results[@]}; i < ${#steps[@]}; i++)); do results+=("make ${steps[i]} not finished"); done
    say "${error:+$error; }$(printf '%s, ' "${results[@]}")logs in $FRESH_LOG_DIR"
    [[ " ${results[*]} " == *FAILED* ]] && status=1
    exit "$status"
}
trap finish EXIT; trap 'error=interrupted; exit 130' INT TERM; trap 'fail "hung up"' HUP
# mmdebstrap catches a Ctrl+C itself, unseen by bash (its log tells), and hangs up its process group
# when it stops making a tarball: the run, and the log's tee, wait for its end.
fail() {
    grep -qs 'signal INT' "$FRESH_LOG_DIR"/mmdebstrap-* && error=interrupted || error="set-up FAILED: $*"
    exit 1
}

# mmdebstrap in a mount namespace of its own, its root in memory (3 GB after the tests) if there is room.
mmdeb() {
    local log=$FRESH_LOG_DIR/$1 memory
    memory=$(awk '/^MemAvailable:/ { print int($2 / 1048576) }' /proc/meminfo) && shift
    mkdir "$work/tmp" && TMPDIR=$work/tmp unshare --mount --propagation private /bin/sh -c \
        '[ "$0" -lt 8 ] || mount -t tmpfs tmpfs "$TMPDIR"; exec mmdebstrap --mode=unshare "$@"' \
        "$memory" "$@" 2>&1 | (trap '' INT HUP && tee -a "$log") && rmdir "$work/tmp"
}

[ "$(id -u)" -eq 0 ] && command -v mmdebstrap >/dev/null || fail "needs root and mmdebstrap"
mkdir -p "$FRESH_LOG_DIR" && rm -f "$FRESH_LOG_DIR"/*.log || fail "cannot write $FRESH_LOG_DIR"
# The host's sources of the suite and its updates: the root sees the package versions the host sees.
mapfile -t sources < <(apt-get indextargets --no-release-info 'Created-By: Packages' 'Target-Of: deb' \
    --format 'deb $(REPO_URI) $(RELEASE) $(COMPONENT)' | sort -u |
    awk -v s="$suite" '$3 ~ "^" s "(-updates|-security)?$"')
[ ${#sources[@]} -gt 0 ] || fail "no deb source for $suite in the host's apt sources"
work=$(mktemp -d /var/tmp/sternzeit-fresh-root.XXXXXX) && chmod 755 "$work" || fail "no work folder"
export GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=safe.directory GIT_CONFIG_VALUE_0='*'  # a sudo caller's too
FRESH_COMMIT=$(git -C "$repo" rev-parse HEAD) || fail "no HEAD"
export FRESH_REPO=$repo FRESH_RESULTS=$work/results FRESH_COMMIT
git -C "$repo" diff --quiet HEAD || say "only ${FRESH_COMMIT:0:12} is checked, not the uncommitted changes"

key=$(printf '%s\n' "$suite" "$includes" "${sources[@]}" | sha1sum | cut -c1-12)
base=$cache_dir/$suite-minbase-$key.tar
mkdir -p "$cache_dir" && exec 9>"$cache_dir/lock" && flock 9 || fail "no cache in $cache_dir"
if [ -n "$(find "$base" -mmin -$((7 * 24 * 60)) 2>/dev/null)" ]; then
    say "base: $base from $(date -r "$base" '+%F %R')"
else
    say "base: mmdebstrap of $suite from the host's mirror into $base" && started=$SECONDS
    mmdeb mmdebstrap-base.log --variant=minbase --include="$includes" --skip=output/dev --format=tar \
        "$suite" "$work/base.tar" "${sources[@]}" && mv -f -- "$work/base.tar" "$base" || fail "no base"
    find "$cache_dir" -name "$suite-minbase-*.tar" ! -name "${base##*/}" -mtime +7 -delete
    say "base: made in $((SECONDS - started)) s"
fi
exec 9>&-

hooks=(--customize-hook='git clone -q --no-checkout --no-hardlinks "$FRESH_REPO" "$1/src" &&
    git -C "$1/src" checkout -q --detach "$FRESH_COMMIT" && echo "fresh-root: /src is $FRESH_COMMIT"')
if [[ " ${steps[*]%% *} " =~ \ (test-)?windows\  ]]; then
    qt=$("$repo/tools/windows-qt.sh" 2> >(tee "$FRESH_LOG_DIR/windows-qt.log" >&2)) || fail "no Windows Qt"
    hooks+=(--customize-hook="$(printf 'mkdir -p "$1"%q && mount -o bind,ro %q "$1"%q' "$qt" "$qt" "$qt")")
fi
for s in "${steps[@]}"; do hooks+=(--customize-hook="$(printf '%q --step "$1" %q' "$self" "$s")"); done
# The base leaves out /dev, whose nodes mmdebstrap makes anew.
mmdeb mmdebstrap-root.log --variant=custom --skip=update --setup-hook="tar-in $base /" \
    --setup-hook='mkdir "$1/dev"' "${hooks[@]}" --format=null "$suite" /dev/null "${sources[@]}" ||
    fail "the root's mmdebstrap"
say "total $SECONDS s"
