// The Print poster window: paper, orientation, finished size, margin and overlap; a
// preview of the result with the sheet grid over it that follows every change, with the
// sheet count and the finished size; and Print, which writes the poster PDF with progress
// and Cancel. The main window's Print poster command hands it a render request and shows it
// modally; the window lays the request out and samples its picture on a run of its own, and
// prints the same scene on another.
#pragma once

#include "app/poster_window/poster_preview.h"
#include "app/user_prompts.h"
#include "core/print/poster_plan.h"
#include "core/run/background_run.h"
#include "imaging/render_request.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <mutex>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace lumexa
{

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

    // The result to print: the request's settings (the print resolution among them) and
    // pictures, which must outlive the window; it is laid out with the window's own random
    // tables, filled afresh as a saved project's are. Starts laying it out and sampling
    // the preview.
    void setRequest(RenderRequest request);

    // The poster the controls ask for now, or nothing (with the reason in the summary).
    const std::optional<PosterPlan>& plan() const { return plan_; }
    bool printing() const { return printing_; }
    // True once the result is laid out (the plan can be made).
    bool laidOut() const { return scene_ != nullptr; }
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
    RenderRandom random_;
    RandomGenerator generator_;
    RenderRequest render_;
    // The scene, handed over by the preparing run once laid out.
    std::mutex laidOutMutex_;
    std::shared_ptr<const RenderScene> laidOut_;
    std::shared_ptr<const RenderScene> scene_;
    PosterPicture sampled_{QSize(kPreviewWidth, kPreviewHeight)};
    QImage picture_; // the sampled result
    QImage preview_; // with the grid over it
    std::optional<PosterPlan> plan_;
    PosterRequest request_;
    bool printing_ = false;
    QTimer* pollTimer_ = nullptr;
    // Last, so that their threads end before anything they use goes.
    BackgroundRun prepare_; // lays out, then samples the picture
    BackgroundRun print_;
};

} // namespace lumexa
