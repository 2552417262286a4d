// The render window's inspector: the final picture at any zoom, composed on demand from the
// layout the window's settings give, and composed afresh when an option changes.
#include "app/render_window/render_window.h"
#include "app/render_window/zoom_view.h"
#include "app/shared_state.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_preparation.h"
#include "imaging/render_request.h"

#include <QLabel>

namespace lumexa
{

void TForm3::inspect()
{
    if (activity_ != Activity::Idle || runActive())
        return;
    startRun(Activity::Inspecting, makeRequest());
}

void TForm3::followOptions()
{
    if (!inspectScene_ || Inspector->isHidden())
        return;
    const ProjectSettings settings = runSettings();
    RenderRequest shown = makeRequest();
    inspectScene_->options = RenderOptionsOf(settings);
    inspectScene_->options = OptionsAsWritten(*inspectScene_, shown);
    Inspector->setBackdrop(PrintsOnPaper(shown) ? Backdrop::Paper : Backdrop::Checkerboard);
    Inspector->setPixelsPerInch(settings.printDpi);
    Inspector->setSource(std::make_shared<const DotRenderer>(*inspectScene_));
}

void TForm3::showInspector(bool shown)
{
    if (!shown) {
        // The renderer reads the LED images, which may change once the window is closed.
        Inspector->setSource(nullptr);
        inspectScene_.reset();
    }
    Inspector->setVisible(shown);
    InspectorStatus->setVisible(shown);
    InspectorStatus->clear();
    Image1->setVisible(!shown);
}

} // namespace lumexa
