// The render window's controls, its idle, rendering and previewing states, the options
// and the destination file.
#include "app/render_window/render_window.h"

#include "app/program_memory.h"
#include "app/render_window/print_size_box.h"
#include "app/render_window/window_render_log.h"
#include "app/render_window/zoom_view.h"
#include "app/replace_question.h"
#include "app/runs/window_run.h"
#include "app/shared_state.h"
#include "app/window_strings.h"
#include "core/base/data_folder.h"
#include "imaging/row_writers.h"
#include "text/qt_glyph_rasterizer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace lumexa
{

namespace
{

// How often a run's figures are shown.
constexpr int kPollMilliseconds = 40;

template <typename T> T* Named(T* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

TForm3::TForm3(TForm4& shared, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), shared_(shared), prompts_(prompts),
      rasterizer_(std::make_unique<QtGlyphRasterizer>()), log_(std::make_unique<WindowRenderLog>())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Render panel"));
    setModal(true);
    // A single border and no title-bar buttons: a run ends only by itself or by Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    // The print size runs along the bottom, below the designed 745 x 427.
    setFixedSize(745, 427 + 84);
    createControls();
    random_.fillAtStart(generator_);
    webFolder_ =
        ResolveDataFolder(QCoreApplication::applicationDirPath().toStdString()) + "/web";
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMilliseconds);
    connect(pollTimer_, &QTimer::timeout, this, &TForm3::pollRun);
    setActivity(Activity::Idle);
    Label3->hide();
}

TForm3::~TForm3() = default;

void TForm3::createControls()
{
    GroupBox2 = Named(new QGroupBox(QStringLiteral("Setup"), this), "GroupBox2");
    GroupBox2->setGeometry(8, 4, 265, 92);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("use mask"), GroupBox2), "CheckBox1");
    CheckBox1->setGeometry(6, 20, 137, 20);
    CheckBox2 = Named(new QCheckBox(QStringLiteral("additive mask"), GroupBox2), "CheckBox2");
    CheckBox2->setGeometry(6, 44, 137, 20);
    CheckBox3 = Named(new QCheckBox(QStringLiteral("rotate bitmaps"), GroupBox2), "CheckBox3");
    CheckBox3->setGeometry(145, 20, 118, 20);
    CheckBox4 = Named(new QCheckBox(QStringLiteral("background"), GroupBox2), "CheckBox4");
    CheckBox4->setGeometry(145, 44, 118, 20);
    CheckBox4->setChecked(true);
    BackgroundBox = Named(new QComboBox(GroupBox2), "BackgroundBox");
    BackgroundBox->setGeometry(145, 66, 116, 22);
    BackgroundBox->addItems({QStringLiteral("transparent"), QStringLiteral("opaque")});

    RadioGroup1 = Named(new QGroupBox(QStringLiteral("Render type"), this), "RadioGroup1");
    RadioGroup1->setGeometry(8, 100, 265, 92);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    const char* items[] = {"random points", "random bitmaps", "full render"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(items[i]), RadioGroup1);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        item->setGeometry(10, 20 + i * 22, 245, 20);
        RadioGroup1Items->addButton(item, i);
    }
    setRenderType(kFullRender);

    Label2 = Named(new QLabel(QStringLiteral("destination file name"), this), "Label2");
    Label2->setGeometry(8, 196, 265, 16);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setGeometry(8, 214, 233, 24);
    Edit1->setReadOnly(true);
    BitBtn1 = Named(new QToolButton(this), "BitBtn1");
    BitBtn1->setGeometry(245, 214, 28, 24);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));

    CompressionLabel = Named(new QLabel(QStringLiteral("compression"), this), "CompressionLabel");
    CompressionLabel->setGeometry(8, 244, 90, 24);
    CompressionBox = Named(new QComboBox(this), "CompressionBox");
    // In the order of Compression's values.
    CompressionBox->addItems({QStringLiteral("fast"), QStringLiteral("small (slower)")});
    CompressionBox->setGeometry(100, 244, 173, 24);
    CompressionBox->setEnabled(false);

    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setGeometry(8, 272, 265, 147);
    Memo1->setReadOnly(true);
    QFont logFont(QStringLiteral("Courier New"), 9);
    logFont.setStyleHint(QFont::TypeWriter);
    logFont.setFixedPitch(true);
    Memo1->setFont(logFont);
    QPalette logColours = Memo1->palette();
    logColours.setColor(QPalette::Base, Qt::black);
    logColours.setColor(QPalette::Text, QColor(0, 255, 0));
    Memo1->setPalette(logColours);
    Memo1->setPlainText(QStringLiteral("Test"));

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setGeometry(281, 4, kPreviewWidth + 2, kPreviewHeight + 2);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Image1 = Named(new QLabel(Panel1), "Image1");
    Image1->setGeometry(1, 1, kPreviewWidth, kPreviewHeight);
    constexpr int kStatusHeight = 18;
    Inspector = new ZoomView(Panel1);
    Inspector->setGeometry(1, 1, kPreviewWidth, kPreviewHeight - kStatusHeight);
    InspectorStatus = Named(new QLabel(Panel1), "InspectorStatus");
    InspectorStatus->setGeometry(5, 1 + kPreviewHeight - kStatusHeight, kPreviewWidth - 8,
                                 kStatusHeight);
    connect(Inspector, &ZoomView::pointerInfo, InspectorStatus, &QLabel::setText);
    Inspector->hide();
    InspectorStatus->hide();
    // A deep zoom export has no rows to draw into the preview: the page is opened instead.
    OpenPageButton = Named(new QPushButton(QStringLiteral("Open the page"), Panel1), "OpenPageButton");
    OpenPageButton->setGeometry((kPreviewWidth - 180) / 2 + 1, (kPreviewHeight - 32) / 2 + 1, 180, 32);
    OpenPageButton->setAutoDefault(false);
    OpenPageButton->hide();
    connect(OpenPageButton, &QPushButton::clicked, this, &TForm3::openExportedPage);

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Render status"), this), "GroupBox1");
    GroupBox1->setGeometry(281, 330, 457, 56);
    Label1 = Named(new QLabel(QStringLiteral("0%"), GroupBox1), "Label1");
    Label1->setGeometry(10, 24, 60, 20);
    Label3 = Named(new QLabel(QStringLiteral("???:??"), GroupBox1), "Label3");
    Label3->setGeometry(72, 24, 70, 20);
    ProgressBar1 = Named(new QProgressBar(GroupBox1), "ProgressBar1");
    ProgressBar1->setGeometry(146, 24, 300, 20);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Button1 = Named(new QPushButton(QStringLiteral("Exit"), this), "Button1");
    Button4 = Named(new QPushButton(QStringLiteral("Preview"), this), "Button4");
    InspectButton = Named(new QPushButton(QStringLiteral("Inspect"), this), "InspectButton");
    Button2 = Named(new QPushButton(QStringLiteral("Render"), this), "Button2");
    Button3 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button3");
    Button1->setGeometry(281, 392, 90, 28);
    InspectButton->setGeometry(456, 392, 90, 28);
    Button4->setGeometry(552, 392, 90, 28);
    Button2->setGeometry(648, 392, 90, 28);
    Button3->setGeometry(648, 392, 90, 28);
    // None is the dialog's default: Return in the print size's fields ends the typing there,
    // it does not press a button.
    for (QPushButton* b : {Button1, Button4, InspectButton, Button2, Button3})
        b->setAutoDefault(false);

    PrintSize = new PrintSizeBox(this);
    PrintSize->setGeometry(8, 426, 729, 78);
    // The inspector's centimetres follow the print resolution.
    connect(PrintSize, &PrintSizeBox::dpiChanged, this, &TForm3::followOptions);

    SaveDialog1.title = QStringLiteral("Render to file");
    // Targa first and chosen first; the engine writes PNG, TIFF, a print-shop PDF (one
    // page of the result's physical size at the print resolution) and a deep zoom web page
    // as well. The captions put the language's names on the types.
    SaveDialog1.filters = {QStringLiteral("Targa file (*.tga)"), QStringLiteral("PNG file (*.png)"),
                           QStringLiteral("TIFF file (*.tif *.tiff)"),
                           QStringLiteral("PDF file (*.pdf)"),
                           QStringLiteral("Deep zoom web page (*.dzi)"),
                           QStringLiteral("All files (*)")};
    SaveDialog1.selectedFilter = 0;
    SaveDialog1.defaultSuffix = QStringLiteral("tga");

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TForm3::BitBtn1Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm3::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TForm3::CheckBox2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
    connect(InspectButton, &QPushButton::clicked, this, &TForm3::inspect);
    // The inspector shows the options in force, whoever changes them.
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        connect(box, &QCheckBox::toggled, this, &TForm3::followOptions);
    connect(CheckBox4, &QCheckBox::toggled, BackgroundBox, &QComboBox::setEnabled);
    connect(BackgroundBox, &QComboBox::currentIndexChanged, this, &TForm3::followOptions);
}

