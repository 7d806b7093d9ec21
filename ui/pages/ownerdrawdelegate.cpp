#include "ui/pages/ownerdrawdelegate.h"

#include <QPainter>

namespace tev {

TOwnerDrawDelegate::TOwnerDrawDelegate(PaintHandler Handler, int ItemHeight, QObject *parent)
    : QStyledItemDelegate(parent)
    , FHandler(std::move(Handler))
    , FItemHeight(ItemHeight)
{}

void TOwnerDrawDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    painter->save();
    painter->setClipRect(option.rect);
    FHandler(*painter, item, index);
    painter->restore();
}

QSize TOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (FItemHeight > 0)
        size.setHeight(FItemHeight);
    return size;
}

} // namespace tev
