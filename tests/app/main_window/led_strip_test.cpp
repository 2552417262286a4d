// The LED strip: Add, Replace, Add Alpha, Clear Alpha and Delete with their refusals,
// the panels' places and captions, the thumbnails, and the tag wrap and rewrite.
#include "app/main_window/led_strip.h"
#include "app/window_fixture.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <cmath>

using namespace lumexa;

class LedStripTest : public QObject
{
    Q_OBJECT
  private slots:
    void addPlacesPanelsAtThePitchAndSelectsTheNewOne();
    void captionsStandOutFromWhatLiesUnderThem();
    void secondLedEnablesStylesAndRender();
    void thumbnailIsCentredOrStretched_data();
    void thumbnailIsCentredOrStretched();
    void clickWrapsTheSelectedTextInTags();
    void mouseOnTheShownStripKeepsTheTextSelection();
    void addWrapsTheSelectedTextInTheNewLedsTags();
    void replaceAndAddAlphaNeedASelection();
    void fullSetRefusesEveryLoad();
    void ledsFromOneHundredOnAreNamedAndClickedWithoutTags();
    void refusedPicturesLeaveTheSetAsItWas();
    void addAlphaShowsTheMarksAndClearAlphaHidesThem();
    void deleteClosesTheGapAndRewritesTags();
    void deleteOfTheLastLedsDisablesTheStyles();
    void openDialogOffersTheLedFormats();
};

void LedStripTest::addPlacesPanelsAtThePitchAndSelectsTheNewOne()
{
    WindowFixture f;
    f.addLeds(3);
    LedStrip& strip = *f.window->strip();
    QCOMPARE(strip.entryCount(), 3);
    for (int n = 0; n < 3; ++n) {
        const StripEntry* e = strip.entry(n);
        QCOMPARE(e->panel->geometry(), QRect(n * 136, 0, 130, 130));
        QCOMPARE(e->panel->objectName(), PanelName(n));
        QCOMPARE(e->nameLabel->text(), QStringLiteral("[&0%1], led%1.png").arg(n));
        QCOMPARE(e->nameLabel->pos(), QPoint(4, 4));
        QCOMPARE(e->nameShadow->pos(), QPoint(5, 5));
        QCOMPARE(e->sizeLabel->text(), QStringLiteral("20 x 10"));
    }
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 2);
    QCOMPARE(strip.entry(2)->panel->frameShadow(), QFrame::Sunken);
    QCOMPARE(strip.entry(1)->panel->frameShadow(), QFrame::Raised);
    f.window->LedImageClick(0);
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 0);
    QCOMPARE(strip.entry(0)->panel->frameShadow(), QFrame::Sunken);
    QCOMPARE(strip.entry(2)->panel->frameShadow(), QFrame::Raised);
}

namespace
{

double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

} // namespace

void LedStripTest::captionsStandOutFromWhatLiesUnderThem()
{
    // A light LED picture as large as a thumbnail, and a small dark one on the bare panel.
    const struct {
        int size;
        QColor colour;
    } cases[] = {{128, QColor(230, 230, 230)}, {8, Qt::black}};
    for (const auto& c : cases) {
        WindowFixture f;
        f.window->resize(900, 700);
        f.window->show();
        f.prompts.files.enqueue(f.picture(QStringLiteral("led.png"), c.size, c.size, c.colour));
        QTest::mouseClick(f.window->Button1, Qt::LeftButton);
        QCOMPARE(f.window->strip()->entryCount(), 1);
        const StripEntry* e = f.window->strip()->entry(0);
        const QImage shot = e->panel->grab().toImage();
        // The most common colour under the caption is its background; the text is white.
        QHash<QRgb, int> counts;
        const QRect r = e->nameLabel->geometry();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ++counts[shot.pixel(x, y)];
        QRgb background = 0;
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most)
                most = it.value(), background = it.key();
        const double contrast = 1.05 / (luminance(background) + 0.05);
        QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("%1 px: %2 against #%3")
                                                 .arg(c.size)
                                                 .arg(contrast)
                                                 .arg(background, 8, 16)));
    }
}

