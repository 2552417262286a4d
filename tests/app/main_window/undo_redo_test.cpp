// Undo and Redo through the keys and the Edit menu: every kind of change of the project
// is one step that Ctrl+Z takes back and Ctrl+Shift+Z and Ctrl+Y bring again, the menu
// names the step, typing is grouped as an editor groups it, a drag of a bar is one step,
// a hundred steps go back, and undoing back to the saved project clears the unsaved mark.
#include "app/window_fixture.h"

#include "app/main_window/led_strip.h"
#include "app/render_window/render_window.h"
#include "app/window_strings.h"
#include "core/project/project_file.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

using namespace lumexa;

namespace
{

// The kinds of change, each made as a user makes it.
enum class Change {
    Typing,
    ClearTags,
    TagWithLed,
    Font,
    FontSize,
    Threshold,
    CellSize,
    Density,
    Displacement,
    Kerning,
    LogoSize,
    Style,
    Page,
    SeedTyped,
    SeedDrawn,
    Negative,
    AddLed,
    ReplaceLed,
    AddAlpha,
    DeleteLed,
    ClearAlpha,
    LoadLogo,
    RenderOptions,
};

struct Fixture : WindowFixture {
    Fixture() : render(shared, prompts, window.get())
    {
        window->setRenderWindow(&render);
        activate();
    }

    TForm1& w() { return *window; }

    // The project as its file would hold it, and the strip's entries.
    std::vector<std::string> project()
    {
        ProjectSettings settings = window->projectSettings();
        const std::vector<std::string> fonts;
        const ProjectState state{settings, shared.ledImages, shared.logo, fonts};
        std::vector<std::string> lines = ProjectFileLines(state);
        lines.push_back("strip entries " + std::to_string(window->strip()->entryCount()));
        return lines;
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        // To whatever has the focus, as a keyboard does: the text field too.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

    void undo() { key(Qt::Key_Z); }
    void redo() { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

    void type(QLineEdit* field, const QString& text)
    {
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, text);
    }

    void clickLed(int n)
    {
        const StripEntry* e = window->strip()->entry(n);
        window->strip()->scrollTo(e->panel->x());
        QTest::mouseClick(e->panel, Qt::LeftButton, {}, e->panel->rect().center());
    }

    void addLed(const QString& name, QColor colour = Qt::red)
    {
        prompts.files.enqueue(picture(name, 20, 10, colour));
        QTest::mouseClick(window->Button1, Qt::LeftButton);
    }

    void clickTab(int index)
    {
        QTabBar* tabs = window->PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }

    // A click on the bar's arrow at its far end (larger values) or near end.
    static void clickArrow(QScrollBar* bar, bool larger)
    {
        const bool vertical = bar->orientation() == Qt::Vertical;
        const QPoint at = vertical ? QPoint(bar->width() / 2, larger ? bar->height() - 4 : 4)
                                   : QPoint(larger ? bar->width() - 4 : 4, bar->height() / 2);
        QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    }

    void make(Change change)
    {
        TForm1& m = w();
        switch (change) {
        case Change::Typing:
            type(m.Edit1, QStringLiteral("xy"));
            break;
        case Change::ClearTags:
            QTest::mouseClick(m.Button4, Qt::LeftButton);
            break;
        case Change::TagWithLed:
            QTest::mouseClick(m.Edit1, Qt::LeftButton);
            QTest::keyClick(m.Edit1, Qt::Key_A, Qt::ControlModifier);
            clickLed(2);
            break;
        case Change::Font: {
            const int row = m.ListBox1->currentRow() == 0 ? 1 : 0;
            QListWidgetItem* item = m.ListBox1->item(row);
            m.ListBox1->scrollToItem(item);
            QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, {},
                              m.ListBox1->visualItemRect(item).center());
            break;
        }
        case Change::FontSize:
            clickArrow(m.ScrollBar1, true);
            break;
        case Change::Threshold:
            clickArrow(m.ScrollBar2, true);
            break;
        case Change::CellSize:
            clickArrow(m.ScrollBar3, true);
            break;
        case Change::Density:
            clickArrow(m.ScrollBar5, true);
            break;
        case Change::Displacement:
            clickArrow(m.ScrollBar6, true);
            break;
        case Change::Kerning:
            clickArrow(m.ScrollBar7, true);
            break;
        case Change::LogoSize:
            clickArrow(m.ScrollBar8, false);
            break;
        case Change::Style:
            QTest::mouseClick(m.SpeedButton3, Qt::LeftButton);
            break;
        case Change::Page:
            clickTab(1);
            break;
        case Change::SeedTyped:
            QTest::mouseClick(m.MaskEdit1, Qt::LeftButton);
            QTest::keyClick(m.MaskEdit1, Qt::Key_End);
            QTest::keyClick(m.MaskEdit1, Qt::Key_Backspace);
            break;
        case Change::SeedDrawn:
            QTest::mouseClick(m.BitBtn1, Qt::LeftButton);
            break;
        case Change::Negative:
            QTest::mouseClick(m.CheckBox1, Qt::LeftButton);
            break;
        case Change::AddLed:
            addLed(QStringLiteral("added.png"), Qt::cyan);
            break;
        case Change::ReplaceLed:
            clickLed(1);
            prompts.files.enqueue(picture(QStringLiteral("other.png"), 20, 10, Qt::magenta));
            QTest::mouseClick(m.Button3, Qt::LeftButton);
            break;
        case Change::AddAlpha:
            clickLed(2);
            prompts.files.enqueue(picture(QStringLiteral("alpha2.png"), 20, 10, Qt::gray));
            QTest::mouseClick(m.Button2, Qt::LeftButton);
            break;
        case Change::DeleteLed:
            clickLed(1);
            QTest::mouseClick(m.Button6, Qt::LeftButton);
            break;
        case Change::ClearAlpha:
            clickLed(1);
            QTest::mouseClick(m.Button5, Qt::LeftButton);
            break;
        case Change::LoadLogo:
            prompts.files.enqueue(picture(QStringLiteral("logo.png"), 30, 20, Qt::black));
            QTest::mouseClick(m.Button7, Qt::LeftButton);
            break;
        case Change::RenderOptions:
            // The render window is modal: its box is clicked and the window left from
            // inside its own event loop.
            QTimer::singleShot(0, &render, [this] {
                QTest::mouseClick(render.CheckBox3, Qt::LeftButton);
                QTest::mouseClick(render.Button1, Qt::LeftButton);
            });
            key(Qt::Key_R);
            // The keys go to the main window again once it is active; the offscreen
            // platform does not hand the activation back by itself.
            activate();
            break;
        }
    }

