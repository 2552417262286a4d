// The File menu's project commands: New project, Load project, Save project and Save As,
// the recent projects, and Exit with the quit question also asked when the window is
// closed. The project counts as changed while its lines differ from what was last loaded,
// saved or begun; New, Load and Exit offer to save such changes first.
#include "app/main_window/main_window.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/program_memory.h"
#include "app/project_prompts_qt.h"
#include "app/render_window/render_window.h"
#include "app/replace_question.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/base/error.h"
#include "core/project/project_file.h"
#include "imaging/read/picture_decoder.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>

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
    to.printDpi = from.printDpi;
    to.compression = from.compression;
    to.backgroundOpacity = from.backgroundOpacity;
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

const QString kProgramTitle = QStringLiteral("LUMEXA•••");

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

void TForm1::NewProjectCommand()
{
    if (!maybeSaveChanges())
        return;
    New1Click();
    projectPath_.clear();
    pathForms_ = {};
    markSaved();
    startHistory();
    showEmptyStartHint();
}

void TForm1::showStrip()
{
    ScrollBox1->show();
    Panel1->hide();
    buildPreviewEnabled = true;
}

void TForm1::Load1Click()
{
    if (!maybeSaveChanges())
        return;
    const std::optional<QString> file = askFile(OpenDialog2, QStringLiteral("project"), false);
    if (!file) {
        showStrip();
        BuildPreview();
        return;
    }
    openProject(*file);
}

void TForm1::openStartupArguments(const QStringList& arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return;
    const QString project = QFileInfo(arguments.at(1)).absoluteFilePath();
    QTimer::singleShot(0, this, [this, project] { openProject(project); });
}

bool TForm1::openProject(const QString& path)
{
    // The file is read and vetted before anything is reset: a file that cannot be opened,
    // is no project or holds a bad value leaves the current work as it was.
    try {
        CheckProjectFile(path.toStdString());
    } catch (const std::exception& e) {
        prompts_.inform(shared_.text(30), shared_.errorText(e));
        return false;
    }
    buildPreviewEnabled = false;
    ScrollBox1->hide();
    Label1->setText(QStringLiteral("..."));
    Panel1->show();
    Panel1->raise();

    // The project is read beside the one that is open, which stays until the file has
    // been read: Cancel at a question keeps it as it was.
    std::vector<std::string> fontNames;
    fontNames.reserve(static_cast<size_t>(ListBox1->count()));
    for (int i = 0; i < ListBox1->count(); ++i)
        fontNames.push_back(ListBox1->item(i)->text().toStdString());
    const std::string windowFont = QFontInfo(font()).family().toStdString();
    ProjectSettings settings = projectSettings();
    NewProjectSettings(settings, shared_.text(35).toStdString(),
                       std::find(fontNames.begin(), fontNames.end(), windowFont) != fontNames.end()
                           ? windowFont
                           : std::string());
    LedImageSet leds;
    Logo logo = shared_.logo;
    logo.loaded = false;
    PicturePathForms forms;
    ProjectState state{settings, leds, logo, fontNames, &forms};
    WindowProjectPrompts questions(prompts_, shared_, OpenDialog1, FontDialog1Title, font(),
                                   Label1);

    ReadEnd end = ReadEnd::Complete;
    QString error;
    try {
        end = ReadProjectFile(path.toStdString(), state, questions, DecodePictureFile);
    } catch (const std::exception& e) {
        error = shared_.errorText(e);
    }
    if (error.isEmpty() && end == ReadEnd::Cancelled) {
        showStrip();
        BuildPreview();
        return true;
    }

    // What was read takes the place of the open project, as New project and the lines
    // applied one by one would leave it.
    New1Click();
    buildPreviewEnabled = false;
    const int selected = leds.SelectedLedImage();
    while (leds.count() > 0)
        shared_.ledImages.insert(shared_.ledImages.count(), leds.take(0));
    if (selected >= 0)
        shared_.ledImages.select(selected);
    shared_.logo = std::move(logo);
    pathForms_ = std::move(forms);
    // The tags of an LED picture that was not loaded would name the pictures after it.
    const QString goneTags = questions.rewriteTagsOfSkipped(settings.text);
    applyProjectSettings(settings);
    setLedCommands();
    if (shared_.logo.loaded)
        ShowLogo();
    if (!error.isEmpty()) {
        // What was read before the fault stays applied.
        showStrip();
        prompts_.inform(shared_.text(30), error);
        BuildPreview();
        startHistory();
        return true;
    }
    showStrip();
    if (end == ReadEnd::Complete)
        BuildPreview();
    projectPath_ = QFileInfo(path).absoluteFilePath();
    rememberProject(projectPath_);
    markSaved(!questions.changedProject());
    startHistory();
    showEmptyStartHint();
    if (!goneTags.isEmpty())
        prompts_.inform(shared_.text(30), goneTags);
    return true;
}

