#!/usr/bin/env bash
# Builds what Sternzeit ships twice, from two clean clones of the current commit, and holds the
# two builds to the same bytes: the Debian package of `make package`, and the folder's programs
# and libraries, the zip and the installer of `make windows-package` (against this machine's Qt
# for Windows, which the first build makes if it is not there yet). The second build differs from
# the first in everything that must not matter: the folder it lies in, the time (a year and a
# month later, under faketime), the umask, the locale and the time zone.
#
#   tools/reproducible.sh [package] [windows]     (both without arguments)
#
# Each build is the Makefile's own targets in its clone, which build only what ships, run with
# nothing of the caller's environment but PATH, HOME and JOBS, and without ccache, which would
# hand the second build the first one's objects; SOURCE_DATE_EPOCH comes from the clone's last
# commit. Every
# artefact is shown with its SHA-256 from both builds; where two differ, diffoscope shows how,
# the first differing member at the top (its whole report, and both builds' artefacts, stay in
# REPRODUCIBLE_LOG_DIR, build-reproducible/ in the repository). The clones are made in a folder
# under /var/tmp that goes away on every way out.
#
# Exit status 0 when every artefact matched, 1 when any differed or a build failed, 2 when the
# check could not be set up.
# shellcheck disable=SC2317  # finish runs from the EXIT trap
set -euo pipefail
set -m # each build runs as a process group of its own, which a signal ends as a whole

repo=$(cd "$(dirname "$0")/.." && pwd)
log_dir=${REPRODUCIBLE_LOG_DIR:-$repo/build-reproducible}
jobs=${JOBS:-$(nproc)}
goals=("$@")
[ ${#goals[@]} -gt 0 ] || goals=(package windows)

say() { printf 'reproducible: %s\n' "$*"; }
elapsed_since() { echo $((SECONDS - $1)); }

work=""
job=""
finish() {
    local status=$?
    trap '' INT TERM
    if [ -n "$job" ]; then
        kill -TERM -- "-$job" 2>/dev/null || true
        wait "$job" 2>/dev/null || true
    fi
    [ -n "$work" ] && rm -rf --one-file-system -- "$work"
    exit $status
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

targets=()
for goal in "${goals[@]}"; do
    case $goal in
        package) targets+=(package) ;;
        windows) targets+=(windows-package) ;;
        *) say "no such artefact: $goal (package, windows)"; exit 2 ;;
    esac
done
for tool in git faketime diffoscope; do
    command -v $tool >/dev/null || { say "$tool is missing (make reproducible installs it)"; exit 2; }
done
commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    say "uncommitted changes are not part of this check, only commit ${commit:0:12}"
fi
work=$(mktemp -d /var/tmp/sternzeit-reproducible.XXXXXX)
rm -rf "$log_dir"
mkdir -p "$log_dir"

# The two builds: name, folder of the clone, umask, locale, time zone, clock offset.
builds=(
    "first  $work/a/sternzeit                              022 C.UTF-8     UTC                +0d"
    "second $work/second-build/somewhere/deeper/sternzeit2 077 de_DE.UTF-8 Pacific/Kiritimati +400d"
)

# Clones the commit into the folder and runs the goals' make targets there, with the umask,
# locale, zone and clock given and nothing else of this environment.
build() {
    local dir=$1 mask=$2 locale=$3 zone=$4 offset=$5
    # faketime moves the clock only: the files' times are the ones the file system holds
    # (NO_FAKE_STAT), as on a machine whose clock is a year later.
    # shellcheck disable=SC2016  # the inner script expands its own arguments
    env -i PATH="$PATH" HOME="$HOME" JOBS="$jobs" CCACHE_DISABLE=1 LANG="$locale" LC_ALL="$locale" TZ="$zone" NO_FAKE_STAT=1 \
        faketime -f "$offset" bash -euc '
            repo=$1 commit=$2 dir=$3 && umask "$4" && shift 4
            mkdir -p "${dir%/*}"
            git -c safe.directory="*" clone -q --no-hardlinks --no-checkout "$repo" "$dir"
            git -C "$dir" checkout -q --detach "$commit"
            make -C "$dir" "$@"' \
        build "$repo" "$commit" "$dir" "$mask" "${targets[@]}"
}

# What a build shipped, as "SHA-256  path" below its clone: the packages its SHA256SUMS name and,
# for Windows, every file of the folder the zip holds.
artefacts() {
    local dir=$1 goal folder sums
    for goal in "${goals[@]}"; do
        case $goal in
            package) folder=build ;;
            windows) folder=build-windows ;;
        esac
        sums=$dir/$folder/SHA256SUMS
        [ -s "$sums" ] || { echo "no-SHA256SUMS  $folder/SHA256SUMS"; continue; }
        sed "s|  |  $folder/|" "$sums"
        if [ "$goal" = windows ]; then
            (cd "$dir" && find "$folder"/sternzeit-*-windows-x64 -type f -print0 | sort -z | xargs -0 sha256sum)
        fi
    done
}

dirs=()
for line in "${builds[@]}"; do
    read -r name dir mask locale zone offset <<<"$line"
    say "$name build: ${goals[*]} in $dir, umask $mask, LANG=$locale, TZ=$zone, clock $offset"
    started=$SECONDS
    build "$dir" "$mask" "$locale" "$zone" "$offset" >"$log_dir/$name.log" 2>&1 </dev/null &
    job=$!
    status=0
    wait "$job" || status=$?
    job=""
    if [ $status -ne 0 ]; then
        tail -n 30 "$log_dir/$name.log"
        say "$name build FAILED after $(elapsed_since "$started") s (log: $log_dir/$name.log)"
        exit 1
    fi
    say "$name build took $(elapsed_since "$started") s"
    artefacts "$dir" >"$log_dir/$name.sha256"
    mkdir -p "$log_dir/$name"
    while read -r _ path; do
        case $path in */sternzeit-*-windows-x64/*) ;; *) cp "$dir/$path" "$log_dir/$name/" ;; esac
    done <"$log_dir/$name.sha256"
    dirs+=("$dir")
done

# Artefact by artefact, in the first build's order; one missing in either build differs too.
differing=0
compared=0
while read -r path; do
    first_sum=$(awk -v p="$path" '$2 == p { print $1 }' "$log_dir/first.sha256")
    second_sum=$(awk -v p="$path" '$2 == p { print $1 }' "$log_dir/second.sha256")
    compared=$((compared + 1))
    if [ -n "$first_sum" ] && [ "$first_sum" = "$second_sum" ]; then
        printf '  same     %s  %s\n' "$first_sum" "$path"
        continue
    fi
    differing=$((differing + 1))
    printf '  DIFFERS  %s  %s\n           %s  (second build)\n' "${first_sum:-missing}" "$path" "${second_sum:-missing}"
    if [ -f "${dirs[0]}/$path" ] && [ -f "${dirs[1]}/$path" ]; then
        report=$log_dir/$(echo "$path" | tr / _).diffoscope.txt
        diffoscope --no-progress --text "$report" "${dirs[0]}/$path" "${dirs[1]}/$path" >/dev/null 2>&1 || true
        sed -n '1,40p' "$report" | sed 's/^/           /'
        say "diffoscope's whole report: $report"
    fi
done < <(awk '{ print $2 }' "$log_dir/first.sha256" "$log_dir/second.sha256" | awk '!seen[$0]++')

if [ $differing -gt 0 ]; then
    say "FAILED: $differing of $compared artefacts differ between the two builds of ${commit:0:12}"
    exit 1
fi
say "all $compared artefacts of ${commit:0:12} are the same in both builds ($SECONDS s)"