    // What a change needs in place before it: tags to clear, the Points style for the
    // density bar, the Logo page for the logo's controls, an alpha picture to clear.
    void prepare(Change change)
    {
        switch (change) {
        case Change::ClearTags:
            type(w().Edit1, QStringLiteral("[&+01]a[&-01]"));
            break;
        case Change::Density:
            QTest::mouseClick(w().SpeedButton4, Qt::LeftButton);
            break;
        case Change::LogoSize:
        case Change::Negative:
        case Change::LoadLogo:
            clickTab(1);
            break;
        case Change::ClearAlpha:
            clickLed(1);
            prompts.files.enqueue(picture(QStringLiteral("alpha1.png"), 20, 10, Qt::gray));
            QTest::mouseClick(w().Button2, Qt::LeftButton);
            break;
        default:
            break;
        }
    }

    TForm3 render;
};

} // namespace

class UndoRedoTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void everyChangeIsOneStepBackAndForth_data();
    void everyChangeIsOneStepBackAndForth();
    void editMenuNamesTheStepInTheLanguage();
    void typingIsGroupedAsAnEditorGroupsIt();
    void aDragOfABarIsOneStep();
    void aHundredStepsGoBack();
    void undoingBackToTheSavedProjectClearsTheMark();
    void aNewProjectStartsAFreshHistory();
};

