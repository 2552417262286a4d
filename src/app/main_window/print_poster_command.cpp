// File > Print poster: the main window's side of a poster. The result is laid out as
// lumexa-render lays out the saved project (random tables filled afresh, by the poster
// window), so that the window's poster and lumexa-render's are the same picture.
#include "app/main_window/main_window.h"

#include "app/poster_window/poster_window.h"
#include "app/shared_state.h"
#include "core/render/render_preparation.h"
#include "imaging/render_request.h"

namespace lumexa
{

void TForm1::PrintPoster1Click()
{
    BuildPreview();
    RenderRequest request;
    request.settings = projectSettings();
    PrepareRender(request.settings, shared_.ledImages);
    request.source.leds = &shared_.ledImages;
    request.source.rasterizer = rasterizer_.get();
    request.source.logo = shared_.logo.loaded ? &shared_.logo.picture : nullptr;

    buildPreviewEnabled = false;
    PosterWindow window(shared_, prompts_, this);
    window.setRequest(std::move(request));
    window.exec();
    buildPreviewEnabled = true;
}

} // namespace lumexa
