// The render window TForm3: the render options, the destination file, the log, the
// progress controls and the preview area, with the Render and Preview runs that work on
// threads of their own while the window polls them. The Render command of the main window
// prepares it and shows it modally.
#pragma once

#include "app/desktop_open.h"
#include "app/user_prompts.h"
#include "core/layout/random_source.h"
#include "core/layout/render_layout.h"
#include "core/project/settings.h"
#include "core/render/render_scene.h"

#include <QDialog>
#include <QImage>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace lumexa
{

class GlyphRasterizer;
class ZoomView;
class PrintSizeBox;
class TForm4;
class WindowRenderLog;
class WindowRun;
struct RenderRequest;

class TForm3 : public QDialog
{
    Q_OBJECT
  public:
    // What the window is doing: nothing, or one of its runs (Inspecting while the inspector's
    // scene is laid out).
    enum class Activity { Idle, Rendering, Previewing, Inspecting };
    // The preview area at the window's fixed size.
    static constexpr int kPreviewWidth = 455;
    static constexpr int kPreviewHeight = 321;

    TForm3(TForm4& shared, UserPrompts& prompts, QWidget* parent = nullptr);
    ~TForm3() override;

    // What the Render command does before it shows the window: the main window's settings
    // the runs lay out (text, font, threshold, seed...; the render options come from this
    // window's own controls), no destination yet, Render disabled, a fresh log, no progress.
    void prepareForCommand(const ProjectSettings& layoutSettings);
    // The render options as a project file keeps them, read from and put on the controls.
    void readOptions(ProjectSettings& settings) const;
    void applyOptions(const ProjectSettings& settings);
    // The project file in hand (empty for a new project): the destination dialog starts
    // in its folder with its name.
    void setProjectFile(const QString& path);
    // The result's size in pixels as the main window's layout gives it, for the print size.
    void setResultSize(int64_t width, int64_t height);
    // The main window's settings with this window's options on top.
    ProjectSettings runSettings() const;

    // Lays out the current settings on a run of their own, then shows the final picture in
    // the inspector; it follows the options until a run starts or the window closes.
    void inspect();

    // Handlers.
    void FormActivate();
    void Button1Click();
    void BitBtn1Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void Button3Click();
    void Button2Click();
    void Button4Click();

    // A log line made of language string n and a tail of figures.
    void addLogLine(int n, const QString& tail = {});
    void addLogText(const QString& text);

    Activity activity() const { return activity_; }
    // True while a run's thread exists, also for the moment a cancelled run takes to stop.
    bool runActive() const { return run_ != nullptr; }
    // True while a run lays out, before it counts its first row.
    bool layingOut() const;
    // The destination the save dialog holds (empty until one was chosen).
    const QString& destination() const { return SaveDialog1.fileName; }
    // The preview area as drawn now.
    QImage previewImage() const { return preview_; }
    // Polls a running render or preview once; the window's timer calls it.
    void pollRun();

    // Controls, named as designed.
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    // Beside "background": the unlit LEDs transparent or opaque in picture files, in the
    // order of BackgroundOpacity's values; enabled while "background" is checked.
    QComboBox* BackgroundBox = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* BitBtn1 = nullptr;
    // How a PNG or TIFF destination is compressed: fast or small; offered only for those.
    QLabel* CompressionLabel = nullptr;
    QComboBox* CompressionBox = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    ZoomView* Inspector = nullptr;
    QLabel* InspectorStatus = nullptr;
    QPushButton* InspectButton = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    // Shown over the preview once a deep zoom export is written: opens its page.
    QPushButton* OpenPageButton = nullptr;
    PrintSizeBox* PrintSize = nullptr;
    FileRequest SaveDialog1;

    // How a page or document is opened: with the desktop, or as a test scripts it.
    std::function<bool(const QUrl&)> openPage = OpenWithDesktop;
    // The program's folder of web files, which a deep zoom export's page is made from.
    void setWebFolder(const std::string& folder) { webFolder_ = folder; }
    // The page of the deep zoom export written last (empty when there is none).
    const QString& exportedPage() const { return exportedPage_; }

    // Render type: the checked item of RadioGroup1, 0..2.
    int renderType() const;
    void setRenderType(int type);

  protected:
    void showEvent(QShowEvent* event) override;
    // Exit, Escape and closing all end here; none of them acts while a run is under way.
    void done(int result) override;

  private:
    void createControls();
    void setActivity(Activity activity);
    // Enables the compression choice while idle with a PNG or TIFF destination.
    void offerCompression();
    void showError(const QString& text);
    // A request for the current settings, drawn with the window's own random tables.
    RenderRequest makeRequest();
    void startRun(Activity activity, RenderRequest request);
    void setPreview(const QImage& image);
    void drainLog();
    // Shows the log's last line, also after lines that wrap.
    void scrollLogToEnd();
    void finishRun();
    // Waits for a cancelled run that is still finishing its row, and closes it.
    void finishCancelledRun();
    // The inspector's source made again from the options on the controls.
    void followOptions();
    void showInspector(bool shown);
    void openExportedPage();
    // The Open the page button for `page`; hidden when it is empty.
    void offerPage(const QString& page);

    TForm4& shared_;
    UserPrompts& prompts_;
    // The user agreed to replace the destination though it is read-only.
    bool replaceReadOnly_ = false;
    ProjectSettings layoutSettings_;
    std::unique_ptr<GlyphRasterizer> rasterizer_;
    RenderRandom random_;
    RandomGenerator generator_;
    std::unique_ptr<WindowRenderLog> log_;
    std::unique_ptr<WindowRun> run_;
    QTimer* pollTimer_ = nullptr;
    QImage preview_;
    std::unique_ptr<RenderScene> inspectScene_;
    Activity activity_ = Activity::Idle;
    std::string webFolder_;
    QString exportedPage_;
    QString projectFile_;
};

} // namespace lumexa
