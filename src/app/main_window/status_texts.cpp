// Language texts are joined rather than passed through QString::arg, so that a "%" in
// a translation stays as it is.
#include "app/main_window/status_texts.h"

#include "app/window_strings.h"

namespace lumexa
{

QStringList StatusTexts(const std::function<QString(int)>& text, const StatusValues& v,
                        SizeUnit unit)
{
    const auto label = [&text](int n) { return text(n) + QStringLiteral(": "); };
    QStringList panels;
    panels << label(22) + QString::number(v.fontDots);
    // A language file older than the unit's string leaves it empty: the unit stays English.
    const QString dots = text(kStringDots);
    panels << label(23) + QStringLiteral("%1 x %2 ").arg(v.columns).arg(v.rows) +
                  (dots.isEmpty() ? QStringLiteral("dots") : dots);
    if (v.ledCount == 0) {
        panels << text(28);
        return panels;
    }
    const double w = double(v.ledWidth) * v.columns;
    const double h = double(v.ledHeight) * v.rows;
    const double dpi = v.dpi > 0 ? v.dpi : 300;
    switch (unit) {
    case SizeUnit::Pixels:
        panels << label(24) +
                      QStringLiteral("%1 x %2 ")
                          .arg(static_cast<qint64>(v.ledWidth) * v.columns)
                          .arg(static_cast<qint64>(v.ledHeight) * v.rows) +
                      text(25);
        break;
    case SizeUnit::Inch:
        panels << label(24) +
                      QStringLiteral("%1 x %2 ").arg(w / dpi, 0, 'f', 2).arg(h / dpi, 0, 'f', 2) +
                      text(26);
        break;
    case SizeUnit::Cm:
        panels << label(24) +
                      QStringLiteral("%1 x %2 ")
                          .arg(w / dpi * 2.54, 0, 'f', 2)
                          .arg(h / dpi * 2.54, 0, 'f', 2) +
                      text(27);
        break;
    }
    return panels;
}

} // namespace lumexa
