// Small random render scenes, chosen by the fuzzer's bytes, composed by the fast renderer
// and by the plain reference composer: every byte of every row and every preview pixel
// must agree.
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

    const size_t rowBytes = static_cast<size_t>(scene.width) * 4;
    std::vector<uint8_t> fast(rowBytes), plain(rowBytes);
    for (int y = 0; y < scene.height; ++y) {
        renderer.RenderRow(y, fast.data());
        lumexa::reference::RenderRow(scene, y, plain.data());
        if (fast != plain)
            __builtin_trap();
        for (int x = 0; x < scene.width; x += 3) {
            uint8_t a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
            renderer.ComposePreviewPixel(x, y, a);
            lumexa::reference::ComposePreviewPixel(scene, x, y, b);
            if (std::memcmp(a, b, 3) != 0)
                __builtin_trap();
        }
    }
    return 0;
}
