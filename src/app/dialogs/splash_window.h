// The splash window TForm5, shown while the program creates its windows.
#pragma once

#include <QWidget>

namespace lumexa
{

class TForm5 : public QWidget
{
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);
    // The two lines in the language read before any window (empty: the design's words).
    void setTexts(const QString& title, const QString& note);
};

} // namespace lumexa
