#include "platform/error.h"
#include "support/tempfolder.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/printers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace tev {
namespace {

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// A node and its children, e.g. "A[B[],x.SEQ(1),y.mseq(2)]"; a state index in parentheses.
QString dump(const QTreeWidgetItem *node)
{
    QString out = node->text(0);
    const int state = TvyxDirectoryTreeView::stateIndex(node);
    if (state != TvyxDirectoryTreeView::kNoState)
        out += QStringLiteral("(%1)").arg(state);
    if (node->childCount() > 0 || !out.contains(QLatin1Char('.'))) {
        QStringList children;
        for (int i = 0; i < node->childCount(); ++i)
            children << dump(node->child(i));
        out += QLatin1Char('[') + children.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    return out;
}

QString dumpChildren(const QTreeWidgetItem *node)
{
    QString d = dump(node);
    return d.mid(d.indexOf(QLatin1Char('[')));
}

// The fixture folder copied into a temporary folder, plus what git cannot hold: hidden entries
// and empty folders. The process's current folder is restored afterwards.
class DirectoryTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldCurrent = QDir::currentPath();
        root = m_folder.file(QStringLiteral("Sequences"));
        copyFolder(QStringLiteral(TEVORA_FIXTURES_DIR "/tree"), root);
        touch(root + QStringLiteral("/.hidden/secret.seq"));
        touch(root + QStringLiteral("/A/.git/config"));
        touch(root + QStringLiteral("/A/.draft.seq"));
        QDir().mkpath(root + QStringLiteral("/Empty"));
        tree.setFileMask(QStringLiteral("*seq"));
        tree.setShowFiles(true);
        tree.setStateImages({QIcon(), QIcon(), QIcon()});
    }
    void TearDown() override { QDir::setCurrent(m_oldCurrent); }

    test::TempFolder m_folder;
    QString m_oldCurrent;
    QString root;
    TvyxDirectoryTreeView tree;
};

TEST_F(DirectoryTree, FillsTwoLevelsSortedWithoutRegardToCase)
{
    tree.setRoot(root);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topNode()->text(0), root);
    EXPECT_EQ(QDir::currentPath(), QDir(root).canonicalPath());
    // Folders first, then files; hidden entries, notes.txt and readme.txt never appear; the
    // grandchildren folders come without children.
    EXPECT_EQ(dumpChildren(tree.topNode()),
              QStringLiteral("[A[B[],x.SEQ(1),y.mseq(2)],Empty[],Lines[Line 1[],line 2[]],"
                             "Zeta[],alpha.seq(1),Beta.SEQ(1)]"));
}

TEST_F(DirectoryTree, ExpandingRefillsAndGivesGrandchildrenTheirContent)
{
    tree.setRoot(root);
    QTreeWidgetItem *a = TvyxDirectoryTreeView::FindChildNode(tree.topNode(), "A");
    ASSERT_NE(a, nullptr);
    a->setExpanded(true);
    a = TvyxDirectoryTreeView::FindChildNode(tree.topNode(), "A");
    EXPECT_EQ(dump(a), QStringLiteral("A[B[C[]],x.SEQ(1),y.mseq(2)]"));
    // A file added on disk shows up at the next expansion: nothing is cached.
    touch(root + QStringLiteral("/A/new.seq"));
    a->setExpanded(false);
    a->setExpanded(true);
    EXPECT_EQ(dump(a), QStringLiteral("A[B[C[]],new.seq(1),x.SEQ(1),y.mseq(2)]"));
}

struct FillCase
{
    const char *name;
    int subLevels;
    bool showFiles;
    const char *mask;
    bool stateImages;
    const char *expectedA; // the dump of node A after a fill of the root
};

class DirectoryTreeFill : public DirectoryTree, public ::testing::WithParamInterface<FillCase>
{
};

