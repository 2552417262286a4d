// Makes the manual's pictures from the program itself: it starts the real main and render
// windows on the offscreen platform, walks through the tutorial with the example LED
// pictures, and saves what the windows show at each step (cut to the part the step is
// about, with numbered callouts), the poster it prints, the preview in every style and
// crops of rendered results. Run at build time, so that the manual always shows the
// windows as they are built.
//
// usage: manual_pictures PROGRAM_FOLDER LANGUAGE.lng EXAMPLES_FOLDER OUTPUT_FOLDER
//                        RENDER_FOLDER PDFTOPPM
// The render results go to RENDER_FOLDER, emptied first and removed at the end; the pages
// of the poster are drawn from its PDF with poppler's pdftoppm.
#include "app/main_window/led_strip.h"
#include "app/main_window/main_window.h"
#include "app/poster_window/poster_window.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "tools/manual_picture_drawing.h"
#include "tools/tool_prompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lumexa
{
namespace
{

// A step that cannot be taken: the message names the step and the control.
struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Controls are found by their object names, which stay put when a window's layout or
// members change.
template <typename T> T* Control(QWidget* window, const char* name)
{
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw StepFailed(std::string("no control named ") + name + " in " +
                         window->objectName().toStdString());
    return control;
}

// The size of the tutorial's result in pixels: its dot grid times the example LED
// pictures' 16 pixels.
constexpr QSize kTutorialResult(1760, 320);

// Lets the windows settle: pending layouts, resizes and recomputes.
void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Lets the windows work while `busy` holds; a hung run must not hang the build.
void WaitWhile(const std::function<bool()>& busy, const std::string& what)
{
    QElapsedTimer clock;
    clock.start();
    while (busy() && clock.elapsed() < 120000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (busy())
        throw StepFailed(what + " did not finish");
    Settle();
}

class PictureTour
{
  public:
    PictureTour(const QString& programFolder, const QString& languageFile, const QString& examples,
                const QString& output, const QString& pdftoppm)
        : languageFile_(languageFile), examples_(examples), output_(output), pdftoppm_(pdftoppm),
          main_(shared_, prompts_), render_(shared_, prompts_, &main_)
    {
        main_.setProgramFolder(programFolder);
        main_.setRenderWindow(&render_);
    }

    void run()
    {
        main_.show();
        Settle();
        useLanguage();
        auto* text = Control<QLineEdit>(&main_, "Edit1");
        auto* strip = Control<QWidget>(&main_, "ScrollBox1");
        auto* preview = Control<QWidget>(&main_, "Bevel1");
        const QRect styleRow = RectIn(&main_, styleButtons());
        const QRect stripRow = RectIn(&main_, {strip, Control<QWidget>(&main_, "Button1"),
                                               Control<QWidget>(&main_, "Button5")});
        save(main_, "step-start", main_.rect(),
             {{RectIn(&main_, Control<QWidget>(&main_, "PageControl1")), CalloutSide::Left},
              {RectIn(&main_, strip), CalloutSide::Right},
              {RectIn(&main_, text), CalloutSide::Left},
              {styleRow, CalloutSide::Left},
              {RectIn(&main_, preview), CalloutSide::Left},
              {RectIn(&main_, {Control<QWidget>(&main_, "ScrollBar6"),
                               Control<QWidget>(&main_, "ScrollBar2")}),
               CalloutSide::Right}});

        // Type a text.
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("Lumexa LED"));
        Settle();
        save(main_, "step-text", RectIn(&main_, {text, preview}),
             {{RectIn(&main_, text), CalloutSide::Left},
              {RectIn(&main_, preview), CalloutSide::Left}});

        // Choose a font.
        auto* fonts = Control<QListWidget>(&main_, "ListBox1");
        const QList<QListWidgetItem*> found =
            fonts->findItems(QStringLiteral("DejaVu Serif"), Qt::MatchExactly);
        QListWidgetItem* font = found.isEmpty() ? fonts->item(0) : found.first();
        if (!font)
            throw StepFailed("the font list is empty");
        fonts->scrollToItem(font, QAbstractItemView::PositionAtCenter);
        QTest::mouseClick(fonts->viewport(), Qt::LeftButton, {},
                          fonts->visualItemRect(font).center());
        Settle();
        const QRect item(fonts->viewport()->mapTo(&main_, fonts->visualItemRect(font).topLeft()),
                         fonts->visualItemRect(font).size());
        save(main_, "step-font", RectIn(&main_, {Control<QWidget>(&main_, "PageControl1"), text}),
             {{item, CalloutSide::Right}, {RectIn(&main_, text), CalloutSide::Left}});

        // Add the example LED pictures: the unlit LED first, then the lit ones.
        for (const char* led : {"unlit", "red", "amber", "green", "blue"}) {
            prompts_.files.enqueue(example(QStringLiteral("leds/%1.png").arg(led)));
            QTest::mouseClick(Control<QAbstractButton>(&main_, "Button1"), Qt::LeftButton);
            Settle();
        }
        // Wide enough for the whole strip, from the unlit LED to the one added last.
        const QSize size = main_.size();
        main_.resize(size.width() + 320, size.height());
        Settle();
        main_.strip()->scrollTo(0);
        Settle();
        save(main_, "step-leds",
             RectIn(&main_, {strip, Control<QWidget>(&main_, "Button1"),
                             Control<QWidget>(&main_, "Button5")}),
             {{RectIn(&main_, Control<QWidget>(&main_, "Button1")), CalloutSide::Left},
              {ledRect(0), CalloutSide::Above},
              {ledRect(4), CalloutSide::Above}});
        main_.resize(size);
        main_.strip()->scrollTo(1 << 20); // back to the end, where adding left it
        Settle();

        // Tag "exa" with the amber LED: select the letters, then click LED picture 2.
        text->setFocus();
        text->setSelection(3, 3);
        clickLed(2);
        if (!text->text().contains(QStringLiteral("[&+02]exa[&-02]")))
            throw StepFailed("clicking LED picture 2 did not tag the selected letters: " +
                             text->text().toStdString());
        save(main_, "step-tag", stripRow | RectIn(&main_, text),
             {{ledRect(2), CalloutSide::Above}, {RectIn(&main_, text), CalloutSide::Left}});

        // Pick the Preview style: every letter with the LED picture its tag gives it.
        auto* previewStyle = Control<QAbstractButton>(&main_, "SpeedButton6");
        QTest::mouseClick(previewStyle, Qt::LeftButton);
        Settle();
        save(main_, "step-style", styleRow | RectIn(&main_, preview),
             {{RectIn(&main_, previewStyle), CalloutSide::Above},
              {RectIn(&main_, preview), CalloutSide::Left}});

        // Open the render window, render, and look at the result.
        renderSession([this] { tutorialRender(); });

        // Print it as a banner a metre wide.
        posterSession();

        // The options need LED pictures with alpha pictures: the example project has them.
        prompts_.files.enqueue(example(QStringLiteral("text.led")));
        Control<QAction>(&main_, "LoadProject1")->trigger();
        useLanguage();
        renderSession([this] { optionPairs(); });
        styles();
        logoPage();
        prompts_.checkNoMessages();
        prompts_.checkAllUsed();
    }

  private:
    QString example(const QString& name) const { return QDir(examples_).filePath(name); }

    void useLanguage()
    {
        if (QFileInfo(languageFile_).fileName() != QStringLiteral("English.lng"))
            main_.LoadLanguage(languageFile_);
        Settle();
        prompts_.checkNoMessages();
    }

    void save(const QImage& image, const char* name)
    {
        const QString path = QDir(output_).filePath(QString::fromLatin1(name) + ".png");
        if (!image.save(path))
            throw StepFailed("cannot write " + path.toStdString());
    }
    void save(QWidget& window, const char* name)
    {
        prompts_.checkNoMessages();
        save(window.grab().toImage(), name);
    }
    // The part of the window a step is about, with the numbers the text refers to.
    void save(QWidget& window, const char* name, const QRect& area,
              const std::vector<Callout>& callouts)
    {
        prompts_.checkNoMessages();
        save(WithCallouts(window.grab().toImage(), area, callouts), name);
    }

    std::vector<const QWidget*> styleButtons()
    {
        std::vector<const QWidget*> buttons;
        for (int i = 1; i <= 7; ++i)
            buttons.push_back(
                Control<QWidget>(&main_, ("SpeedButton" + QByteArray::number(i)).constData()));
        return buttons;
    }

    QRect ledRect(int n)
    {
        const StripEntry* entry = main_.strip()->entry(n);
        if (!entry)
            throw StepFailed("the strip has no LED picture " + std::to_string(n));
        return RectIn(&main_, entry->panel);
    }

    void clickLed(int n)
    {
        const StripEntry* entry = main_.strip()->entry(n);
        if (!entry)
            throw StepFailed("the strip has no LED picture " + std::to_string(n));
        QTest::mouseClick(entry->panel, Qt::LeftButton);
        Settle();
    }

    // Runs `steps` while File > Render shows the render window modally, then leaves it
    // with its Exit button. Closing it brings English back, as it does for the user.
    void renderSession(std::function<void()> steps)
    {
        QTimer::singleShot(0, [this, &steps] {
            try {
                Settle();
                steps();
            } catch (const std::exception& e) {
                tourError_ = QString::fromStdString(e.what());
            }
            QTest::mouseClick(Control<QAbstractButton>(&render_, "Button1"), Qt::LeftButton);
            if (render_.isVisible())
                render_.reject();
        });
        Control<QAction>(&main_, "Render1")->trigger();
        if (!tourError_.isEmpty())
            throw StepFailed(tourError_.toStdString());
        useLanguage();
    }

    // Chooses a destination, presses Render, waits for the run and reads the result. The
    // name is relative to the render folder, the current one, so that the window shows a
    // file name as a reader's would be and no folder of the build.
    QImage renderTo(const QString& name)
    {
        const QString path = name + ".png";
        prompts_.files.enqueue(path);
        QTest::mouseClick(Control<QAbstractButton>(&render_, "BitBtn1"), Qt::LeftButton);
        auto* renderButton = Control<QAbstractButton>(&render_, "Button2");
        if (!renderButton->isEnabled())
            throw StepFailed("Render is not enabled after choosing " + path.toStdString());
        QTest::mouseClick(renderButton, Qt::LeftButton);
        WaitWhile([this] { return render_.runActive(); }, "the render of " + path.toStdString());
        prompts_.checkNoMessages();
        QImage image(path);
        if (image.isNull())
            throw StepFailed("the render wrote no readable " + path.toStdString());
        return image;
    }

    void tutorialRender()
    {
        const std::vector<Callout> overview = {
            {RectIn(&render_, Control<QWidget>(&render_, "GroupBox2")), CalloutSide::Left},
            {RectIn(&render_, Control<QWidget>(&render_, "RadioGroup1")), CalloutSide::Left},
            {destination(), CalloutSide::Left},
            {RectIn(&render_, Control<QWidget>(&render_, "Memo1")), CalloutSide::Left},
            {RectIn(&render_, Control<QWidget>(&render_, "Panel1")), CalloutSide::Right},
            {RectIn(&render_, Control<QWidget>(&render_, "GroupBox1")), CalloutSide::Right},
            {RectIn(&render_, Control<QWidget>(&render_, "Button2")), CalloutSide::Right},
            {RectIn(&render_, Control<QWidget>(&render_, "PrintSizeBox")), CalloutSide::Left}};
        save(render_, "step-render-window", render_.rect(), overview);
        const QImage result = renderTo(QStringLiteral("lumexa"));
        // The manual's worked example of the print size counts with these figures.
        if (result.size() != kTutorialResult)
            throw StepFailed("the tutorial's result is " + std::to_string(result.width()) + " x " +
                             std::to_string(result.height()) +
                             " pixels; the manual's example of the print size counts with " +
                             std::to_string(kTutorialResult.width()) + " x " +
                             std::to_string(kTutorialResult.height()));
        auto* bitBtn = Control<QWidget>(&render_, "BitBtn1");
        const QRect area =
            RectIn(&render_,
                   {Control<QWidget>(&render_, "Label2"), Control<QWidget>(&render_, "Memo1"),
                    Control<QWidget>(&render_, "Panel1"), Control<QWidget>(&render_, "Button2")});
        save(render_, "step-rendered", area,
             {{RectIn(&render_, bitBtn), CalloutSide::Above},
              {RectIn(&render_, Control<QWidget>(&render_, "Button2")), CalloutSide::Above},
              {RectIn(&render_, Control<QWidget>(&render_, "Memo1")), CalloutSide::Left},
              {RectIn(&render_, Control<QWidget>(&render_, "Panel1")), CalloutSide::Right}});
        save(Opaque(result.copy(0, 0, std::min(result.width(), 760), result.height())),
             "step-result");
    }

    QRect destination()
    {
        return RectIn(&render_,
                      {Control<QWidget>(&render_, "Edit1"), Control<QWidget>(&render_, "BitBtn1")});
    }

    // File > Print poster with the tutorial's result a metre wide: the window, then the
    // poster it prints, its overview page and one sheet as a PDF viewer shows them.
    void posterSession()
    {
        QTimer::singleShot(0, [this] {
            auto* window = main_.findChild<PosterWindow*>();
            try {
                if (!window)
                    throw StepFailed("File > Print poster showed no poster window");
                posterSteps(*window);
            } catch (const std::exception& e) {
                tourError_ = QString::fromStdString(e.what());
            }
            if (window) {
                QTest::mouseClick(window->CloseButton, Qt::LeftButton);
                if (window->isVisible())
                    window->reject();
            }
        });
        Control<QAction>(&main_, "PrintPoster1")->trigger();
        if (!tourError_.isEmpty())
            throw StepFailed(tourError_.toStdString());
        useLanguage();
    }

    void posterSteps(PosterWindow& window)
    {
        // The window's own timer runs while it lays out, samples its picture or prints.
        auto* timer = window.findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        const auto busy = [&window, timer] {
            return !window.laidOut() || window.printing() || (timer && timer->isActive());
        };
        WaitWhile(busy, "the poster window's layout");
        window.SizeEdit->setFocus();
        QTest::keyClicks(window.SizeEdit, QStringLiteral("100cm"));
        WaitWhile(busy, "the poster window's plan");
        if (!window.plan())
            throw StepFailed("the poster window plans no poster: " +
                             window.SummaryLabel->text().toStdString());
        const auto field = [&window](const char* label, std::vector<const QWidget*> controls) {
            controls.push_back(Control<QWidget>(&window, label));
            return RectIn(&window, controls);
        };
        save(window, "step-poster", window.rect(),
             {{field("PaperLabel", {window.PaperBox, window.PaperEdit}), CalloutSide::Left},
              {field("OrientationLabel", {window.OrientationBox}), CalloutSide::Left},
              {RectIn(&window, {window.SizeKindBox, window.SizeEdit}), CalloutSide::Left},
              {field("MarginLabel", {window.MarginEdit, window.OverlapEdit}), CalloutSide::Left},
              {RectIn(&window, window.PreviewPanel), CalloutSide::Right},
              {RectIn(&window, window.SummaryLabel), CalloutSide::Right},
              {RectIn(&window, window.PrintButton), CalloutSide::Right}});

        const QString pdf = QStringLiteral("poster.pdf");
        prompts_.files.enqueue(pdf);
        QTest::mouseClick(window.PrintButton, Qt::LeftButton);
        WaitWhile(busy, "the poster's print");
        prompts_.checkNoMessages();
        if (!QFileInfo(pdf).size())
            throw StepFailed("the poster window wrote no " + pdf.toStdString());
        save(AsPaper(pdfPage(pdf, 1)), "poster-overview");
        save(AsPaper(pdfPage(pdf, 2)), "poster-sheet");
    }

    // One page of a PDF as poppler draws it, at a resolution that shows a sheet whole.
    QImage pdfPage(const QString& pdf, int page)
    {
        const QString prefix = QStringLiteral("page-%1").arg(page);
        const QString number = QString::number(page);
        QProcess pdftoppm;
        pdftoppm.start(pdftoppm_,
                       {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                        QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                        QStringLiteral("-singlefile"), pdf, prefix});
        if (!pdftoppm.waitForFinished(120000) || pdftoppm.exitStatus() != QProcess::NormalExit ||
            pdftoppm.exitCode() != 0)
            throw StepFailed("pdftoppm could not draw page " + number.toStdString() + " of " +
                             pdf.toStdString() + ": " +
                             QString::fromLocal8Bit(pdftoppm.readAllStandardError()).toStdString());
        QImage image(prefix + QStringLiteral(".png"));
        if (image.isNull())
            throw StepFailed("pdftoppm drew no page " + number.toStdString());
        return image;
    }

    void setOption(const char* name, bool on)
    {
        auto* box = Control<QAbstractButton>(&render_, name);
        // On the box itself: a short caption leaves the control's middle empty, and a
        // click there does nothing.
        const QPoint indicator(box->height() / 2, box->height() / 2);
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
        if (box->isChecked() != on)
            throw StepFailed(std::string("cannot set ") + name);
    }

    // Each option off and on, the others as the tutorial left them; the same corner of
    // both results side by side.
    void optionPairs()
    {
        struct Pair {
            const char* picture;
            const char* option;
            const char* other; // switched off first: mask and additive exclude each other
        };
        const Pair pairs[] = {{"option-mask", "CheckBox1", "CheckBox2"},
                              {"option-additive", "CheckBox2", "CheckBox1"},
                              {"option-rotation", "CheckBox3", nullptr},
                              {"option-background", "CheckBox4", nullptr}};
        // The foot of the L and the start of the u: lit and unlit LEDs side by side.
        constexpr QRect kCorner(16, 160, 128, 96);
        for (const Pair& pair : pairs) {
            auto* option = Control<QAbstractButton>(&render_, pair.option);
            const bool wasOn = option->isChecked();
            const bool otherWasOn =
                pair.other && Control<QAbstractButton>(&render_, pair.other)->isChecked();
            if (pair.other)
                setOption(pair.other, false);
            setOption(pair.option, false);
            const QImage off = renderTo(QString::fromLatin1(pair.picture) + "-off");
            setOption(pair.option, true);
            const QImage on = renderTo(QString::fromLatin1(pair.picture) + "-on");
            setOption(pair.option, wasOn);
            if (pair.other)
                setOption(pair.other, otherWasOn);
            save(OffAndOn(Opaque(off.copy(kCorner)), Opaque(on.copy(kCorner)), option->text(), 3),
                 pair.picture);
        }

        // The unlit LEDs transparent and opaque, as a viewer that shows transparency does.
        setOption("CheckBox4", true);
        auto* opacity = Control<QComboBox>(&render_, "BackgroundBox");
        const int chosen = opacity->currentIndex();
        for (const auto& [index, picture] :
             {std::pair{0, "background-transparent"}, std::pair{1, "background-opaque"}}) {
            opacity->setFocus();
            QTest::keyClick(opacity, index == 0 ? Qt::Key_Home : Qt::Key_End);
            if (opacity->currentIndex() != index)
                throw StepFailed(std::string("cannot choose ") + picture);
            const QString label = Control<QAbstractButton>(&render_, "CheckBox4")->text() +
                                  QStringLiteral(": ") + opacity->currentText();
            save(Labelled(OverCheckerboard(renderTo(QString::fromLatin1(picture)).copy(kCorner), 3),
                          label, 1),
                 picture);
        }
        opacity->setCurrentIndex(chosen);
    }

    // The preview of every style, cut to the words so the pictures compare at a glance,
    // enlarged so that single dots show, under the style button's caption.
    void styles()
    {
        static const char* names[] = {"flat",   "button",  "dot",   "points",
                                      "random", "preview", "bitmap"};
        auto* preview = Control<QWidget>(&main_, "PaintBox1");
        for (int i = 0; i < 7; ++i) {
            const QByteArray button = "SpeedButton" + QByteArray::number(i + 1);
            auto* style = Control<QAbstractButton>(&main_, button.constData());
            QTest::mouseClick(style, Qt::LeftButton);
            Settle();
            const QImage whole = preview->grab().toImage();
            const QImage words =
                TrimRows(whole.copy(0, 0, std::min(whole.width(), 260), whole.height()));
            save(Labelled(words, style->text(), 2), ("style-" + QByteArray(names[i])).constData());
        }
        QTest::mouseClick(Control<QAbstractButton>(&main_, "SpeedButton6"), Qt::LeftButton);
        Settle();
    }

    void logoPage()
    {
        auto* pages = Control<QTabWidget>(&main_, "PageControl1");
        QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {},
                          pages->tabBar()->tabRect(1).center());
        Settle();
        if (shared_.logo.loaded)
            prompts_.answers.enqueue(true); // replace the logo in use
        prompts_.files.enqueue(example(QStringLiteral("badge.png")));
        QTest::mouseClick(Control<QAbstractButton>(&main_, "Button7"), Qt::LeftButton);
        Settle();
        save(main_, "window-logo");
    }

    QString languageFile_;
    QString examples_;
    QString output_;
    QString pdftoppm_;
    TForm4 shared_;
    ToolPrompts prompts_;
    TForm1 main_;
    TForm3 render_;
    QString tourError_;
};

} // namespace
} // namespace lumexa

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: manual_pictures PROGRAM_FOLDER LANGUAGE.lng "
                             "EXAMPLES_FOLDER OUTPUT_FOLDER RENDER_FOLDER PDFTOPPM\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The same look on every machine, whatever the desktop's theme.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The windows remember languages, folders and recent projects; at build time they must
    // neither read the builder's own settings nor write into them.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    if (!QDir().mkpath(QString::fromLocal8Bit(argv[4]))) {
        std::fprintf(stderr, "Cannot create the folder %s\n", argv[4]);
        return 1;
    }
    QDir renders(QString::fromLocal8Bit(argv[5]));
    renders.removeRecursively();
    if (!QDir().mkpath(renders.path())) {
        std::fprintf(stderr, "Cannot create the folder %s\n", argv[5]);
        return 1;
    }
    // The results are named relative to their folder, as a reader's would be.
    const QString output = QDir(QString::fromLocal8Bit(argv[4])).absolutePath();
    QDir::setCurrent(renders.absolutePath());
    int status = 0;
    try {
        lumexa::PictureTour tour(QDir(QString::fromLocal8Bit(argv[1])).absolutePath(),
                                 QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath(),
                                 QDir(QString::fromLocal8Bit(argv[3])).absolutePath(), output,
                                 QString::fromLocal8Bit(argv[6]));
        tour.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "manual_pictures: %s\n", e.what());
        status = 1;
    }
    renders.removeRecursively();
    return status;
}