int TForm3::renderType() const
{
    const int id = RadioGroup1Items->checkedId();
    return id < 0 ? kFullRender : id;
}

void TForm3::setRenderType(int type)
{
    if (QAbstractButton* item = RadioGroup1Items->button(type))
        item->setChecked(true);
}

void TForm3::readOptions(ProjectSettings& s) const
{
    s.renderType = renderType();
    s.useMaskEnabled = CheckBox1->isEnabled();
    s.useMaskChecked = CheckBox1->isChecked();
    s.useAddEnabled = CheckBox2->isEnabled();
    s.useAddChecked = CheckBox2->isChecked();
    s.useBackground = CheckBox4->isChecked();
    s.backgroundOpacity = static_cast<BackgroundOpacity>(BackgroundBox->currentIndex());
    s.rotateBitmaps = CheckBox3->isChecked();
    s.printDpi = PrintSize->dpi();
    s.compression = CompressionBox->currentIndex() == 1 ? Compression::Small : Compression::Fast;
}

void TForm3::applyOptions(const ProjectSettings& s)
{
    setRenderType(s.renderType);
    CheckBox1->setEnabled(s.useMaskEnabled);
    CheckBox1->setChecked(s.useMaskChecked);
    CheckBox2->setEnabled(s.useAddEnabled);
    CheckBox2->setChecked(s.useAddChecked);
    CheckBox4->setChecked(s.useBackground);
    BackgroundBox->setCurrentIndex(static_cast<int>(s.backgroundOpacity));
    CheckBox3->setChecked(s.rotateBitmaps);
    PrintSize->setDpi(s.printDpi);
    CompressionBox->setCurrentIndex(s.compression == Compression::Small ? 1 : 0);
}