void LedStripTest::secondLedEnablesStylesAndRender()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(1);
    QVERIFY(!w.SpeedButton5->isEnabled());
    QVERIFY(!w.Render1->isEnabled());
    f.addLeds(1);
    QVERIFY(w.SpeedButton5->isEnabled());
    QVERIFY(w.SpeedButton6->isEnabled());
    QVERIFY(w.SpeedButton7->isEnabled());
    QVERIFY(w.Render1->isEnabled());
    QCOMPARE(w.cellWidth(), 20);
}

void LedStripTest::thumbnailIsCentredOrStretched_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("thumbnail");
    QTest::addColumn<bool>("scaled");
    QTest::newRow("20 x 10") << QSize(20, 10) << QRect(54, 59, 20, 10) << false;
    QTest::newRow("127 x 127") << QSize(127, 127) << QRect(1, 1, 127, 127) << false;
    QTest::newRow("128 x 10") << QSize(128, 10) << QRect(1, 1, 128, 128) << true;
}

void LedStripTest::thumbnailIsCentredOrStretched()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, thumbnail);
    QFETCH(bool, scaled);
    WindowFixture f;
    f.addLeds(1, picture.width(), picture.height());
    const StripEntry* e = f.window->strip()->entry(0);
    QCOMPARE(e->thumbnail->geometry(), thumbnail);
    QCOMPARE(e->thumbnail->objectName(), QStringLiteral("ImageK00"));
    QCOMPARE(!e->scaledMark->isHidden(), scaled);
    QCOMPARE(e->thumbnail->pixmap().size(), thumbnail.size());
}

void LedStripTest::clickWrapsTheSelectedTextInTags()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(4);
    w.Edit1->setText(QStringLiteral("12345"));
    w.Edit1->setSelection(1, 3);
    w.LedImageClick(3);
    QCOMPARE(w.Edit1->text(), QStringLiteral("1[&+03]234[&-03]5"));
    QVERIFY(!w.Edit1->hasSelectedText());
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 3);

    // LED image 0 is selected but names no tag.
    w.Edit1->setText(QStringLiteral("12345"));
    w.Edit1->setSelection(1, 3);
    w.LedImageClick(0);
    QCOMPARE(w.Edit1->text(), QStringLiteral("12345"));
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 0);
}

void LedStripTest::mouseOnTheShownStripKeepsTheTextSelection()
{
    // In a shown window a click moves the focus to the nearest control that takes it by
    // click, and the text field drops its selection when it loses the focus.
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(3);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.Edit1, Qt::LeftButton);
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.Edit1, QStringLiteral("12345"));
    QTest::keyClick(w.Edit1, Qt::Key_Left);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.Edit1, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(w.Edit1->selectedText(), QStringLiteral("234"));

    const StripEntry* led = w.strip()->entry(2);
    w.strip()->scrollTo(led->panel->x());
    QTest::mouseClick(led->panel, Qt::LeftButton, {}, led->panel->rect().center());
    QCOMPARE(w.Edit1->text(), QStringLiteral("1[&+02]234[&-02]5"));
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 2);
}

void LedStripTest::addWrapsTheSelectedTextInTheNewLedsTags()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.Edit1->setText(QStringLiteral("abc"));
    w.Edit1->setSelection(0, 1);
    f.addLeds(1); // number 0: no tag
    QCOMPARE(w.Edit1->text(), QStringLiteral("abc"));
    w.Edit1->setSelection(1, 1);
    f.addLeds(1);
    QCOMPARE(w.Edit1->text(), QStringLiteral("a[&+01]b[&-01]c"));
}

void LedStripTest::replaceAndAddAlphaNeedASelection()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    f.shared.ledImages.select(-1);
    const int dialogs = f.prompts.fileDialogs;
    for (QPushButton* sender : {w.Button3, w.Button2}) {
        w.Button1Click(sender);
        QCOMPARE(f.prompts.messages.last().text, f.text(31));
        QCOMPARE(f.prompts.messages.last().caption, f.text(30));
    }
    QCOMPARE(f.prompts.fileDialogs, dialogs);
    QVERIFY(w.buildPreviewEnabled);

    // With a selection, Replace takes the new picture and keeps the LED's number.
    w.LedImageClick(1);
    f.prompts.files.enqueue(f.picture(QStringLiteral("blue.png"), 20, 10, Qt::blue));
    w.Button1Click(w.Button3);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(f.shared.ledImages[1].picture.pixel(5, 5), (Rgb{0, 0, 255}));
    QCOMPARE(w.strip()->entry(1)->nameLabel->text(), QStringLiteral("[&01], blue.png"));
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 1);
}

