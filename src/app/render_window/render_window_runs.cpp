// The render window's two runs: Render writes the result file, Preview samples a reduced
// picture of it. Each lays out the scene on the window's thread, then works on threads of
// its own; the window's timer shows the progress, the remaining time, the preview and the
// log lines, and finishes the run once its thread has ended.
#include "app/render_window/render_window.h"

#include "app/render_window/print_size_box.h"
#include "app/render_window/window_render_log.h"
#include "app/runs/render_preview_runner.h"
#include "app/runs/render_runner.h"
#include "app/shared_state.h"
#include "core/base/error.h"
#include "core/progress/render_progress.h"
#include "core/render/render_destination.h"
#include "core/render/render_preparation.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

namespace lumexa
{

namespace
{

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

bool TForm3::layOut(RenderLayout& layout, bool withLog)
{
    QString error;
    try {
        RenderSource source;
        source.leds = &shared_.ledImages;
        source.rasterizer = rasterizer_.get();
        source.logo = shared_.logo.loaded ? &shared_.logo.picture : nullptr;
        source.random = &random_;
        source.generator = &generator_;
        layout = LayOutRender(runSettings(), source, withLog ? log_.get() : nullptr);
    } catch (const std::exception& e) {
        error = shared_.errorText(e);
    }
    drainLog();
    if (!error.isEmpty()) {
        showError(error);
        return false;
    }
    if (layout.width <= 0 || layout.height <= 0) {
        showError(QStringLiteral("The result has no pixels"));
        return false;
    }
    return true;
}

void TForm3::Button2Click()
{
    // A cancelled run may still be finishing its row.
    if (state_ != RunState::Idle || render_ || previewRun_)
        return;
    // An existing file was agreed to be overwritten when it was chosen.
    const QString destination = SaveDialog1.fileName;

    // Refused before the layout's seconds of work: a destination that is one of the
    // pictures the render reads (it would be destroyed), no regular file, or unwritable.
    try {
        CheckRenderDestination(QFile::encodeName(destination).toStdString(), std::string(),
                               shared_.ledImages, shared_.logo);
    } catch (const std::exception& e) {
        addLogText(Text(e.what()));
        showError(Text(e.what()));
        return;
    }

    RenderLayout layout;
    if (!layOut(layout, true))
        return;

    // Whatever refuses the result does so before anything is written.
    RenderToFileOptions options;
    options.path = QFile::encodeName(destination).toStdString();
    options.log = log_.get();
    options.dpi = PrintSize->dpi();
    try {
        render_ =
            std::make_unique<RenderRunner>(std::move(layout), shared_.ledImages, runSettings(),
                                           std::move(options), kPreviewWidth, kPreviewHeight);
    } catch (const std::exception& e) {
        addLogText(shared_.errorText(e));
        showError(shared_.errorText(e));
        return;
    }

    FormActivate();
    setRunState(RunState::Rendering);
    Label3->setText(QStringLiteral("?:??"));
    render_->start();
    pollTimer_->start();
}

void TForm3::Button4Click()
{
    if (state_ != RunState::Idle || render_ || previewRun_)
        return;
    RenderLayout layout;
    if (!layOut(layout, false))
        return;
    RenderScene scene;
    try {
        scene = MakeRenderScene(std::move(layout), shared_.ledImages, runSettings());
    } catch (const std::exception& e) {
        showError(shared_.errorText(e));
        return;
    }

    FormActivate();
    setRunState(RunState::Previewing);
    Memo1->clear();
    addLogLine(7);
    Label3->setText(QStringLiteral("?:??"));
    previewRun_ = std::make_unique<PreviewRunner>(std::move(scene), kPreviewWidth, kPreviewHeight);
    addLogLine(8);
    previewRun_->start();
    pollTimer_->start();
}

void TForm3::finishCancelledRun()
{
    // The run was asked to stop; it ends at its next row, so this wait is short.
    if (render_) {
        render_->join();
        finishRender();
    }
    if (previewRun_) {
        previewRun_->join();
        finishPreview();
    }
}

void TForm3::pollRun()
{
    if (render_)
        pollRender();
    else if (previewRun_)
        pollPreview();
    else
        pollTimer_->stop();
}

void TForm3::pollRender()
{
    drainLog();
    const RenderJob& job = render_->job();
    const int y = job.lastRow();
    if (y >= 0) {
        ProgressBar1->setValue(ProgressPosition(y, render_->height()));
        Label1->setText(Text(ProgressLabel(y, render_->height())));
        Label3->setText(Text(MinutesSeconds(job.remainingMs())));
    }
    QImage picture;
    if (render_->preview().takeIfChanged(picture))
        setPreview(picture);
    if (render_->done())
        finishRender();
}

void TForm3::finishRender()
{
    pollTimer_->stop();
    render_->join();
    drainLog();
    QImage picture;
    if (render_->preview().takeIfChanged(picture))
        setPreview(picture);

    QString failure;
    switch (render_->state()) {
    case RenderState::Finished:
        ProgressBar1->setValue(100);
        Label1->setText(Text(FinalProgressLabel(ProgressBar1->value())));
        break;
    case RenderState::Failed:
        failure = shared_.errorText(render_->error());
        addLogText(failure);
        [[fallthrough]];
    default:
        ProgressBar1->setValue(0);
        Label1->setText(QStringLiteral("0%"));
        break;
    }
    Label3->hide();
    setRunState(RunState::Idle);
    render_.reset();
    if (!failure.isEmpty())
        showError(failure);
}

void TForm3::pollPreview()
{
    const int y = previewRun_->lastRow();
    if (y >= 0) {
        ProgressBar1->setValue(ProgressPosition(y, previewRun_->height()));
        Label1->setText(Text(ProgressLabel(y, previewRun_->height())));
        Label3->setText(Text(MinutesSeconds(previewRun_->remainingMs())));
    }
    QImage picture;
    if (previewRun_->preview().takeIfChanged(picture))
        setPreview(picture);
    if (previewRun_->done())
        finishPreview();
}

void TForm3::finishPreview()
{
    pollTimer_->stop();
    previewRun_->join();
    QImage picture;
    if (previewRun_->preview().takeIfChanged(picture))
        setPreview(picture);

    QString failure;
    ProgressBar1->setValue(100);
    Label1->setText(Text(FinalProgressLabel(ProgressBar1->value())));
    switch (previewRun_->outcome()) {
    case PreviewRunner::Outcome::Cancelled:
        addLogLine(9);
        break;
    case PreviewRunner::Outcome::Finished:
        addLogLine(10, Text(ElapsedTail(previewRun_->elapsedMs())));
        addLogLine(11);
        break;
    default:
        failure = Text(previewRun_->error());
        addLogText(failure);
        break;
    }
    Label3->hide();
    setRunState(RunState::Idle);
    previewRun_.reset();
    if (!failure.isEmpty())
        showError(failure);
}

} // namespace lumexa
