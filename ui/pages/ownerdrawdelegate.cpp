#include "ui/pages/ownerdrawdelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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

bool TOwnerDrawDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!FTipHandler || !event || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = FTipHandler(index, option.rect);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    return true;
}

} // namespace tev
