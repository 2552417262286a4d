// The three texts of the main window's status bar: the font's dot rows, the grid size
// and the output size in pixels, or in inches or centimetres at the print resolution.
#pragma once

#include "core/project/settings.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace lumexa
{

enum class SizeUnit { Pixels, Inch, Cm };

struct StatusValues {
    int fontDots = 0;
    int columns = 0;
    int rows = 0;
    int ledCount = 0;
    int ledWidth = 0; // LED image 0's size
    int ledHeight = 0;
    int dpi = kDefaultPrintDpi; // the project's print resolution, pixels per inch
};

// `text(n)` gives language string n; labels 22 to 24, units 25 to 27, 28 without LEDs.
QStringList StatusTexts(const std::function<QString(int)>& text, const StatusValues& values,
                        SizeUnit unit);

} // namespace lumexa
