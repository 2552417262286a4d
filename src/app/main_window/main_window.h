// TForm1: the main window. It holds the controls under their design names, reads them
// into the settings model, calls the engine and shows the result: the preview, the
// status bar, the LED strip and the Logo page.
#pragma once

#include "app/desktop_open.h"
#include "app/main_window/project_steps.h"
#include "app/main_window/status_texts.h"
#include "app/user_prompts.h"
#include "core/layout/dot_record.h"
#include "core/layout/preview_layout.h"
#include "core/project/project_file.h"
#include "core/project/settings.h"

#include <QImage>
#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QTabWidget;
class QToolButton;
class QTranslator;
class QUndoStack;

namespace lumexa
{

class GlyphRasterizer;
class LedStrip;
class PreviewBox;
class TForm3;
class TForm4;
class UserPrompts;

// The Qt locale of a language file ("Polski.lng" is "pl"), or empty when unknown.
QString LanguageLocale(const QString& languageFile);

class TForm1 : public QMainWindow, private StepTarget
{
    Q_OBJECT
  public:
    TForm1(TForm4& shared, UserPrompts& prompts, QWidget* parent = nullptr);
    ~TForm1() override;

    // The program's folder: language files and manuals. The examples are found from it.
    void setProgramFolder(const QString& folder);
    const QString& programFolder() const { return programFolder_; }
    // The shipped example projects (empty when there are none): Add and Load start there
    // until the user has taken a file from a folder of their own.
    const QString& examplesFolder() const { return examplesFolder_; }

    // Recompute and redraw everything from the controls.
    void PrewkaS();
    void BuildPreview();
    bool buildPreviewEnabled = false;

    // Handlers. FormActivate runs when the window is first shown and whenever one of the
    // program's own windows (about, render) closes and hands the focus back; message
    // boxes and file dialogs do not count.
    void FormCreate();
    void FormActivate();
    void PageControl1Change();
    // Shows the density bar and its icons in the threshold bar's place, or the reverse.
    void ShowDensityBar(bool points);
    void Button4Click();
    void SpeedButton1Click();
    void Button1Click(QPushButton* sender);
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void BitBtn1Click();
    void Manual1Click();
    void Webpage1Click();
    void About1Click();
    // Run when the about or render window closes and the main window is active again.
    void ReturnFromModalWindow();
    // The project commands of the File menu. New1Click is the reset itself; the menu's
    // New project first offers to save unsaved changes.
    void New1Click();
    void NewProjectCommand();
    void Load1Click();
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();
    // Opens a project file as Load project does once the file is chosen: the file is
    // checked first and a refused one leaves the current work as it was. False when the
    // file was refused.
    bool openProject(const QString& path);
    // "lumexa PROJECT.led", as a file manager starts the program: the first argument after
    // the program's name opens as Load project would open it, once the event loop runs,
    // so that its questions show over the window.
    void openStartupArguments(const QStringList& arguments);
    // The project file in hand: the one last loaded or saved, empty for a new project.
    const QString& projectPath() const { return projectPath_; }
    // Whether the project differs from what was last loaded, saved or newly begun.
    bool isModified() const;
    // File > Open example...: the project dialog in the examples folder.
    void OpenExample1Click();
    // The Edit menu's steps, at most kUndoSteps of them.
    static constexpr int kUndoSteps = 200;
    QUndoStack* undoStack() const { return undoStack_; }
    // File > Render: prepares the render window and shows it modally.
    void Render1Click();
    // File > Inspect...: the render window opened straight on the inspector.
    void Inspect1Click();
    void openRenderWindow(bool inspect);
    // File > Print poster: lays out the result and shows the poster window for it.
    void PrintPoster1Click();
    // The render window that File > Render shows; start-up sets it.
    void setRenderWindow(TForm3* window);
    void LedImageClick(int n);
    void ShowLogo();
    // Applies a language file and puts its captions on the controls.
    void LoadLanguage(const QString& path);

