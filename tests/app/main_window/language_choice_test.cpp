// The language the user chose: it stays after the about and render windows close and at
// the next start, Qt's own dialog texts follow it, and the status bar is filled again
// after every change of language.
#include "app/window_fixture.h"

#include "app/program_memory.h"
#include "app/window_strings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace lumexa;

namespace
{

const QString kPolish = QStringLiteral(LUMEXA_BIN "/Polski.lng");

// Options > Change the language, answered with `file`.
void chooseLanguage(WindowFixture& f, const QString& file)
{
    f.prompts.files.enqueue(file);
    f.window->Language1->trigger();
}

bool statusBarFilled(const TForm1& w, const WindowFixture& f)
{
    return w.StatusPanel0->text() != f.text(85) && w.StatusPanel1->text() != f.text(86) &&
           !w.StatusPanel0->text().isEmpty();
}

} // namespace

class LanguageChoiceTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void statusBarIsFilledAfterEveryLanguageChange();
    void chosenLanguageStaysAfterWindowsAndRestarts();
    void qtDialogTextsFollowTheLanguage();
    void languageFileThatIsGoneFallsBackToEnglish();
};

void LanguageChoiceTest::statusBarIsFilledAfterEveryLanguageChange()
{
    WindowFixture f;
    TForm1& w = *f.window;
    QVERIFY(statusBarFilled(w, f));
    chooseLanguage(f, kPolish);
    QCOMPARE(w.Button1->text(), QStringLiteral("Dodaj"));
    QVERIFY(statusBarFilled(w, f));
    w.About1->trigger();
    QVERIFY(statusBarFilled(w, f));
}

void LanguageChoiceTest::chosenLanguageStaysAfterWindowsAndRestarts()
{
    {
        WindowFixture f;
        chooseLanguage(f, kPolish);
        f.window->About1->trigger();
        QCOMPARE(f.window->Button1->text(), QStringLiteral("Dodaj"));
    }
    WindowFixture later(true);
    QCOMPARE(later.window->Button1->text(), QStringLiteral("Dodaj"));
    QCOMPARE(later.text(kStringUntitled), QStringLiteral("bez nazwy"));
}

void LanguageChoiceTest::qtDialogTextsFollowTheLanguage()
{
    WindowFixture f;
    const QString english = QCoreApplication::translate("QPlatformTheme", "Cancel");
    chooseLanguage(f, kPolish);
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != english);
    chooseLanguage(f, QStringLiteral(LUMEXA_BIN "/English.lng"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), english);
}

void LanguageChoiceTest::languageFileThatIsGoneFallsBackToEnglish()
{
    QStandardPaths::setTestModeEnabled(true);
    UseOwnSettingsFolder();
    ForgetEverything();
    RememberLanguageFile(QStringLiteral("/nowhere/Gone.lng"));
    WindowFixture f(true);
    QCOMPARE(f.window->Button1->text(), QStringLiteral("Add"));
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(statusBarFilled(*f.window, f));
}

QTEST_MAIN(LanguageChoiceTest)
#include "language_choice_test.moc"
