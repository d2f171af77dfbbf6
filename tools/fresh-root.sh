#!/usr/bin/env bash
# Proves the README's promise on a machine that has nothing yet: a minimal Debian 12 root
# (debootstrap minbase with build-essential, cmake, git, ca-certificates and sudo), a clone of
# this repository's HEAD in it, and there `make test`, then `make run`, which must still be
# running after 10 seconds, and `make lint`. Needs root (debootstrap, mount, chroot).
#
#   tools/fresh-root.sh [STEP...]
#
# Each STEP is one argument holding make arguments, run in the clone in the given order, for
# example  tools/fresh-root.sh test 'test QT=6' run 'run QT=6'.  A step whose goal is `run`
# builds, then starts the program under QT_QPA_PLATFORM=offscreen and passes when it is still
# running after FRESH_RUN_SECONDS (10); any other step passes when make succeeds. Without
# arguments the steps are `test run lint`. The last line gives every step's result; the exit
# status is non-zero when any step failed or the run could not be set up or cleaned up.
#
# Steps that build for Windows (`windows`, `test-windows`) get this machine's Qt for Windows,
# built here first by tools/windows-qt.sh if it is not yet, and shown read-only in the root at
# the same path: it comes from Debian's source either way and takes three quarters of an hour
# to build. Everything else, Wine and its prefix included, the root makes from nothing.
#
# The debootstrap base is kept as a tarball in FRESH_CACHE_DIR (/var/cache/sternzeit-fresh-root)
# and made anew when older than a week. Each run unpacks it into a new folder under /var/tmp (on a
# tmpfs when there is memory to spare) and removes that folder at the end, only once nothing is
# mounted in it any more. The logs stay in FRESH_LOG_DIR (build-fresh-root/ in the repository).
# shellcheck disable=SC2317  # the functions of the way out run from the EXIT trap
set -uo pipefail
set -m  # every background job gets its own process group, which we can stop as a whole

readonly suite=bookworm
readonly includes=build-essential,cmake,git,ca-certificates,sudo
readonly root_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
repo=$(cd "$(dirname "$0")/.." && pwd) || exit 1
cache_dir=${FRESH_CACHE_DIR:-/var/cache/sternzeit-fresh-root}
log_dir=${FRESH_LOG_DIR:-$repo/build-fresh-root}
run_seconds=${FRESH_RUN_SECONDS:-10}
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(test run lint)

base_tar=""    # the cached base this run unpacks
work=""        # this run's folder under /var/tmp; everything mounted is below it
root=""        # the fresh root inside it
job=""         # the running background job, a process group of its own
base_part=""   # a base tarball being written, removed when the run stops half-way
setup_error="" # why the run could not reach the steps
interrupted=""
step_running="" # the step under way, to name it when the run is interrupted
results=()

say() { printf 'fresh-root: %s\n' "$*"; }

# git on our own repository, also when it belongs to the user who called sudo.
git_repo() { git -c safe.directory='*' -C "$repo" "$@"; }

# "URI SUITE" for every enabled deb source of the host, from the one-line format
# (sources.list, *.list) and the deb822 format (*.sources).
host_sources() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$f" ] || continue
        awk '$1 == "deb" {
                 i = 2
                 if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                 sub(/\/$/, "", $i); print $i, $(i + 1)
             }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -r "$f" ] || continue
        awk 'function flush(   nu, ns, u, s, uri, sui) {
                 if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no") {
                     nu = split(uris, uri, " "); ns = split(suites, sui, " ")
                     for (u = 1; u <= nu; u++) {
                         sub(/\/$/, "", uri[u])
                         for (s = 1; s <= ns; s++) print uri[u], sui[s]
                     }
                 }
                 types = uris = suites = enabled = field = ""
             }
             /^#/ { next }
             /^[ \t]*$/ { flush(); next }
             /^[ \t]/ { if (field == "uris") uris = uris " " $0
                        else if (field == "suites") suites = suites " " $0
                        else if (field == "types") types = types " " $0
                        next }
             { field = tolower(substr($0, 1, index($0, ":") - 1))
               value = substr($0, index($0, ":") + 1)
               if (field == "types") types = value
               else if (field == "uris") uris = value
               else if (field == "suites") suites = value
               else if (field == "enabled") { enabled = value; gsub(/[ \t]/, "", enabled) } }
             END { flush() }' "$f"
    done
}

