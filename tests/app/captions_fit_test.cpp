// Every caption of the main, render and poster windows fits its control in English and in
// Polish: a control placed at a fixed size must be at least as wide as its text needs.
#include "app/window_fixture.h"

#include "app/poster_window/poster_window.h"
#include "app/render_window/render_window.h"
#include "app/render_window/render_window_captions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QTest>

using namespace lumexa;

namespace
{

// The controls of `window` whose caption is wider than the control: "name: needs x, has y".
QStringList CutCaptions(QWidget& window)
{
    QStringList cut;
    const auto check = [&](QWidget* w, const QString& text, int needs) {
        // Controls that a layout sizes get what they need; empty captions need nothing.
        // Each window answers for its own controls.
        if (text.isEmpty() || w->window() != &window || !w->isVisibleTo(&window) ||
            (w->parentWidget() && w->parentWidget()->layout()))
            return;
        if (needs > w->width())
            cut << QStringLiteral("%1 \"%2\": needs %3, has %4")
                       .arg(w->objectName(), text)
                       .arg(needs)
                       .arg(w->width());
    };
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b) ||
            !b->text().isEmpty())
            check(b, b->text(), b->sizeHint().width());
    for (QLabel* l : window.findChildren<QLabel*>())
        if (!l->wordWrap() && l->pixmap().isNull())
            check(l, l->text(), l->sizeHint().width());
    for (QGroupBox* g : window.findChildren<QGroupBox*>())
        check(g, g->title(), g->fontMetrics().horizontalAdvance(g->title()) + 16);
    return cut;
}

} // namespace

class CaptionsFitTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void everyCaptionFits_data();
    void everyCaptionFits();
};

void CaptionsFitTest::everyCaptionFits_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral(LUMEXA_BIN "/English.lng");
    QTest::newRow("Polish") << QStringLiteral(LUMEXA_BIN "/Polski.lng");
}

void CaptionsFitTest::everyCaptionFits()
{
    QFETCH(QString, language);
    WindowFixture f;
    f.prompts.files.enqueue(language);
    f.window->Language1->trigger();
    TForm3 render(f.shared, f.prompts, f.window.get());
    ApplyRenderCaptions(render, f.shared.languageStrings);
    PosterWindow poster(f.shared, f.prompts);
    f.window->show();
    render.show();
    poster.show();
    QVERIFY(QTest::qWaitForWindowExposed(&render));
    QVERIFY(QTest::qWaitForWindowExposed(&poster));
    const QStringList cut = CutCaptions(*f.window) + CutCaptions(render) + CutCaptions(poster);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
}

QTEST_MAIN(CaptionsFitTest)
#include "captions_fit_test.moc"
