// The main window's wiring, its creation and activation, the page
// switch, "Clear" and the style buttons.
#include "app/main_window/main_window.h"

#include "app/main_window/language_captions.h"
#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/program_memory.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/base/data_folder.h"
#include "core/project/tags.h"
#include "text/qt_glyph_rasterizer.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTranslator>

#include <algorithm>

namespace lumexa
{

namespace
{

QString englishFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("English.lng"));
}

} // namespace

QString LanguageLocale(const QString& languageFile)
{
    const QString name = QFileInfo(languageFile).completeBaseName().toLower();
    if (name == QStringLiteral("polski") || name == QStringLiteral("polish"))
        return QStringLiteral("pl");
    if (name == QStringLiteral("english"))
        return QStringLiteral("en");
    return {};
}

TForm1::TForm1(TForm4& shared, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), shared_(shared), prompts_(prompts),
      rasterizer_(std::make_unique<QtGlyphRasterizer>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("LUMEXA•••"));
    // The language files and manuals lie beside the program, or in the installed share
    // folder.
    createControls();
    createMenus();
    setProgramFolder(QString::fromStdString(
        ResolveDataFolder(QCoreApplication::applicationDirPath().toStdString())));
    resize(640, 578);
    setMinimumSize(640, 540);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    restoreGeometry(RememberedWindowGeometry());
    fitToScreen();
    setAcceptDrops(true);
    FormCreate();
}

TForm1::~TForm1()
{
    // The stack empties itself as it goes, after the menu's actions are gone.
    undoStack_->disconnect(this);
}

void TForm1::setProgramFolder(const QString& folder)
{
    programFolder_ = folder;
    shared_.programFiles.dataFolder = QFile::encodeName(programFolder_).toStdString();
    shared_.programFiles.settingsFile = QFile::encodeName(SettingsFileName()).toStdString();
    examplesFolder_ = QString::fromStdString(FindExamplesFolder(folder.toStdString()));
    // Add and Load start in the examples until the user has taken a file elsewhere (the
    // dialogs remember that folder); Save starts where projects are kept.
    const QString start = examplesFolder_.isEmpty() ? programFolder_ : examplesFolder_;
    OpenDialog1.folder = start;
    OpenDialog2.folder = start;
    SaveDialog1.folder = programFolder_;
}

void TForm1::fitToScreen()
{
    // A small screen, or a large scale factor, leaves less room than the designed size:
    // the window then takes what there is, and its title bar stays on the screen.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame is known only once the window is shown; a title bar's height is assumed.
    const int titleBar = std::max(frameGeometry().height() - height(),
                                  style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8);
    const int border = std::max((frameGeometry().width() - width()) / 2, 4);
    const QSize room(available.width() - 2 * border, available.height() - titleBar - border);
    setMinimumSize(minimumSize().boundedTo(room));
    resize(size().boundedTo(room));
    const int outerWidth = width() + 2 * border;
    const int outerHeight = height() + titleBar + border;
    QPoint place = pos();
    place.setX(
        std::clamp(place.x(), available.left(),
                   std::max(available.left(), available.x() + available.width() - outerWidth)));
    place.setY(
        std::clamp(place.y(), available.top(),
                   std::max(available.top(), available.y() + available.height() - outerHeight)));
    move(place);
}

