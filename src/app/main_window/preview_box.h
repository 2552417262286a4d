// PaintBox1: the preview area. The main window draws each preview into an off-screen
// picture; this widget shows that picture in one paint, so dragging and resizing stay
// smooth. When the last recompute failed, the last good picture is shown greyed with
// the reason on a line across its foot, so that typing goes on undisturbed. A hint (the
// next step at an empty start) stands on a band across its head, as does a notice (the
// preview of a huge text shows only its start).
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

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
    // A note across the top of the canvas (what the preview leaves out); empty: none.
    void setNotice(const QString& text);
    const QString& notice() const { return notice_; }

  signals:
    // The box changed size: the owner recomputes for the new size.
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // A line of `text` across the top or the foot of the box.
    void drawBand(QPainter& p, const QString& text, bool top, QColor fill, QColor ink);

    QImage canvas_;
    QString problem_;
    QString hint_;
    QString notice_;
};

} // namespace lumexa
