#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace tev {

// Hands the drawing of every item of a view to its owner (the pages' OnDrawItem and
// OnDrawColumnCell handlers), optionally with a fixed item height.
class TOwnerDrawDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using PaintHandler = std::function<void(QPainter &Canvas, const QStyleOptionViewItem &Option,
                                            const QModelIndex &Index)>;

    TOwnerDrawDelegate(PaintHandler Handler, int ItemHeight, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    PaintHandler FHandler;
    int FItemHeight;
};

} // namespace tev