void TForm1::FormCreate()
{
    buildPreviewEnabled = false;
    PaintBox1->setCanvas(QImage());
    Panel1->hide();
    Render1->setEnabled(false);
    SpeedButton7->setEnabled(false);
    SpeedButton6->setEnabled(false);
    SpeedButton5->setEnabled(false);
    Image7->hide();
    Image8->hide();
    ScrollBar5->hide();
    ScrollBar8->hide();
    Image14->hide();
    Image15->hide();

    const QStringList families = QFontDatabase::families();
    ListBox1->addItems(families);
    const QString windowFace = QFontInfo(font()).family();
    for (int i = families.size() - 1; i >= 0; --i) {
        if (families.at(i) == windowFace) {
            ListBox1->setCurrentRow(i);
            break;
        }
    }
    if (ListBox1->currentRow() < 0 && ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    ListBox1->scrollToItem(ListBox1->currentItem(), QAbstractItemView::PositionAtCenter);

    makeWiring();
    PageControl1->setCurrentIndex(0);
    buildPreviewEnabled = true;
}

void TForm1::makeWiring()
{
    // Each change recomputes first; the step it makes takes the settings the recompute
    // left (the threshold's range follows the text).
    connect(PaintBox1, &PreviewBox::resized, this, &TForm1::PrewkaS);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::PrewkaS);
    connect(Edit1, &QLineEdit::textEdited, this,
            [this] { recordTyping(Edit1, recorded_.text, textRun_, {kStringStepTyping}); });
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2, ScrollBar3, ScrollBar4, ScrollBar5, ScrollBar6,
                            ScrollBar7, ScrollBar8}) {
        connect(bar, &QScrollBar::valueChanged, this, &TForm1::PrewkaS);
        connect(bar, &QScrollBar::valueChanged, this, [this, bar] { recordBar(bar); });
        bar->installEventFilter(this);
    }
    for (QAction* a : {Inf1, Inf2, Inf3})
        connect(a, &QAction::triggered, this, &TForm1::PrewkaS);
    connect(MaskEdit1, &QLineEdit::textChanged, this, &TForm1::PrewkaS);
    connect(MaskEdit1, &QLineEdit::textEdited, this,
            [this] { recordTyping(MaskEdit1, recorded_.seedText, seedRun_, {79}); });
    Edit1->installEventFilter(this);
    MaskEdit1->installEventFilter(this);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TForm1::PrewkaS);
    connect(ListBox1, &QListWidget::currentRowChanged, this,
            [this] { recordSettings({kStringFont}); });
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::PrewkaS);
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { recordSettings({84}); });
    connect(styleGroup, &QButtonGroup::buttonClicked, this, &TForm1::SpeedButton1Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TForm1::BitBtn1Click);
    for (QPushButton* b : {Button1, Button2, Button3})
        connect(b, &QPushButton::clicked, this, [this, b] { Button1Click(b); });
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(strip_.get(), &LedStrip::ledClicked, this, &TForm1::LedImageClick);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormActivate();
    }
}

void TForm1::About1Click()
{
    emit aboutRequested();
    ReturnFromModalWindow();
}

void TForm1::ReturnFromModalWindow()
{
    // The main window is active again: the user's language and text stay.
    LoadLanguage(languagePath_);
}

void TForm1::FormActivate()
{
    const QString remembered = RememberedLanguageFile();
    LoadLanguage(remembered.isEmpty() ? englishFile(programFolder_) : remembered);
    Edit1->setText(shared_.text(35));
    projectPath_.clear();
    pathForms_ = {};
    markSaved();
    startHistory();
    fillRecentMenu();
    showEmptyStartHint();
}

void TForm1::LoadLanguage(const QString& path)
{
    // English goes first, so that a language file lacking newer strings still shows them;
    // a file that is gone leaves English.
    const QString english = englishFile(programFolder_);
    const QString chosen = !path.isEmpty() && QFileInfo::exists(path) ? path : english;
    try {
        shared_.languageStrings.LoadLanguage(english.toStdString());
        if (chosen != english)
            shared_.languageStrings.LoadLanguage(chosen.toStdString());
        languagePath_ = chosen;
        shared_.programFiles.languageFile = QFile::encodeName(chosen).toStdString();
    } catch (const std::exception& e) {
        prompts_.inform(shared_.text(30), shared_.errorText(e));
    }
    ApplyCaptions(*this, shared_.languageStrings);
    applyDialogTexts();
    loadQtTranslations(chosen);
    updateToolTips();
    retextSteps();
    showEmptyStartHint();
    // The captions put placeholders in the status bar: the recompute fills it again, or,
    // while recomputes rest behind a modal window or the text cannot be laid out, the
    // figures of the last good preview come back.
    BuildPreview();
    showStatus();
}

void TForm1::loadQtTranslations(const QString& languageFile)
{
    // The dialogs' own buttons follow the language as far as Qt ships it.
    const QString locale = LanguageLocale(languageFile);
    if (qtTranslator_) {
        QCoreApplication::removeTranslator(qtTranslator_.get());
        qtTranslator_.reset();
    }
    if (locale.isEmpty() || locale == QStringLiteral("en"))
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + locale,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qtTranslator_ = std::move(translator);
    }
}