void UndoRedoTest::everyChangeIsOneStepBackAndForth_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("step");
    const struct {
        const char* row;
        Change change;
        const char* step;
    } rows[] = {{"typing", Change::Typing, "Typing"},
                {"Clear", Change::ClearTags, "Clear Tags"},
                {"tagging", Change::TagWithLed, "Tag with LED 2"},
                {"font", Change::Font, "Font"},
                {"font size", Change::FontSize, "Font Size"},
                {"threshold", Change::Threshold, "Brightness Threshold"},
                {"cell size", Change::CellSize, "Cell Size"},
                {"density", Change::Density, "Point Density"},
                {"displacement", Change::Displacement, "Displacement"},
                {"kerning", Change::Kerning, "Letter Spacing"},
                {"logo size", Change::LogoSize, "Logo Size"},
                {"style", Change::Style, "Style Dot"},
                {"page", Change::Page, "Logo Page"},
                {"seed typed", Change::SeedTyped, "Seed"},
                {"seed drawn", Change::SeedDrawn, "Seed"},
                {"negative", Change::Negative, "Negative"},
                {"Add", Change::AddLed, "Add LED 3"},
                {"Replace", Change::ReplaceLed, "Replace LED 1"},
                {"Add Alpha", Change::AddAlpha, "Add Alpha to LED 2"},
                {"Delete", Change::DeleteLed, "Delete LED 1"},
                {"Clear Alpha", Change::ClearAlpha, "Clear Alpha of LED 1"},
                {"logo", Change::LoadLogo, "Load Logo"},
                {"render options", Change::RenderOptions, "Render Options"}};
    for (const auto& r : rows)
        QTest::newRow(r.row) << int(r.change) << QString::fromLatin1(r.step);
}

void UndoRedoTest::everyChangeIsOneStepBackAndForth()
{
    QFETCH(int, change);
    QFETCH(QString, step);
    Fixture f;
    TForm1& w = f.w();
    // Three LED images, the middle one's tags in the text.
    f.addLed(QStringLiteral("unlit.png"), Qt::darkGray);
    f.addLed(QStringLiteral("red.png"), Qt::red);
    f.addLed(QStringLiteral("green.png"), Qt::green);
    f.type(w.Edit1, QStringLiteral(" [&+01]b[&-01]"));
    f.prepare(Change(change));

    const std::vector<std::string> before = f.project();
    const int steps = w.undoStack()->count();
    f.make(Change(change));
    const std::vector<std::string> after = f.project();
    QVERIFY(after != before);
    QCOMPARE(w.undoStack()->count(), steps + 1);
    QCOMPARE(w.Undo1->text(), QStringLiteral("&Undo ") + step);

    f.undo();
    QVERIFY(f.project() == before);
    QCOMPARE(w.Redo1->text(), QStringLiteral("&Redo ") + step);
    f.redo();
    QVERIFY(f.project() == after);
    f.undo();
    QVERIFY(f.project() == before);
    f.key(Qt::Key_Y);
    QVERIFY(f.project() == after);
    QCOMPARE(w.strip()->entryCount(), f.shared.ledImages.count());
    QVERIFY(f.prompts.messages.isEmpty());
}

void UndoRedoTest::editMenuNamesTheStepInTheLanguage()
{
    Fixture f;
    TForm1& w = f.w();
    QVERIFY(!w.Undo1->isEnabled());
    QCOMPARE(w.Undo1->text(), QStringLiteral("&Undo"));
    f.addLed(QStringLiteral("unlit.png"), Qt::darkGray);
    f.addLed(QStringLiteral("red.png"));
    f.addLed(QStringLiteral("green.png"), Qt::green);
    f.addLed(QStringLiteral("blue.png"), Qt::blue);
    f.clickLed(3);
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    QCOMPARE(f.shared.ledImages.count(), 3);

    // Edit > Undo through the menu bar and the menu.
    QMenuBar* bar = w.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(w.EditMenu->menuAction()).center());
    QTRY_VERIFY(w.EditMenu->isVisible());
    QCOMPARE(w.Undo1->text(), QStringLiteral("&Undo Delete LED 3"));
    QTest::mouseClick(w.EditMenu, Qt::LeftButton, {}, w.EditMenu->actionGeometry(w.Undo1).center());
    QCOMPARE(f.shared.ledImages.count(), 4);
    QCOMPARE(QFileInfo(QString::fromStdString(f.shared.ledImages[3].fileName)).fileName(),
             QStringLiteral("blue.png"));
    QCOMPARE(w.Undo1->text(), QStringLiteral("&Undo Add LED 3"));
    QCOMPARE(w.Redo1->text(), QStringLiteral("&Redo Delete LED 3"));

    // The steps made so far take the new language's words.
    f.prompts.files.enqueue(QStringLiteral(LUMEXA_BIN "/Polski.lng"));
    w.Language1->trigger();
    QCOMPARE(w.EditMenu->title(), QStringLiteral("&Edycja"));
    QCOMPARE(w.Undo1->text(), QStringLiteral("&Cofnij: dodanie diody 3"));
    QCOMPARE(w.Redo1->text(), QStringLiteral("&Ponów: usunięcie diody 3"));
}

