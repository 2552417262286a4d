// The benchmark scenes S, M and L, generated in code so that every run measures the same
// work: a glyph with about 40 % dark pixels in letter-like strokes, LED pictures that are
// shaded discs with radial-gradient alpha pictures, background cells on, and dots on the grid
// with a small random displacement, random angles and random lit LED images 1..4, sorted and
// locally shuffled as the render layout leaves them. Header-only, so that other tools can
// write the same glyph and LED pictures to files for end-to-end runs.
#pragma once

#include "core/layout/dot_grid.h"
#include "core/layout/dot_record.h"
#include "core/pictures/led_image.h"
#include "core/render/render_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace lumexa::bench
{

struct SceneSize {
    const char* name;
    int columns; // glyph width
    int rows;    // glyph height
    int ledSize; // LED pictures are ledSize x ledSize
};

inline constexpr SceneSize kSceneS{"S", 100, 20, 16};
inline constexpr SceneSize kSceneM{"M", 200, 32, 32};
inline constexpr SceneSize kSceneL{"L", 400, 64, 64};

enum class SceneMode { Plain, Rotation, RotationMasks };

inline const char* ModeName(SceneMode mode)
{
    return mode == SceneMode::Plain ? "plain" : mode == SceneMode::Rotation ? "rotation" : "masks";
}

// The glyph as grey levels, rows top-down: 0 is dark (a dot), 255 is white. Letters are
// built from vertical, horizontal and slanted strokes until about 40 % of the pixels are dark.
inline std::vector<uint8_t> MakeGlyph(int columns, int rows, uint32_t seed = 1)
{
    std::vector<uint8_t> glyph(static_cast<size_t>(columns) * static_cast<size_t>(rows), 255);
    std::mt19937 rng(seed);
    const int letterWidth = std::max(3, rows * 7 / 10);
    const int gap = std::max(1, rows / 7);
    const int thickness = std::max(1, rows / 7);
    const int letters = std::max(1, columns / (letterWidth + gap));
    size_t dark = 0;
    auto paint = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= columns || y >= rows)
            return;
        uint8_t& p =
            glyph[static_cast<size_t>(y) * static_cast<size_t>(columns) + static_cast<size_t>(x)];
        if (p != 0) {
            p = 0;
            ++dark;
        }
    };
    std::uniform_int_distribution<int> letterPick(0, letters - 1), kind(0, 3);
    std::uniform_real_distribution<double> frac(0.0, 1.0);
    while (dark < glyph.size() * 4 / 10) {
        const int x0 = letterPick(rng) * (letterWidth + gap) + gap / 2;
        const int top = rows / 8;
        const int bottom = rows - rows / 8;
        switch (kind(rng)) {
        case 0: { // vertical stem
            const int x = x0 + static_cast<int>(frac(rng) * (letterWidth - thickness));
            for (int y = top; y < bottom; ++y)
                for (int t = 0; t < thickness; ++t)
                    paint(x + t, y);
            break;
        }
        case 1: { // horizontal bar
            const int y = top + static_cast<int>(frac(rng) * (bottom - top - thickness));
            for (int x = x0; x < x0 + letterWidth; ++x)
                for (int t = 0; t < thickness; ++t)
                    paint(x, y + t);
            break;
        }
        default: { // slanted stroke, either way
            const bool rising = kind(rng) % 2 == 0;
            for (int y = top; y < bottom; ++y) {
                const double f = static_cast<double>(y - top) / std::max(1, bottom - top - 1);
                const int x =
                    x0 + static_cast<int>((rising ? 1 - f : f) * (letterWidth - thickness));
                for (int t = 0; t < thickness; ++t)
                    paint(x + t, y);
            }
            break;
        }
        }
    }
    return glyph;
}

// A shaded disc of the given colour on black: brighter towards the upper left, darker at the
// rim.
inline Picture MakeLedPicture(int size, Rgb colour)
{
    Picture picture(size, size);
    const double c = (size - 1) * 0.5;
    const double radius = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c) / radius;
            if (d > 1)
                continue;
            const double light = std::hypot(x - c * 0.6, y - c * 0.6) / (radius * 1.6);
            const double shade = std::clamp(1.1 - 0.6 * d * d - 0.3 * light, 0.0, 1.0);
            auto channel = [&](uint8_t v) {
                return static_cast<uint8_t>(std::clamp(v * shade + 40 * (1 - light), 0.0, 255.0));
            };
            picture.setPixel(x, y, {channel(colour.r), channel(colour.g), channel(colour.b)});
        }
    }
    return picture;
}

