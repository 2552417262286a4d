// The Render command's preparation and the hand-over from the render layout to the dot
// renderer: the "use mask" rule, the LED figures the layout reads, the options the
// renderer reads, and the scene that ties them to the LED pictures.
#pragma once

#include "core/layout/render_layout.h"
#include "core/pictures/led_image_set.h"
#include "core/project/settings.h"
#include "core/render/render_scene.h"

namespace lumexa
{

// "use mask" is offered only when some LED image has an alpha picture in use; otherwise
// it is unchecked and disabled. The LED count is published for the render window.
void PrepareRender(ProjectSettings& settings, LedImageSet& leds);

// Throws an Error unless the set holds an unlit and at least one lit LED image.
void CheckRenderLeds(const LedImageSet& leds);

// The LED count, LED image 0's size and the strip's selection, as both layouts read them.
LedInfo LedInfoOf(const LedImageSet& leds);
// The options as the renderer reads them: a box counts when it is checked and enabled,
// except "additive mask", which counts when checked.
RenderOptions RenderOptionsOf(const ProjectSettings& settings);

// The scene of `layout` drawn with the pictures of `leds` (which must outlive it).
// Throws an Error when the result is too large to be composed.
RenderScene MakeRenderScene(RenderLayout&& layout, const LedImageSet& leds,
                            const ProjectSettings& settings);

} // namespace lumexa
