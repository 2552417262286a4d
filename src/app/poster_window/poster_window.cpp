// The Print poster window's controls, its plan that follows every change, and its two runs:
// the layout with the preview's sampling, and the print.
#include "app/poster_window/poster_window.h"

#include "app/replace_question.h"
#include "app/shared_state.h"
#include "app/window_strings.h"
#include "core/base/error.h"
#include "core/render/render_destination.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace lumexa
{

namespace
{

constexpr int kPollMilliseconds = 40;

template <typename T> T* Named(T* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

std::string Utf8(const QLineEdit* edit)
{
    return edit->text().trimmed().toStdString();
}

QString Centimetres(double mm)
{
    return QString::number(mm / 10, 'f', 1);
}

} // namespace

PosterWindow::PosterWindow(TForm4& shared, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), shared_(shared), prompts_(prompts)
{
    setObjectName(QStringLiteral("PosterWindow"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(720, 428);
    createControls();
    applyCaptions();
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMilliseconds);
    connect(pollTimer_, &QTimer::timeout, this, &PosterWindow::poll);
    setPrinting(false);
}

// A print still under way is stopped, and its partial file removed, by its run's end.
PosterWindow::~PosterWindow() = default;

void PosterWindow::createControls()
{
    const auto label = [this](const char* name, int y) {
        auto* l = Named(new QLabel(this), name);
        l->setGeometry(8, y, 90, 24);
        return l;
    };
    label("PaperLabel", 8);
    PaperBox = Named(new QComboBox(this), "PaperBox");
    PaperBox->setGeometry(100, 8, 168, 24);
    PaperBox->addItems({QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("Letter"),
                        QStringLiteral("Legal"), QStringLiteral("custom")});
    PaperEdit = Named(new QLineEdit(this), "PaperEdit");
    PaperEdit->setGeometry(100, 38, 168, 24);
    PaperEdit->setPlaceholderText(QStringLiteral("600x900mm"));

    label("OrientationLabel", 68);
    OrientationBox = Named(new QComboBox(this), "OrientationBox");
    OrientationBox->setGeometry(100, 68, 168, 24);
    // In the order of Orientation's values.
    OrientationBox->addItems(
        {QStringLiteral("portrait"), QStringLiteral("landscape"), QStringLiteral("automatic")});
    OrientationBox->setCurrentIndex(static_cast<int>(Orientation::Automatic));

    SizeKindBox = Named(new QComboBox(this), "SizeKindBox");
    SizeKindBox->setGeometry(8, 98, 88, 24);
    SizeKindBox->addItems({QStringLiteral("width"), QStringLiteral("height")});
    SizeEdit = Named(new QLineEdit(this), "SizeEdit");
    SizeEdit->setGeometry(100, 98, 168, 24);

    label("MarginLabel", 128);
    MarginEdit = Named(new QLineEdit(QStringLiteral("10mm"), this), "MarginEdit");
    MarginEdit->setGeometry(100, 128, 168, 24);
    label("OverlapLabel", 158);
    OverlapEdit = Named(new QLineEdit(QStringLiteral("10mm"), this), "OverlapEdit");
    OverlapEdit->setGeometry(100, 158, 168, 24);

    PreviewPanel = Named(new QFrame(this), "PreviewPanel");
    PreviewPanel->setGeometry(280, 8, kPreviewWidth + 2, kPreviewHeight + 2);
    PreviewPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PreviewImage = Named(new QLabel(PreviewPanel), "PreviewImage");
    PreviewImage->setGeometry(1, 1, kPreviewWidth, kPreviewHeight);
    SummaryLabel = Named(new QLabel(this), "SummaryLabel");
    SummaryLabel->setGeometry(280, 314, kPreviewWidth + 2, 40);
    SummaryLabel->setWordWrap(true);
    SummaryLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ProgressLabel = Named(new QLabel(this), "ProgressLabel");
    ProgressLabel->setGeometry(8, 200, 260, 150);
    ProgressLabel->setWordWrap(true);
    ProgressLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProgressBar = Named(new QProgressBar(this), "ProgressBar");
    ProgressBar->setGeometry(8, 362, 704, 20);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);

    CloseButton = Named(new QPushButton(QStringLiteral("Close"), this), "CloseButton");
    CloseButton->setGeometry(8, 392, 90, 28);
    PrintButton = Named(new QPushButton(QStringLiteral("Print"), this), "PrintButton");
    PrintButton->setGeometry(622, 392, 90, 28);
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton");
    CancelButton->setGeometry(622, 392, 90, 28);
    for (QPushButton* b : {CloseButton, PrintButton, CancelButton})
        b->setAutoDefault(false);

    SaveDialog.filters = {QStringLiteral("PDF file (*.pdf)")};
    SaveDialog.defaultSuffix = QStringLiteral("pdf");
    SaveDialog.fileName = QStringLiteral("poster.pdf");

    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrintButton, &QPushButton::clicked, this, &PosterWindow::printClick);
    connect(CancelButton, &QPushButton::clicked, this, &PosterWindow::cancelClick);
    for (QComboBox* box : {PaperBox, OrientationBox, SizeKindBox})
        connect(box, &QComboBox::currentIndexChanged, this, &PosterWindow::replan);
    for (QLineEdit* edit : {PaperEdit, SizeEdit, MarginEdit, OverlapEdit})
        connect(edit, &QLineEdit::textChanged, this, &PosterWindow::replan);
}

QString PosterWindow::text(int n) const
{
    return shared_.text(n);
}

void PosterWindow::applyCaptions()
{
    setWindowTitle(text(131));
    findChild<QLabel*>(QStringLiteral("PaperLabel"))->setText(text(132));
    PaperBox->setItemText(CustomPaper, text(133));
    findChild<QLabel*>(QStringLiteral("OrientationLabel"))->setText(text(134));
    OrientationBox->setItemText(static_cast<int>(Orientation::Portrait), text(135));
    OrientationBox->setItemText(static_cast<int>(Orientation::Landscape), text(136));
    OrientationBox->setItemText(static_cast<int>(Orientation::Automatic), text(137));
    SizeKindBox->setItemText(0, text(128));
    SizeKindBox->setItemText(1, text(129));
    findChild<QLabel*>(QStringLiteral("MarginLabel"))->setText(text(139));
    findChild<QLabel*>(QStringLiteral("OverlapLabel"))->setText(text(140));
    PrintButton->setText(text(141));
    CloseButton->setText(text(142));
    CancelButton->setText(text(90));
    SaveDialog.title = text(148);
    SaveDialog.filters = {text(144) + QStringLiteral(" (*.pdf)")};
}

void PosterWindow::setRequest(RenderRequest request)
{
    render_ = std::move(request);
    random_.fillAtStart(generator_);
    render_.source.random = &random_;
    render_.source.generator = &generator_;
    render_.output.log = nullptr;
    SizeEdit->setPlaceholderText(text(138).arg(render_.settings.printDpi));
    scene_.reset();
    picture_ = QImage();
    prepare_.start([this](std::stop_token stop, RunProgress&) {
        auto scene = std::make_shared<const RenderScene>(LayOutScene(render_, stop));
        {
            std::lock_guard lock(laidOutMutex_);
            laidOut_ = scene;
        }
        return sampled_.sample(*scene, stop);
    });
    pollTimer_->start();
    replan();
}

PosterRequest PosterWindow::request() const
{
    PosterRequest r;
    switch (PaperBox->currentIndex()) {
    case A3:
        r.paper = ParsePaper("a3");
        break;
    case Letter:
        r.paper = ParsePaper("letter");
        break;
    case Legal:
        r.paper = ParsePaper("legal");
        break;
    case CustomPaper:
        r.paper = ParsePaper(Utf8(PaperEdit));
        break;
    default:
        r.paper = ParsePaper("a4");
        break;
    }
    r.orientation = static_cast<Orientation>(OrientationBox->currentIndex());
    r.marginMm = ParseLength(Utf8(MarginEdit), true);
    r.overlapMm = ParseLength(Utf8(OverlapEdit), true);
    r.pictureWidth = scene_->width;
    r.pictureHeight = scene_->height;
    r.dpi = render_.settings.printDpi;
    if (!SizeEdit->text().trimmed().isEmpty()) {
        const double length = ParseLength(Utf8(SizeEdit));
        (SizeKindBox->currentIndex() == 0 ? r.widthMm : r.heightMm) = length;
    }
    return r;
}

void PosterWindow::replan()
{
    PaperEdit->setEnabled(!printing() && PaperBox->currentIndex() == CustomPaper);
    if (!scene_) {
        // Still laying out, or the layout failed (its reason is shown then).
        plan_.reset();
        if (prepare_.state() == RunState::Failed)
            SummaryLabel->setText(shared_.errorText(prepare_.error()));
        else
            SummaryLabel->setText(text(157));
        PrintButton->setEnabled(false);
        redraw();
        return;
    }
    try {
        request_ = request();
        // Counted before anything is planned: a size typed wrong shows its count, and Print
        // stays off, without a moment spent on sheets nobody would glue.
        const SheetCount count = CountSheets(request_);
        if (!(count.total() <= kMostPosterSheets)) {
            plan_.reset();
            SummaryLabel->setText(text(kStringTooManySheets)
                                      .arg(QString::fromStdString(SheetCountText(count.total())))
                                      .arg(QString::fromStdString(SheetCountText(count.columns)))
                                      .arg(QString::fromStdString(SheetCountText(count.rows)))
                                      .arg(kMostPosterSheets));
            PrintButton->setEnabled(false);
            redraw();
            return;
        }
        plan_ = PlanPoster(request_);
        SummaryLabel->setText(text(143)
                                  .arg(plan_->columns * plan_->rows)
                                  .arg(plan_->columns)
                                  .arg(plan_->rows)
                                  .arg(QString::fromStdString(request_.paper.name))
                                  .arg(plan_->landscape ? text(136) : text(135))
                                  .arg(Centimetres(plan_->widthMm))
                                  .arg(Centimetres(plan_->heightMm)));
    } catch (const std::exception& e) {
        plan_.reset();
        SummaryLabel->setText(shared_.errorText(e));
    }
    PrintButton->setEnabled(plan_.has_value());
    redraw();
}

void PosterWindow::redraw()
{
    const QSize box(kPreviewWidth, kPreviewHeight);
    if (plan_) {
        preview_ = DrawPosterPreview(picture_, *plan_, request_.overlapMm, box);
    } else {
        preview_ = QImage(box, QImage::Format_RGB32);
        preview_.fill(QColor(72, 72, 72));
    }
    PreviewImage->setPixmap(QPixmap::fromImage(preview_));
}

void PosterWindow::poll()
{
    if (!scene_) {
        std::shared_ptr<const RenderScene> scene;
        {
            std::lock_guard lock(laidOutMutex_);
            scene = laidOut_;
        }
        if (scene || prepare_.ended()) {
            scene_ = std::move(scene);
            replan();
        }
    }
    QImage sampled;
    if (sampled_.takeIfChanged(sampled)) {
        picture_ = sampled;
        redraw();
    }
    if (printing_) {
        const RunProgress& progress = print_.progress();
        if (progress.total() > 0)
            ProgressBar->setValue(static_cast<int>(progress.done() * 100 / progress.total()));
        ProgressLabel->setText(
            text(145)
                .arg(std::max(1, progress.part()))
                .arg(std::max(progress.parts(), plan_ ? plan_->pageCount() : 1)));
        if (print_.ended())
            finishPrint();
    }
    if (prepare_.ended() && !printing_)
        pollTimer_->stop();
}

void PosterWindow::printClick()
{
    if (printing_ || !plan_ || !scene_)
        return;
    const std::optional<QString> file = prompts_.chooseFileToSave(SaveDialog);
    if (!file)
        return;
    SaveDialog.fileName = *file;
    AtomicFileOptions fileOptions;
    if (!MayReplace(prompts_, shared_, *file,
                    text(0) + QLatin1Char(' ') + QFileInfo(*file).fileName(),
                    fileOptions.replaceReadOnly))
        return;
    const std::string path = QFile::encodeName(*file).toStdString();
    try {
        // Refused before anything is composed: a destination that is one of the pictures
        // the result is drawn from or a file of the program's own, no regular file, or
        // unwritable.
        CheckRenderDestination(path, std::string(), *render_.source.leds, shared_.logo,
                               shared_.programFiles, fileOptions);
    } catch (const std::exception& e) {
        prompts_.inform(text(30), shared_.errorText(e));
        return;
    }
    RenderRequest print = render_;
    print.output.path = path;
    print.output.file = fileOptions;
    print.poster = request_;
    ProgressBar->setValue(0);
    ProgressLabel->clear();
    setPrinting(true);
    print_.start([this, print = std::move(print), scene = scene_](std::stop_token stop,
                                                                  RunProgress& progress) {
        return WriteScene(*scene, print, stop, progress);
    });
    pollTimer_->start();
}

void PosterWindow::cancelClick()
{
    print_.cancel();
}

void PosterWindow::finishPrint()
{
    print_.join();
    QString failure;
    switch (print_.state()) {
    case RunState::Finished:
        ProgressBar->setValue(100);
        ProgressLabel->setText(text(146).arg(SaveDialog.fileName));
        break;
    case RunState::Cancelled:
        ProgressBar->setValue(0);
        ProgressLabel->setText(text(147));
        break;
    default:
        ProgressBar->setValue(0);
        failure = shared_.errorText(print_.error());
        ProgressLabel->setText(failure);
        break;
    }
    setPrinting(false);
    if (!failure.isEmpty())
        prompts_.inform(text(30), failure);
}

void PosterWindow::setPrinting(bool printing)
{
    printing_ = printing;
    for (QWidget* w : std::initializer_list<QWidget*>{PaperBox, OrientationBox, SizeKindBox,
                                                      SizeEdit, MarginEdit, OverlapEdit})
        w->setEnabled(!printing);
    PaperEdit->setEnabled(!printing && PaperBox->currentIndex() == CustomPaper);
    CloseButton->setVisible(!printing);
    PrintButton->setVisible(!printing);
    CancelButton->setVisible(printing);
    PrintButton->setEnabled(!printing && plan_.has_value());
}

void PosterWindow::done(int result)
{
    if (printing_)
        return;
    QDialog::done(result);
}

} // namespace lumexa
