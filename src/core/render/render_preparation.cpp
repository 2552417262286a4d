// The Render command's preparation.
#include "core/render/render_preparation.h"

#include "core/base/error.h"

#include <limits>
#include <string>

namespace lumexa
{

void PrepareRender(ProjectSettings& settings, LedImageSet& leds)
{
    if (leds.anyAlphaInUse()) {
        settings.useMaskEnabled = true;
    } else {
        settings.useMaskChecked = false;
        settings.useMaskEnabled = false;
    }
    leds.sharedCount = leds.count();
}

void CheckRenderLeds(const LedImageSet& leds)
{
    if (leds.count() < 2)
        throw Error("A render needs at least two LED images, an unlit one and a lit one; the "
                    "project has " +
                    std::to_string(leds.count()));
}

LedInfo LedInfoOf(const LedImageSet& leds)
{
    LedInfo info;
    info.count = leds.count();
    if (leds.count() > 0) {
        info.led0Width = leds[0].width;
        info.led0Height = leds[0].height;
    }
    info.selected = leds.SelectedLedImage();
    return info;
}

RenderOptions RenderOptionsOf(const ProjectSettings& settings)
{
    RenderOptions o;
    o.background = settings.useBackground;
    o.useMask = settings.useMaskChecked && settings.useMaskEnabled;
    o.additive = settings.useAddChecked;
    o.rotate = settings.rotateBitmaps;
    o.opaqueBackground = settings.backgroundOpacity == BackgroundOpacity::Opaque;
    return o;
}

RenderScene MakeRenderScene(RenderLayout&& layout, const LedImageSet& leds,
                            const ProjectSettings& settings)
{
    constexpr int64_t most = std::numeric_limits<int>::max() / 4;
    if (layout.width > most || layout.height > most)
        throw Error("The result of " + std::to_string(layout.width) + " x " +
                    std::to_string(layout.height) + " pixels is too large to render");
    RenderScene scene;
    scene.leds = leds.images();
    scene.dots = std::move(layout.dots);
    scene.columns = layout.columns;
    scene.rows = layout.rows;
    scene.cell = {layout.cellWidth, layout.cellHeight};
    scene.backgroundCells = layout.backgroundCells;
    scene.width = static_cast<int>(layout.width);
    scene.height = static_cast<int>(layout.height);
    scene.options = RenderOptionsOf(settings);
    return scene;
}

} // namespace lumexa