TEST_P(DirectoryTreeFill, FollowsTheProperties)
{
    const FillCase &c = GetParam();
    tree.setSubLevels(c.subLevels);
    tree.setShowFiles(c.showFiles);
    tree.setFileMask(QString::fromUtf8(c.mask));
    if (!c.stateImages)
        tree.setStateImages({});
    tree.setRoot(root);
    QTreeWidgetItem *a = TvyxDirectoryTreeView::FindChildNode(tree.topNode(), "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(dump(a), QString::fromUtf8(c.expectedA));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryTreeFill,
    ::testing::Values(
        FillCase{"TwoLevels", 2, true, "*seq", true, "A[B[],x.SEQ(1),y.mseq(2)]"},
        FillCase{"OneLevelAddsOnlyDirectChildren", 1, true, "*seq", true, "A[]"},
        FillCase{"ThreeLevels", 3, true, "*seq", true, "A[B[C[]],x.SEQ(1),y.mseq(2)]"},
        FillCase{"FilesHidden", 2, false, "*seq", true, "A[B[]]"},
        FillCase{"EmptyMaskMatchesNothing", 2, true, "", true, "A[B[]]"},
        FillCase{"TextMask", 2, true, "*.txt", true, "A[B[],notes.txt]"},
        FillCase{"NoStateImagesNoStateIndex", 2, true, "*seq", false, "A[B[],x.SEQ,y.mseq]"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DirectoryTree, EmptyRootGivesNoNodes)
{
    tree.setRoot(root);
    tree.setRoot(QString());
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.FindNode(root + QStringLiteral("/A")), nullptr);
}

TEST_F(DirectoryTree, MissingRootGivesALoneTopNode)
{
    const QString missing = m_folder.file(QStringLiteral("missing"));
    tree.setRoot(missing);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topNode()->text(0), missing);
    EXPECT_EQ(tree.topNode()->childCount(), 0);
    EXPECT_EQ(QDir::currentPath(), m_oldCurrent);
}

TEST_F(DirectoryTree, SettingTheSameRootDoesNotRebuild)
{
    tree.setRoot(root);
    tree.topNode()->setData(0, Qt::UserRole + 7, QStringLiteral("mark"));
    tree.setRoot(root);
    EXPECT_EQ(tree.topNode()->data(0, Qt::UserRole + 7).toString(), QStringLiteral("mark"));
    tree.setRoot(root + QStringLiteral("/")); // another text is another root
    EXPECT_FALSE(tree.topNode()->data(0, Qt::UserRole + 7).isValid());
}

TEST_F(DirectoryTree, RootThatCannotBecomeTheCurrentFolderThrows)
{
    const QString locked = m_folder.file(QStringLiteral("locked"));
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (QDir::setCurrent(locked)) { // running as root: permissions do not stop us
        QDir::setCurrent(m_oldCurrent);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    EXPECT_THROW(tree.setRoot(locked), Error);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

struct FindCase
{
    const char *name;
    const char *path;     // "$" stands for the root
    const char *expected; // the full path of the node found relative to the root; null: none
};

class DirectoryTreeFind : public DirectoryTree, public ::testing::WithParamInterface<FindCase>
{
};

TEST_P(DirectoryTreeFind, FindsTheNodeOfAPath)
{
    const FindCase &c = GetParam();
    tree.setRoot(root);
    QString path = QString::fromUtf8(c.path);
    path.replace(QLatin1Char('$'), root);
    QTreeWidgetItem *node = tree.FindNode(path);
    if (!c.expected) {
        EXPECT_EQ(node, nullptr) << TvyxDirectoryTreeView::GetFullPath(node).toStdString();
        return;
    }
    ASSERT_NE(node, nullptr);
    QString expected = QString::fromUtf8(c.expected);
    expected.replace(QLatin1Char('$'), root);
    EXPECT_EQ(TvyxDirectoryTreeView::GetFullPath(node), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryTreeFind,
    ::testing::Values(FindCase{"RootThenSlashes", "$/A/B", "$/A/B"},
                      FindCase{"RelativeBackslashes", "A\\B", "$/A/B"},
                      FindCase{"MissingPart", "A\\Missing", nullptr},
                      FindCase{"DeepFolders", "$/A/B/C/D", "$/A/B/C/D"},
                      FindCase{"DeepFile", "A/B/C/D/deep.seq", "$/A/B/C/D/deep.seq"},
                      FindCase{"DeeperThanAnEmptyFolder", "Empty\\C\\D", "$/Empty"},
                      FindCase{"DeeperThanAFile", "A/x.SEQ/more/parts", "$/A/x.SEQ"},
                      FindCase{"FileNameIsCaseSensitive", "A/x.seq", nullptr},
                      FindCase{"SpacesInNames", "$/Lines/Line 1/shaft 1.seq",
                               "$/Lines/Line 1/shaft 1.seq"},
                      FindCase{"TheRootItself", "$", "$"},
                      FindCase{"DoubledDelimiter", "$//A//B", "$/A/B"},
                      FindCase{"HiddenFolderIsNotThere", "$/.hidden/secret.seq", nullptr},
                      FindCase{"NotesAreNotListed", "A/notes.txt", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

// FindNode refills every node on its way, also those that are open already, so files made since
// the last fill (a new or copied sequence) are found.
TEST_F(DirectoryTree, FindNodeFindsFilesMadeSinceTheLastFill)
{
    tree.setRoot(root);
    ASSERT_NE(tree.FindNode(QStringLiteral("A/B/C/D/deep.seq")), nullptr);
    ASSERT_TRUE(tree.topNode()->isExpanded());
    touch(root + QStringLiteral("/A/new.seq"));
    touch(root + QStringLiteral("/A/B/C/D/deeper.seq"));
    touch(root + QStringLiteral("/top.seq"));
    for (const char *path : {"A/new.seq", "A/B/C/D/deeper.seq", "top.seq"}) {
        QTreeWidgetItem *node = tree.FindNode(QString::fromUtf8(path));
        ASSERT_NE(node, nullptr) << path;
        EXPECT_EQ(TvyxDirectoryTreeView::GetFullPath(node), root + QLatin1Char('/') + path);
    }
    QFile::remove(root + QStringLiteral("/A/new.seq"));
    EXPECT_EQ(tree.FindNode(QStringLiteral("A/new.seq")), nullptr) << "a removed file is gone";
}

TEST_F(DirectoryTree, FullPathOfARootWithATrailingDelimiter)
{
    tree.setRoot(root + QStringLiteral("/"));
    EXPECT_EQ(TvyxDirectoryTreeView::GetFullPath(tree.topNode()), root + QStringLiteral("/"));
    QTreeWidgetItem *a = TvyxDirectoryTreeView::FindChildNode(tree.topNode(), "A");
    EXPECT_EQ(TvyxDirectoryTreeView::GetFullPath(a), root + QStringLiteral("/A"));
    EXPECT_EQ(TvyxDirectoryTreeView::GetFullPath(nullptr), QString());
}

TEST_F(DirectoryTree, ChildNamesAndStatesSelectByStateIndex)
{
    const QString mixed = root + QStringLiteral("/Mixed");
    touch(mixed + QStringLiteral("/a.seq"));
    QDir().mkpath(mixed + QStringLiteral("/b"));
    touch(mixed + QStringLiteral("/c.mseq"));
    tree.setRoot(root);
    QTreeWidgetItem *node = tree.FindNode(mixed);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(dump(node), QStringLiteral("Mixed[b[],a.seq(1),c.mseq(2)]"));
    struct
    {
        TNodeStates states;
        const char *names;
        bool any;
    } cases[] = {{{1, 2}, "a.seq;c.mseq", true},
                 {{1}, "a.seq", true},
                 {{2}, "c.mseq", true},
                 {{3}, "", false},
                 {{}, "", false},
                 {{0, 255}, "", false}};
    for (const auto &c : cases) {
        EXPECT_EQ(TvyxDirectoryTreeView::GetChildNames(node, c.states), QString(c.names));
        EXPECT_EQ(TvyxDirectoryTreeView::NodeHasChildStates(node, c.states), c.any);
    }
    EXPECT_EQ(TvyxDirectoryTreeView::GetChildNames(nullptr, {1, 2}), QString());
    EXPECT_FALSE(TvyxDirectoryTreeView::NodeHasChildStates(nullptr, {1, 2}));
}

TEST_F(DirectoryTree, ClearRemovesAllNodes)
{
    tree.setRoot(root);
    tree.Clear();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.FindNode(QStringLiteral("A")), nullptr);
    tree.RefreshNodes();
    EXPECT_NE(tree.FindNode(QStringLiteral("A")), nullptr);
}

} // namespace
} // namespace tev
