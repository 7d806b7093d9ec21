#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace tev {

// Hands the drawing of every item of a view to its owner (the pages' OnDrawItem and
// OnDrawColumnCell handlers), optionally with a fixed item height, and optionally asks the owner
// for an item's tool tip.
class TOwnerDrawDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using PaintHandler = std::function<void(QPainter &Canvas, const QStyleOptionViewItem &Option,
                                            const QModelIndex &Index)>;
    // The tip of an item drawn in Rect; empty for none.
    using TipHandler = std::function<QString(const QModelIndex &Index, const QRect &Rect)>;

    TOwnerDrawDelegate(PaintHandler Handler, int ItemHeight, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    void SetTipHandler(TipHandler Handler) { FTipHandler = std::move(Handler); }

private:
    PaintHandler FHandler;
    TipHandler FTipHandler;
    int FItemHeight;
};

} // namespace tev
