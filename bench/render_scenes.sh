#!/usr/bin/env bash
# End-to-end render benchmark: generates the S, M and L scenes as projects (a logo of
# letter-like blobs, about 40 % dark, and LED pictures with alpha pictures), renders each
# with lumexa-render under /usr/bin/time -v in three modes (plain, rotation, rotation and
# masks), and measures in the same run the floor: writing the same number of bytes to
# the same disk with one write per row, synced as lumexa-render syncs its result. Prints
# median times, median ratios to the floor of the same round, and peak memory.
#
#   bench/render_scenes.sh [BUILD_DIR] [SCENES] [RUNS]
#   e.g. bench/render_scenes.sh build "S M L" 3; WORK=/path sets the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
scenes="${2:-S M L}"
runs="${3:-3}"
render="$build/bin/lumexa-render"
work="${WORK:-${TMPDIR:-/tmp}/lumexa-render-bench}"
[ -x "$render" ] || { echo "no $render: build first (scripts/build $build)" >&2; exit 1; }
command -v python3 > /dev/null || { echo "the scenes' pictures are drawn with python3: apt-get install python3" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time: apt-get install time" >&2; exit 1; }
mkdir -p "$work"
trap 'rm -f "$work"/*.tga "$work"/floor.bin /dev/shm/lumexa-bench-*.tga' EXIT

. bench/scene_projects.sh

# Runs a command under /usr/bin/time -v; prints "seconds kilobytes".
measure() {
    local log="$work/time.log"
    /usr/bin/time -v -o "$log" "$@" > /dev/null 2>&1 || { echo "failed: $*" >&2; cat "$log" >&2; exit 1; }
    local wall rss
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
    awk -v t="$wall" -v r="$rss" 'BEGIN { n = split(t, p, ":"); s = 0;
        for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.3f %d\n", s, r }'
}

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# Variants: mode, then lumexa-render's thread option and "shm" for a result written to
# memory (tmpfs) instead of the disk, which shows how the composing alone scales with
# threads (its ratio is to the disk floor all the same).
variants=("plain" "rotation" "masks" "masks -j1" "masks -j1 shm" "masks -j2 shm")

printf '%-5s %-16s %9s %9s %7s %9s\n' scene mode median_s floor_s ratio peak_MB
for s in $scenes; do
    make_scene "$s"
    w=$((glyph_w[$s] * led[$s])); h=$((glyph_h[$s] * led[$s]))
    declare -A times=() ratios=() peaks=()
    floors=""
    # Every round measures the floor and then each variant once, and each variant's ratio
    # is taken to the floor of its own round, so that the load of a shared machine, which
    # drifts, weighs on both sides of a ratio alike.
    for i in $(seq "$runs"); do
        sync # no writeback of the run before is left to slow this one down
        read -r floor _ < <(measure dd if=/dev/zero of="$work/floor.bin" bs=$((w * 4)) count=$h conv=fsync)
        rm -f "$work/floor.bin"
        floors+="$floor"$'\n'
        for v in "${!variants[@]}"; do
            set -- ${variants[$v]}
            mode=$1; shift
            out="$work/$s.tga"
            if [ "${2:-}" = shm ]; then
                [ -w /dev/shm ] || continue
                out="/dev/shm/lumexa-bench-$s.tga"
            fi
            sync
            read -r t r < <(measure "$render" -q ${1:+"$1"} "$work/$s/$mode.led" "$out")
            rm -f "$out"
            times[$v]+="$t"$'\n'
            ratios[$v]+=$(awk -v t="$t" -v f="$floor" 'BEGIN { print (f > 0 ? t / f : 0) }')$'\n'
            peaks[$v]=$(( r > ${peaks[$v]:-0} ? r : ${peaks[$v]:-0} ))
        done
    done
    floor=$(printf '%s' "$floors" | median)
    for v in "${!variants[@]}"; do
        [ -n "${times[$v]:-}" ] || continue
        t=$(printf '%s' "${times[$v]}" | median)
        q=$(printf '%s' "${ratios[$v]}" | median)
        awk -v s="$s" -v m="${variants[$v]}" -v t="$t" -v f="$floor" -v q="$q" -v p="${peaks[$v]}" 'BEGIN {
            r = (f > 0 && q > 0) ? sprintf("%7.2f", q) : sprintf("%7s", "-");
            printf "%-5s %-16s %9.3f %9.3f %s %9.1f\n", s, m, t, f, r, p / 1024 }'
    done
    unset times ratios peaks
done
