// The main window's controls under their design names, laid out to grow with the
// window, and its menus and dialog settings.
#include "app/main_window/main_window.h"

#include "app/main_window/font_list_delegate.h"
#include "app/main_window/icons.h"
#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/program_memory.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/base/error.h"

#include <QFileInfo>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumexa
{

namespace
{

constexpr int kStripWidth = 315;
constexpr int kStripHeight = 150;
constexpr int kTopRowHeight = 184;

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

QLabel* TForm1::makeIcon(const QString& name, int kind)
{
    auto* icon = new QLabel;
    icon->setObjectName(name);
    icon->setPixmap(MakeIcon(static_cast<IconKind>(kind)));
    icon->setFixedSize(kIconSize, kIconSize);
    return icon;
}

QScrollBar* TForm1::makeVerticalBar(const QString& name, int min, int max, int value, int pageStep)
{
    auto* bar = new QScrollBar(Qt::Vertical);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setPageStep(pageStep);
    bar->setValue(value);
    bar->setMinimumHeight(60);
    return bar;
}

void TForm1::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 2);
    column->setSpacing(4);

    // Top: the pages on the left, the LED strip with its buttons on the right.
    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Text"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Logo"));

    auto* textPage = new QVBoxLayout(TabSheet1);
    textPage->setContentsMargins(4, 4, 4, 4);
    textPage->setSpacing(3);
    ListBox1 = new QListWidget(TabSheet1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setItemDelegate(new FontListDelegate(ListBox1));
    ListBox1->setUniformItemSizes(false);
    textPage->addWidget(ListBox1, 1);
    auto* kerning = new QHBoxLayout;
    Image11 = makeIcon(QStringLiteral("Image11"), int(IconKind::KerningTight));
    Image12 = makeIcon(QStringLiteral("Image12"), int(IconKind::KerningWide));
    ScrollBar7 = new QScrollBar(Qt::Horizontal, TabSheet1);
    ScrollBar7->setObjectName(QStringLiteral("ScrollBar7"));
    ScrollBar7->setRange(0, 10);
    ScrollBar7->setPageStep(1);
    kerning->addWidget(Image11);
    kerning->addWidget(ScrollBar7, 1);
    kerning->addWidget(Image12);
    textPage->addLayout(kerning);

    auto* logoPage = new QGridLayout(TabSheet2);
    logoPage->setContentsMargins(4, 4, 4, 4);
    Image13 = new QLabel(TabSheet2);
    Image13->setObjectName(QStringLiteral("Image13"));
    Image13->setFixedSize(204, 103);
    Image13->setFrameStyle(QFrame::NoFrame);
    Button7 = makeButton(QStringLiteral("Button7"), QStringLiteral("Load"), TabSheet2);
    CheckBox1 = new QCheckBox(QStringLiteral("Negative"), TabSheet2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    logoPage->addWidget(Image13, 0, 0, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    logoPage->addWidget(Button7, 1, 0, Qt::AlignLeft);
    logoPage->addWidget(CheckBox1, 1, 1, Qt::AlignLeft);
    logoPage->setRowStretch(2, 1);
    logoPage->setColumnStretch(2, 1);
    PageControl1->setFixedHeight(kTopRowHeight);
    PageControl1->setMinimumWidth(224);
    top->addWidget(PageControl1, 0);

    // The strip and the loading panel share one place; the panel shows only while the
    // strip is hidden.
    auto* stripPlace = new QGridLayout;
    ScrollBox1 = new QScrollArea(central);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setMinimumSize(kStripWidth, kStripHeight);
    ScrollBox1->setFixedHeight(kStripHeight);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A click on an LED picture must leave the text field's selection for the tag wrap,
    // and a line edit drops its selection when it loses the focus.
    ScrollBox1->setFocusPolicy(Qt::TabFocus);
    Panel1 = new QFrame(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* panelLayout = new QVBoxLayout(Panel1);
    auto* panelCaption = new QLabel(QStringLiteral("Loading, please wait..."), Panel1);
    panelCaption->setObjectName(QStringLiteral("Panel1Caption"));
    panelCaption->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(QStringLiteral("..."), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    panelLayout->addWidget(panelCaption);
    panelLayout->addWidget(Label1);
    stripPlace->addWidget(Panel1, 0, 0);
    stripPlace->addWidget(ScrollBox1, 0, 0);
    auto* stripColumn = new QVBoxLayout;
    stripColumn->setSpacing(4);
    stripColumn->addLayout(stripPlace);

    auto* stripButtons = new QHBoxLayout;
    stripButtons->setSpacing(3);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Add"), central);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Replace"), central);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Add Alpha"), central);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Delete"), central);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("Clear Alpha"), central);
    for (QPushButton* b : {Button1, Button3, Button2, Button6, Button5}) {
        // Clicking a strip button keeps the text field's selection for the tag wrap.
        b->setFocusPolicy(Qt::TabFocus);
        stripButtons->addWidget(b);
    }
    stripButtons->addStretch(1);
    stripColumn->addLayout(stripButtons);
    stripColumn->addStretch(1);
    top->addLayout(stripColumn, 1);
    column->addLayout(top);

    // The text with its "Clear" button.
    auto* textRow = new QHBoxLayout;
    Edit1 = new QLineEdit(QStringLiteral("1234567890"), central);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Clear"), central);
    Button4->setMinimumWidth(76);
    textRow->addWidget(Edit1, 1);
    textRow->addWidget(Button4);
    column->addLayout(textRow);

    // The style buttons and the seed.
    auto* styleRow = new QHBoxLayout;
    styleRow->setSpacing(2);
    styleGroup = new QButtonGroup(this);
    styleGroup->setExclusive(true);
    const QStringList captions{QStringLiteral("Flat"),   QStringLiteral("Button"),
                               QStringLiteral("Dot"),    QStringLiteral("Points"),
                               QStringLiteral("Random"), QStringLiteral("Preview"),
                               QStringLiteral("Bitmap")};
    QToolButton** buttons[] = {&SpeedButton1, &SpeedButton2, &SpeedButton3, &SpeedButton4,
                               &SpeedButton5, &SpeedButton6, &SpeedButton7};
    for (int i = 0; i < 7; ++i) {
        auto* b = new QToolButton(central);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        b->setText(captions.at(i));
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setMinimumWidth(58);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        styleGroup->addButton(b, i + 1);
        styleRow->addWidget(b);
        *buttons[i] = b;
    }
    SpeedButton1->setChecked(true);
    styleRow->addStretch(1);
    Label2 = new QLabel(QStringLiteral("Seed:"), central);
    Label2->setObjectName(QStringLiteral("Label2"));
    MaskEdit1 = new QLineEdit(central);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    // Up to eight digits, shown as typed: a mask would fill the empty places with
    // placeholder characters.
    MaskEdit1->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,8}")), MaskEdit1));
    MaskEdit1->setMaxLength(8);
    MaskEdit1->setText(QStringLiteral("25071971"));
    MaskEdit1->setFixedWidth(
        QFontMetrics(MaskEdit1->font()).horizontalAdvance(QStringLiteral("000000000")) + 14);
    BitBtn1 = new QToolButton(central);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(QIcon(MakeIcon(IconKind::Dice)));
    styleRow->addWidget(Label2);
    styleRow->addWidget(MaskEdit1);
    styleRow->addWidget(BitBtn1);
    column->addLayout(styleRow);

    // The preview with its scroll bar, and the vertical bars right of it.
    auto* previewRow = new QHBoxLayout;
    previewRow->setSpacing(4);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->setSpacing(2);
    Bevel1 = new QFrame(central);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->setContentsMargins(2, 2, 2, 2);
    PaintBox1 = new PreviewBox(Bevel1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    bevelLayout->addWidget(PaintBox1);
    ScrollBar4 = new QScrollBar(Qt::Horizontal, central);
    ScrollBar4->setObjectName(QStringLiteral("ScrollBar4"));
    ScrollBar4->setRange(0, 1);
    previewColumn->addWidget(Bevel1, 1);
    previewColumn->addWidget(ScrollBar4);
    previewRow->addLayout(previewColumn, 1);

    auto* bars = new QGridLayout;
    bars->setHorizontalSpacing(2);
    bars->setVerticalSpacing(2);
    ScrollBar6 = makeVerticalBar(QStringLiteral("ScrollBar6"), 0, 200, 0, 1);
    ScrollBar3 = makeVerticalBar(QStringLiteral("ScrollBar3"), 2, 16, 5, 1);
    ScrollBar1 = makeVerticalBar(QStringLiteral("ScrollBar1"), 6, 32, 20, 1);
    ScrollBar2 = makeVerticalBar(QStringLiteral("ScrollBar2"), 0, 255, 128, 25);
    ScrollBar5 = makeVerticalBar(QStringLiteral("ScrollBar5"), 1, 30, 10, 5);
    ScrollBar8 = makeVerticalBar(QStringLiteral("ScrollBar8"), 1, 10, 10, 5);
    Image10 = makeIcon(QStringLiteral("Image10"), int(IconKind::DotsInLine));
    Image9 = makeIcon(QStringLiteral("Image9"), int(IconKind::DotsScattered));
    Image1 = makeIcon(QStringLiteral("Image1"), int(IconKind::CellsSmall));
    Image6 = makeIcon(QStringLiteral("Image6"), int(IconKind::CellsLarge));
    Image2 = makeIcon(QStringLiteral("Image2"), int(IconKind::LetterSmall));
    Image3 = makeIcon(QStringLiteral("Image3"), int(IconKind::LetterLarge));
    Image15 = makeIcon(QStringLiteral("Image15"), int(IconKind::LogoSmall));
    Image14 = makeIcon(QStringLiteral("Image14"), int(IconKind::LogoLarge));
    Image4 = makeIcon(QStringLiteral("Image4"), int(IconKind::ThresholdLow));
    Image5 = makeIcon(QStringLiteral("Image5"), int(IconKind::ThresholdHigh));
    Image7 = makeIcon(QStringLiteral("Image7"), int(IconKind::DensityLow));
    Image8 = makeIcon(QStringLiteral("Image8"), int(IconKind::DensityHigh));
    // Each column: icon, bar, icon. The density bar shares the threshold bar's place and
    // the logo size bar the font size bar's; only one of each pair is shown.
    const struct {
        QLabel* above;
        QScrollBar* bar;
        QLabel* below;
        int column;
    } places[] = {{Image10, ScrollBar6, Image9, 0}, {Image1, ScrollBar3, Image6, 1},
                  {Image2, ScrollBar1, Image3, 2},  {Image15, ScrollBar8, Image14, 2},
                  {Image4, ScrollBar2, Image5, 3},  {Image7, ScrollBar5, Image8, 3}};
    for (const auto& p : places) {
        bars->addWidget(p.above, 0, p.column, Qt::AlignHCenter);
        bars->addWidget(p.bar, 1, p.column, Qt::AlignHCenter);
        bars->addWidget(p.below, 2, p.column, Qt::AlignHCenter);
    }
    bars->setRowStretch(1, 1);
    previewRow->addLayout(bars);
    column->addLayout(previewRow, 1);

    Memo1 = new QPlainTextEdit(central);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);
    const struct {
        QLabel** label;
        const char* text;
        int width;
    } panels[] = {{&StatusPanel0, "Font Dots: ??", 120},
                  {&StatusPanel1, "Dot grid: ???", 220},
                  {&StatusPanel2, "Image size: ???", 200}};
    int index = 0;
    for (const auto& p : panels) {
        auto* label = new QLabel(QString::fromUtf8(p.text), status);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(index++));
        label->setMinimumWidth(p.width);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(label);
        *p.label = label;
    }

    strip_ = std::make_unique<LedStrip>(shared_.ledImages, ScrollBox1);
    strip_->setFontHeight(-QFontInfo(font()).pixelSize());
}

