// What the manual's picture tour draws on the windows' screenshots and results: a step's
// screenshot cut to the part it is about with numbered callouts that the text refers to,
// samples enlarged and labelled with the caption of the control that makes them, a page
// of a PDF as a sheet of paper, and the crops of rendered results.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace lumexa
{

// The rectangle `control` covers in `window`'s coordinates (those of a screenshot of it).
QRect RectIn(const QWidget* window, const QWidget* control);
QRect RectIn(const QWidget* window, const std::vector<const QWidget*>& controls);

// Where a callout's number stands beside the part it marks.
enum class CalloutSide { Left, Right, Above, Below };

struct Callout {
    QRect rect; // in the screenshot's coordinates
    CalloutSide side = CalloutSide::Left;
};

// `screenshot` cut to `area` with room around it for the numbers, each callout's part
// outlined and numbered from 1 in the order given.
QImage WithCallouts(const QImage& screenshot, const QRect& area,
                    const std::vector<Callout>& callouts);

// A sample enlarged `scale` times (pixel for pixel, so that single dots stay sharp) under
// its label.
QImage Labelled(const QImage& sample, const QString& label, int scale);

// An option's two results side by side, each enlarged `scale` times under the option's
// caption with an empty box (left) and a ticked one (right), as the window shows it.
QImage OffAndOn(const QImage& off, const QImage& on, const QString& caption, int scale);

// A page rendered from a PDF as a sheet of paper: an outline and a shadow around it.
QImage AsPaper(const QImage& page);

// Alpha is the render's coverage mark, not transparency meant for a page: a dot-free
// area would otherwise print as paper.
QImage Opaque(const QImage& image);

// As a picture viewer shows a result: what has no coverage lets a checkerboard through,
// the one the render window draws. `scale` enlarges the pixels, not the squares.
QImage OverCheckerboard(const QImage& image, int scale);

// The rows that differ from the top row's first pixel, and a few more: the preview's
// empty space above and below the text says nothing about a style.
QImage TrimRows(const QImage& image);

} // namespace lumexa
