// The sequence tree: its set-up and drawing, the road from a selection to an opened or closed
// project, F5 and the mouse.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/lib/colours.h"
#include "core/project/tevproject.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/mainwindow/reportedslot.h"
#include "ui/mainwindow/tevtreedelegate.h"
#include "ui/mainwindow/treeselectiongate.h"
#include "ui/pages/tevcharspage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimer>

namespace tev {

namespace {

QList<QIcon> TreeImages()
{
    QList<QIcon> images;
    for (const char *name : {"Tree Icons\\Tree Line negative", "Tree Icons\\Ombrix",
                             "Tree Icons\\Tree Expanded negative",
                             "Tree Icons\\Tree Collapsed negative", "Tree Icons\\Kel dark_red"})
        images << ImageCollection::icon(QString::fromLatin1(name));
    return images;
}

bool IsSequenceNode(const QTreeWidgetItem *node)
{
    const int state = TvyxDirectoryTreeView::stateIndex(node);
    return state == 1 || state == 2;
}

} // namespace

void TTevMainForm::SetupTree()
{
    FTree->setFileMask(QStringLiteral("*seq"));
    FTree->setShowFiles(true);
    FTree->setStateImages(TreeImages());
    FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FTree->setIndentation(0);
    FTree->setRootIsDecorated(false);
    FTree->setItemsExpandable(true);
    FTree->setExpandsOnDoubleClick(true);
    FTree->setFrameShape(QFrame::NoFrame);
    FTree->setFont(dialogFont(FontFace::Tahoma, 16));
    QPalette palette = FTree->palette();
    palette.setColor(QPalette::Base, colorFromValue(clVYXCtrlBackground));
    palette.setColor(QPalette::Window, colorFromValue(clVYXCtrlBackground));
    palette.setColor(QPalette::Text, Qt::white);
    FTree->setPalette(palette);
    FTree->setItemDelegate(new TTevTreeDelegate(FTree, TreeImages()));

    // The tree refills a folder's nodes whenever it is expanded or searched; a refill that takes
    // the selected node away must not close the project behind the user's back. These are
    // connected before the gate, so that they run before it drops the selection.
    QAbstractItemModel *nodes = FTree->model();
    connect(nodes, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { ++FRowsRemoving; });
    connect(nodes, &QAbstractItemModel::rowsRemoved, this, [this] { --FRowsRemoving; });
    connect(nodes, &QAbstractItemModel::rowsInserted, this, [this] {
        if (FReselectPending)
            QTimer::singleShot(0, this, [this] { ReselectOpenFile(); });
    });

    QItemSelectionModel *designed = FTree->selectionModel();
    FTreeGate = new TTreeSelectionGate(FTree->model(), FTree);
    FTreeGate->SetOnChanging([this](const QModelIndex &target) {
        return TreeSelectionMayChange(FTree->itemFromIndex(target));
    });
    FTree->setSelectionModel(FTreeGate);
    designed->deleteLater();
    // The tree widget keeps its items' selected flags and its item signals from the selection
    // model it was built with; the gate's changes are handed to the same internal receivers.
    // (The window itself asks the gate, not the items.)
    connect(FTreeGate, SIGNAL(selectionChanged(QItemSelection, QItemSelection)), FTree,
            SLOT(_q_selectionChanged(QItemSelection, QItemSelection)));
    connect(FTreeGate, SIGNAL(selectionChanged(QItemSelection, QItemSelection)), FTree,
            SIGNAL(itemSelectionChanged()));
    connect(FTreeGate, SIGNAL(currentChanged(QModelIndex, QModelIndex)), FTree,
            SLOT(_q_emitCurrentItemChanged(QModelIndex, QModelIndex)));

    // The tree widget relays only its first selection model's changes; the gate's are heard
    // here directly.
    connect(FTreeGate, &QItemSelectionModel::selectionChanged, this,
            reported([this] { TreeChange(FTree->currentItem()); }));
    connect(FTree, &QTreeWidget::itemExpanded, this, &TTevMainForm::TreeExpanded);
    connect(FTree, &QTreeWidget::itemCollapsed, this, &TTevMainForm::TreeCollapsed);
    FTree->installEventFilter(this);
    FTree->viewport()->installEventFilter(this);
}

bool TTevMainForm::TreeSelectionMayChange(QTreeWidgetItem *Node)
{
    if (FUpdatingTree || !FApp)
        return true;
    bool allow = true;
    TreeChanging(Node, allow);
    return allow;
}

void TTevMainForm::TreeChanging(QTreeWidgetItem *, bool &AllowChange)
{
    if (!ResolveChanges()) {
        AllowChange = false;
        return;
    }
    // Changes that were kept neither by a save nor by Cancel go now, so that the rest of this
    // move asks no second time.
    if (Project().ChangeState() != 0)
        Project().Close();
}

void TTevMainForm::TreeChange(QTreeWidgetItem *Node)
{
    Q_UNUSED(Node);
    if (FUpdatingTree)
        return;
    if (FRowsRemoving > 0) {
        // A refill took the selected node: the project stays, and its node is selected again
        // once the new nodes are there.
        FReselectPending = true;
        return;
    }
    FReselectPending = false;
    FCharsPage->ClearRecentCharImage();
    Project().Close();
    const QList<QTreeWidgetItem *> nodes = SelectedNodes();
    if (nodes.size() == 1 && IsSequenceNode(nodes.constFirst()))
        Project().OpenFile(TvyxDirectoryTreeView::GetFullPath(nodes.constFirst()));
    TakeBaseline();
    FTree->viewport()->update();
    UpdateEnabledStates();
}

QList<QTreeWidgetItem *> TTevMainForm::SelectedNodes() const
{
    return FTree->selectedItems();
}

QTreeWidgetItem *TTevMainForm::NodeOfPath(const QString &FullPath) const
{
    QTreeWidgetItem *node = FTree->topNode();
    const QString root = FTree->Root();
    if (!node || FullPath.isEmpty() || !FullPath.startsWith(root))
        return nullptr;
    const QStringList parts = FullPath.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        node = TvyxDirectoryTreeView::FindChildNode(node, part);
        if (!node)
            return nullptr;
    }
    return node;
}

