// The Print poster window: paper, orientation, finished size, margin and overlap; a
// preview of the result with the sheet grid over it that follows every change, with the
// sheet count and the finished size; and Print, which writes the poster PDF on a worker
// thread with progress and Cancel. The main window's Print poster command lays out the
// result and shows this window modally.
#pragma once

#include "app/user_prompts.h"
#include "core/layout/render_layout.h"
#include "core/print/poster_plan.h"
#include "core/project/settings.h"

#include <QDialog>
#include <QImage>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace lumexa
{

class LedImageSet;
class PosterRender;
class PosterSampler;
class TForm4;

class PosterWindow : public QDialog
{
    Q_OBJECT
  public:
    static constexpr int kPreviewWidth = 432;
    static constexpr int kPreviewHeight = 300;
    // The paper list's items in order; the last is the size typed beside it.
    enum PaperItem { A4, A3, Letter, Legal, CustomPaper };

    PosterWindow(TForm4& shared, UserPrompts& prompts, QWidget* parent = nullptr);
    ~PosterWindow() override;

    // The result to print: its layout drawn with `leds` (which must outlive the window)
    // and the settings it was laid out with (the print resolution among them).
    // Starts sampling the preview.
    void setResult(RenderLayout layout, const LedImageSet& leds, const ProjectSettings& settings);

    // The poster the controls ask for now, or nothing (with the reason in the summary).
    const std::optional<PosterPlan>& plan() const { return plan_; }
    bool printing() const { return print_ != nullptr; }
    // The preview as drawn now.
    QImage previewImage() const { return preview_; }
    // Polls the preview's sampling and a print under way; the window's timer calls it.
    void poll();

    QComboBox* PaperBox = nullptr;
    QLineEdit* PaperEdit = nullptr;
    QComboBox* OrientationBox = nullptr;
    QComboBox* SizeKindBox = nullptr; // finished width or height
    QLineEdit* SizeEdit = nullptr;
    QLineEdit* MarginEdit = nullptr;
    QLineEdit* OverlapEdit = nullptr;
    QFrame* PreviewPanel = nullptr;
    QLabel* PreviewImage = nullptr;
    QLabel* SummaryLabel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* ProgressLabel = nullptr;
    QPushButton* CloseButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CancelButton = nullptr;
    FileRequest SaveDialog;

  protected:
    // Close, Escape and closing wait while a print is under way: Cancel ends it.
    void done(int result) override;

  private:
    void createControls();
    void applyCaptions();
    // Plans the poster from the controls and redraws the preview and the summary.
    void replan();
    PosterRequest request() const; // throws an Error naming a value that does not read
    void redraw();
    void printClick();
    void cancelClick();
    void finishPrint();
    void setPrinting(bool printing);
    QString text(int n) const;

    TForm4& shared_;
    UserPrompts& prompts_;
    RenderLayout layout_;
    const LedImageSet* leds_ = nullptr;
    ProjectSettings settings_;
    std::unique_ptr<PosterSampler> sampler_;
    QImage picture_; // the sampled result
    QImage preview_; // with the grid over it
    std::optional<PosterPlan> plan_;
    PosterRequest request_;
    std::unique_ptr<PosterRender> print_;
    std::atomic<bool> printDone_{false};
    std::jthread printThread_;
    QTimer* pollTimer_ = nullptr;
};

} // namespace lumexa
