#!/usr/bin/env bash
# PNG and TIFF results against Targa: renders a scene's masks project (rotation and masks)
# to Targa, PNG and TIFF at both compressions in one hyperfine run, so that the machine's
# load weighs on every variant alike, and prints median times with their ratio to the
# Targa's, file sizes and peak memory (/usr/bin/time -v). With libvips's command-line tool
# installed it also times `vips pngsave --compression 1` writing the same pixels from a .v
# file, against lumexa-render's PNG in the same run.
#
#   bench/compressed_results.sh [BUILD_DIR] [SCENES] [RUNS]
#   e.g. bench/compressed_results.sh build "M L" 5; WORK=/path sets the scratch folder.
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
trap 'rm -f "$work"/out* "$work"/*.v' EXIT
. bench/scene_projects.sh

# Prints each command's median and its ratio to the first command's.
medians() {
    python3 - "$1" << 'PY'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
base = statistics.median(results[0]["times"])
for r in results:
    m = statistics.median(r["times"])
    print(f"  {r['command']:<12} median {m:7.3f} s  ratio {m / base:5.2f}")
PY
}

for s in $scenes; do
    make_scene "$s"
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
        peak=$(/usr/bin/time -v "$render" -q "${small[@]}" "$project" "$work/$f" 2>&1 > /dev/null |
            sed -n 's/.*Maximum resident set size (kbytes): //p')
        printf '  %-14s %12d bytes  peak %6.1f MB\n' "$f" "$(stat -c %s "$work/$f")" \
            "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
    done
    if command -v vips > /dev/null; then
        vips copy "$work/out.tga" "$work/pixels.v"
        hyperfine -w 1 -r "$runs" --style none --export-json "$work/$s-vips.json" \
            -n lumexa-png "$render -q $project $work/out.png" \
            -n vips-png "vips pngsave $work/pixels.v $work/out-vips.png --compression 1" > /dev/null
        medians "$work/$s-vips.json"
    fi
done
