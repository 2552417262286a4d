// Drawing of the font list.
#include "app/main_window/font_list_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace lumexa
{

QFont FontListDelegate::faceFont(const QString& family)
{
    QFont font = QApplication::font();
    font.setFamily(family);
    return font;
}

QSize FontListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QFontMetrics metrics(faceFont(index.data().toString()));
    return QSize(option.rect.width() > 0 ? option.rect.width() : 100,
                 metrics.size(Qt::TextSingleLine, QStringLiteral("Wg")).height() + 2);
}

void FontListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, selected ? pal.highlight() : pal.base());
    const QFont font = faceFont(index.data().toString());
    painter->setFont(font);
    painter->setPen(selected ? pal.highlightedText().color() : pal.text().color());
    const QFontMetrics metrics(font);
    painter->drawText(option.rect.left() + 1, option.rect.top() + 1 + metrics.ascent(),
                      index.data().toString());
    painter->restore();
}

} // namespace lumexa
