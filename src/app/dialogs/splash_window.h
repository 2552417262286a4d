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
};

} // namespace lumexa