    // Opens a document or an address with the desktop's "open" action; false when nothing
    // could open it. Tests replace it to see what would be opened.
    std::function<bool(const QUrl&)> openDocument = OpenWithDesktop;
    // The program's web page. None is configured, so Help > Home page opens the folder of
    // examples.
    QUrl homePage;

    // Every setting a project keeps: the controls' values and the render window's options
    // (kept by the main window itself while no render window is set).
    ProjectSettings projectSettings() const;
    // Puts settings on the controls, each through its own change handling.
    void applyProjectSettings(const ProjectSettings& s);

    // The style number: the last of SpeedButton1..7 that is down.
    int styleNumber() const;
    // The settings model as the controls hold it now.
    ProjectSettings settingsFromControls() const;
    // The last recompute's dot list (empty before the first).
    const DotList& dots() const { return lastDots_; }
    int cellWidth() const { return lastCellWidth_; }
    int verticalOffset() const;

    // Controls, named as designed.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QScrollBar* ScrollBar7 = nullptr;
    QLabel* Image11 = nullptr;
    QLabel* Image12 = nullptr;
    QLabel* Image13 = nullptr;
    QPushButton* Button7 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button4 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QButtonGroup* styleGroup = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QToolButton* BitBtn1 = nullptr;
    QFrame* Bevel1 = nullptr;
    PreviewBox* PaintBox1 = nullptr;
    QScrollBar* ScrollBar4 = nullptr;
    QScrollBar* ScrollBar6 = nullptr;
    QScrollBar* ScrollBar3 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QScrollBar* ScrollBar5 = nullptr;
    QScrollBar* ScrollBar8 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* Image6 = nullptr;
    QLabel* Image7 = nullptr;
    QLabel* Image8 = nullptr;
    QLabel* Image9 = nullptr;
    QLabel* Image10 = nullptr;
    QLabel* Image14 = nullptr;
    QLabel* Image15 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    QMenu* File1 = nullptr;
    QAction* NewProject1 = nullptr;
    QAction* LoadProject1 = nullptr;
    QAction* SaveProject1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QMenu* Recent1 = nullptr;
    QAction* OpenExample1 = nullptr;
    QAction* Render1 = nullptr;
    QAction* Inspect1 = nullptr;
    QAction* PrintPoster1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* Information1 = nullptr;
    QAction* Inf1 = nullptr;
    QAction* Inf2 = nullptr;
    QAction* Inf3 = nullptr;
    QAction* Language1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Webpage1 = nullptr;
    QAction* Manual1 = nullptr;
    QAction* About1 = nullptr;

    FileRequest OpenDialog1; // LED pictures and logos
    FileRequest OpenDialog2; // Load project
    FileRequest SaveDialog1; // Save project
    FileRequest OpenDialog3; // Change the language
    QString FontDialog1Title;
    // Puts the language's file types and titles on the dialogs above.
    void applyDialogTexts();

    LedStrip* strip() const { return strip_.get(); }
    TForm4& shared() { return shared_; }
    SizeUnit sizeUnit() const;

  signals:
    // The About command: start-up connects it to the about window, shown modally.
    void aboutRequested();

  protected:
    // The bars' presses (one drag is one step) and the text fields' undo keys, which go to
    // the Edit menu rather than to the fields' own undo.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void createEditMenu();
    void makeWiring();
    // Keeps the window, its title and menu bar, on the screen it opens on.
    void fitToScreen();
    // The hint in the preview while nothing has been begun: no project, no LED image.
    void showEmptyStartHint();

