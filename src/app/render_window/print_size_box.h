// The render window's print size: the print resolution in pixels per inch, and the
// result's size at that resolution in pixels, centimetres and inches. Typing the wanted
// width or height (in the unit chosen beside them) sets the resolution that gives it.
#pragma once

#include <QGroupBox>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumexa
{

class LanguageTable;

class PrintSizeBox : public QGroupBox
{
    Q_OBJECT
  public:
    enum Unit { Centimetres = 0, Inches = 1 };

    explicit PrintSizeBox(QWidget* parent = nullptr);

    int dpi() const;
    void setDpi(int dpi);
    // The result's size in pixels; 0 x 0 while it is not known.
    void setResultSize(int64_t width, int64_t height);
    void applyCaptions(const LanguageTable& strings);

    QSpinBox* DpiBox = nullptr;
    QLineEdit* WidthEdit = nullptr;
    QLineEdit* HeightEdit = nullptr;
    QComboBox* UnitBox = nullptr;
    QLabel* SizeLabel = nullptr;

  signals:
    void dpiChanged(int dpi);

  private:
    // Shows the sizes at the current resolution; the edit the user is typing in keeps
    // what they typed.
    void refresh(const QLineEdit* typing = nullptr);
    // A typed length in the chosen unit sets the resolution that prints `pixels` at it.
    void lengthTyped(QLineEdit* edit, int64_t pixels);

    QLabel* dpiLabel_ = nullptr;
    QLabel* dpiUnit_ = nullptr;
    QLabel* widthLabel_ = nullptr;
    QLabel* heightLabel_ = nullptr;
    QString pixelsWord_ = QStringLiteral("pixels");
    int64_t width_ = 0;
    int64_t height_ = 0;
};

} // namespace lumexa
