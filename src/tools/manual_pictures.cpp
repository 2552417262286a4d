// Makes the manual's pictures from the program itself: it starts the real main and render
// windows on the offscreen platform, walks through the tutorial with the example LED
// pictures, and saves what the windows show at each step, the preview in every style and
// crops of rendered results. Run at build time, so that the manual always shows the
// windows as they are built.
//
// usage: manual_pictures PROGRAM_FOLDER LANGUAGE.lng EXAMPLES_FOLDER OUTPUT_FOLDER
//                        RENDER_FOLDER
// The render results go to RENDER_FOLDER, emptied first and removed at the end: its name
// shows in the render window's pictures, so it is the same at every build.
#include "app/main_window/led_strip.h"
#include "app/main_window/main_window.h"
#include "app/render_window/render_window.h"
#include "app/runs/backdrop.h"
#include "app/shared_state.h"
#include "tools/tool_prompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <utility>

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

// Lets the windows settle: pending layouts, resizes and recomputes.
void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Alpha is the render's coverage mark, not transparency meant for a page: a dot-free
// area would otherwise print as paper.
QImage Opaque(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] |= 0xff000000u;
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

// As a picture viewer shows a result: what has no coverage lets a checkerboard through,
// the one the render window draws. `scale` enlarges the pixels, not the squares.
QImage OverCheckerboard(const QImage& image, int scale)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size() * scale, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = argb.pixel(x / scale, y / scale);
            const uint8_t rgba[4] = {static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
                                     static_cast<uint8_t>(qBlue(c)),
                                     static_cast<uint8_t>(qAlpha(c))};
            row[x] = OverBackdrop(rgba, BackdropAt(Backdrop::Checkerboard, x, y));
        }
    }
    return out;
}

// The rows that differ from the top row's first pixel, and a few more: the preview's
// empty space above and below the text says nothing about a style.
QImage TrimRows(const QImage& image)
{
    constexpr int kMargin = 6;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb ground = rgb.pixel(0, 0);
    int top = rgb.height(), bottom = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (row[x] != ground) {
                top = std::min(top, y);
                bottom = y;
                break;
            }
    }
    if (bottom < 0)
        return rgb;
    top = std::max(0, top - kMargin);
    bottom = std::min(rgb.height() - 1, bottom + kMargin);
    return rgb.copy(0, top, rgb.width(), bottom - top + 1);
}

// Two crops side by side on a light ground, each enlarged so that single LEDs show.
QImage BeforeAfter(const QImage& before, const QImage& after, int scale)
{
    constexpr int kGap = 12;
    const QSize s = before.size() * scale;
    QImage pair(s.width() * 2 + kGap, s.height(), QImage::Format_RGB32);
    pair.fill(Qt::white);
    QPainter p(&pair);
    p.drawImage(QRect(QPoint(0, 0), s), before);
    p.drawImage(QRect(QPoint(s.width() + kGap, 0), s), after);
    return pair;
}

class PictureTour
{
  public:
    PictureTour(const QString& programFolder, const QString& languageFile, const QString& examples,
                const QString& output, const QString& renders)
        : languageFile_(languageFile), examples_(examples), output_(output), renders_(renders),
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
        save(main_, "step-start");

