// The File menu's project commands: New project, Load project, Save project, and Exit
// with the quit question also asked when the window is closed.
#include "app/main_window/main_window.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/project_prompts_qt.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "core/base/error.h"
#include "core/project/project_file.h"
#include "imaging/read/picture_decoder.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

namespace lumexa
{

namespace
{

void copyRenderOptions(const ProjectSettings& from, ProjectSettings& to)
{
    to.useMaskEnabled = from.useMaskEnabled;
    to.useMaskChecked = from.useMaskChecked;
    to.useAddEnabled = from.useAddEnabled;
    to.useAddChecked = from.useAddChecked;
    to.useBackground = from.useBackground;
    to.rotateBitmaps = from.rotateBitmaps;
    to.renderType = from.renderType;
}

// Selects the last entry of the list that is exactly `name`; false when none is.
bool selectLastEqual(QListWidget* list, const QString& name)
{
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->item(i)->text() == name) {
            list->setCurrentRow(i);
            return true;
        }
    }
    return false;
}

QString errorText(const std::exception& e, const TForm4& shared)
{
    if (const auto* error = dynamic_cast<const Error*>(&e); error && error->languageString() >= 0)
        return shared.text(error->languageString());
    return QString::fromStdString(e.what());
}

} // namespace

ProjectSettings TForm1::projectSettings() const
{
    ProjectSettings s = settingsFromControls();
    if (renderWindow_)
        renderWindow_->readOptions(s);
    else
        copyRenderOptions(renderOptions_, s);
    return s;
}

void TForm1::applyProjectSettings(const ProjectSettings& s)
{
    const struct {
        QScrollBar* bar;
        const ScrollSetting& setting;
    } bars[] = {{ScrollBar3, s.scale},   {ScrollBar1, s.fontSize}, {ScrollBar2, s.brightnes},
                {ScrollBar5, s.density}, {ScrollBar6, s.shufle},   {ScrollBar7, s.kerning},
                {ScrollBar8, s.logoSize}};
    for (const auto& b : bars)
        b.bar->setValue(b.setting.position());
    Edit1->setText(QString::fromStdString(s.text));
    MaskEdit1->setText(QString::fromStdString(s.seedText));
    CheckBox1->setChecked(s.logoInvert);
    if (!s.fontName.empty())
        selectLastEqual(ListBox1, QString::fromStdString(s.fontName));

    // The style button is pressed without its click handling (no messages); the bars it
    // shows follow it all the same.
    if (QAbstractButton* style = styleGroup->button(s.previewButton))
        style->setChecked(true);
    ShowDensityBar(s.previewButton == kPoints);
    // The page change shows the page's own bars; its recompute waits like every other.
    PageControl1->setCurrentIndex(s.activePage);

    if (renderWindow_)
        renderWindow_->applyOptions(s);
    else
        copyRenderOptions(s, renderOptions_);
}

void TForm1::New1Click()
{
    buildPreviewEnabled = false;
    shared_.ledImages.clear();
    Render1->setEnabled(false);
    SpeedButton5->setEnabled(false);
    SpeedButton6->setEnabled(false);
    SpeedButton7->setEnabled(false);
    Edit1->setText(shared_.text(35));
    ScrollBar1->setRange(6, 32);
    ScrollBar1->setValue(20);
    ScrollBar2->setRange(0, 255);
    ScrollBar2->setValue(128);
    ScrollBar3->setRange(2, 16);
    ScrollBar3->setValue(5);
    ScrollBar4->setRange(0, 0);
    ScrollBar4->setValue(0);
    ScrollBar5->setValue(10);
    selectLastEqual(ListBox1, QFontInfo(font()).family());
    ScrollBar5->hide();
    Image7->hide();
    Image8->hide();
    ScrollBar2->show();
    Image4->show();
    Image5->show();
    SpeedButton1->setChecked(true);
    // The logo picture stays in memory; it is only no longer used.
    shared_.logo.loaded = false;
    PageControl1->setCurrentIndex(0);
    QPixmap face(Image13->size());
    face.fill(palette().color(QPalette::Button));
    Image13->setPixmap(face);
    CheckBox1->setChecked(false);
    buildPreviewEnabled = true;
    BuildPreview();
}

