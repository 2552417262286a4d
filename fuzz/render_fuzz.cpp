// Small random render scenes, chosen by the fuzzer's bytes, composed by the fast renderer
// and by the plain reference composer: every byte of every row must agree, and so must a
// region of the result chosen by the next four bytes.
#include "core/render/dot_renderer.h"
#include "support/random_scenes.h"
#include "support/reference_composer.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    uint32_t seed;
    std::memcpy(&seed, data, 4);
    std::mt19937 rng(seed);
    lumexa::testing::OwnedScene owned = lumexa::testing::RandomScene(rng, data[4] & 1);
    const lumexa::RenderScene& scene = owned.scene;
    // The small sample-table budget of odd bytes makes the renderer sample directly too.
    const lumexa::DotRenderer renderer(scene, (data[4] & 2) ? 0 : 1u << 20);

    const int W = scene.width, H = scene.height;
    const size_t rowBytes = static_cast<size_t>(W) * 4;
    std::vector<uint8_t> plain(rowBytes * static_cast<size_t>(H)), fast(rowBytes);
    for (int y = 0; y < H; ++y) {
        uint8_t* expected = plain.data() + rowBytes * static_cast<size_t>(y);
        renderer.RenderRow(y, fast.data());
        lumexa::reference::RenderRow(scene, y, expected);
        if (std::memcmp(fast.data(), expected, rowBytes) != 0)
            __builtin_trap();
    }
    if (size < 9 || W <= 0 || H <= 0)
        return 0;
    const int x = data[5] % W, y = data[6] % H;
    const lumexa::PixelRect rect{x, y, 1 + data[7] % (W - x), 1 + data[8] % (H - y)};
    const size_t stride = static_cast<size_t>(rect.width) * 4;
    std::vector<uint8_t> region(stride * static_cast<size_t>(rect.height));
    if (!renderer.RenderRegion(rect, region.data(), stride))
        __builtin_trap();
    for (int r = 0; r < rect.height; ++r)
        if (std::memcmp(region.data() + stride * static_cast<size_t>(r),
                        plain.data() + rowBytes * static_cast<size_t>(rect.y + r) +
                            static_cast<size_t>(rect.x) * 4,
                        stride) != 0)
            __builtin_trap();
    return 0;
}
