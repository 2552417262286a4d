// File > Render: the main window's side of a render. It recomputes, asks once per series
// of changes whether to save, offers "use mask" only when some LED image has an alpha
// picture, prepares the render window and shows it modally while its own recomputes rest.
#include "app/main_window/main_window.h"

#include "app/render_window/print_size_box.h"
#include "app/render_window/render_window.h"
#include "app/render_window/render_window_captions.h"
#include "app/shared_state.h"
#include "app/window_strings.h"
#include "core/render/render_preparation.h"

#include <QAction>
#include <QTimer>

namespace lumexa
{

void TForm1::setRenderWindow(TForm3* window)
{
    renderWindow_ = window;
    connect(Render1, &QAction::triggered, this, &TForm1::Render1Click, Qt::UniqueConnection);
    // The status bar's inches and centimetres follow the print resolution as it is set.
    connect(window->PrintSize, &PrintSizeBox::dpiChanged, this, &TForm1::showStatus,
            Qt::UniqueConnection);
    connect(Inspect1, &QAction::triggered, this, &TForm1::Inspect1Click, Qt::UniqueConnection);
}

void TForm1::Render1Click()
{
    openRenderWindow(false);
}

void TForm1::Inspect1Click()
{
    openRenderWindow(true);
}

void TForm1::openRenderWindow(bool inspect)
{
    if (!renderWindow_)
        return;
    BuildPreview();
    buildPreviewEnabled = false;
    // Asked once per series of changes, and only when something is unsaved: the
    // inspector writes nothing, so it never asks.
    if (!inspect && !shared_.saveQuestionAsked && isModified()) {
        // Yes runs File > Save project as the menu does.
        if (prompts_.askYesNo(shared_.text(30), shared_.text(42)))
            SaveProject1->trigger();
        shared_.saveQuestionAsked = true;
    }

    ProjectSettings options;
    renderWindow_->readOptions(options);
    PrepareRender(options, shared_.ledImages);
    renderWindow_->applyOptions(options);
    ApplyRenderCaptions(*renderWindow_, shared_.languageStrings);
    renderWindow_->prepareForCommand(settingsFromControls());
    renderWindow_->setProjectFile(projectPath_);
    if (lastStatus_)
        renderWindow_->setResultSize(int64_t{lastStatus_->ledWidth} * lastStatus_->columns,
                                     int64_t{lastStatus_->ledHeight} * lastStatus_->rows);
    else
        renderWindow_->setResultSize(0, 0);
    if (inspect)
        QTimer::singleShot(0, renderWindow_, [w = renderWindow_] { w->inspect(); });
    renderWindow_->exec();

    // Only the language comes back: the default text in place of the user's text after
    // every render would lose their work, and would ask the save question again at the
    // next render although the user changed nothing.
    ReturnFromModalWindow();
    buildPreviewEnabled = true;
    // What was changed in the window (and what it set by itself) is one step.
    recordSettings({kStringStepRenderOptions});
}

} // namespace lumexa