void TForm3::setResultSize(int64_t width, int64_t height)
{
    PrintSize->setResultSize(width, height);
}

ProjectSettings TForm3::runSettings() const
{
    ProjectSettings s = layoutSettings_;
    readOptions(s);
    return s;
}

void TForm3::prepareForCommand(const ProjectSettings& layoutSettings)
{
    layoutSettings_ = layoutSettings;
    Button2->setEnabled(false);
    Edit1->clear();
    offerCompression();
    Memo1->clear();
    addLogLine(43);
    ProgressBar1->setValue(0);
    Label1->setText(QStringLiteral("0%"));
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm3::done(int result)
{
    if (activity_ != Activity::Idle)
        return;
    finishCancelledRun();
    showInspector(false);
    QDialog::done(result);
}

void TForm3::FormActivate()
{
    QImage black(kPreviewWidth, kPreviewHeight, QImage::Format_RGB888);
    black.fill(Qt::black);
    setPreview(black);
    Label3->hide();
}

void TForm3::Button1Click()
{
    accept();
}

void TForm3::setProjectFile(const QString& path)
{
    projectFile_ = path;
}

void TForm3::BitBtn1Click()
{
    // The file type chosen last time; the project's folder and name with that type's
    // extension, or, for a new project, the documents folder.
    RestoreFileRequest(QStringLiteral("render"), SaveDialog1);
    const QFileInfo project(projectFile_);
    const QString folder = projectFile_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : project.absolutePath();
    const QString name =
        projectFile_.isEmpty() ? shared_.text(kStringUntitled) : project.completeBaseName();
    QString suffix = SaveDialog1.defaultSuffix;
    if (SaveDialog1.selectedFilter >= 0 &&
        SaveDialog1.selectedFilter < SaveDialog1.filters.size()) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        const QString named =
            pattern.match(SaveDialog1.filters.at(SaveDialog1.selectedFilter)).captured(1);
        if (!named.isEmpty())
            suffix = named;
    }
    SaveDialog1.folder = folder;
    SaveDialog1.fileName = QDir(folder).filePath(name + QLatin1Char('.') + suffix);
    const std::optional<QString> file = prompts_.chooseFileToSave(SaveDialog1);
    if (!file)
        return;
    RememberFileChoice(QStringLiteral("render"), SaveDialog1, *file);
    SaveDialog1.fileName = *file;
    // Asked here only: Render writes to the file chosen without asking again. A read-only
    // file not agreed to stays refused by Render.
    if (!MayReplace(prompts_, shared_, *file,
                    shared_.text(0) + QLatin1Char(' ') + QFileInfo(*file).fileName() +
                        QLatin1Char('?'),
                    replaceReadOnly_))
        return;
    Edit1->setText(*file);
    offerCompression();
    offerPage({});
    Button2->setEnabled(true);
    Memo1->clear();
    // A PDF destination is print: the inspector shows the page.
    followOptions();
}