void TForm1::showStrip()
{
    ScrollBox1->show();
    Panel1->hide();
    buildPreviewEnabled = true;
}

void TForm1::Load1Click()
{
    const std::optional<QString> file = prompts_.chooseFileToOpen(OpenDialog2);
    if (!file) {
        showStrip();
        BuildPreview();
        return;
    }
    buildPreviewEnabled = false;
    ScrollBox1->hide();
    Label1->setText(QStringLiteral("..."));
    Panel1->show();
    Panel1->raise();
    New1Click();
    // The lines go into the settings first; the controls take them at the end, or where
    // reading stops, so that no recompute runs half-way through the file.
    buildPreviewEnabled = false;

    ProjectSettings settings = projectSettings();
    std::vector<std::string> fontNames;
    fontNames.reserve(static_cast<size_t>(ListBox1->count()));
    for (int i = 0; i < ListBox1->count(); ++i)
        fontNames.push_back(ListBox1->item(i)->text().toStdString());
    ProjectState state{settings, shared_.ledImages, shared_.logo, fontNames};
    WindowProjectPrompts questions(prompts_, shared_, OpenDialog1, FontDialog1Title, font(),
                                   Label1);

    ReadEnd end = ReadEnd::Complete;
    QString error;
    try {
        end = ReadProjectFile(file->toStdString(), state, questions, DecodePictureFile);
    } catch (const std::exception& e) {
        error = errorText(e, shared_);
    }
    applyProjectSettings(settings);
    setLedCommands();
    if (shared_.logo.loaded)
        ShowLogo();
    if (!error.isEmpty()) {
        // What was read before the fault stays applied.
        showStrip();
        prompts_.inform(shared_.text(30), error);
        return;
    }
    switch (end) {
    case ReadEnd::Cancelled:
        New1Click();
        showStrip();
        break;
    case ReadEnd::LogoRefused:
        showStrip();
        break;
    case ReadEnd::Complete:
        showStrip();
        BuildPreview();
        break;
    }
}

void TForm1::Save1Click()
{
    const std::optional<QString> file = prompts_.chooseFileToSave(SaveDialog1);
    if (!file)
        return;
    if (QFileInfo::exists(*file) &&
        !prompts_.askYesNo(shared_.text(30), shared_.text(0) + QLatin1Char(' ') + *file))
        return;
    try {
        ProjectSettings settings = projectSettings();
        const std::vector<std::string> noFontList;
        const ProjectState state{settings, shared_.ledImages, shared_.logo, noFontList};
        WriteProjectFile(file->toStdString(), state);
    } catch (const std::exception& e) {
        prompts_.inform(shared_.text(30), errorText(e, shared_));
    }
}

void TForm1::Exit1Click()
{
    if (!FormCloseQuery())
        return;
    close();
}

bool TForm1::FormCloseQuery()
{
    if (quitConfirmed_)
        return true;
    if (!prompts_.askYesNo(shared_.text(30), shared_.text(34)))
        return false;
    quitConfirmed_ = true;
    buildPreviewEnabled = false;
    detachHandlers();
    return true;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::detachHandlers()
{
    // Nothing may recompute while the windows are taken down.
    disconnect(PaintBox1, nullptr, this, nullptr);
    disconnect(Edit1, nullptr, this, nullptr);
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2, ScrollBar3, ScrollBar4, ScrollBar5, ScrollBar6,
                            ScrollBar7, ScrollBar8})
        disconnect(bar, nullptr, this, nullptr);
    for (QAction* a : {Inf1, Inf2, Inf3})
        disconnect(a, nullptr, this, nullptr);
    disconnect(MaskEdit1, nullptr, this, nullptr);
    disconnect(styleGroup, nullptr, this, nullptr);
    disconnect(PageControl1, nullptr, this, nullptr);
    disconnect(ListBox1, nullptr, this, nullptr);
    disconnect(CheckBox1, nullptr, this, nullptr);
}

} // namespace lumexa