void LedStripTest::fullSetRefusesEveryLoad()
{
    WindowFixture f;
    TForm1& w = *f.window;
    const QString file = f.picture(QStringLiteral("tiny.png"), 2, 2);
    for (int i = 0; i < 128; ++i) {
        f.prompts.files.enqueue(file);
        w.Button1Click(w.Button1);
    }
    QCOMPARE(f.shared.ledImages.count(), 128);
    QVERIFY(f.prompts.messages.isEmpty());
    for (QPushButton* sender : {w.Button1, w.Button3, w.Button2}) {
        w.Button1Click(sender);
        QCOMPARE(f.prompts.messages.last().text, f.text(29));
    }
    QCOMPARE(f.shared.ledImages.count(), 128);
    QVERIFY(w.buildPreviewEnabled);
}

void LedStripTest::ledsFromOneHundredOnAreNamedAndClickedWithoutTags()
{
    WindowFixture f;
    TForm1& w = *f.window;
    const QString file = f.picture(QStringLiteral("tiny.png"), 2, 2);
    for (int i = 0; i < 102; ++i) {
        f.prompts.files.enqueue(file);
        w.Button1Click(w.Button1);
    }
    const StripEntry* e = w.strip()->entry(101);
    QCOMPARE(e->panel->objectName(), QStringLiteral("PanelK101"));
    QCOMPARE(e->nameLabel->text(), QStringLiteral("[&101], tiny.png"));
    QCOMPARE(e->panel->pos(), QPoint(101 * 136, 0));

    w.Edit1->setText(QStringLiteral("12345"));
    w.Edit1->setSelection(1, 3);
    w.LedImageClick(100);
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 100);
    QCOMPARE(w.Edit1->text(), QStringLiteral("12345"));

    // A click is told by the number the entry carries, not by its name.
    QSignalSpy clicks(w.strip(), &LedStrip::ledClicked);
    QTest::mouseClick(w.strip()->entry(101)->panel, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), 101);
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), 101);
}

void LedStripTest::refusedPicturesLeaveTheSetAsItWas()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.prompts.files.enqueue(f.picture(QStringLiteral("big.png"), 513, 10));
    w.Button1Click(w.Button1);
    QCOMPARE(f.prompts.messages.last().text, f.text(33));
    QCOMPARE(f.shared.ledImages.count(), 0);

    f.addLeds(1);
    // The size comparison comes first, also for a picture that is too large.
    f.prompts.files.enqueue(f.picture(QStringLiteral("other.png"), 600, 10));
    w.Button1Click(w.Button1);
    QCOMPARE(f.prompts.messages.last().text, f.text(32));
    f.prompts.files.enqueue(f.picture(QStringLiteral("alpha.png"), 21, 10));
    w.Button1Click(w.Button2);
    QCOMPARE(f.prompts.messages.last().text, f.text(32));
    QCOMPARE(f.shared.ledImages.count(), 1);
    QVERIFY(!f.shared.ledImages[0].alphaInUse);

    // A file that is no picture is named in the message.
    const QString broken = f.folder.filePath(QStringLiteral("broken.tga"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    f.prompts.files.enqueue(broken);
    w.Button1Click(w.Button1);
    QVERIFY(f.prompts.messages.last().text.contains(QStringLiteral("broken.tga")));
    QCOMPARE(f.shared.ledImages.count(), 1);
    QVERIFY(w.buildPreviewEnabled);
}

void LedStripTest::addAlphaShowsTheMarksAndClearAlphaHidesThem()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    f.prompts.files.enqueue(f.picture(QStringLiteral("alpha.png"), 20, 10, Qt::black));
    w.Button1Click(w.Button2);
    const StripEntry* e = w.strip()->entry(1);
    QVERIFY(!e->alphaMark->isHidden());
    QVERIFY(!e->alphaShadow->isHidden());
    QVERIFY(f.shared.ledImages[1].alphaInUse);
    // A black alpha picture shows the button face only.
    const QColor face = w.ScrollBox1->palette().color(QPalette::Button);
    QCOMPARE(e->thumbnail->pixmap().toImage().pixelColor(5, 5), face);

    w.Button5Click();
    QVERIFY(e->alphaMark->isHidden());
    QVERIFY(!f.shared.ledImages[1].alphaInUse);
    QVERIFY(f.shared.ledImages[1].alphaFileName.empty());
    QCOMPARE(e->thumbnail->pixmap().toImage().pixelColor(5, 5),
             QColor(QColor::fromHsv(40, 255, 255).rgb()));
}

