// PaintBox1: the preview area. The main window draws each preview into an off-screen
// picture; this widget shows that picture in one paint, so dragging and resizing stay
// smooth. When the last recompute failed, the last good picture is shown greyed with
// the reason on a line across its foot, so that typing goes on undisturbed. A hint (the
// next step at an empty start) stands on a band across its head.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace lumexa
{

class PreviewBox : public QWidget
{
    Q_OBJECT
  public:
    explicit PreviewBox(QWidget* parent = nullptr);

    void setCanvas(QImage canvas);
    const QImage& canvas() const { return canvas_; }
    // The reason the preview is out of date; an empty text shows the canvas as it is.
    void setProblem(const QString& text);
    const QString& problem() const { return problem_; }
    // The hint across the head of the preview; an empty text shows none.
    void setHint(const QString& text);
    const QString& hint() const { return hint_; }

  signals:
    // The box changed size: the owner recomputes for the new size.
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage canvas_;
    QString problem_;
    QString hint_;
};

} // namespace lumexa