# The first URI the host uses for the given suite, empty when it has none.
host_mirror_of() { host_sources | awk -v suite="$1" '$2 == suite { print $1; exit }'; }

# The mount points below this run's folder, the latest first.
mounts_below_work() { awk -v p="$work/" 'index($2, p) == 1 { print $2 }' /proc/self/mounts | tac; }

# The processes whose root directory lies in this run's folder, whatever their process group.
processes_in_work() {
    find /proc/[0-9]* -maxdepth 1 -name root -lname "$work/*" 2>/dev/null | cut -d/ -f3
}

# The process id of the program running in the root, if it runs.
program_in_work() {
    local p
    for p in $(processes_in_work); do
        [ "$(cat "/proc/$p/comm" 2>/dev/null)" = sternzeit ] && echo "$p" && return
    done
}

# Stops everything running inside the root and what is left of the background job (debootstrap
# runs outside the root). The root's processes go first, so that a job running in the root
# ends by itself; whatever outlives five seconds is killed.
stop_everything() {
    local round pids all
    for round in $(seq 50); do
        pids=()
        [ -n "$work" ] && read -ra pids <<<"$(processes_in_work | tr '\n' ' ')"
        [ -n "$job" ] && ! kill -0 "$job" 2>/dev/null && { wait "$job" 2>/dev/null; job=""; }
        all=("${pids[@]}" ${job:+"-$job"})
        [ ${#all[@]} -gt 0 ] || return 0
        case $round in
            1) kill -TERM -- "${pids[@]}" ;;
            5) kill -TERM -- "${all[@]}" ;;
            25 | 3? | 4?) kill -KILL -- "${all[@]}" ;;
        esac 2>/dev/null
        sleep 0.2
    done
}

# Unmounts everything below the work folder and removes it. Never removes a folder that still
# has something mounted in it: then the folder stays and the run fails.
remove_work() {
    local round m left
    [ -n "$work" ] && [ -d "$work" ] || return 0
    for round in 1 2 3 4 5; do
        left=$(mounts_below_work)
        [ -n "$left" ] || break
        for m in $left; do umount "$m" 2>/dev/null; done
        [ -n "$(mounts_below_work)" ] && sleep 1
    done
    left=$(mounts_below_work)
    if [ -n "$left" ]; then
        say "could not unmount ${left//$'\n'/ }; $work is left in place" >&2
        return 1
    fi
    rm -rf --one-file-system -- "$work"
}

