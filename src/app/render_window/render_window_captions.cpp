// The table's caption numbers and the render window's controls they belong to.
#include "app/render_window/render_window_captions.h"

#include "app/render_window/print_size_box.h"
#include "app/render_window/render_window.h"
#include "app/render_window/zoom_view.h"
#include "app/window_strings.h"
#include "core/project/language_table.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace lumexa
{

void ApplyRenderCaptions(TForm3& w, const LanguageTable& strings)
{
    const auto s = [&strings](int n) { return QString::fromStdString(strings[n]); };
    w.Button1->setText(s(88));
    w.Button2->setText(s(89));
    w.Button3->setText(s(90));
    w.Button4->setText(s(91));
    w.GroupBox1->setTitle(s(92));
    w.GroupBox2->setTitle(s(93));
    w.CheckBox1->setText(s(94));
    w.CheckBox2->setText(s(95));
    w.CheckBox3->setText(s(96));
    w.CheckBox4->setText(s(97));
    for (int i = 0; i < w.BackgroundBox->count(); ++i)
        w.BackgroundBox->setItemText(i, s(kStringBackgroundTransparent + i));
    w.BackgroundBox->setToolTip(s(kStringBackgroundTip));
    w.Label2->setText(s(98));
    w.RadioGroup1->setTitle(s(99));
    for (int i = 0; i < 3; ++i)
        if (QAbstractButton* item = w.RadioGroup1Items->button(i))
            item->setText(s(100 + i));
    w.setWindowTitle(s(kStringRenderPanel));
    w.SaveDialog1.title = DialogTitle(s(103));
    const QString format = s(kStringFormatFile);
    w.SaveDialog1.filters = {format.arg(QStringLiteral("Targa")) + QStringLiteral(" (*.tga)"),
                             format.arg(QStringLiteral("PNG")) + QStringLiteral(" (*.png)"),
                             format.arg(QStringLiteral("TIFF")) + QStringLiteral(" (*.tif *.tiff)"),
                             s(144) + QStringLiteral(" (*.pdf)"),
                             s(kStringDeepZoomPage) + QStringLiteral(" (*.dzi)"),
                             s(kStringAllFiles) + QStringLiteral(" (*)")};
    w.OpenPageButton->setText(s(kStringOpenPage));
    w.PrintSize->applyCaptions(strings);
    w.InspectButton->setText(s(kStringInspectButton));
    w.Inspector->setStatusTexts(s(kStringInspectPixel), s(kStringInspectLed));
    w.CompressionLabel->setText(s(kStringCompression));
    for (int i = 0; i < w.CompressionBox->count(); ++i)
        w.CompressionBox->setItemText(i, s(kStringCompressionFast + i));
}

} // namespace lumexa
