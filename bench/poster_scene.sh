#!/usr/bin/env bash
# Poster benchmark: a 64000 x 16000 result (a logo of 256 x 64 letter-like blobs drawn
# with LED pictures of 250 x 250 pixels) printed by lumexa-render as a poster on A4 at
# 2 m wide, under /usr/bin/time -v. Prints the wall time, the peak memory, and the page
# count and page size pdfinfo reads from the poster.
#
#   bench/poster_scene.sh [BUILD_DIR] [PAPER] [WIDTH]
#   e.g. bench/poster_scene.sh build a4 200cm; WORK=/path sets the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
paper="${2:-a4}"
width="${3:-200cm}"
render="$build/bin/lumexa-render"
work="${WORK:-${TMPDIR:-/tmp}/lumexa-poster-bench}"
[ -x "$render" ] || { echo "no $render: build first (scripts/build $build)" >&2; exit 1; }
command -v python3 > /dev/null || { echo "the scene's pictures are drawn with python3: apt-get install python3" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time: apt-get install time" >&2; exit 1; }
command -v pdfinfo > /dev/null || { echo "needs pdfinfo: apt-get install poppler-utils" >&2; exit 1; }
mkdir -p "$work"
trap 'rm -f "$work/poster.pdf" "$work/time.log"' EXIT

. bench/scene_projects.sh
make_big_scene poster

/usr/bin/time -v -o "$work/time.log" "$render" -q --poster "$paper" --width "$width" \
    "$work/poster.led" "$work/poster.pdf" || { cat "$work/time.log" >&2; exit 1; }
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.log")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.log")
echo "poster of a 64000 x 16000 result on $paper at $width wide"
echo "wall time: $wall, peak memory: $((rss / 1024)) MB"
pdfinfo "$work/poster.pdf" | grep -E '^(Pages|Page size)'
ls -l "$work/poster.pdf" | awk '{ printf "file: %.1f MB\n", $5 / 1048576 }'