void TForm3::CheckBox1Click()
{
    if (CheckBox2->isChecked())
        CheckBox2->setChecked(false);
}

void TForm3::CheckBox2Click()
{
    if (CheckBox1->isChecked())
        CheckBox1->setChecked(false);
}

void TForm3::Button3Click()
{
    if (run_)
        run_->cancel();
    // The run stops at its next check, a moment later; the poll then writes the closing
    // figures and log line. Until then Render and Preview wait for it.
    setActivity(Activity::Idle);
}

void TForm3::setActivity(Activity activity)
{
    activity_ = activity;
    const bool idle = activity == Activity::Idle;
    Button1->setVisible(idle);
    Button2->setVisible(idle);
    Button4->setVisible(idle);
    InspectButton->setVisible(idle);
    if (!idle) {
        showInspector(false);
        offerPage({});
    }
    Button3->setVisible(!idle);
    Button4->setEnabled(idle);
    GroupBox2->setEnabled(idle);
    RadioGroup1->setEnabled(idle);
    Edit1->setEnabled(idle);
    BitBtn1->setEnabled(idle);
    PrintSize->setEnabled(idle);
    offerCompression();
    if (!idle)
        Label3->show();
}

void TForm3::offerCompression()
{
    const QString destination = Edit1->text();
    const OutputFormat format = OutputFormatForPath(QFile::encodeName(destination).toStdString());
    // A deep zoom export's PNG tiles are compressed as PNG files are.
    CompressionBox->setEnabled(activity_ == Activity::Idle && !destination.isEmpty() &&
                               (format == OutputFormat::Png || format == OutputFormat::Tiff ||
                                format == OutputFormat::Dzi));
}

void TForm3::offerPage(const QString& page)
{
    exportedPage_ = page;
    OpenPageButton->setVisible(!page.isEmpty());
}

void TForm3::openExportedPage()
{
    if (exportedPage_.isEmpty())
        return;
    if (!openPage(QUrl::fromLocalFile(exportedPage_)))
        prompts_.inform(shared_.text(30), shared_.text(kStringPageNotOpened).arg(exportedPage_));
}

void TForm3::showError(const QString& text)
{
    prompts_.inform(shared_.text(30), text);
}

void TForm3::addLogLine(int n, const QString& tail)
{
    addLogText(shared_.text(n) + tail);
}

void TForm3::addLogText(const QString& text)
{
    Memo1->appendPlainText(text);
    scrollLogToEnd();
}

void TForm3::scrollLogToEnd()
{
    // The log keeps its scroll place from before a line was added; a line that wraps
    // adds rows the log has not laid out yet, so the end is taken after the layout.
    Memo1->moveCursor(QTextCursor::End);
    Memo1->ensureCursorVisible();
    QScrollBar* bar = Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void TForm3::drainLog()
{
    for (const WindowRenderLog::Line& line : log_->take()) {
        if (line.number < 0)
            Memo1->clear();
        else
            addLogLine(line.number, QString::fromStdString(line.tail));
    }
}

void TForm3::setPreview(const QImage& image)
{
    preview_ = image;
    Image1->setPixmap(QPixmap::fromImage(image));
}

} // namespace lumexa
