#!/usr/bin/env bash
# Peak memory of the largest texts a project may hold: full-block characters (every cell
# of their dot grid lit) at the largest font size, and a long ordinary text at that size.
# Each project is rendered by lumexa-render to PNG and to Targa, and opened by the window
# on the offscreen platform, all under /usr/bin/time -v. The window has no way to quit by
# itself: it is ended once it has been idle (no CPU time used) for a few seconds after
# opening the project. Prints the peak resident memory of each run in MB.
#
#   bench/dense_memory.sh [BUILD_DIR] [CASES]
#   e.g. bench/dense_memory.sh build "dense20000 dense23800 long26000"; WORK=/path sets
#   the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cases="${2:-dense20000 dense23800 long26000}"
render="$build/bin/lumexa-render"
window="$build/bin/lumexa"
work="${WORK:-${TMPDIR:-/tmp}/lumexa-dense-bench}"
[ -x "$render" ] || { echo "no $render: build first (scripts/build $build)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time: apt-get install time" >&2; exit 1; }
command -v python3 > /dev/null || { echo "the texts are made with python3: apt-get install python3" >&2; exit 1; }
mkdir -p "$work"
trap 'rm -f "$work"/*.png "$work"/*.tga' EXIT
cp -r data/examples/leds "$work/"

# A project of `count` characters `char` at size 32 with the example's LED pictures.
make_project() {
    local name=$1 char=$2 count=$3
    python3 - "$work/$name.led" "$char" "$count" <<'EOF'
import sys
path, char, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
if char == "text":
    words = "The quick brown fox jumps over the lazy dog while LED signs glow at night. "
    text = (words * (count // len(words) + 1))[:count]
else:
    text = char * count
lines = ["Text=" + text, "FontName=DejaVu Sans", "FontSize=32", "Brightnes=128", "Shufle=12",
         "Kerning=1", "Seed=25071971", "ActivePage=0", "PreviewButton=6", "RenderType=2",
         "RenderUseBackground=1", "RenderRotateBitmaps=1", "RenderUseMaskEnabled=1",
         "RenderUseMaskChecked=1", "RenderUseAddEnabled=1", "RenderUseAddChecked=0",
         "ImageF[]=000leds/unlit.png", "ImageA[]=000(null)",
         "ImageF[]=001leds/red.png", "ImageA[]=001leds/alpha-hard.png",
         "ImageF[]=002leds/amber.png", "ImageA[]=002leds/alpha-hard.png"]
with open(path, "w", encoding="utf-8", newline="") as f:
    f.write("".join(line + "\r\n" for line in lines))
EOF
}

# Peak resident memory in MB from a /usr/bin/time -v log.
peak_mb() { awk -F': ' '/Maximum resident set size/ { printf "%d", $2 / 1024 }' "$1"; }
seconds() {
    awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0;
        for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.1f", s }' "$1"
}

render_case() {
    local name=$1 ext=$2 log="$work/time.log"
    if ! /usr/bin/time -v -o "$log" "$render" -q "$work/$name.led" "$work/$name.$ext" \
        > "$work/render.out" 2>&1; then
        # Refused (a Targa holds at most 65535 pixels a side): the peak is the layout's.
        printf '%-11s %-6s %6s MB %7s s refused: %.90s\n' "$name" "$ext" "$(peak_mb "$log")" \
            "$(seconds "$log")" "$(tail -n 1 "$work/render.out")"
        return
    fi
    printf '%-11s %-6s %6s MB %7s s\n' "$name" "$ext" "$(peak_mb "$log")" "$(seconds "$log")"
    rm -f "$work/$name.$ext"
}

# The window opens the project given on its command line; once it has used no CPU time
# for 3 s it is ended (the peak is taken by /usr/bin/time all the same).
window_case() {
    local name=$1 log="$work/time.log" config
    config=$(mktemp -d)
    XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen \
        /usr/bin/time -v -o "$log" "$window" "$work/$name.led" > /dev/null 2>&1 &
    local timer=$! pid="" last=-1 idle=0 ticks
    for _ in $(seq 50); do
        pid=$(pgrep -P "$timer" || true)
        [ -n "$pid" ] && break
        sleep 0.1
    done
    while [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; do
        sleep 1
        ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2> /dev/null || echo "$last")
        if [ "$ticks" = "$last" ]; then idle=$((idle + 1)); else idle=0; fi
        last=$ticks
        if [ "$idle" -ge 3 ]; then kill "$pid"; break; fi
    done
    wait "$timer" || true
    rm -rf "$config"
    printf '%-11s %-6s %6s MB %7s s\n' "$name" window "$(peak_mb "$log")" "$(seconds "$log")"
}

echo "case        run      peak    wall (window: includes 3 s idle)"
for c in $cases; do
    case $c in
    dense*) make_project "$c" "█" "${c#dense}" ;;
    long*) make_project "$c" text "${c#long}" ;;
    *) echo "unknown case $c (denseN or longN)" >&2; exit 1 ;;
    esac
    render_case "$c" png
    render_case "$c" tga
    if [ -x "$window" ]; then window_case "$c"; fi
done
