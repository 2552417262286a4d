// File > Print poster: the main window's side of a poster. The result is laid out as
// lumexa-render lays out the saved project (random tables filled afresh), so that the
// window's poster and lumexa-render's are the same picture.
#include "app/main_window/main_window.h"

#include "app/poster_window/poster_window.h"
#include "app/shared_state.h"
#include "core/render/render_preparation.h"
#include "imaging/render_to_file.h"

#include <QApplication>
#include <QCursor>

namespace lumexa
{

void TForm1::PrintPoster1Click()
{
    BuildPreview();
    ProjectSettings settings = projectSettings();
    PrepareRender(settings, shared_.ledImages);

    RenderRandom random;
    RandomGenerator generator;
    random.fillAtStart(generator);
    RenderSource source;
    source.leds = &shared_.ledImages;
    source.rasterizer = rasterizer_.get();
    source.logo = shared_.logo.loaded ? &shared_.logo.picture : nullptr;
    source.random = &random;
    source.generator = &generator;
    RenderLayout layout;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        layout = LayOutRender(settings, source, nullptr);
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        prompts_.inform(shared_.text(30), shared_.errorText(e));
        return;
    }

    buildPreviewEnabled = false;
    PosterWindow window(shared_, prompts_, this);
    window.setResult(std::move(layout), shared_.ledImages, settings);
    window.exec();
    buildPreviewEnabled = true;
}

} // namespace lumexa
