#pragma once

#include <QIcon>
#include <QList>
#include <QTreeWidget>
#include <bitset>
#include <initializer_list>

namespace tev {

// A set of state indexes (0 to 255) to select child nodes by.
class TNodeStates
{
public:
    TNodeStates(std::initializer_list<int> states)
    {
        for (int s : states)
            if (s >= 0 && s < 256)
                m_bits.set(std::size_t(s));
    }
    bool contains(int state) const
    {
        return state >= 0 && state < 256 && m_bits[std::size_t(state)];
    }

private:
    std::bitset<256> m_bits;
};

// A tree of one folder, its root: sub-folders and, when asked, the files that match a mask.
// It reads the disk lazily: filling a node reads SubLevels folder levels below it, and
// expanding a node reads them again, so the tree always holds one level more than the user has
// opened (which gives a folder with sub-folders its expand button). Nothing is cached or
// watched; node pointers do not survive a refill, so callers find nodes again by path.
//
// The top node's text is the root exactly as set; every other node's text is a bare name.
// Files carry a state index, 1 for ".seq" and 2 for ".mseq" (when the tree has state images),
// by which callers tell sequence files from folders.
class TvyxDirectoryTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int kNoState = -1;

    explicit TvyxDirectoryTreeView(QWidget *parent = nullptr);

    QString Root() const { return m_root; }
    // Setting another root makes it the process's current folder when it exists (failing that
    // throws tev::Error) and rebuilds the tree; a missing folder gives a lone top node.
    void setRoot(const QString &root);

    int SubLevels() const { return m_subLevels; }
    void setSubLevels(int levels) { m_subLevels = levels; }
    QString FileMask() const { return m_fileMask; }
    void setFileMask(const QString &mask) { m_fileMask = mask; }
    bool ShowFiles() const { return m_showFiles; }
    void setShowFiles(bool show) { m_showFiles = show; }

    // The state image list: index 1 is drawn for ".seq" files, 2 for ".mseq".
    void setStateImages(const QList<QIcon> &images) { m_stateImages = images; }
    bool hasStateImages() const { return !m_stateImages.isEmpty(); }
    static int stateIndex(const QTreeWidgetItem *node);

    QTreeWidgetItem *topNode() const { return topLevelItem(0); }

    void AddSubDirectories(QTreeWidgetItem *parentNode, int subLevels);
    void RefreshNodes();
    void Clear();
    // The node of a path (absolute below Root, or relative to it). Every node on the way is
    // refilled from the disk as it is expanded, so entries made since the last fill are found.
    QTreeWidgetItem *FindNode(const QString &path);
    static QTreeWidgetItem *FindChildNode(QTreeWidgetItem *parentNode, const QString &nodeText);
    static QString GetFullPath(const QTreeWidgetItem *node);
    static QString GetChildNames(const QTreeWidgetItem *parentNode, const TNodeStates &states);
    static bool NodeHasChildStates(const QTreeWidgetItem *parentNode, const TNodeStates &states);

    // Expands a node as a user would, which refills it; a node without children stays as it is.
    void expandNode(QTreeWidgetItem *node);

private:
    void refillAndExpand(QTreeWidgetItem *node);
    void addFileNode(QTreeWidgetItem *parentNode, const QString &name);

    QString m_root;
    int m_subLevels = 2;
    QString m_fileMask;
    bool m_showFiles = false;
    QList<QIcon> m_stateImages;
};

} // namespace tev