void TForm1::OpenExample1Click()
{
    if (!maybeSaveChanges())
        return;
    // Always the shipped examples, whichever folder projects were last loaded from.
    FileRequest dialog = OpenDialog2;
    dialog.title = DialogTitle(shared_.text(kStringOpenExample));
    dialog.folder = examplesFolder_.isEmpty() ? programFolder_ : examplesFolder_;
    dialog.selectedFilter = 0;
    if (const std::optional<QString> file = prompts_.chooseFileToOpen(dialog))
        openProject(*file);
}

void TForm1::Save1Click()
{
    saveProject(false);
}

void TForm1::SaveAs1Click()
{
    saveProject(true);
}

bool TForm1::saveProject(bool chooseName)
{
    QString file = projectPath_;
    AtomicFileOptions options;
    if (chooseName || file.isEmpty()) {
        // A loaded project is saved beside itself; a new one goes to the documents folder
        // unless projects were saved elsewhere before.
        if (projectPath_.isEmpty()) {
            SaveDialog1.folder =
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            RestoreFileRequest(QStringLiteral("project"), SaveDialog1);
            SaveDialog1.fileName = shared_.text(kStringUntitled) + QStringLiteral(".led");
        } else {
            SaveDialog1.folder = QFileInfo(projectPath_).absolutePath();
            SaveDialog1.fileName = QFileInfo(projectPath_).fileName();
        }
        const std::optional<QString> chosen = prompts_.chooseFileToSave(SaveDialog1);
        if (!chosen)
            return false;
        if (!MayReplace(prompts_, shared_, *chosen, shared_.text(0) + QLatin1Char(' ') + *chosen,
                        options.replaceReadOnly))
            return false;
        RememberFileChoice(QStringLiteral("project"), SaveDialog1, *chosen);
        file = *chosen;
    } else if (!MayReplace(prompts_, shared_, file, QString(), options.replaceReadOnly)) {
        // Save over the project's own file asks only when it became read-only.
        return false;
    }
    try {
        const std::string path = QFile::encodeName(file).toStdString();
        // The program's own files (a language file, say) are no place for a project.
        CheckNotProgramFile(path, shared_.programFiles);
        ProjectSettings settings = projectSettings();
        const std::vector<std::string> noFontList;
        const ProjectState state{settings, shared_.ledImages, shared_.logo, noFontList,
                                 &pathForms_};
        WriteProjectFile(path, state, options);
    } catch (const std::exception& e) {
        // Nothing was saved: the work stays unsaved, and the project keeps its file.
        prompts_.inform(shared_.text(30), shared_.errorText(e));
        return false;
    }
    projectPath_ = QFileInfo(file).absoluteFilePath();
    rememberProject(projectPath_);
    markSaved();
    showEmptyStartHint();
    return true;
}

std::vector<std::string> TForm1::currentProjectLines() const
{
    ProjectSettings settings = projectSettings();
    const std::vector<std::string> noFontList;
    const ProjectState state{settings, const_cast<TForm4&>(shared_).ledImages,
                             const_cast<TForm4&>(shared_).logo, noFontList};
    return ProjectFileLines(state);
}

bool TForm1::isModified() const
{
    return currentProjectLines() != savedLines_;
}

void TForm1::markSaved(bool asOnDisk)
{
    // No project has no lines: a project changed by loading never matches.
    savedLines_ = asOnDisk ? currentProjectLines() : std::vector<std::string>();
    if (undoStack_)
        undoStack_->setClean();
    updateTitle();
}

void TForm1::updateTitle()
{
    QString name =
        projectPath_.isEmpty() ? shared_.text(kStringUntitled) : QFileInfo(projectPath_).fileName();
    if (name.isEmpty())
        name = QStringLiteral("untitled");
    // Qt puts the mark in place of "[*]" while the window is marked modified.
    setWindowTitle(name + QStringLiteral("[*] — ") + kProgramTitle);
    setWindowModified(isModified());
}

bool TForm1::maybeSaveChanges()
{
    if (!isModified())
        return true;
    const QString name =
        projectPath_.isEmpty() ? shared_.text(kStringUntitled) : QFileInfo(projectPath_).fileName();
    switch (prompts_.askSaveChanges(shared_.text(30), shared_.text(kStringSaveChanges).arg(name))) {
    case SaveAnswer::Save:
        return saveProject(false);
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void TForm1::rememberProject(const QString& path)
{
    AddRecentProject(path);
    fillRecentMenu();
}

void TForm1::fillRecentMenu()
{
    Recent1->clear();
    const QStringList recent = RecentProjects();
    int n = 1;
    for (const QString& path : recent) {
        // Numbered as mnemonics: Alt+F, R, 1 opens the latest.
        QAction* a = Recent1->addAction(QStringLiteral("&%1 %2").arg(n++).arg(
            QDir::toNativeSeparators(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (maybeSaveChanges())
                openProject(path);
        });
    }
    Recent1->setEnabled(!recent.isEmpty());
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
    // Unsaved work gets the save question in place of the quit question.
    if (isModified()) {
        if (!maybeSaveChanges())
            return false;
    } else if (!prompts_.askYesNo(shared_.text(30), shared_.text(34))) {
        return false;
    }
    quitConfirmed_ = true;
    buildPreviewEnabled = false;
    RememberWindowGeometry(saveGeometry());
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
