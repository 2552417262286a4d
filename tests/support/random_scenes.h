// Small random render scenes for comparing the fast renderer with the reference composer:
// LED images of odd sizes (1 x 1 included), with and without alpha pictures, dots displaced
// past the cell edges, turned, overlapping and in shuffled order.
#pragma once

#include "core/render/render_scene.h"

#include <memory>
#include <random>
#include <vector>

namespace lumexa::testing
{

// A scene that owns the LED images it points to.
struct OwnedScene {
    std::vector<std::unique_ptr<LedImage>> leds;
    RenderScene scene;
};

// A record at (x, y) finished as the layouts finish them: moved inside the result, sized to
// the cell and bounded by the square around the circle through the cell's corners.
TDotRecord FinishedRecord(int x, int y, int cellWidth, int cellHeight, int W, int H, int kind,
                          int rotation);
// The same as the render keeps it: the position moved inside the result.
RenderDot FinishedDot(int x, int y, int cellWidth, int cellHeight, int W, int H, int kind,
                      int rotation);

// An LED image filled with random bytes; `alpha` gives it a random alpha picture in use.
std::unique_ptr<LedImage> RandomLedImage(std::mt19937& rng, int width, int height, int number,
                                         bool alpha);

// A random scene; `wild` adds dots partly or wholly outside the result (where no layout puts
// them) and dots naming no LED image.
OwnedScene RandomScene(std::mt19937& rng, bool wild);

} // namespace lumexa::testing
