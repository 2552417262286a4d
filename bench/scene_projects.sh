# The S, M and L scenes as projects, shared by the end-to-end benchmarks: a logo of
# letter-like blobs, about 40 % dark, and LED pictures with alpha pictures, in three modes
# (plain, rotation, rotation and masks); and the 64000 x 16000 scene of the poster and deep
# zoom benchmarks. Sourced; needs $work (the scratch folder) and python3, and runs from the
# repository's top folder.

# scene: glyph columns, rows, LED size
declare -A glyph_w=([S]=100 [M]=200 [L]=400) glyph_h=([S]=20 [M]=32 [L]=64) led=([S]=16 [M]=32 [L]=64)

# A scene's project on stdout: TEXT, then 1 or 0 for rotation and for masks; the pictures
# lie in leds/ and blobs.png beside it.
scene_project() {
    local text=$1 rotate=$2 mask=$3 n=1 c
    printf '%s\r\n' "Text=$text" "ActivePage=1" "LogoFile=blobs.png" "LogoSize=10" \
        "LogoInvert=0" "PreviewButton=5" "Shufle=20" "Seed=1234" "RenderType=1" \
        "RenderUseBackground=1" "RenderRotateBitmaps=$rotate" \
        "RenderUseMaskEnabled=1" "RenderUseMaskChecked=$mask" "RenderUseAddChecked=0" \
        "ImageF[]=000leds/unlit.png" "ImageA[]=000(null)"
    for c in red green blue amber; do
        printf '%s\r\n' "ImageF[]=00${n}leds/$c.png" "ImageA[]=00${n}leds/alpha-soft.png"
        n=$((n + 1))
    done
}

make_scene() {
    local s=$1 dir="$work/$1"
    mkdir -p "$dir"
    python3 data/examples/make_pictures.py leds "$dir/leds" "${led[$s]}"
    python3 data/examples/make_pictures.py blobs "$dir/blobs.png" "${glyph_w[$s]}" "${glyph_h[$s]}"
    local mode rotate mask
    for mode in plain rotation masks; do
        rotate=$([ $mode = plain ] && echo 0 || echo 1)
        mask=$([ $mode = masks ] && echo 1 || echo 0)
        scene_project bench "$rotate" "$mask" > "$dir/$mode.led"
    done
}

# The 64000 x 16000 scene: a logo of 256 x 64 letter-like blobs drawn with LED pictures of
# 250 x 250 pixels, with rotation and masks, as $work/NAME.led.
make_big_scene() {
    local name=$1
    python3 data/examples/make_pictures.py leds "$work/leds" 250
    python3 data/examples/make_pictures.py blobs "$work/blobs.png" 256 64
    scene_project poster 1 1 > "$work/$name.led"
}
