// A main window for a test: the shared state, scripted prompts, English.lng from the
// build's program folder, and small picture files written on demand.
#pragma once

#include "app/main_window/main_window.h"
#include "app/program_memory.h"
#include "app/scripted_prompts.h"
#include "app/shared_state.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace lumexa
{

// Each test program keeps its remembered settings in a folder of its own, so that test
// programs running side by side cannot forget or overwrite each other's settings.
inline void UseOwnSettingsFolder()
{
    static QTemporaryDir folder;
    static const bool set = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
        return true;
    }();
    (void)set;
}

struct WindowFixture {
    // `remembered`: start with what an earlier window of the test remembered, as a later
    // start of the program would.
    explicit WindowFixture(bool remembered = false)
    {
        // Remembered settings go to Qt's test location, and each test starts without any.
        QStandardPaths::setTestModeEnabled(true);
        UseOwnSettingsFolder();
        if (!remembered)
            ForgetEverything();
        window = std::make_unique<TForm1>(shared, prompts);
        window->setProgramFolder(QStringLiteral(LUMEXA_BIN));
        window->FormActivate();
    }

    // A PNG of the given size and colour in the fixture's folder.
    QString picture(const QString& name, int width, int height, QColor colour = Qt::red)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = folder.filePath(name);
        image.save(path);
        return path;
    }

    // Adds LED images of width x height through the Add button.
    void addLeds(int count, int width = 20, int height = 10)
    {
        for (int i = 0; i < count; ++i) {
            prompts.files.enqueue(picture(QStringLiteral("led%1.png").arg(shared.ledImages.count()),
                                          width, height,
                                          QColor::fromHsv((i * 40) % 360, 255, 255)));
            window->Button1Click(window->Button1);
        }
    }

    QString text(int n) const { return shared.text(n); }

    // Shows the window, or makes it the active one again, so that keys reach it.
    void activate()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
    }

    QTemporaryDir folder;
    TForm4 shared;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> window;
};

} // namespace lumexa