void TTevMainForm::ReselectOpenFile()
{
    if (!FReselectPending || !FApp)
        return;
    FReselectPending = false;
    if (FTreeGate->hasSelection())
        return; // the user chose another node meanwhile
    QTreeWidgetItem *node = Project().Empty() ? nullptr : NodeOfPath(Project().FileName());
    if (!node)
        return;
    const QScopedValueRollback updating(FUpdatingTree, true);
    SelectTreeNode(node);
}

void TTevMainForm::SelectTreeNode(QTreeWidgetItem *Node)
{
    if (Node)
        FTree->setCurrentItem(Node);
}

void TTevMainForm::TreeKeyDown(int Key)
{
    QTreeWidgetItem *node = FTree->currentItem();
    if (Key != Qt::Key_F5 || !node || !FTreeGate->isSelected(FTree->indexFromItem(node)))
        return;
    if (!ResolveChanges())
        return;
    if (IsSequenceNode(node)) {
        TreeChange(node); // the file is closed and read again
        return;
    }
    const QString path = TvyxDirectoryTreeView::GetFullPath(node);
    Project().RecoverDirectory(path);
    QTreeWidgetItem *found = nullptr;
    {
        const QScopedValueRollback updating(FUpdatingTree, true);
        FTree->RefreshNodes();
        found = FTree->FindNode(path);
        SelectTreeNode(found);
    }
    TreeChange(found);
}

void TTevMainForm::TreeMouseDown(QTreeWidgetItem *Node)
{
    if (Node && !FTreeGate->isSelected(FTree->indexFromItem(Node)))
        SelectTreeNode(Node);
}

void TTevMainForm::TreeCollapsed(QTreeWidgetItem *)
{
    FTree->viewport()->update();
}

void TTevMainForm::TreeExpanded(QTreeWidgetItem *)
{
    FTree->viewport()->update();
}

void TTevMainForm::PnlTreeResize()
{
    FTree->viewport()->update();
}

bool TTevMainForm::TreeEvent(QObject *watched, QEvent *event)
{
    if (watched == FTree && event->type() == QEvent::KeyPress) {
        TreeKeyDown(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
    if (watched != FTree->viewport() || event->type() != QEvent::MouseButtonPress)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return false; // extending a selection is the tree's own
    const QPoint pos = mouse->position().toPoint();
    QTreeWidgetItem *node = FTree->itemAt(pos);
    if (!node)
        return true; // a click below the rows keeps the selection
    if (!IsSequenceNode(node) && node->childCount() > 0 &&
        TTevTreeDelegate::ImageRect(FTree->visualItemRect(node),
                                    TTevTreeDelegate::Level(FTree->indexFromItem(node)))
            .contains(pos))
        node->setExpanded(!node->isExpanded());
    if (FTreeGate->isSelected(FTree->indexFromItem(node))) {
        // The selected file whose project was closed under it (removed from the database, or
        // an open that failed) opens again; the selection does not move, so nothing else would.
        if (IsSequenceNode(node) && Project().Empty() && SelectedNodes().size() == 1) {
            reported([this, node] { TreeChange(node); })();
            return true;
        }
        return false;
    }
    // Selecting here and letting the tree select again would ask the save question twice.
    TreeMouseDown(node);
    return true;
}

} // namespace tev
