#include "ui/mainwindow/tevtreedelegate.h"

#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/kit/colors.h"

#include <QPainter>
#include <QTreeWidget>
#include <cmath>

namespace tev {

TTevTreeDelegate::TTevTreeDelegate(QTreeWidget *tree, QList<QIcon> treeImages)
    : QStyledItemDelegate(tree)
    , m_tree(tree)
    , m_images(std::move(treeImages))
{}

int TTevTreeDelegate::Level(const QModelIndex &index)
{
    int level = 0;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        ++level;
    return level;
}

QRect TTevTreeDelegate::ImageRect(const QRect &row, int level)
{
    // Half the picture's height, rounded up, above the row's centre; the pixel ratio of the
    // window scales pictures itself, so the factor is 1 here.
    const int top = row.center().y() + 1 - int(std::ceil(kImageSize / 2.0));
    return {row.left() + level * kIndent, top, kImageSize, kImageSize};
}

int TTevTreeDelegate::ImageIndex(const QModelIndex &index) const
{
    const QTreeWidgetItem *node = m_tree->itemFromIndex(index);
    switch (TvyxDirectoryTreeView::stateIndex(node)) {
    case 1:
        return 1;
    case 2:
        return 4;
    default:
        // The collection draws "Tree Expanded" as the arrow pointing down.
        return node && node->isExpanded() ? 2 : 3;
    }
}

void TTevTreeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    painter->save();
    // A focused node that is not selected (Ctrl with the arrow keys) gets only a frame, so that
    // the fill always means "selected".
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = option.state & QStyle::State_HasFocus;
    const QColor brush =
        selected ? colorFromValue(clVYXSelected) : m_tree->palette().color(QPalette::Base);
    // The whole row, one pixel taller, whatever the column's width.
    const QRect row(0, option.rect.top(),
                    std::max(option.rect.right() + 1, m_tree->viewport()->width()),
                    option.rect.height() + 1);
    painter->fillRect(row, brush);
    if (focused && !selected) {
        painter->setPen(colorFromValue(clVYXSelected));
        painter->drawRect(row.adjusted(0, 0, -1, -2));
    }

    const int level = Level(index);
    const QRect image = ImageRect(option.rect, level);
    const QIcon icon = m_images.value(ImageIndex(index));
    if (!icon.isNull())
        icon.paint(painter, image);

    painter->setFont(m_tree->font());
    painter->setPen(selected ? QColor(Qt::white) : m_tree->palette().color(QPalette::Text));
    const QRect text(option.rect.left() + level * kIndent + kIndent, option.rect.top(),
                     std::max(0, row.right() - option.rect.left() - (level + 1) * kIndent),
                     option.rect.height());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize TTevTreeDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QFontMetrics metrics(m_tree->font());
    const int width = (Level(index) + 1) * kIndent +
                      metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 4;
    Q_UNUSED(option);
    return {width, std::max(kImageSize + 2, metrics.height() + 4)};
}

} // namespace tev
