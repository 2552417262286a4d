// The font list's items: every font name drawn in its own face
// (ListBox1MeasureItem and ListBox1DrawItem).
#pragma once

#include <QStyledItemDelegate>

namespace lumexa
{

class FontListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The height of "Wg" in the item's face at the default size, plus 2.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The list's background (or the selection's), then the name one pixel in from the
    // item's top-left corner in its own face.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    static QFont faceFont(const QString& family);
};

} // namespace lumexa