    // Undo. The stack starts afresh with every project (start, New, Load); the settings
    // as the last step left them are kept, so that each change becomes a step from them.
    void startHistory();
    // A step for what the controls changed since the last one, when they changed anything.
    void recordSettings(const StepName& name, int mergeKey = 0);
    // A step of the LED set or the logo, from the settings before it to those now.
    void pushStep(ProjectStep* step);
    ProjectStep* ledStep(const StepName& name, LedStep::Kind kind, int n,
                         std::unique_ptr<LedImage> held);
    // Typing in a text field: one step per run of typing as an editor groups it.
    struct TypingRun {
        int kind = 0; // 0 none, 1 inserting, 2 deleting
        int start = 0;
        int end = 0;
        int key = 0;
    };
    void recordTyping(QLineEdit* field, const std::string& before, TypingRun& run,
                      const StepName& name);
    void recordBar(QScrollBar* bar);
    void updateEditActions();
    void retextSteps();
    // Loads a logo as a step; false when the file was refused.
    void loadLogoStep(const QString& file);
    // StepTarget
    void restoreSettings(const ProjectSettings& settings) override;
    LedImageSet& ledSet() override;
    Logo& logo() override;
    void ledSetChanged() override;
    void logoChanged() override;
    QLabel* makeIcon(const QString& name, int kind);
    QScrollBar* makeVerticalBar(const QString& name, int min, int max, int value, int pageStep);
    void setLedCommands();
    // The inline reason the text cannot be previewed (a tag being typed, nothing to
    // draw), or an empty text.
    QString textProblem() const;
    // The window title: the project's name, marked while there are unsaved changes.
    void updateTitle();
    std::vector<std::string> currentProjectLines() const;
    // The project as it is now is the one on disk; `asOnDisk` false when loading changed it
    // (a picture skipped or replaced, a font replaced), so that it still counts as changed.
    void markSaved(bool asOnDisk = true);
    // Offers to save unsaved changes: false when the user cancelled (or the save failed).
    bool maybeSaveChanges();
    bool saveProject(bool chooseName);
    void fillRecentMenu();
    void rememberProject(const QString& path);
    // A file dialog of one kind ("led", "logo", "project") that starts where the last one
    // of that kind ended, with its file type.
    std::optional<QString> askFile(FileRequest& request, const QString& kind, bool save);
    // Adds the picture files in order as LED images (a drop on the strip).
    void addLedFiles(const QStringList& files);
    // Loads a logo picture; true when the logo in use changed.
    bool loadLogoFile(const QString& file);
    void updateToolTips();
    void loadQtTranslations(const QString& languageFile);
    void drawPreview(const LayoutResult& result);
    void drawLogoPrompt();
    void fillStatusBar(const LayoutResult& result);
    // The status bar's texts from the last layout, at the current unit and print resolution.
    void showStatus();
    QLabel* statusPanel(int n) const;
    // The project's print resolution, held by the render window's print size.
    int printDpi() const;
    void setIntoScrollBar(QScrollBar* bar, int min, int max);
    LedInfo ledInfo() const;
    // The quit question; on Yes the handlers are detached and the window may close.
    bool FormCloseQuery();
    void detachHandlers();
    void showStrip();
    QString manualPath() const;
    QString manualHtmlPath() const;
    bool polishManual() const;

    TForm4& shared_;
    UserPrompts& prompts_;
    TForm3* renderWindow_ = nullptr;
    QString programFolder_;
    QString examplesFolder_;
    std::unique_ptr<LedStrip> strip_;
    std::unique_ptr<GlyphRasterizer> rasterizer_;
    LayoutRandom random_;
    std::vector<TScatterPoint> points_;
    std::vector<QImage> ledImageCache_;
    int ledImageCacheChanges_ = -1;
    DotList lastDots_;
    int lastCellWidth_ = 16;
    int lastRows_ = 0;
    std::optional<StatusValues> lastStatus_;
    bool inRecompute_ = false;
    bool shownOnce_ = false;
    QString projectPath_;
    std::vector<std::string> savedLines_;
    QString languagePath_;
    std::unique_ptr<QTranslator> qtTranslator_;
    QActionGroup* unitGroup_ = nullptr;
    ProjectSettings renderOptions_;
    bool quitConfirmed_ = false;
    // How the loaded project spelled its picture paths, kept for Save.
    PicturePathForms pathForms_;
    QUndoStack* undoStack_ = nullptr;
    ProjectSettings recorded_;
    int recordingPaused_ = 0;
    int gestures_ = 0;
    QScrollBar* heldBar_ = nullptr;
    int heldGesture_ = 0;
    TypingRun textRun_;
    TypingRun seedRun_;
};

} // namespace lumexa
