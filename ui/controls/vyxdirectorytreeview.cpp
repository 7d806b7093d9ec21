#include "ui/controls/vyxdirectorytreeview.h"

#include "platform/error.h"

#include <QDir>
#include <QHeaderView>

namespace tev {

namespace {

constexpr int kStateRole = Qt::UserRole + 1;
const QChar kDelimiter = QLatin1Char('/');

// Linux returns directory entries in no useful order; the tree lists them by name without
// regard to case, as users of the original platform saw them.
constexpr QDir::SortFlags kNameOrder = QDir::Name | QDir::IgnoreCase;

int stateOfFile(const QString &name)
{
    const QString lower = name.toLower();
    if (lower.endsWith(QLatin1String(".seq")))
        return 1;
    if (lower.endsWith(QLatin1String(".mseq")))
        return 2;
    return TvyxDirectoryTreeView::kNoState;
}

} // namespace

TvyxDirectoryTreeView::TvyxDirectoryTreeView(QWidget *parent)
    : QTreeWidget(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHeaderHidden(true);
    setColumnCount(1);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *node) { AddSubDirectories(node, m_subLevels); });
}

int TvyxDirectoryTreeView::stateIndex(const QTreeWidgetItem *node)
{
    if (!node)
        return kNoState;
    const QVariant state = node->data(0, kStateRole);
    return state.isValid() ? state.toInt() : kNoState;
}

void TvyxDirectoryTreeView::setRoot(const QString &root)
{
    if (root == m_root)
        return;
    m_root = root;
    if (!root.isEmpty() && QDir(root).exists() && !QDir::setCurrent(root))
        throw Error(QStringLiteral("Cannot make \"%1\" the current folder.").arg(root));
    RefreshNodes();
}

void TvyxDirectoryTreeView::AddSubDirectories(QTreeWidgetItem *parentNode, int subLevels)
{
    if (subLevels < 1 || !parentNode)
        return;
    // Deleting the children also drops any pointer the caller held to them.
    qDeleteAll(parentNode->takeChildren());
    const QDir folder(GetFullPath(parentNode));

    // Hidden entries (names beginning with ".") and "." and ".." are never listed.
    const QStringList folders = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, kNameOrder);
    for (const QString &name : folders) {
        auto *child = new QTreeWidgetItem(parentNode, {name});
        if (m_subLevels > 1)
            AddSubDirectories(child, subLevels - 1);
    }

    // An empty mask matches no file, as an empty search pattern finds nothing.
    if (m_showFiles && !m_fileMask.isEmpty()) {
        const QStringList files = folder.entryList({m_fileMask}, QDir::Files, kNameOrder);
        for (const QString &name : files)
            addFileNode(parentNode, name);
    }
}

void TvyxDirectoryTreeView::addFileNode(QTreeWidgetItem *parentNode, const QString &name)
{
    auto *node = new QTreeWidgetItem(parentNode, {name});
    if (!hasStateImages())
        return;
    const int state = stateOfFile(name);
    if (state == kNoState)
        return;
    node->setData(0, kStateRole, state);
    node->setIcon(0, m_stateImages.value(state));
}

void TvyxDirectoryTreeView::RefreshNodes()
{
    clear();
    if (m_root.isEmpty())
        return;
    auto *top = new QTreeWidgetItem(this, {m_root});
    // The root row shows the whole folder path, which a narrow panel cuts off.
    top->setToolTip(0, m_root);
    AddSubDirectories(top, m_subLevels);
}

void TvyxDirectoryTreeView::Clear()
{
    clear();
}

void TvyxDirectoryTreeView::expandNode(QTreeWidgetItem *node)
{
    if (node && node->childCount() > 0 && !node->isExpanded())
        node->setExpanded(true);
}

// An open node is not expanded again, so it is refilled here: a file made since its last fill
// must be found.
void TvyxDirectoryTreeView::refillAndExpand(QTreeWidgetItem *node)
{
    if (node->isExpanded())
        AddSubDirectories(node, m_subLevels);
    else
        expandNode(node);
}

QTreeWidgetItem *TvyxDirectoryTreeView::FindNode(const QString &path)
{
    QTreeWidgetItem *node = topNode();
    if (!node)
        return nullptr;
    QString rest = path;
    rest.replace(QLatin1Char('\\'), kDelimiter);
    if (!m_root.isEmpty() && rest.startsWith(m_root)) {
        rest.remove(0, m_root.size());
        if (rest.startsWith(kDelimiter))
            rest.remove(0, 1);
    }
    // Empty parts (doubled or trailing delimiters, the root alone) name no node.
    const QStringList parts = rest.split(kDelimiter, Qt::SkipEmptyParts);
    refillAndExpand(node);
    for (const QString &part : parts) {
        if (node->childCount() == 0)
            continue; // deeper than the folders go: the deepest existing node
        node = FindChildNode(node, part);
        if (!node)
            return nullptr;
        refillAndExpand(node);
    }
    return node;
}

QTreeWidgetItem *TvyxDirectoryTreeView::FindChildNode(QTreeWidgetItem *parentNode,
                                                      const QString &nodeText)
{
    if (!parentNode)
        return nullptr;
    for (int i = 0; i < parentNode->childCount(); ++i)
        if (parentNode->child(i)->text(0) == nodeText)
            return parentNode->child(i);
    return nullptr;
}

QString TvyxDirectoryTreeView::GetFullPath(const QTreeWidgetItem *node)
{
    if (!node)
        return {};
    QString path = node->text(0);
    for (const QTreeWidgetItem *p = node->parent(); p; p = p->parent()) {
        QString prefix = p->text(0);
        if (!prefix.endsWith(kDelimiter))
            prefix += kDelimiter;
        path.prepend(prefix);
    }
    return path;
}

QString TvyxDirectoryTreeView::GetChildNames(const QTreeWidgetItem *parentNode,
                                             const TNodeStates &states)
{
    QStringList names;
    if (parentNode)
        for (int i = 0; i < parentNode->childCount(); ++i)
            if (states.contains(stateIndex(parentNode->child(i))))
                names << parentNode->child(i)->text(0);
    return names.join(QLatin1Char(';'));
}

bool TvyxDirectoryTreeView::NodeHasChildStates(const QTreeWidgetItem *parentNode,
                                               const TNodeStates &states)
{
    if (!parentNode)
        return false;
    for (int i = 0; i < parentNode->childCount(); ++i)
        if (states.contains(stateIndex(parentNode->child(i))))
            return true;
    return false;
}

} // namespace tev
