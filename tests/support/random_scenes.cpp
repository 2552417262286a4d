// Random render scenes for the renderer's differential tests.
#include "support/random_scenes.h"

#include "core/layout/dot_grid.h"

#include <algorithm>

namespace lumexa::testing
{
namespace
{

int uniform(std::mt19937& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

} // namespace

TDotRecord FinishedRecord(int x, int y, int cellWidth, int cellHeight, int W, int H, int kind,
                          int rotation)
{
    DotList one(1);
    one[0].x = x;
    one[0].y = y;
    one[0].kind = kind;
    one[0].rotation = rotation;
    FinishRecords(one, 0, {cellWidth, cellHeight}, W, H);
    return one[0];
}

RenderDot FinishedDot(int x, int y, int cellWidth, int cellHeight, int W, int H, int kind,
                      int rotation)
{
    const TDotRecord r = FinishedRecord(x, y, cellWidth, cellHeight, W, H, kind, rotation);
    return {r.x, r.y, r.kind, r.rotation};
}

std::unique_ptr<LedImage> RandomLedImage(std::mt19937& rng, int width, int height, int number,
                                         bool alpha)
{
    Picture picture(width, height);
    Picture alphaPicture(alpha ? width : 0, alpha ? height : 0);
    // Extremes are common so that clamping and the 0.00392 factor are exercised.
    auto byte = [&] {
        const int pick = uniform(rng, 0, 9);
        return static_cast<uint8_t>(pick == 0 ? 0 : pick == 1 ? 255 : uniform(rng, 0, 255));
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, {byte(), byte(), byte()});
            if (alpha)
                alphaPicture.setPixel(x, y, {byte(), byte(), byte()});
        }
    }
    auto led = std::make_unique<LedImage>(MakeLedImage(std::move(picture), number, "led"));
    led->alphaPicture = std::move(alphaPicture);
    led->alphaInUse = alpha;
    return led;
}

OwnedScene RandomScene(std::mt19937& rng, bool wild)
{
    static const int sizes[][2] = {{1, 1}, {2, 2}, {3, 5}, {5, 3},
                                   {7, 7}, {8, 6}, {9, 9}, {16, 16}};
    const auto& size = sizes[uniform(rng, 0, 7)];
    const int cw = size[0];
    const int ch = size[1];
    const int columns = uniform(rng, 1, 7);
    const int rows = uniform(rng, 1, 5);

    OwnedScene owned;
    const int ledCount = uniform(rng, 2, 5);
    for (int i = 0; i < ledCount; ++i)
        owned.leds.push_back(RandomLedImage(rng, cw, ch, i, uniform(rng, 0, 2) == 0));
    for (const auto& led : owned.leds)
        owned.scene.leds.push_back(led.get());

    RenderScene& scene = owned.scene;
    scene.width = columns * cw;
    scene.height = rows * ch;
    scene.options.background = uniform(rng, 0, 3) != 0;
    scene.options.useMask = uniform(rng, 0, 1) == 1;
    scene.options.additive = uniform(rng, 0, 2) == 0;
    scene.options.rotate = uniform(rng, 0, 3) != 0;
    scene.options.opaqueBackground = uniform(rng, 0, 2) == 0;

    scene.columns = columns;
    scene.rows = rows;
    scene.cell = {cw, ch};
    scene.backgroundCells = uniform(rng, 0, 9) != 0;
    std::vector<RenderDot> dots;
    const int shufle = uniform(rng, 0, 200);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            if (uniform(rng, 0, 9) < 4)
                continue;
            const int dx = static_cast<int>(uniform(rng, -cw, cw) * shufle * 0.005);
            const int dy = static_cast<int>(uniform(rng, -ch, ch) * shufle * 0.005);
            const int pick = uniform(rng, 0, 19);
            const int rotation = pick == 0 ? 360 : pick == 1 ? -7 : uniform(rng, 0, 359);
            dots.push_back(FinishedDot(column * cw + dx, row * ch + dy, cw, ch, scene.width,
                                             scene.height, uniform(rng, 1, ledCount - 1),
                                             rotation));
        }
    }
    if (wild) {
        const int extra = uniform(rng, 1, 6);
        for (int i = 0; i < extra; ++i) {
            RenderDot d;
            d.x = uniform(rng, -2 * cw, scene.width + cw);
            d.y = uniform(rng, -2 * ch, scene.height + ch);
            d.kind = uniform(rng, -1, ledCount); // sometimes names no LED image
            d.rotation = uniform(rng, 0, 359);
            dots.insert(dots.begin() + uniform(rng, 0, static_cast<int>(dots.size())), d);
        }
    }
    // Sorted by row as the layout leaves them, then partly shuffled.
    std::stable_sort(dots.begin(), dots.end(),
                     [](const RenderDot& a, const RenderDot& b) { return a.y < b.y; });
    for (size_t i = 0; i + 1 < dots.size(); ++i) {
        const size_t j = i + static_cast<size_t>(uniform(rng, 1, 3));
        if (j < dots.size() && uniform(rng, 0, 1) == 0)
            std::swap(dots[i], dots[j]);
    }
    scene.dots.setBounds(scene.width, scene.height);
    for (const RenderDot& d : dots)
        scene.dots.push_back(d);
    return owned;
}

} // namespace lumexa::testing
