// PaintBox1: the preview area. The main window draws each preview into an off-screen
// picture; this widget shows that picture in one paint, so dragging and resizing stay
// smooth.
#pragma once

#include <QImage>
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

  signals:
    // The box changed size: the owner recomputes for the new size.
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage canvas_;
};

} // namespace lumexa
