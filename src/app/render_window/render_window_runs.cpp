// The render window's runs: Render writes the result file, Preview composes a reduced
// picture of it, Inspect lays out the scene the inspector shows. Each hands a render request
// to a run on a thread of its own, which lays out, builds the scene and composes; the
// window's timer shows the progress, the remaining time, the preview and the log lines, and
// finishes the run once its thread has ended. The window's thread never lays out, so it
// stays free to repaint and to take Cancel.
#include "app/render_window/render_window.h"

#include "app/render_window/print_size_box.h"
#include "app/render_window/window_render_log.h"
#include "app/render_window/zoom_view.h"
#include "app/replace_question.h"
#include "app/runs/window_run.h"
#include "app/shared_state.h"
#include "core/base/error.h"
#include "core/progress/render_progress.h"
#include "core/render/render_destination.h"
#include "imaging/dzi/viewer_page.h"
#include "imaging/pyramid_to_file.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
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

RenderRequest TForm3::makeRequest()
{
    RenderRequest request;
    request.settings = runSettings();
    request.source.leds = &shared_.ledImages;
    request.source.rasterizer = rasterizer_.get();
    request.source.logo = shared_.logo.loaded ? &shared_.logo.picture : nullptr;
    request.source.random = &random_;
    request.source.generator = &generator_;
    // Once chosen, the destination tells Preview and the inspector whether the result is
    // printed; only Render writes it.
    if (!Edit1->text().isEmpty())
        request.output.path = QFile::encodeName(SaveDialog1.fileName).toStdString();
    return request;
}

void TForm3::startRun(Activity activity, RenderRequest request)
{
    run_ = std::make_unique<WindowRun>(kPreviewWidth, kPreviewHeight);
    setActivity(activity);
    Label3->setText(QStringLiteral("?:??"));
    switch (activity) {
    case Activity::Rendering:
        run_->startRender(std::move(request));
        break;
    case Activity::Previewing:
        run_->startPreview(std::move(request));
        break;
    default:
        run_->startScene(std::move(request));
        break;
    }
    pollTimer_->start();
}

void TForm3::Button2Click()
{
    // A cancelled run may still be finishing its row.
    if (activity_ != Activity::Idle || run_)
        return;
    // An existing file was agreed to be overwritten when it was chosen.
    const std::string destination = QFile::encodeName(SaveDialog1.fileName).toStdString();

    // Whatever refuses the result does so before anything is written.
    AtomicFileOptions file;
    file.replaceReadOnly = replaceReadOnly_;
    RenderRequest request = makeRequest();
    request.output.path = destination;
    request.output.file = file;
    request.output.log = log_.get();
    request.output.dpi = PrintSize->dpi();
    request.output.webFolder = webFolder_;

    // Refused before the layout's seconds of work: a destination that is one of the
    // pictures the render reads or a file of the program's own (it would be destroyed), no
    // regular file, or unwritable (read-only, unless agreed to when it was chosen); a deep
    // zoom export whose page could not be written or whose viewer is missing.
    try {
        // Also for root, whom the file system would let replace it.
        if (IsMarkedReadOnly(SaveDialog1.fileName) && !replaceReadOnly_)
            throw CannotWrite(destination, "Permission denied (the file is read-only)");
        CheckRenderDestination(destination, std::string(), shared_.ledImages, shared_.logo,
                               shared_.programFiles, file);
        CheckTiledDestination(request.output, std::string(), shared_.ledImages, shared_.logo,
                              shared_.programFiles);
    } catch (const std::exception& e) {
        addLogText(shared_.errorText(e));
        showError(shared_.errorText(e));
        return;
    }
    FormActivate();
    startRun(Activity::Rendering, std::move(request));
}

void TForm3::Button4Click()
{
    if (activity_ != Activity::Idle || run_)
        return;
    FormActivate();
    Memo1->clear();
    addLogLine(7);
    RenderRequest request = makeRequest();
    request.output.log = log_.get(); // line 8 once the layout is done
    startRun(Activity::Previewing, std::move(request));
}

bool TForm3::layingOut() const
{
    return run_ && !run_->ended() && run_->progress().total() == 0;
}

void TForm3::finishCancelledRun()
{
    // The run was asked to stop; it ends at its next check, so this wait is short.
    if (run_) {
        run_->join();
        finishRun();
    }
}

void TForm3::pollRun()
{
    if (!run_) {
        pollTimer_->stop();
        return;
    }
    drainLog();
    // The figures count what is left, as a bottom-up render reaches its rows: the bar rises
    // and the time left falls, whatever order the rows are written in.
    const RunProgress& progress = run_->progress();
    const int64_t total = progress.total();
    if (total > 0 && progress.done() > 0) {
        ProgressBar1->setValue(ProgressPosition(progress.left(), total));
        Label1->setText(Text(ProgressLabel(progress.left(), total)));
        if (progress.remainingMs() >= 0)
            Label3->setText(Text(MinutesSeconds(progress.remainingMs())));
    }
    QImage picture;
    if (run_->preview().takeIfChanged(picture) && run_->kind() != WindowRun::Kind::Scene)
        setPreview(picture);
    if (run_->ended())
        finishRun();
}

void TForm3::finishRun()
{
    pollTimer_->stop();
    run_->join();
    drainLog();
    QImage picture;
    if (run_->preview().takeIfChanged(picture) && run_->kind() != WindowRun::Kind::Scene)
        setPreview(picture);

    const RunState outcome = run_->state();
    QString failure;
    QString page; // of a deep zoom export just written
    if (outcome == RunState::Failed)
        failure = shared_.errorText(run_->error());
    switch (run_->kind()) {
    case WindowRun::Kind::Render:
        if (outcome == RunState::Finished) {
            ProgressBar1->setValue(100);
            Label1->setText(Text(FinalProgressLabel(ProgressBar1->value())));
            const std::string destination = QFile::encodeName(SaveDialog1.fileName).toStdString();
            if (OutputFormatForPath(destination) == OutputFormat::Dzi)
                page = QFile::decodeName(DeepZoomPathsFor(destination).page.c_str());
        } else {
            ProgressBar1->setValue(0);
            Label1->setText(QStringLiteral("0%"));
        }
        // A render cancelled while it laid out says so as one cancelled while writing does.
        if (outcome == RunState::Cancelled && run_->progress().total() == 0)
            addLogLine(5);
        if (!failure.isEmpty())
            addLogText(failure);
        break;
    case WindowRun::Kind::Preview:
        ProgressBar1->setValue(100);
        Label1->setText(Text(FinalProgressLabel(ProgressBar1->value())));
        if (outcome == RunState::Cancelled) {
            addLogLine(9);
        } else if (outcome == RunState::Finished) {
            addLogLine(10, Text(ElapsedTail(run_->progress().elapsedMs())));
            addLogLine(11);
        } else {
            addLogText(failure);
        }
        break;
    case WindowRun::Kind::Scene:
        if (outcome == RunState::Finished)
            inspectScene_ = run_->takeScene();
        break;
    }
    Label3->hide();
    const bool inspect = inspectScene_ && run_->kind() == WindowRun::Kind::Scene;
    run_.reset();
    setActivity(Activity::Idle);
    offerPage(page);
    if (inspect) {
        showInspector(true);
        followOptions();
        Inspector->setFocus(Qt::OtherFocusReason);
    }
    if (!failure.isEmpty())
        showError(failure);
}

} // namespace lumexa
