// The print size group of the render window.
#include "app/render_window/print_size_box.h"

#include "core/print/paper.h"
#include "core/project/language_table.h"
#include "core/project/settings.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace lumexa
{

namespace
{

template <typename T> T* Named(T* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QString Figure(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

PrintSizeBox::PrintSizeBox(QWidget* parent) : QGroupBox(QStringLiteral("Print size"), parent)
{
    setObjectName(QStringLiteral("PrintSizeBox"));
    // The row is laid out so that every caption gets the width its language needs; the
    // fields give way first.
    dpiLabel_ = Named(new QLabel(QStringLiteral("print resolution"), this), "PrintDpiLabel");
    DpiBox = Named(new QSpinBox(this), "PrintDpiBox");
    DpiBox->setRange(1, kMaxPrintDpi);
    DpiBox->setValue(kDefaultPrintDpi);
    dpiUnit_ = Named(new QLabel(QStringLiteral("pixels per inch"), this), "PrintDpiUnit");

    widthLabel_ = Named(new QLabel(QStringLiteral("width"), this), "PrintWidthLabel");
    widthLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    WidthEdit = Named(new QLineEdit(this), "PrintWidthEdit");
    heightLabel_ = Named(new QLabel(QStringLiteral("height"), this), "PrintHeightLabel");
    heightLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    HeightEdit = Named(new QLineEdit(this), "PrintHeightEdit");
    UnitBox = Named(new QComboBox(this), "PrintUnitBox");
    UnitBox->addItems({QStringLiteral("cm"), QStringLiteral("inch")});

    SizeLabel = Named(new QLabel(this), "PrintSizeLabel");

    auto* row = new QHBoxLayout;
    row->addWidget(dpiLabel_);
    row->addWidget(DpiBox, 3);
    row->addWidget(dpiUnit_);
    row->addSpacing(6);
    row->addWidget(widthLabel_);
    row->addWidget(WidthEdit, 3);
    row->addWidget(heightLabel_);
    row->addWidget(HeightEdit, 3);
    row->addWidget(UnitBox, 4);
    for (QWidget* field : {static_cast<QWidget*>(DpiBox), static_cast<QWidget*>(WidthEdit),
                           static_cast<QWidget*>(HeightEdit), static_cast<QWidget*>(UnitBox)})
        field->setMinimumWidth(56);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(10, 4, 10, 4);
    rows->setSpacing(4);
    rows->addLayout(row);
    rows->addWidget(SizeLabel);

    connect(DpiBox, &QSpinBox::valueChanged, this, [this](int value) {
        refresh();
        emit dpiChanged(value);
    });
    connect(WidthEdit, &QLineEdit::textEdited, this, [this] { lengthTyped(WidthEdit, width_); });
    connect(HeightEdit, &QLineEdit::textEdited, this, [this] { lengthTyped(HeightEdit, height_); });
    // Once typing ends the figure shows what the whole-number resolution really gives.
    connect(WidthEdit, &QLineEdit::editingFinished, this, [this] { refresh(); });
    connect(HeightEdit, &QLineEdit::editingFinished, this, [this] { refresh(); });
    connect(UnitBox, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    refresh();
}

int PrintSizeBox::dpi() const
{
    return DpiBox->value();
}

void PrintSizeBox::setDpi(int dpi)
{
    DpiBox->setValue(dpi);
}

void PrintSizeBox::setResultSize(int64_t width, int64_t height)
{
    width_ = std::max<int64_t>(0, width);
    height_ = std::max<int64_t>(0, height);
    refresh();
}

void PrintSizeBox::applyCaptions(const LanguageTable& strings)
{
    const auto s = [&strings](int n) { return QString::fromStdString(strings[n]); };
    setTitle(s(125));
    dpiLabel_->setText(s(126));
    dpiUnit_->setText(s(127));
    widthLabel_->setText(s(128));
    heightLabel_->setText(s(129));
    pixelsWord_ = s(25);
    UnitBox->setItemText(Centimetres, s(27));
    UnitBox->setItemText(Inches, s(26));
    refresh();
}

void PrintSizeBox::refresh(const QLineEdit* typing)
{
    const bool known = width_ > 0 && height_ > 0;
    WidthEdit->setEnabled(known);
    HeightEdit->setEnabled(known);
    if (!known) {
        WidthEdit->clear();
        HeightEdit->clear();
        SizeLabel->clear();
        return;
    }
    const double dpi = DpiBox->value();
    const double inchesWide = static_cast<double>(width_) / dpi;
    const double inchesHigh = static_cast<double>(height_) / dpi;
    const double perUnit = UnitBox->currentIndex() == Inches ? 1.0 : kMmPerInch / 10;
    if (typing != WidthEdit)
        WidthEdit->setText(Figure(inchesWide * perUnit));
    if (typing != HeightEdit)
        HeightEdit->setText(Figure(inchesHigh * perUnit));
    SizeLabel->setText(QStringLiteral("%1 x %2 %3  =  %4 x %5 %6  =  %7 x %8 %9")
                           .arg(width_)
                           .arg(height_)
                           .arg(pixelsWord_)
                           .arg(Figure(inchesWide * kMmPerInch / 10))
                           .arg(Figure(inchesHigh * kMmPerInch / 10))
                           .arg(UnitBox->itemText(Centimetres))
                           .arg(Figure(inchesWide))
                           .arg(Figure(inchesHigh))
                           .arg(UnitBox->itemText(Inches)));
}

void PrintSizeBox::lengthTyped(QLineEdit* edit, int64_t pixels)
{
    bool ok = false;
    QString text = edit->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const double length = text.toDouble(&ok);
    if (!ok || !(length > 0) || pixels <= 0)
        return;
    const double mm = UnitBox->currentIndex() == Inches ? length * kMmPerInch : length * 10;
    const double wanted = std::round(DpiFor(static_cast<double>(pixels), mm));
    const int dpi = static_cast<int>(std::clamp(wanted, 1.0, double(kMaxPrintDpi)));
    if (dpi == DpiBox->value())
        return;
    const QSignalBlocker quiet(DpiBox);
    DpiBox->setValue(dpi);
    refresh(edit);
    emit dpiChanged(dpi);
}

} // namespace lumexa
