// Every text a user reads comes from the language file or Qt's translations: the main
// window with its menus, status bar, hint and Edit menu's steps, the file and font dialogs'
// titles and file types, the render window, the poster window, the about window and the
// save question are walked in English and in Polish. In Polish no English word is left,
// and in neither language does a title or a label show a raw "&".
#include "app/window_fixture.h"

#include "app/dialogs/about_window.h"
#include "app/main_window/preview_box.h"
#include "app/poster_window/poster_window.h"
#include "app/render_window/render_window.h"
#include "core/project/language_table.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace lumexa;

namespace
{

const QString kEnglish = QStringLiteral(LUMEXA_BIN "/English.lng");
const QString kPolish = QStringLiteral(LUMEXA_BIN "/Polski.lng");

// A text the user reads, where it was found, and whether "&" marks an Alt key there.
struct Seen {
    QString where;
    QString text;
    bool mnemonic = false;
};

// The texts seen and the folder of the files the walk made.
struct WalkResult {
    QList<Seen> seen;
    QString folder;
};

// The words of three letters or more in `text`, in lower case.
QSet<QString> WordsOf(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("\\p{L}{3,}"));
    QSet<QString> words;
    auto it = word.globalMatch(text);
    while (it.hasNext())
        words.insert(it.next().captured(0).toLower());
    return words;
}

// Every word of a language file's texts.
QSet<QString> WordsOfLanguage(const QString& file)
{
    LanguageTable table;
    table.LoadLanguage(file.toStdString());
    QSet<QString> words;
    for (int n = 0; n < 400; ++n)
        words.unite(WordsOf(QString::fromStdString(table[n])));
    return words;
}

// The texts with the patterns of file types and the names the test gave its files and
// folder taken out: they are no words of the program.
QString ProgramWords(QString text, const QString& folder)
{
    static const QRegularExpression patterns(QStringLiteral("\\(\\*[^)]*\\)"));
    text.remove(patterns);
    text.remove(folder);
    for (const char* name : {"walk.led", "one.png", "two.png", "three.png"})
        text.remove(QString::fromLatin1(name));
    return text;
}

// An "&" that is neither a doubled "&&" nor part of a tag such as "[&+01]".
bool HasRawAmpersand(const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (i > 0 && text.at(i - 1) == QLatin1Char('['))
            continue;
        return true;
    }
    return false;
}

class Walk
{
  public:
    void add(const QString& where, const QString& text, bool mnemonic = false)
    {
        if (!text.trimmed().isEmpty())
            seen.append({where, text, mnemonic});
    }

    void addMenu(const QString& where, QMenu* menu)
    {
        add(where, menu->title(), true);
        for (QAction* a : menu->actions()) {
            if (a->menu())
                addMenu(where + QLatin1Char('/') + a->menu()->objectName(), a->menu());
            else if (!a->isSeparator())
                add(where + QLatin1Char('/') + a->objectName(), a->text(), true);
            add(where + QLatin1Char('/') + a->objectName() + QStringLiteral(" tip"),
                a->toolTip() == QString(a->text()).remove(QLatin1Char('&')) ? QString()
                                                                            : a->toolTip());
        }
    }

    // The window's title and every control's caption and tip; the user's own texts (the
    // text field, the seed, the font list, the render log) are not the program's words.
    void addWindow(QWidget& window)
    {
        const QString name = window.objectName().isEmpty()
                                 ? QString::fromLatin1(window.metaObject()->className())
                                 : window.objectName();
        add(name + QStringLiteral(" title"), window.windowTitle());
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&window))
                continue;
            const QString where = name + QLatin1Char('/') + w->objectName();
            add(where + QStringLiteral(" tip"), w->toolTip());
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                add(where, b->text(), true);
            else if (auto* l = qobject_cast<QLabel*>(w))
                add(where, l->text(), l->buddy() != nullptr);
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                add(where, g->title(), true);
            else if (auto* c = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i)
                    add(where, c->itemText(i));
            else if (auto* t = qobject_cast<QTabWidget*>(w))
                for (int i = 0; i < t->count(); ++i)
                    add(where, t->tabText(i), true);
            else if (auto* e = qobject_cast<QLineEdit*>(w))
                add(where, e->placeholderText());
        }
    }

    void addRequest(const QString& where, const FileRequest& request)
    {
        add(where + QStringLiteral(" title"), request.title);
        for (const QString& filter : request.filters)
            add(where + QStringLiteral(" types"), filter);
    }

    QList<Seen> seen;
};