// Opaque in the middle, fading to transparent at the rim (grey, so every channel agrees).
inline Picture MakeAlphaPicture(int size)
{
    Picture picture(size, size);
    const double c = (size - 1) * 0.5;
    const double radius = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c) / radius;
            const auto a = static_cast<uint8_t>(std::clamp(255 * (1.2 - d), 0.0, 255.0));
            picture.setPixel(x, y, {a, a, a});
        }
    }
    return picture;
}

// The colours of LED images 0 (unlit) to 4.
inline constexpr Rgb kLedColours[] = {
    {40, 40, 45}, {255, 40, 30}, {40, 255, 60}, {60, 110, 255}, {255, 190, 40}};

// A scene that owns its LED images (the render scene points to them).
struct BenchScene {
    std::string name;
    std::vector<uint8_t> glyph;
    int columns = 0;
    int rows = 0;
    std::vector<std::unique_ptr<LedImage>> leds;
    RenderScene scene;
};

// A dot finished as the layout finishes it: kept inside the result.
inline RenderDot FinishDot(int x, int y, int cell, int W, int H, int kind, int rotation)
{
    DotList one(1);
    one[0].x = x;
    one[0].y = y;
    FinishRecords(one, 0, {cell, cell}, W, H);
    return {one[0].x, one[0].y, kind, rotation};
}

inline BenchScene MakeBenchScene(const SceneSize& size, SceneMode mode, uint32_t seed = 1)
{
    BenchScene b;
    b.name = std::string(size.name) + "/" + ModeName(mode);
    b.columns = size.columns;
    b.rows = size.rows;
    b.glyph = MakeGlyph(size.columns, size.rows, seed);
    for (int i = 0; i < 5; ++i) {
        auto led = std::make_unique<LedImage>(
            MakeLedImage(MakeLedPicture(size.ledSize, kLedColours[i]), i, "led"));
        led->alphaPicture = MakeAlphaPicture(size.ledSize);
        led->alphaInUse = i > 0;
        b.scene.leds.push_back(led.get());
        b.leds.push_back(std::move(led));
    }
    RenderScene& scene = b.scene;
    const int cell = size.ledSize;
    scene.width = size.columns * cell;
    scene.height = size.rows * cell;
    scene.options.background = true;
    scene.options.rotate = mode != SceneMode::Plain;
    scene.options.useMask = mode == SceneMode::RotationMasks;

    scene.columns = size.columns;
    scene.rows = size.rows;
    scene.cell = {cell, cell};
    scene.backgroundCells = true;

    std::vector<RenderDot> dots;
    std::mt19937 rng(seed * 7919u);
    std::uniform_real_distribution<float> fraction(0.0f, 1.0f);
    const int shufle = 30; // dots move by up to 15 % of a cell
    for (int column = 0; column < size.columns; ++column) {
        for (int row = 0; row < size.rows; ++row) {
            if (b.glyph[static_cast<size_t>(row) * static_cast<size_t>(size.columns) +
                        static_cast<size_t>(column)] != 0)
                continue;
            const int dx = static_cast<int>((static_cast<int>(cell * fraction(rng)) - cell * 0.5) *
                                            shufle * 0.01);
            const int dy = static_cast<int>((static_cast<int>(cell * fraction(rng)) - cell * 0.5) *
                                            shufle * 0.01);
            const int kind = 1 + static_cast<int>(4 * fraction(rng));
            const int rotation = static_cast<int>(fraction(rng) * 360) % 360;
            dots.push_back(FinishDot(column * cell + dx, row * cell + dy, cell, scene.width,
                                           scene.height, std::min(kind, 4), rotation));
        }
    }
    std::stable_sort(dots.begin(), dots.end(),
                     [](const RenderDot& a, const RenderDot& c) {
                         return a.y != c.y ? a.y < c.y : a.kind < c.kind;
                     });
    // The layout's local shuffle: records hop forward by step .. 2 step - 1 places.
    const int n = static_cast<int>(dots.size());
    const int step = std::max(1, static_cast<int>(n * 0.05));
    std::uniform_int_distribution<int> g(0, 32767);
    for (int i = 0; i < n; ++i) {
        const int offset = step + g(rng) % step;
        if (i + offset < n)
            std::swap(dots[static_cast<size_t>(i)],
                      dots[static_cast<size_t>(i + offset)]);
    }
    scene.dots.setBounds(scene.width, scene.height);
    for (const RenderDot& d : dots)
        scene.dots.push_back(d);
    return b;
}

} // namespace lumexa::bench
