#!/usr/bin/env bash
# PNG and TIFF results against Targa: renders a scene's masks project (rotation and masks)
# to Targa, PNG and TIFF at both compressions in one hyperfine run, so that the machine's
# load weighs on every variant alike, and prints median wall times and mean CPU times
# (user + system, which a loaded machine disturbs less) with their ratios to the Targa's,
# file sizes and peak memory (/usr/bin/time -v). With libvips's command-line tool
# installed it also times `vips pngsave --compression 1` writing the same pixels from a
# .v file, against lumexa-render's PNG in the same run.
#
# The scene X (102400 x 16384, over 4 GB of pixels, which Targa cannot hold) is written
# once to PNG and once to TIFF under /usr/bin/time -v, beside the floor: writing the
# Targa-sized number of bytes to the same disk with one write per row, synced.
#
#   bench/compressed_results.sh [BUILD_DIR] [SCENES] [RUNS]
#   e.g. bench/compressed_results.sh build "M L X" 5; WORK=/path sets the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
scenes="${2:-M L}"
runs="${3:-5}"
render="$(pwd)/$build/bin/lumexa-render"
work="${WORK:-${TMPDIR:-/tmp}/lumexa-compress-bench}"
[ -x "$render" ] || { echo "no $render: build first (scripts/build $build)" >&2; exit 1; }
for tool in hyperfine python3 /usr/bin/time; do
    command -v "$tool" > /dev/null || { echo "needs $tool" >&2; exit 1; }
done
mkdir -p "$work"
trap 'rm -f "$work"/out* "$work"/*.v "$work"/floor.bin "$work"/time.log' EXIT
. bench/scene_projects.sh
# X: 400 x 64 glyphs of 256-pixel LEDs (a logo is at most 512 x 512 pixels).
glyph_w[X]=400 glyph_h[X]=64 led[X]=256

# Prints each command's median wall time and mean CPU time, each with its ratio to the
# first command's.
medians() {
    python3 - "$1" << 'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
cpu = lambda r: r["user"] + r["system"]
base, base_cpu = statistics.median(results[0]["times"]), cpu(results[0])
for r in results:
    m = statistics.median(r["times"])
    print(f"  {r['command']:<12} median {m:7.3f} s  ratio {m / base:5.2f}"
          f"   cpu {cpu(r):7.3f} s  ratio {cpu(r) / base_cpu:5.2f}")
PY
}

# Runs a command under /usr/bin/time -v; prints "wall_s cpu_s peak_MB".
measure() {
    local log="$work/time.log"
    /usr/bin/time -v -o "$log" "$@" > /dev/null 2>&1 || { echo "failed: $*" >&2; cat "$log" >&2; exit 1; }
    awk -F': ' '/Elapsed/ { n = split($2, p, ":"); for (i = 1; i <= n; i++) w = w * 60 + p[i] }
        /User time/ { c += $2 } /System time/ { c += $2 } /Maximum resident/ { m = $2 / 1024 }
        END { printf "%.2f %.2f %.1f\n", w, c, m }' "$log"
}

huge() {
    local s=$1 project="$work/$1/masks.led"
    local w=$((glyph_w[$s] * led[$s])) h=$((glyph_h[$s] * led[$s]))
    echo "scene $s: $w x $h (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    sync
    read -r t c m < <(measure dd if=/dev/zero of="$work/floor.bin" bs=$((w * 4)) count=$h conv=fsync)
    rm -f "$work/floor.bin"
    printf '  %-14s %8.2f s wall %8.2f s cpu %8.1f MB peak %14d bytes\n' floor "$t" "$c" "$m" \
        $((w * h * 4))
    local f
    for f in out.png out.tif; do
        sync
        read -r t c m < <(measure "$render" -q "$project" "$work/$f")
        printf '  %-14s %8.2f s wall %8.2f s cpu %8.1f MB peak %14d bytes\n' "$f" "$t" "$c" "$m" \
            "$(stat -c %s "$work/$f")"
        rm -f "$work/$f"
    done
}

for s in $scenes; do
    make_scene "$s"
    if [ "$s" = X ]; then
        huge "$s"
        continue
    fi
    project="$work/$s/masks.led"
    echo "scene $s (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    hyperfine -w 1 -r "$runs" --style none --export-json "$work/$s.json" \
        -n tga "$render -q $project $work/out.tga" \
        -n png "$render -q $project $work/out.png" \
        -n tiff "$render -q $project $work/out.tif" \
        -n png-small "$render -q --compression small $project $work/out-small.png" \
        -n tiff-small "$render -q --compression small $project $work/out-small.tif" > /dev/null
    medians "$work/$s.json"
    for f in out.tga out.png out.tif out-small.png out-small.tif; do
        small=()
        [[ $f == out-small* ]] && small=(--compression small)
        read -r _ _ peak < <(measure "$render" -q "${small[@]}" "$project" "$work/$f")
        printf '  %-14s %12d bytes  peak %6.1f MB\n' "$f" "$(stat -c %s "$work/$f")" "$peak"
    done
    if command -v vips > /dev/null; then
        # From the PNG: libvips reads Targa through a library that refuses large ones.
        vips copy "$work/out.png" "$work/pixels.v"
        hyperfine -w 1 -r "$runs" --style none --export-json "$work/$s-vips.json" \
            -n lumexa-png "$render -q $project $work/out.png" \
            -n vips-png "vips pngsave $work/pixels.v $work/out-vips.png --compression 1" > /dev/null
        medians "$work/$s-vips.json"
        printf '  %-14s %12d bytes\n' out-vips.png "$(stat -c %s "$work/out-vips.png")"
    fi
done
