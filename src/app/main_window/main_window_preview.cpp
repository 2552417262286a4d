// The main window's recompute: the settings go to the layout engine, the result is drawn
// into the preview and summed up in the status bar. The recompute runs on every keystroke,
// so a failure is never a message box: the reason shows on the greyed last preview until
// the next recompute succeeds.
#include "app/main_window/main_window.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/main_window/preview_painter.h"
#include "app/main_window/status_texts.h"
#include "app/picture_image.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/base/error.h"
#include "core/project/tags.h"
#include "core/render/render_preparation.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

namespace lumexa
{

void TForm1::PrewkaS()
{
    shared_.saveQuestionAsked = false;
    BuildPreview();
}

LedInfo TForm1::ledInfo() const
{
    return LedInfoOf(shared_.ledImages);
}

void TForm1::setIntoScrollBar(QScrollBar* bar, int min, int max)
{
    // The recompute sets ranges it has already accounted for; their change notices must
    // not start another recompute.
    const QSignalBlocker blocker(bar);
    bar->setRange(min, max);
}

int TForm1::verticalOffset() const
{
    return PreviewVerticalOffset(PaintBox1->height(), lastRows_, ScrollBar3->value());
}

QString TForm1::textProblem() const
{
    if (PageControl1->currentIndex() != 0)
        return {};
    const std::u32string text = Edit1->text().toStdU32String();
    const std::u32string tag = FirstIncompleteTag(text);
    if (!tag.empty())
        return shared_.text(kStringTagIncomplete).arg(QString::fromStdU32String(tag));
    if (QString::fromStdU32String(ParseTags(text).stripped).trimmed().isEmpty())
        return shared_.text(kStringNoPixels);
    return {};
}

void TForm1::BuildPreview()
{
    updateTitle();
    updateToolTips();
    if (!buildPreviewEnabled || inRecompute_)
        return;
    if (Edit1->text().isEmpty()) {
        if (PageControl1->currentIndex() == 0)
            Render1->setEnabled(false);
        return;
    }
    inRecompute_ = true;
    QString error;
    try {
        error = textProblem();
        if (!error.isEmpty())
            throw Error(error.toStdString());
        ProjectSettings settings = settingsFromControls();
        const LedInfo leds = ledInfo();
        if (RenderCommandAllowed(settings, leds))
            Render1->setEnabled(true);
        shared_.ledImages.sharedCount = leds.count;
        const Picture* logo = shared_.logo.loaded ? &shared_.logo.picture : nullptr;
        const LayoutResult result =
            ComputePreviewLayout(settings, leds, *rasterizer_, logo, random_, points_);
        if (result.status == LayoutStatus::NoLogo) {
            drawLogoPrompt();
            // No figures of a text that is not laid out: the panels' captions instead.
            lastStatus_.reset();
            for (int i = 0; i < 3; ++i)
                statusPanel(i)->setText(shared_.text(85 + i));
        } else if (result.status == LayoutStatus::Done) {
            setIntoScrollBar(ScrollBar2, settings.brightnes.min(), settings.brightnes.max());
            {
                const QSignalBlocker blocker(ScrollBar2);
                ScrollBar2->setValue(settings.brightnes.position());
            }
            drawPreview(result);
            fillStatusBar(result);
            PaintBox1->setNotice(result.drawnColumns < result.columns
                                     ? shared_.text(kStringPreviewShowsStart)
                                           .arg(result.drawnColumns)
                                           .arg(result.columns)
                                     : QString());
        }
    } catch (const std::exception& e) {
        // A problem found before the layout has its own words; anything else is wrapped.
        if (error.isEmpty())
            error = shared_.text(kStringPreviewFailed).arg(shared_.errorText(e));
    }
    inRecompute_ = false;
    PaintBox1->setProblem(error);
    if (!error.isEmpty())
        Render1->setEnabled(false);
}

QLabel* TForm1::statusPanel(int n) const
{
    return n == 0 ? StatusPanel0 : n == 1 ? StatusPanel1 : StatusPanel2;
}

void TForm1::showEmptyStartHint()
{
    // The next step for someone who has not begun: nothing loaded, no project file.
    const bool empty =
        projectPath_.isEmpty() && shared_.ledImages.count() == 0 && !shared_.logo.loaded;
    PaintBox1->setHint(empty ? shared_.text(kStringEmptyStartHint) : QString());
}

void TForm1::drawLogoPrompt()
{
    QImage canvas(PaintBox1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB888);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setFont(font());
    p.setPen(Qt::white);
    const QString prompt = shared_.text(20);
    const QFontMetrics metrics(font());
    const int left = canvas.width() / 2 - metrics.horizontalAdvance(prompt) / 2;
    const int top = canvas.height() / 2 - metrics.height() / 2;
    p.drawText(left, top + metrics.ascent(), prompt);
    p.end();
    PaintBox1->setCanvas(std::move(canvas));
    Render1->setEnabled(false);
}

void TForm1::drawPreview(const LayoutResult& result)
{
    const int scale = ScrollBar3->value();
    const int cellWidth = result.cell.width;
    const int maximum = PreviewScrollMaximum(static_cast<int>(result.imageWidth), scale, cellWidth,
                                             PaintBox1->width(), ScrollBar4->minimum());
    setIntoScrollBar(ScrollBar4, ScrollBar4->minimum(), maximum);
    ScrollBar4->setPageStep(std::max(1, PaintBox1->width()));

    PreviewScene scene;
    scene.dots = &result.dots;
    scene.style = result.style;
    scene.cellWidth = cellWidth;
    scene.rows = result.rows;
    scene.ledCount = shared_.ledImages.count();
    if (scene.ledCount >= 2) {
        // LED pictures are converted once and kept until the set's pictures change, so
        // that dragging a scroll bar does not copy up to 128 pictures on every step.
        if (ledImageCacheChanges_ != strip_->pictureChanges()) {
            ledImageCache_.clear();
            ledImageCacheChanges_ = strip_->pictureChanges();
        }
        ledImageCache_.resize(static_cast<size_t>(scene.ledCount));
        scene.ledPictures.reserve(static_cast<size_t>(scene.ledCount));
        for (int n = 0; n < scene.ledCount; ++n) {
            QImage& cached = ledImageCache_[static_cast<size_t>(n)];
            if (cached.isNull())
                cached = ToQImage(shared_.ledImages[n].picture);
            scene.ledPictures.push_back(cached);
        }
    }
    scene.scale = scale;
    scene.box = PaintBox1->size();
    scene.scrollOffset = ScrollBar4->value();
    PaintBox1->setCanvas(PaintPreview(scene));

    lastDots_ = result.dots;
    lastCellWidth_ = cellWidth;
    lastRows_ = result.rows;
}

void TForm1::fillStatusBar(const LayoutResult& result)
{
    StatusValues values;
    values.fontDots = result.fontDots;
    values.columns = result.columns;
    values.rows = result.rows;
    const LedImageSet& set = shared_.ledImages;
    values.ledCount = set.count();
    if (set.count() > 0) {
        values.ledWidth = set[0].width;
        values.ledHeight = set[0].height;
    }
    lastStatus_ = values;
    showStatus();
}

int TForm1::printDpi() const
{
    if (renderWindow_) {
        ProjectSettings options;
        renderWindow_->readOptions(options);
        return options.printDpi;
    }
    return renderOptions_.printDpi;
}

void TForm1::showStatus()
{
    if (!lastStatus_)
        return;
    StatusValues values = *lastStatus_;
    values.dpi = printDpi();
    const QStringList texts =
        StatusTexts([this](int n) { return shared_.text(n); }, values, sizeUnit());
    StatusPanel0->setText(texts.at(0));
    StatusPanel1->setText(texts.at(1));
    StatusPanel2->setText(texts.at(2));
}

} // namespace lumexa
