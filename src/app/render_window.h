// The render window TForm3. It is created at start-up, and the Render command
// shows it modally.
#pragma once

#include <QDialog>

namespace lumexa
{

class TForm3 : public QDialog
{
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace lumexa
