// The about window TFormInfo: the logo with a hidden change history, an endlessly
// scrolling list of lines, and OK.
#pragma once

#include "core/project/language_table.h"

#include <QDialog>
#include <QImage>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace lumexa
{

class TFormInfo : public QDialog
{
    Q_OBJECT
  public:
    explicit TFormInfo(QWidget* parent = nullptr);

    // The scroller's and the history's words in the language in force.
    void applyCaptions(const LanguageTable& strings);
    const QStringList& aboutLines() const { return aboutLines_; }

    // The scroller: one pixel per tick while running; the bitmap holds every line twice
    // so that the 40-row window never runs off its end.
    void Timer1Timer();
    void Image2Click();
    // A press on the logo picture at `pos` (picture coordinates).
    void Image1MouseDown(Qt::MouseButton button, QPoint pos);

    int scrollerPosition() const { return scrollerPosition_; }
    bool scrollerRunning() const { return scrollerRunning_; }
    int aboutLineCount() const { return static_cast<int>(aboutLines_.size()); }
    QPlainTextEdit* historyBox() const { return Memo1; }
    QLabel* scrollerBox() const { return Image2; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void buildScrollerBitmap();
    void setTexts(const QString& version, const QString& line1, const QString& line2,
                  const QString& stop);

    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QTimer* Timer1 = nullptr;
    QStringList aboutLines_;
    QImage scroller_;
    int scrollerPosition_ = 0;
    bool scrollerRunning_ = true;
};

} // namespace lumexa
