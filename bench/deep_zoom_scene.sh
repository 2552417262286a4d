#!/usr/bin/env bash
# Deep zoom benchmark on the 64000 x 16000 scene (rotation and masks): lumexa-render's
# export with PNG and with JPEG tiles and its pyramidal TIFF, against `vips dzsave` with
# PNG and with JPEG tiles, in one hyperfine run; then the peak memory of each under
# /usr/bin/time -v. libvips reads the picture from a .v file of the same pixels, made
# beforehand from lumexa-render's PNG of the scene and not timed, so that it is measured
# on its own work: from the finished picture to the tiles.
#
#   bench/deep_zoom_scene.sh [BUILD_DIR] [RUNS]
#   e.g. bench/deep_zoom_scene.sh build 3; WORK=/path sets the scratch folder (it needs
#   about 5 GB for the .v file). Needs hyperfine and libvips-tools (apt-get install
#   hyperfine libvips-tools), for this benchmark only.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-3}"
render="$(realpath "$build/bin/lumexa-render")"
work="${WORK:-${TMPDIR:-/tmp}/lumexa-deep-zoom-bench}"
[ -x "$render" ] || { echo "no $render: build first (scripts/build $build)" >&2; exit 1; }
for tool in python3 hyperfine vips; do
    command -v $tool > /dev/null || { echo "needs $tool: apt-get install python3 hyperfine libvips-tools" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time: apt-get install time" >&2; exit 1; }
mkdir -p "$work"
trap 'rm -rf "$work"/out* "$work"/time.log' EXIT

. bench/scene_projects.sh
make_big_scene big
if [ ! -s "$work/big.v" ]; then
    echo "making $work/big.v from lumexa-render's PNG of the scene (not timed)"
    "$render" -q "$work/big.led" "$work/big.png"
    vips copy "$work/big.png" "$work/big.v"
    rm -f "$work/big.png"
fi

cd "$work"
declare -A commands=(
    ["lumexa PNG tiles"]="$render -q big.led out-png.dzi"
    ["lumexa JPEG tiles"]="$render -q --tile-format jpeg big.led out-jpeg.dzi"
    ["lumexa pyramidal TIFF"]="$render -q --pyramid big.led out-pyramid.tif"
    ["vips dzsave PNG"]="vips dzsave big.v out-vips-png --suffix .png"
    ["vips dzsave JPEG"]="vips dzsave big.v out-vips-jpeg"
)
order=("lumexa PNG tiles" "lumexa JPEG tiles" "lumexa pyramidal TIFF" "vips dzsave PNG"
       "vips dzsave JPEG")
args=()
for name in "${order[@]}"; do
    args+=(-n "$name" "${commands[$name]}")
done
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine --runs "$runs" --prepare 'rm -rf out*' --export-markdown times.md "${args[@]}"

echo
echo "peak memory (one run each):"
for name in "${order[@]}"; do
    rm -rf out*
    /usr/bin/time -v -o time.log ${commands[$name]} > /dev/null
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.log)
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' time.log)
    printf '  %-24s %5d MB  (%s)\n' "$name" $((rss / 1024)) "$wall"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