void TForm1::PageControl1Change()
{
    if (PageControl1->currentIndex() == 1) {
        if (SpeedButton6->isChecked())
            SpeedButton1->setChecked(true);
        SpeedButton6->setEnabled(false);
        ScrollBar1->setEnabled(false);
        ScrollBar1->hide();
        Image2->hide();
        Image3->hide();
        ScrollBar8->show();
        Image14->show();
        Image15->show();
    } else {
        SpeedButton6->setEnabled(shared_.ledImages.count() >= 2);
        ScrollBar1->setEnabled(true);
        ScrollBar1->show();
        Image2->show();
        Image3->show();
        ScrollBar8->hide();
        Image14->hide();
        Image15->hide();
        Render1->setEnabled(false);
    }
    BuildPreview();
    recordSettings({kStringStepPage, {}, 81 + PageControl1->currentIndex()});
}

void TForm1::Button4Click()
{
    Edit1->setText(QString::fromStdU32String(StripAllTags(Edit1->text().toStdU32String())));
    recordSettings({kStringStepClearTags});
}

int TForm1::styleNumber() const
{
    int style = 1;
    const QToolButton* buttons[] = {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4,
                                    SpeedButton5, SpeedButton6, SpeedButton7};
    for (int i = 0; i < 7; ++i)
        if (buttons[i]->isChecked())
            style = i + 1;
    return style;
}

void TForm1::SpeedButton1Click()
{
    const int count = shared_.ledImages.count();
    if (SpeedButton5->isChecked() && count < 2) {
        prompts_.inform(shared_.text(30), shared_.text(40));
        SpeedButton1->setChecked(true);
    } else if (SpeedButton6->isChecked() && count < 2) {
        prompts_.inform(shared_.text(30), shared_.text(41));
        SpeedButton1->setChecked(true);
    }
    ShowDensityBar(SpeedButton4->isChecked());
    BuildPreview();
    recordSettings({kStringStepStyle, {}, 45 + styleNumber()});
}

void TForm1::ShowDensityBar(bool points)
{
    // The density bar stands in the threshold bar's place in the Points style.
    ScrollBar5->setVisible(points);
    Image7->setVisible(points);
    Image8->setVisible(points);
    ScrollBar2->setVisible(!points);
    Image4->setVisible(!points);
    Image5->setVisible(!points);
}

void TForm1::BitBtn1Click()
{
    const uint32_t seed =
        NewSeed(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()), random_.gen);
    MaskEdit1->setText(QStringLiteral("%1").arg(seed, 8, 10, QLatin1Char('0')));
    recordSettings({79});
}

SizeUnit TForm1::sizeUnit() const
{
    if (Inf3->isChecked())
        return SizeUnit::Cm;
    if (Inf2->isChecked())
        return SizeUnit::Inch;
    return SizeUnit::Pixels;
}

ProjectSettings TForm1::settingsFromControls() const
{
    ProjectSettings s;
    s.scale.setPosition(ScrollBar3->value());
    s.fontSize.setPosition(ScrollBar1->value());
    s.brightnes.setRange(ScrollBar2->minimum(), ScrollBar2->maximum());
    s.brightnes.setPosition(ScrollBar2->value());
    s.density.setPosition(ScrollBar5->value());
    s.shufle.setPosition(ScrollBar6->value());
    s.kerning.setPosition(ScrollBar7->value());
    s.logoSize.setPosition(ScrollBar8->value());
    s.text = Edit1->text().toStdString();
    if (const QListWidgetItem* item = ListBox1->currentItem())
        s.fontName = item->text().toStdString();
    s.seedText = MaskEdit1->text().toStdString();
    s.logoInvert = CheckBox1->isChecked();
    s.activePage = PageControl1->currentIndex();
    s.previewButton = styleNumber();
    return s;
}

void TForm1::setLedCommands()
{
    // The styles and Render that need an unlit and a lit LED image.
    const int count = shared_.ledImages.count();
    if (count < 2) {
        Render1->setEnabled(false);
        SpeedButton7->setEnabled(false);
        SpeedButton6->setEnabled(false);
        SpeedButton5->setEnabled(false);
    } else {
        SpeedButton7->setEnabled(true);
        SpeedButton6->setEnabled(PageControl1->currentIndex() == 0);
        SpeedButton5->setEnabled(true);
        if (!Edit1->text().isEmpty())
            Render1->setEnabled(true);
    }
}

} // namespace lumexa