        // Type a text.
        auto* text = Control<QLineEdit>(&main_, "Edit1");
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("Lumexa LED"));
        Settle();
        save(main_, "step-text");

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
        save(main_, "step-font");

        // Add the example LED pictures: the unlit LED first, then the lit ones.
        for (const char* led : {"unlit", "red", "amber", "green", "blue"}) {
            prompts_.files.enqueue(example(QStringLiteral("leds/%1.png").arg(led)));
            QTest::mouseClick(Control<QAbstractButton>(&main_, "Button1"), Qt::LeftButton);
            Settle();
        }
        save(main_, "step-leds");

        // Tag "exa" with the amber LED: select the letters, then click LED picture 2.
        text->setFocus();
        text->setSelection(3, 3);
        clickLed(2);
        if (!text->text().contains(QStringLiteral("[&+02]exa[&-02]")))
            throw StepFailed("clicking LED picture 2 did not tag the selected letters: " +
                             text->text().toStdString());
        save(main_, "step-tag");

        // Pick the Preview style: every letter with the LED picture its tag gives it.
        QTest::mouseClick(Control<QAbstractButton>(&main_, "SpeedButton6"), Qt::LeftButton);
        Settle();
        save(main_, "step-style");

        // Open the render window, render, and look at the result.
        renderSession([this] {
            save(render_, "step-render-window");
            const QImage result = renderTo(QStringLiteral("lumexa"));
            save(render_, "step-rendered");
            save(Opaque(result.copy(0, 0, std::min(result.width(), 760), result.height())),
                 "step-result");
        });

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

    // Chooses a destination, presses Render, waits for the run and reads the result.
    QImage renderTo(const QString& name)
    {
        const QString path = QDir(renders_).filePath(name + ".png");
        prompts_.files.enqueue(path);
        QTest::mouseClick(Control<QAbstractButton>(&render_, "BitBtn1"), Qt::LeftButton);
        auto* renderButton = Control<QAbstractButton>(&render_, "Button2");
        if (!renderButton->isEnabled())
            throw StepFailed("Render is not enabled after choosing " + path.toStdString());
        QTest::mouseClick(renderButton, Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        // A hung run must not hang the build.
        while (render_.runActive() && clock.elapsed() < 120000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (render_.runActive())
            throw StepFailed("the render of " + path.toStdString() + " did not finish");
        Settle();
        prompts_.checkNoMessages();
        QImage image(path);
        if (image.isNull())
            throw StepFailed("the render wrote no readable " + path.toStdString());
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
            save(BeforeAfter(Opaque(off.copy(kCorner)), Opaque(on.copy(kCorner)), 3), pair.picture);
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
            save(OverCheckerboard(renderTo(QString::fromLatin1(picture)).copy(kCorner), 3),
                 picture);
        }
        opacity->setCurrentIndex(chosen);
    }

    // The preview of every style, cut to the words so the pictures compare at a glance.
    void styles()
    {
        static const char* names[] = {"flat",   "button",  "dot",   "points",
                                      "random", "preview", "bitmap"};
        auto* preview = Control<QWidget>(&main_, "PaintBox1");
        for (int i = 0; i < 7; ++i) {
            const QByteArray button = "SpeedButton" + QByteArray::number(i + 1);
            QTest::mouseClick(Control<QAbstractButton>(&main_, button.constData()), Qt::LeftButton);
            Settle();
            const QImage whole = preview->grab().toImage();
            save(TrimRows(whole.copy(0, 0, std::min(whole.width(), 300), whole.height())),
                 ("style-" + QByteArray(names[i])).constData());
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
    QString renders_;
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
    if (argc != 6) {
        std::fprintf(stderr, "usage: manual_pictures PROGRAM_FOLDER LANGUAGE.lng "
                             "EXAMPLES_FOLDER OUTPUT_FOLDER RENDER_FOLDER\n");
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
    const QString output = QString::fromLocal8Bit(argv[4]);
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "Cannot create the folder %s\n", argv[4]);
        return 1;
    }
    QDir renders(QString::fromLocal8Bit(argv[5]));
    renders.removeRecursively();
    if (!QDir().mkpath(renders.path())) {
        std::fprintf(stderr, "Cannot create the folder %s\n", argv[5]);
        return 1;
    }
    int status = 0;
    try {
        lumexa::PictureTour tour(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                 QString::fromLocal8Bit(argv[3]), output, renders.path());
        tour.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "manual_pictures: %s\n", e.what());
        status = 1;
    }
    renders.removeRecursively();
    return status;
}
