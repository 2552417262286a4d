// The text field as a user types into it and tags it with the mouse: a click on the strip
// wraps the selection, tags being typed never raise a box, and the strip's commands
// rewrite only real tags.
#include "app/window_fixture.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/window_strings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace lumexa;

namespace
{

// Shows the window and gives the text field the focus, as a user clicking into it would.
void showAndFocusText(TForm1& w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(w.Edit1, Qt::LeftButton);
    QVERIFY(w.Edit1->hasFocus());
}

// Replaces the field's text by typing, key by key; a character outside ASCII comes as the
// text of one key press, as an input method sends it.
void retype(QLineEdit* edit, const QString& text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const char32_t c : text.toStdU32String()) {
        if (c < 128)
            QTest::keyClick(edit, static_cast<char>(c));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown,
                                QString::fromStdU32String(std::u32string(1, c)), {});
    }
}

// Selects `count` characters after moving `right` characters from the start, by keys.
void selectByKeys(QLineEdit* edit, int right, int count)
{
    QTest::keyClick(edit, Qt::Key_Home);
    for (int i = 0; i < right; ++i)
        QTest::keyClick(edit, Qt::Key_Right);
    for (int i = 0; i < count; ++i)
        QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
}

} // namespace

class TypingAndTaggingTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void clickOnTheStripWrapsTheSelection_data();
    void clickOnTheStripWrapsTheSelection();
    void typingATagShowsItsStateInlineWithoutBoxes();
    void textWithNothingToDrawDisablesRender();
    void clearAndDeleteLeaveNonTagsAlone();
};

void TypingAndTaggingTest::clickOnTheStripWrapsTheSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("onThumbnail");
    QTest::addColumn<QString>("tagged");
    QTest::newRow("panel") << "Hello world" << 0 << 5 << false << "[&+01]Hello[&-01] world";
    QTest::newRow("thumbnail") << "Hello world" << 6 << 5 << true << "Hello [&+01]world[&-01]";
    // The emoji is two UTF-16 units but one character to the tags.
    QTest::newRow("after an emoji")
        << QStringLiteral("😀abc") << 2 << 1 << false << QStringLiteral("😀a[&+01]b[&-01]c");
}

void TypingAndTaggingTest::clickOnTheStripWrapsTheSelection()
{
    QFETCH(QString, text);
    QFETCH(int, right);
    QFETCH(int, count);
    QFETCH(bool, onThumbnail);
    QFETCH(QString, tagged);
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    showAndFocusText(w);
    retype(w.Edit1, text);
    selectByKeys(w.Edit1, right, count);
    const StripEntry* entry = w.strip()->entry(1);
    QTest::mouseClick(onThumbnail ? static_cast<QWidget*>(entry->thumbnail) : entry->panel,
                      Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(w.Edit1->text(), tagged);
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 1);
    QVERIFY(w.Edit1->hasFocus());
}

void TypingAndTaggingTest::typingATagShowsItsStateInlineWithoutBoxes()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    showAndFocusText(w);
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.Edit1, Qt::Key_Delete);
    const QString typed = QStringLiteral("[&+01]Ab");
    QStringList problems;
    for (const QChar c : typed) {
        QTest::keyClicks(w.Edit1, QString(c));
        problems.append(w.PaintBox1->problem());
    }
    // Every key arrived, no box was shown, and the preview told what was wrong meanwhile.
    QCOMPARE(w.Edit1->text(), typed);
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(problems.at(2), f.text(kStringTagIncomplete).arg(QStringLiteral("[&+")));
    QCOMPARE(problems.at(3), f.text(kStringTagIncomplete).arg(QStringLiteral("[&+0")));
    QCOMPARE(problems.at(5), f.text(kStringNoPixels)); // "[&+01]": a tag and no text
    QVERIFY(problems.at(7).isEmpty());                 // the next good recompute clears it
    QVERIFY(!w.dots().empty());

    // A text of one space has nothing to draw either.
    retype(w.Edit1, QStringLiteral(" "));
    QCOMPARE(w.PaintBox1->problem(), f.text(kStringNoPixels));
    QVERIFY(f.prompts.messages.isEmpty());
}

void TypingAndTaggingTest::textWithNothingToDrawDisablesRender()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    showAndFocusText(w);
    retype(w.Edit1, QStringLiteral("Ab"));
    QVERIFY(w.Render1->isEnabled());
    retype(w.Edit1, QStringLiteral("[&+01][&-01]"));
    QVERIFY(!w.Render1->isEnabled());
    retype(w.Edit1, QStringLiteral("Ab"));
    QVERIFY(w.Render1->isEnabled());
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.Edit1, Qt::Key_Delete);
    QVERIFY(!w.Render1->isEnabled());
}

void TypingAndTaggingTest::clearAndDeleteLeaveNonTagsAlone()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(7);
    showAndFocusText(w);
    retype(w.Edit1, QStringLiteral("Q[&A] corp [&+02]x[&-02]"));
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    QCOMPARE(w.Edit1->text(), QStringLiteral("Q[&A] corp x"));

    retype(w.Edit1, QStringLiteral("menu [&x05] end [&+06]y[&-06]"));
    QTest::mouseClick(w.strip()->entry(5)->panel, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    QCOMPARE(f.shared.ledImages.count(), 6);
    QCOMPARE(w.Edit1->text(), QStringLiteral("menu [&x05] end [&+05]y[&-05]"));
}

QTEST_MAIN(TypingAndTaggingTest)
#include "typing_and_tagging_test.moc"