void UndoRedoTest::typingIsGroupedAsAnEditorGroupsIt()
{
    Fixture f;
    TForm1& w = f.w();
    QTest::mouseClick(w.Edit1, Qt::LeftButton);
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.Edit1, QStringLiteral("hello world"));
    QTest::keyClick(w.Edit1, Qt::Key_Backspace);
    QTest::keyClick(w.Edit1, Qt::Key_Backspace);
    QTest::keyClick(w.Edit1, Qt::Key_Home);
    QTest::keyClicks(w.Edit1, QStringLiteral("ab"));
    QCOMPARE(w.Edit1->text(), QStringLiteral("abhello wor"));

    // Ctrl+Z in the text field is the Edit menu's, one run of typing at a time: the
    // letters typed at the start, the two Backspaces, the second word, the first word
    // (which replaced the selected text).
    const QStringList back{QStringLiteral("hello wor"), QStringLiteral("hello world"),
                           QStringLiteral("hello "), QStringLiteral("1234567890")};
    for (const QString& text : back) {
        QTest::keyClick(w.Edit1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Edit1->text(), text);
    }
    QVERIFY(!w.Undo1->isEnabled());
    QTest::keyClick(w.Edit1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Edit1->text(), QStringLiteral("hello "));
    // The cursor stands where the text changed, and typing there goes on from it.
    QCOMPARE(w.Edit1->cursorPosition(), 6);
}

void UndoRedoTest::aDragOfABarIsOneStep()
{
    Fixture f;
    TForm1& w = f.w();
    QScrollBar* bar = w.ScrollBar6;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QPoint handle =
        bar->style()
            ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar)
            .center();
    QTest::mousePress(bar, Qt::LeftButton, {}, handle);
    for (int dy = 4; dy <= 40; dy += 4)
        QTest::mouseMove(bar, handle + QPoint(0, dy));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, handle + QPoint(0, 40));
    const int dragged = bar->value();
    QVERIFY(dragged > 10);
    QCOMPARE(w.undoStack()->count(), 1);

    // Two clicks on an arrow are two steps.
    Fixture::clickArrow(bar, true);
    Fixture::clickArrow(bar, true);
    QCOMPARE(bar->value(), dragged + 2);
    QCOMPARE(w.undoStack()->count(), 3);
    f.undo();
    f.undo();
    QCOMPARE(bar->value(), dragged);
    f.undo();
    QCOMPARE(bar->value(), 0);
}

void UndoRedoTest::aHundredStepsGoBack()
{
    Fixture f;
    TForm1& w = f.w();
    for (int i = 0; i < 120; ++i)
        Fixture::clickArrow(w.ScrollBar6, true);
    QCOMPARE(w.ScrollBar6->value(), 120);
    for (int i = 0; i < 100; ++i)
        f.undo();
    QCOMPARE(w.ScrollBar6->value(), 20);
    QVERIFY(w.Undo1->isEnabled());
}

void UndoRedoTest::undoingBackToTheSavedProjectClearsTheMark()
{
    Fixture f;
    TForm1& w = f.w();
    f.type(w.Edit1, QStringLiteral("a"));
    const QString path = f.folder.filePath(QStringLiteral("saved.led"));
    f.prompts.files.enqueue(path);
    f.key(Qt::Key_S);
    QVERIFY(!w.isWindowModified());
    f.type(w.Edit1, QStringLiteral("b"));
    Fixture::clickArrow(w.ScrollBar3, true);
    QVERIFY(w.isWindowModified());
    f.undo();
    f.undo();
    QVERIFY(!w.isWindowModified());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("saved.led[*]")));
    // Past the saved project the mark comes back, and goes with Redo.
    f.undo();
    QVERIFY(w.isWindowModified());
    f.redo();
    QVERIFY(!w.isWindowModified());
}

void UndoRedoTest::aNewProjectStartsAFreshHistory()
{
    Fixture f;
    TForm1& w = f.w();
    f.type(w.Edit1, QStringLiteral("a"));
    QVERIFY(w.Undo1->isEnabled());
    f.prompts.saveAnswers.enqueue(SaveAnswer::Discard);
    f.key(Qt::Key_N);
    QVERIFY(!w.Undo1->isEnabled());
    QVERIFY(!w.Redo1->isEnabled());
}

QTEST_MAIN(UndoRedoTest)
#include "undo_redo_test.moc"
