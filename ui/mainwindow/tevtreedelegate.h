#pragma once

#include <QIcon>
#include <QList>
#include <QStyledItemDelegate>

class QTreeWidget;

namespace tev {

// Draws every row of the sequence tree by hand: the selection colour over the whole row, a
// picture at the node's level (the master symbol for ".seq", the gauge symbol for ".mseq", a
// down or right arrow for an expanded or collapsed folder) and the node's text beside it. The tree
// itself draws neither branch lines nor expand buttons.
class TTevTreeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kIndent = 25;
    static constexpr int kImageSize = 24;

    // TreeImages: 0 "Tree Line negative", 1 "Ombrix", 2 "Tree Expanded negative",
    // 3 "Tree Collapsed negative", 4 "Kel dark_red".
    TTevTreeDelegate(QTreeWidget *tree, QList<QIcon> treeImages);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The level of a node: 0 for the top node.
    static int Level(const QModelIndex &index);
    // The picture's place in a row; a click there opens or closes a folder.
    static QRect ImageRect(const QRect &row, int level);
    // The picture a node gets: 1, 4, 2 (expanded) or 3 (collapsed).
    int ImageIndex(const QModelIndex &index) const;

private:
    QTreeWidget *m_tree;
    QList<QIcon> m_images;
};

} // namespace tev
