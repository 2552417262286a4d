// The table's caption numbers and the controls they belong to.
#include "app/main_window/language_captions.h"

#include "app/main_window/main_window.h"
#include "app/window_strings.h"
#include "core/project/language_table.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace lumexa
{

void ApplyCaptions(TForm1& w, const LanguageTable& strings)
{
    const auto s = [&strings](int n) { return QString::fromStdString(strings[n]); };

    QToolButton* styles[] = {w.SpeedButton1, w.SpeedButton2, w.SpeedButton3, w.SpeedButton4,
                             w.SpeedButton5, w.SpeedButton6, w.SpeedButton7};
    for (int i = 0; i < 7; ++i)
        styles[i]->setText(s(46 + i));
    if (auto* caption = w.Panel1->findChild<QLabel*>(QStringLiteral("Panel1Caption")))
        caption->setText(s(53));
    QPushButton* stripButtons[] = {w.Button1, w.Button2, w.Button3,
                                   w.Button4, w.Button5, w.Button6};
    for (int i = 0; i < 6; ++i)
        stripButtons[i]->setText(s(54 + i));

    w.File1->setTitle(s(61));
    w.NewProject1->setText(s(62));
    w.LoadProject1->setText(s(63));
    w.SaveProject1->setText(s(64));
    w.SaveAs1->setText(s(kStringSaveAs));
    w.Recent1->setTitle(s(kStringRecentProjects));
    w.OpenExample1->setText(s(kStringOpenExample));
    w.EditMenu->setTitle(s(kStringEditMenu));
    w.Render1->setText(s(65));
    w.Inspect1->setText(s(kStringInspectCommand));
    w.PrintPoster1->setText(s(kStringPrintPoster));
    w.Exit1->setText(s(66));
    w.Options1->setTitle(s(67));
    w.Information1->setTitle(s(68));
    w.Inf1->setText(s(69));
    w.Inf2->setText(s(70));
    w.Inf3->setText(s(71));
    w.Language1->setText(s(72));
    w.Help1->setTitle(s(73));
    w.Webpage1->setText(s(kStringExamples));
    w.Manual1->setText(s(75));
    w.About1->setText(s(76));
    w.Label2->setText(s(79));
    w.PageControl1->setTabText(0, s(81));
    w.PageControl1->setTabText(1, s(82));
    w.Button7->setText(s(83));
    w.CheckBox1->setText(s(84));
    w.StatusPanel0->setText(s(85));
    w.StatusPanel1->setText(s(86));
    w.StatusPanel2->setText(s(87));
}

} // namespace lumexa