// Walks the windows as a user opens them, in the language `file`.
WalkResult WalkEveryWindow(const QString& file)
{
    Walk walk;
    WindowFixture f;
    TForm1& w = *f.window;
    TForm3 render(f.shared, f.prompts, &w);
    w.setRenderWindow(&render);
    TFormInfo about(&w);
    QObject::connect(&w, &TForm1::aboutRequested, &about, [&about, &f] {
        about.applyCaptions(f.shared.languageStrings);
        about.exec();
    });
    w.show();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the main window did not become active");
    const auto key = [&w](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        // The keys go to the main window once it is active again after a menu or a modal
        // window; the offscreen platform does not hand the activation back by itself.
        QApplication::setActiveWindow(&w);
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the main window did not become active again");
        QTest::keyClick(&w, k, m);
    };

    // Options > Change the language: its dialog is read in the language left before.
    f.prompts.files.enqueue(file);
    QMenuBar* bar = w.menuBar();
    const auto choose = [bar](QMenu* menu, QAction* action) {
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
            return;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    };
    choose(w.Options1, w.Language1);
    // The empty start's hint, then the dialogs of Add, Load and Save, with their file types.
    walk.add(QStringLiteral("preview hint"), w.PaintBox1->hint());
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    walk.addRequest(QStringLiteral("Add"), f.prompts.lastRequest);
    key(Qt::Key_O);
    walk.addRequest(QStringLiteral("Load"), f.prompts.lastRequest);
    f.prompts.files.enqueue(f.folder.filePath(QStringLiteral("walk.led")));
    key(Qt::Key_S);
    walk.addRequest(QStringLiteral("Save"), f.prompts.lastRequest);
    choose(w.File1, w.OpenExample1);
    walk.addRequest(QStringLiteral("Open example"), f.prompts.lastRequest);
    for (const QString& led :
         {QStringLiteral("one.png"), QStringLiteral("two.png"), QStringLiteral("three.png")}) {
        f.prompts.files.enqueue(f.picture(led, 20, 10));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
    }
    f.prompts.files.enqueue(file);
    w.Language1->trigger();
    walk.addRequest(QStringLiteral("Change the language"), f.prompts.lastRequest);
    walk.add(QStringLiteral("Font title"), w.FontDialog1Title);

    // The main window with a step in the Edit menu.
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    walk.addWindow(w);
    for (QAction* menu : bar->actions())
        walk.addMenu(QStringLiteral("menu"), menu->menu());

    // File > Render with its question and destination dialog, and File > Print poster:
    // modal windows read from inside their own event loops.
    bool renderSeen = false;
    QTimer::singleShot(0, &render, [&] {
        renderSeen = render.isVisible();
        walk.addWindow(render);
        QTest::mouseClick(render.BitBtn1, Qt::LeftButton);
        walk.addRequest(QStringLiteral("render to file"), f.prompts.lastRequest);
        render.reject();
    });
    key(Qt::Key_R);
    bool posterSeen = false;
    QTimer::singleShot(0, &w, [&] {
        auto* poster = qobject_cast<PosterWindow*>(QApplication::activeModalWidget());
        if (!poster)
            return;
        posterSeen = true;
        walk.addWindow(*poster);
        poster->reject();
    });
    key(Qt::Key_P);

    // Help > About: the scroller's lines and the history.
    QTimer::singleShot(0, &about, [&] {
        walk.addWindow(about);
        walk.add(QStringLiteral("about scroller"), about.aboutLines().join(QLatin1Char(' ')));
        walk.add(QStringLiteral("about history"), about.historyBox()->toPlainText());
        about.accept();
    });
    w.About1->trigger();

    // The Logo page and its dialog, then New project's question.
    QTest::mouseClick(w.PageControl1->tabBar(), Qt::LeftButton, {},
                      w.PageControl1->tabBar()->tabRect(1).center());
    walk.addWindow(w);
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    walk.addRequest(QStringLiteral("logo"), f.prompts.lastRequest);
    key(Qt::Key_N);
    for (const auto& q : f.prompts.questions)
        walk.add(QStringLiteral("question"), q.caption + QLatin1Char(' ') + q.text);
    // A window that did not open leaves the walk short.
    if (!renderSeen || !posterSeen)
        walk.seen.clear();
    return {walk.seen, f.folder.path()};
}

} // namespace

class EveryWindowInPolishTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void noEnglishWordInPolishAndNoRawAmpersand();
};

void EveryWindowInPolishTest::noEnglishWordInPolishAndNoRawAmpersand()
{
    const WalkResult englishWalk = WalkEveryWindow(kEnglish);
    const WalkResult polishWalk = WalkEveryWindow(kPolish);
    const QList<Seen>& english = englishWalk.seen;
    const QList<Seen>& polish = polishWalk.seen;
    QVERIFY(english.size() > 150);
    // Far fewer texts in Polish would mean a window was not reached.
    QVERIFY(polish.size() + 5 >= english.size());

    // An English word is one the English walk or file shows that the Polish file never
    // uses (names such as "LED", "PNG" or "Lumexa" are in both).
    QSet<QString> englishWords = WordsOfLanguage(kEnglish);
    for (const Seen& s : english)
        englishWords.unite(WordsOf(ProgramWords(s.text, englishWalk.folder)));
    englishWords.subtract(WordsOfLanguage(kPolish));
    // The file formats' and the American paper sizes' names are names in every language.
    for (const char* name :
         {"gif", "jpeg", "pcx", "rle", "targa", "png", "tiff", "letter", "legal"})
        englishWords.remove(QString::fromLatin1(name));

    QStringList faults;
    for (const Seen& s : polish) {
        QStringList found;
        for (const QString& word : WordsOf(ProgramWords(s.text, polishWalk.folder)))
            if (englishWords.contains(word))
                found << word;
        if (!found.isEmpty())
            faults << QStringLiteral("%1 \"%2\": %3").arg(s.where, s.text, found.join(u','));
    }
    for (const QList<Seen>* walk : {&english, &polish})
        for (const Seen& s : *walk)
            if (!s.mnemonic && HasRawAmpersand(s.text))
                faults << QStringLiteral("%1 \"%2\": raw &").arg(s.where, s.text);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(EveryWindowInPolishTest)
#include "every_window_in_polish_test.moc"