void LedStripTest::deleteClosesTheGapAndRewritesTags()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(5);
    w.Edit1->setText(QStringLiteral("[&+01]a[&-01][&+02]b[&-02][&+03]c[&-03]"));
    w.LedImageClick(2);
    w.Button6Click();
    QCOMPARE(w.Edit1->text(), QStringLiteral("[&+01]a[&-01]b[&+02]c[&-02]"));
    QCOMPARE(f.shared.ledImages.count(), 4);
    QCOMPARE(f.shared.ledImages.SelectedLedImage(), -1);
    LedStrip& strip = *w.strip();
    QCOMPARE(strip.entryCount(), 4);
    for (int n = 2; n < 4; ++n) {
        const StripEntry* e = strip.entry(n);
        QCOMPARE(e->panel->pos(), QPoint(n * 136, 0));
        QCOMPARE(e->panel->objectName(), PanelName(n));
        QCOMPARE(e->thumbnail->objectName(), ThumbnailName(n));
        QCOMPARE(e->nameLabel->text(), QStringLiteral("[&0%1], led%2.png").arg(n).arg(n + 1));
        QCOMPARE(e->panel->frameShadow(), QFrame::Raised);
    }

    // A "[&" without two digits after it stays as plain text.
    w.Edit1->setText(QStringLiteral("x[&ab[&+03]y[&-03]["));
    w.LedImageClick(3);
    w.Button6Click();
    QCOMPARE(w.Edit1->text(), QStringLiteral("x[&aby["));

    // Nothing selected: nothing happens.
    w.Button6Click();
    QCOMPARE(f.shared.ledImages.count(), 3);
    QVERIFY(w.buildPreviewEnabled);
}

void LedStripTest::deleteOfTheLastLedsDisablesTheStyles()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    QVERIFY(w.Render1->isEnabled());
    w.LedImageClick(1);
    w.Button6Click();
    QVERIFY(!w.Render1->isEnabled());
    QVERIFY(!w.SpeedButton5->isEnabled());
    QVERIFY(!w.SpeedButton6->isEnabled());
    QVERIFY(!w.SpeedButton7->isEnabled());
}

void LedStripTest::openDialogOffersTheLedFormats()
{
    WindowFixture f;
    f.window->Button1Click(f.window->Button1);
    const FileRequest& r = f.prompts.lastRequest;
    QCOMPARE(r.title, f.text(77));
    QCOMPARE(r.filters.size(), 10);
    QVERIFY(r.filters.at(0).startsWith(QStringLiteral("Bitmap file")));
    QVERIFY(r.filters.at(5).startsWith(QStringLiteral("Targa file")));
    QCOMPARE(r.selectedFilter, 8); // every picture type, PNG included
    QVERIFY(r.filters.join(' ').contains(QStringLiteral("*.png")));
    QVERIFY(r.filters.join(' ').contains(QStringLiteral("*.tiff")));
    QVERIFY(r.filters.at(8).startsWith(QStringLiteral("All pictures")));
    QVERIFY(r.filters.at(4).startsWith(QStringLiteral("RLE file")));
    QVERIFY(r.filters.at(9).startsWith(QStringLiteral("All files")));
    QCOMPARE(r.folder, f.window->examplesFolder());
}

QTEST_MAIN(LedStripTest)
#include "led_strip_test.moc"