void TForm1::createMenus()
{
    File1 = menuBar()->addMenu(QStringLiteral("File"));
    File1->setObjectName(QStringLiteral("File1"));
    NewProject1 = File1->addAction(QStringLiteral("New project"));
    NewProject1->setObjectName(QStringLiteral("NewProject1"));
    NewProject1->setShortcut(QKeySequence::New);
    LoadProject1 = File1->addAction(QStringLiteral("Load project"));
    LoadProject1->setObjectName(QStringLiteral("LoadProject1"));
    LoadProject1->setShortcut(QKeySequence::Open);
    Recent1 = File1->addMenu(QStringLiteral("Recent projects"));
    Recent1->setObjectName(QStringLiteral("Recent1"));
    OpenExample1 = File1->addAction(QStringLiteral("Open example…"));
    OpenExample1->setObjectName(QStringLiteral("OpenExample1"));
    connect(OpenExample1, &QAction::triggered, this, &TForm1::OpenExample1Click);
    SaveProject1 = File1->addAction(QStringLiteral("Save project"));
    SaveProject1->setObjectName(QStringLiteral("SaveProject1"));
    SaveProject1->setShortcut(QKeySequence::Save);
    SaveAs1 = File1->addAction(QStringLiteral("Save project as..."));
    SaveAs1->setObjectName(QStringLiteral("SaveAs1"));
    SaveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    File1->addSeparator();
    Render1 = File1->addAction(QStringLiteral("Render"));
    Render1->setObjectName(QStringLiteral("Render1"));
    Render1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    Inspect1 = File1->addAction(QStringLiteral("Inspect…"));
    Inspect1->setObjectName(QStringLiteral("Inspect1"));
    Inspect1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    // The inspector lays out what a render would: it is there whenever Render is.
    connect(Render1, &QAction::enabledChanged, Inspect1, &QAction::setEnabled);
    PrintPoster1 = File1->addAction(QStringLiteral("Print poster..."));
    PrintPoster1->setObjectName(QStringLiteral("PrintPoster1"));
    PrintPoster1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // A poster needs what a render needs.
    PrintPoster1->setEnabled(Render1->isEnabled());
    connect(Render1, &QAction::changed, this,
            [this] { PrintPoster1->setEnabled(Render1->isEnabled()); });
    connect(PrintPoster1, &QAction::triggered, this, &TForm1::PrintPoster1Click);
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(NewProject1, &QAction::triggered, this, &TForm1::NewProjectCommand);
    connect(LoadProject1, &QAction::triggered, this, &TForm1::Load1Click);
    connect(SaveProject1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);

    createEditMenu();

    Options1 = menuBar()->addMenu(QStringLiteral("Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    Information1 = Options1->addMenu(QStringLiteral("Information"));
    Information1->setObjectName(QStringLiteral("Information1"));
    unitGroup_ = new QActionGroup(this);
    unitGroup_->setExclusive(true);
    Inf1 = Information1->addAction(QStringLiteral("pixels"));
    Inf2 = Information1->addAction(QStringLiteral("inch"));
    Inf3 = Information1->addAction(QStringLiteral("cm"));
    int n = 1;
    for (QAction* a : {Inf1, Inf2, Inf3}) {
        a->setObjectName(QStringLiteral("Inf%1").arg(n++));
        a->setCheckable(true);
        unitGroup_->addAction(a);
    }
    Inf1->setChecked(true);
    Language1 = Options1->addAction(QStringLiteral("Change the language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    connect(Language1, &QAction::triggered, this, [this] {
        OpenDialog3.folder = programFolder_;
        if (const auto file = prompts_.chooseFileToOpen(OpenDialog3)) {
            if (!QFileInfo::exists(*file)) {
                prompts_.inform(shared_.text(30),
                                shared_.errorText(CannotOpen(file->toStdString())));
                return;
            }
            LoadLanguage(*file);
            RememberLanguageFile(languagePath_);
        }
    });

    Help1 = menuBar()->addMenu(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Webpage1 = Help1->addAction(QStringLiteral("Home page"));
    Webpage1->setObjectName(QStringLiteral("Webpage1"));
    Manual1 = Help1->addAction(QStringLiteral("Manual"));
    Manual1->setObjectName(QStringLiteral("Manual1"));
    Manual1->setShortcut(QKeySequence::HelpContents);
    connect(Webpage1, &QAction::triggered, this, &TForm1::Webpage1Click);
    connect(Manual1, &QAction::triggered, this, &TForm1::Manual1Click);
    Help1->addSeparator();
    About1 = Help1->addAction(QStringLiteral("About"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);

    // Every picture type at first; each kind of dialog then keeps the type last used.
    OpenDialog1.selectedFilter = 8;
    OpenDialog1.defaultSuffix = QStringLiteral("tga");
    OpenDialog2.defaultSuffix = QStringLiteral("led");
    SaveDialog1.defaultSuffix = QStringLiteral("led");
    SaveDialog1.fileName = QStringLiteral("untitled.led");
    OpenDialog3.defaultSuffix = QStringLiteral("lng");
    applyDialogTexts();
}

void TForm1::applyDialogTexts()
{
    // Before the first language file the design's words stand in.
    const auto text = [this](int n, const char* design) {
        const QString t = shared_.text(n);
        return t.isEmpty() ? QString::fromUtf8(design) : t;
    };
    const QString format = text(kStringFormatFile, "%1 file");
    const auto type = [](const QString& name, const char* patterns) {
        return name + QStringLiteral(" (") + QString::fromLatin1(patterns) + QLatin1Char(')');
    };
    const QString allFiles = type(text(kStringAllFiles, "All files"), "*");
    OpenDialog1.title = DialogTitle(text(77, "Open LED file"));
    OpenDialog1.filters = {type(text(kStringBitmapFile, "Bitmap file"), "*.bmp"),
                           type(format.arg(QStringLiteral("GIF")), "*.gif"),
                           type(format.arg(QStringLiteral("JPEG")), "*.jpg *.jpeg"),
                           type(format.arg(QStringLiteral("PCX")), "*.pcx"),
                           type(format.arg(QStringLiteral("RLE")), "*.rle"),
                           type(format.arg(QStringLiteral("Targa")), "*.tga"),
                           type(format.arg(QStringLiteral("PNG")), "*.png"),
                           type(format.arg(QStringLiteral("TIFF")), "*.tif *.tiff"),
                           type(text(kStringAllPictures, "All pictures"),
                                "*.bmp *.gif *.jpg *.jpeg *.pcx *.rle *.tga *.png *.tif *.tiff"),
                           allFiles};
    OpenDialog2.title = DialogTitle(text(78, "Load project"));
    OpenDialog2.filters = {type(text(kStringLedProject, "Led project"), "*.led"), allFiles};
    SaveDialog1.title = DialogTitle(text(80, "Save project"));
    SaveDialog1.filters = OpenDialog2.filters;
    OpenDialog3.title = DialogTitle(text(72, "Change the language"));
    OpenDialog3.filters = {type(text(kStringLanguageFiles, "Language"), "*.lng"), allFiles};
    FontDialog1Title = DialogTitle(text(kStringFont, "Font"));
}

} // namespace lumexa