# Runs on every way out: stops what runs in the root, unmounts, removes the work folder and
# prints the last line with every step's result.
finish() {
    local status=$? line i started
    trap '' INT TERM
    started=$(date +%s)
    stop_everything
    [ -n "$base_part" ] && rm -f -- "$base_part"
    remove_work || { status=1; setup_error+="${setup_error:+; }cleanup FAILED, $work left mounted"; }
    [ -n "$work" ] && say "cleanup took $(elapsed_since "$started") s"
    [ -n "$step_running" ] && results+=("make $step_running interrupted")
    for ((i = ${#results[@]}; i < ${#steps[@]}; i++)); do results+=("make ${steps[i]} not reached"); done
    line=$(printf '%s, ' "${results[@]}")
    line=${line%, }
    [ -n "$setup_error" ] && line="$setup_error; $line"
    [ -n "$interrupted" ] && line="interrupted; $line"
    say "$line"
    exit "$status"
}
trap finish EXIT
trap 'interrupted=1; exit 130' INT
trap 'interrupted=1; exit 143' TERM

# Runs a command as a background job with its output on the terminal and in a log, and waits
# for it; a signal to this script stops the waiting at once.
run_job() {
    local log=$1; shift
    { "$@" 2>&1 | tee -a "$log"; } </dev/null &
    job=$!
    wait "$job"
    local status=$?
    job=""
    return $status
}

# Runs a shell command line in the clone inside the root, as root, with only the environment a
# new machine's shell has: no display, no locale, nothing of the caller's. The one addition keeps
# a Windows step from building a Qt of its own where the machine's does not fit.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH="$root_path" ${CI:+CI="$CI"} WINDOWS_QT_CACHED_ONLY=1 \
        /bin/sh -c "cd /src && $1"
}

elapsed_since() { echo $(($(date +%s) - $1)); }

fail_setup() { setup_error="set-up FAILED: $*"; exit 1; }

# The debootstrap base, from the cache or made anew from the host's own mirror.
make_base() {
    local started key base dir
    key=$(printf '%s %s %s minbase\n' "$suite" "$includes" "$mirror" | sha1sum | cut -c1-12)
    base=$cache_dir/$suite-minbase-$key.tar
    mkdir -p "$cache_dir" || return 1
    exec 9>"$cache_dir/lock"
    flock 9  # one run makes the base, the others wait for it
    if [ -n "$(find "$base" -mmin -$((7 * 24 * 60)) 2>/dev/null)" ]; then
        say "base: $base from $(date -r "$base" '+%F %R')"
    else
        started=$(date +%s)
        dir=$work/base
        say "base: debootstrap of $suite from the host's mirror into $dir"
        run_job "$log_dir/debootstrap.log" debootstrap --variant=minbase --include="$includes" \
            "$suite" "$dir" "$mirror" || return 1
        [ -z "$(mounts_below_work)" ] || return 1
        base_part=$base.part.$$
        # The downloaded packages are installed already; the base does without them.
        tar -C "$dir" --numeric-owner --one-file-system --exclude='./var/cache/apt/archives/*.deb' \
            -cf "$base_part" . &&
            mv -f -- "$base_part" "$base" || return 1
        base_part=""
        rm -rf --one-file-system -- "$dir"
        find "$cache_dir" -name "$suite-minbase-*.tar" ! -name "${base##*/}" -mtime +7 -delete
        say "base: debootstrap took $(elapsed_since "$started") s"
    fi
    exec 9>&-
    base_tar=$base
}

# Unpacks the base, points apt at the host's suites, mounts /proc, /dev and /tmp.
prepare_root() {
    local started where=""
    started=$(date +%s)
    root=$work/root
    mkdir "$root" || return 1
    # In memory the root unpacks, builds and goes away in a fraction of the time a disk with
    # online discard takes (removing an unpacked base alone took a minute there); after the
    # tests it holds about 3 GB.
    if [ "$(awk '/^MemAvailable:/ { print int($2 / 1048576) }' /proc/meminfo)" -ge 8 ]; then
        mount -t tmpfs -o mode=755 tmpfs "$root" || return 1
        where=" in memory"
    fi
    tar -C "$root" --numeric-owner -xpf "$base_tar" || return 1
    # debootstrap wrote the mirror for the suite itself; the host's updates and security
    # suites come next to it, so the root sees the package versions the host sees.
    [ -n "$updates" ] && echo "deb $updates $suite-updates main" >>"$root/etc/apt/sources.list"
    [ -n "$security" ] && echo "deb $security $suite-security main" >>"$root/etc/apt/sources.list"
    [ -e /etc/resolv.conf ] && cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    # Packages installed in the root must not start their services on the host's behalf.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod 755 "$root/usr/sbin/policy-rc.d"
    mount -t proc proc "$root/proc" &&
        mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" &&
        mount -t tmpfs -o mode=1777 tmpfs "$root/tmp" || return 1
    say "root: unpacked$where and mounted in $(elapsed_since "$started") s"
}

# This machine's Qt for Windows, read-only at the same path in the root.
share_windows_qt() {
    local qt started
    started=$(date +%s)
    qt=$("$repo/tools/windows-qt.sh" 2> >(tee -a "$log_dir/windows-qt.log" >&2)) || return 1
    mkdir -p "$root$qt" && mount --bind "$qt" "$root$qt" && mount -o remount,bind,ro "$root$qt" || return 1
    say "root: Qt for Windows from $qt, read-only ($(elapsed_since "$started") s)"
}

# A clone of HEAD in the root's /src.
clone_head() {
    local commit
    commit=$(git_repo rev-parse HEAD) || return 1
    if [ -n "$(git_repo status --porcelain --untracked-files=no)" ]; then
        say "uncommitted changes are not part of this check, only commit ${commit:0:12}"
    fi
    git -c safe.directory='*' clone -q --no-checkout --no-hardlinks "$repo" "$root/src" &&
        git -C "$root/src" checkout -q --detach "$commit" || return 1
    say "root: /src is a clone of ${commit:0:12}"
}

# One step: `make ARGS` must succeed, or, for the goal `run`, the program must still run after
# run_seconds.
run_step() {
    local step=$1 log started status program="" i f alive=""
    log=$log_dir/make-${step// /_}.log
    started=$(date +%s)
    step_running=$step
    say "step: make $step"
    if [ "${step%% *}" != run ]; then
        run_job "$log" in_root "make $step"
        status=$?
        for f in "$root"/src/build*/Testing/Temporary/LastTest*.log; do
            [ -e "$f" ] || continue
            f=${f#"$root/src/"}
            cp "$root/src/$f" "$log_dir/${f%%/*}-${f##*/}"
        done
        say "step: make $step took $(elapsed_since "$started") s"
        step_running=""
        if [ $status -eq 0 ]; then results+=("make $step passed"); else results+=("make $step FAILED"); fi
        return
    fi
    if ! run_job "$log" in_root "make build${step#run}"; then
        step_running=""
        results+=("make $step FAILED (build)")
        return
    fi
    { in_root "QT_QPA_PLATFORM=offscreen exec make $step" 2>&1 | tee -a "$log"; } </dev/null &
    job=$!
    # make looks at the build once more before it starts the program: the seconds count from
    # the program's start, which may take up to a minute on a busy machine.
    for ((i = 0; i < 120; i++)); do
        program=$(program_in_work)
        if [ -n "$program" ] || ! kill -0 "$job" 2>/dev/null; then break; fi
        sleep 0.5
    done
    if [ -n "$program" ]; then
        sleep "$run_seconds" &
        wait $!
        [ "$(program_in_work)" = "$program" ] && alive=1
    fi
    stop_everything
    step_running=""
    say "step: make $step took $(elapsed_since "$started") s"
    if [ -n "$alive" ]; then
        results+=("make $step alive after $run_seconds s")
    elif [ -n "$program" ]; then
        results+=("make $step FAILED, ended before $run_seconds s")
    else
        results+=("make $step FAILED, not running")
    fi
}

[ "$(id -u)" -eq 0 ] || fail_setup "needs root (debootstrap, mount, chroot)"
command -v debootstrap >/dev/null || fail_setup "debootstrap is not installed"
mkdir -p "$log_dir" || fail_setup "cannot write $log_dir"
rm -f "$log_dir"/*.log
mirror=$(host_mirror_of "$suite")
updates=$(host_mirror_of "$suite-updates")
security=$(host_mirror_of "$suite-security")
[ -n "$mirror" ] || fail_setup "no deb source for $suite in the host's apt sources"
work=$(mktemp -d /var/tmp/sternzeit-fresh-root.XXXXXX) || fail_setup "no work folder"
total_started=$(date +%s)

make_base || fail_setup "no debootstrap base (see $log_dir/debootstrap.log)"
prepare_root || fail_setup "could not prepare the root in $work"
clone_head || fail_setup "could not clone HEAD into the root"
for step in "${steps[@]}"; do
    case ${step%% *} in
        windows | test-windows)
            share_windows_qt || fail_setup "no Qt for Windows (see $log_dir/windows-qt.log)"
            break
            ;;
    esac
done
for step in "${steps[@]}"; do run_step "$step"; done
say "total $(elapsed_since "$total_started") s; logs in $log_dir"

for result in "${results[@]}"; do
    case $result in *FAILED*) exit 1 ;; esac
done
exit 0
