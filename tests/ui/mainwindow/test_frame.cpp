#include "mainwindowfixture.h"

#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/keys.h"
#include "ui/mainwindow/ledshape.h"
#include "ui/pages/tevcharspage.h"
#include "ui/printers.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>

namespace tev::test {
namespace {

QStringList tabCaptions(QTabWidget *pages)
{
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i)
        captions << pages->tabText(i) + QLatin1Char('/') + pages->widget(i)->objectName();
    return captions;
}

class Frame : public MainWindowTest
{
};

TEST_F(Frame, StartsConnectedWithTheTreeAtTheSequenceFolderAndNothingOpen)
{
    TempFolder seq;
    setSequenceFolder(seq.path());
    TTevMainForm &w = start();

    EXPECT_EQ(w.objectName(), QStringLiteral("TevMainForm"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("  Tevora"));
    const QString database = w.App()->Data().Database()->param(QStringLiteral("Database"));
    EXPECT_EQ(child<QLabel>("LDatabaseStatus")->text(),
              QStringLiteral("Database: %1 (connected)").arg(database));
    EXPECT_EQ(child<TLedShape>("LEDDatabase")->brushColor(), QColor(0, 0x80, 0));
    EXPECT_EQ(w.Tree()->Root(), seq.path());
    ASSERT_NE(w.Tree()->topNode(), nullptr);
    EXPECT_EQ(w.Tree()->topNode()->text(0), seq.path());

    EXPECT_EQ(tabCaptions(w.PageCtrl()),
              QStringList({"Project/TabProjectKelmetra", "Characteristics/TabFileChars",
                           "References/TabReference", "File/TabSheet1", "SQL/TabSQL"}));
    EXPECT_EQ(w.PageCtrl()->currentIndex(), 0);
    EXPECT_FALSE(w.PageCtrl()->isTabVisible(4));

    // Nothing open: only New is enabled on the tool bar.
    EXPECT_TRUE(child<QToolButton>("ToolBtnNew")->isEnabled());
    EXPECT_TRUE(child<QToolButton>("ToolBtnClose")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("ToolBtnSave")->isEnabled());
    EXPECT_FALSE(child<QAction>("FileSave1")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("ToolBtnDelete")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("ToolBntExport")->isEnabled());
    EXPECT_TRUE(child<QWidget>("ToolbarMasterFiles")->isHidden());
    EXPECT_EQ(child<QPlainTextEdit>("MemoFile")->toPlainText(), QString());
}

// A narrow tree panel cuts the root row's folder path; the tip shows it whole.
TEST_F(Frame, TheTreeRootRowCarriesItsWholePathAsTip)
{
    TempFolder seq;
    const QString deep = seq.file(QStringLiteral("a rather long folder name/for sequences/SEQ"));
    ASSERT_TRUE(QDir().mkpath(deep));
    setSequenceFolder(deep);
    TTevMainForm &w = start();
    QTreeWidgetItem *root = w.Tree()->topNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->toolTip(0), deep);
    EXPECT_EQ(w.Tree()->model()->index(0, 0).data(Qt::ToolTipRole).toString(), deep);
    w.Tree()->RefreshNodes();
    EXPECT_EQ(w.Tree()->topNode()->toolTip(0), deep);
}

TEST_F(Frame, WithoutDatabaseTheTreeStaysEmptyAndTheLedIsRed)
{
    m_env.breakConnection();
    TTevMainForm &w = start();
    EXPECT_EQ(w.Tree()->topLevelItemCount(), 0);
    const QString database = w.App()->Data().Database()->param(QStringLiteral("Database"));
    // With the engine's reason.
    EXPECT_EQ(child<QLabel>("LDatabaseStatus")->text(),
              QStringLiteral("Database: %1 (not connected: I/O error during \"open\" operation "
                             "for file \"%1\" - Error while trying to open file - No such file "
                             "or directory)")
                  .arg(database));
    EXPECT_EQ(child<TLedShape>("LEDDatabase")->brushColor(), QColor(0xAF, 0x15, 0x1B));
}

TEST_F(Frame, MenusAndActionsCarryTheirNamesAndTheHiddenOnesWaitForScripts)
{
    TTevMainForm &w = start();
    QStringList menus;
    for (QAction *menu : w.menuBar()->actions())
        menus << menu->objectName() + QLatin1Char(':') + menu->text() +
                     (menu->isVisible() ? QString() : QStringLiteral(" (hidden)"));
    EXPECT_EQ(menus, QStringList({"MIFile:&File", "MIWindow:&View (hidden)",
                                  "MITools:Tools (hidden)", "MIHelp:?"}));
    for (int i = 1; i <= 5; ++i) {
        auto *item = child<QAction>(qPrintable(QStringLiteral("MIScript%1").arg(i)));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("Script %1").arg(i));
        EXPECT_FALSE(item->isVisible());
        EXPECT_EQ(item->parent(), w.ToolsMenu());
    }
    EXPECT_FALSE(child<QAction>("MIService")->isVisible());
    EXPECT_EQ(child<QAction>("FileSave1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(child<QAction>("FileNew1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    // The edit actions take no keys from the grids and edits.
    for (const char *name : {"EditCut1", "EditCopy1", "EditPaste1"})
        EXPECT_TRUE(child<QAction>(name)->shortcut().isEmpty()) << name;
    EXPECT_EQ(child<QAction>("MISettings")->text(), QStringLiteral("Settings..."));
    EXPECT_EQ(child<QAction>("MIHelpAbout")->text(), QStringLiteral("Info..."));
}

TEST_F(Frame, CtrlShiftF12TogglesTheSqlPage)
{
    TTevMainForm &w = start();
    w.show();
    QTabWidget *pages = w.PageCtrl();
    EXPECT_FALSE(w.App()->ServiceMode());

    pressKey(w.Tree(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.App()->ServiceMode());
    EXPECT_TRUE(pages->isTabVisible(4));
    EXPECT_EQ(pages->currentIndex(), 0);

    pages->setCurrentIndex(4);
    pressKey(w.Tree(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_FALSE(w.App()->ServiceMode());
    EXPECT_FALSE(pages->isTabVisible(4));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("TabSheet1"));

    pressKey(w.Tree(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(pages->isTabVisible(4));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("TabSheet1"));

    // Other combinations leave the mode alone.
    pressKey(w.Tree(), Qt::Key_F12, Qt::ControlModifier);
    EXPECT_TRUE(w.App()->ServiceMode());
}

TEST_F(Frame, TheLedShowsTheConnectionWithOnlyThePasswordValueMasked)
{
    TTevMainForm &w = start();
    TTevConnection *connection = w.App()->Data().Database();
    connection->setParam(QStringLiteral("User_Name"), QStringLiteral("secret"));
    connection->setParam(QStringLiteral("Password"), QStringLiteral("secret"));
    DialogAnswers answers({mrOk});
    w.LEDDatabaseMouseUp();
    ASSERT_EQ(answers.texts().size(), 1);
    const QString text = answers.texts().constFirst();
    EXPECT_TRUE(text.contains(QStringLiteral("User_Name=secret"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Password=\u2022\u2022\u2022\u2022\u2022")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("secret")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("DriverId=FB")));

    // An empty password shows as it is.
    connection->setParam(QStringLiteral("Password"), QString());
    DialogAnswers again({mrOk});
    w.LEDDatabaseMouseUp();
    EXPECT_TRUE(again.texts().value(0).contains(QStringLiteral("Password=\n")) ||
                again.texts().value(0).endsWith(QStringLiteral("Password=")));
}

TEST_F(Frame, TheLayoutComesBackAtTheNextStart)
{
    {
        TTevMainForm &w = start();
        w.show();
        auto *splitter = child<QSplitter>("SplitterTree");
        splitter->setSizes({340, splitter->width() - 345});
        Q_EMIT splitter->splitterMoved(340, 1);
        child<QPlainTextEdit>("MemoSQL")->setPlainText(QStringLiteral("select *\nfrom DB"));
        w.CharsPage()->SetCharFilterWidth(260);
        w.CharsPage()->SetCharDetailsWidth(310);
        w.CharsPage()->SetCharParamsEditorVisible(true);
        w.resize(1000, 640);
        stop();
    }
    {
        QSettings r = registry();
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Window/PnlTreeWidth").toInt(), 340);
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Window/CharParamsEditorVisible").toString(),
                  QStringLiteral("1"));
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Window/PnlCharFilterWidth").toInt(), 260);
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Window/PnlCharDetailsWidth").toInt(), 310);
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Recent/SQL").toString(),
                  QStringLiteral("select *\nfrom DB"));
        EXPECT_EQ(r.value("Software/Vyx/Tevora/Window/Width").toInt(), 1000);
    }
    TTevMainForm &w = start();
    w.show();
    EXPECT_EQ(child<QSplitter>("SplitterTree")->sizes().value(0), 340);
    EXPECT_EQ(child<QPlainTextEdit>("MemoSQL")->toPlainText(), QStringLiteral("select *\nfrom DB"));
    EXPECT_EQ(w.width(), 1000);
    EXPECT_EQ(w.CharsPage()->CharFilterWidth(), 260);
    EXPECT_EQ(w.CharsPage()->CharDetailsWidth(), 310);
    EXPECT_TRUE(w.CharsPage()->CharParamsEditorVisible());
}

TEST_F(Frame, FirstStartHasTheDesignLayout)
{
    TTevMainForm &w = start();
    w.show();
    EXPECT_EQ(child<QSplitter>("SplitterTree")->sizes().value(0), 281);
    EXPECT_EQ(child<QPlainTextEdit>("MemoSQL")->toPlainText(), QString());
    EXPECT_EQ(w.CharsPage()->CharFilterWidth(), 200);
    EXPECT_EQ(w.CharsPage()->CharDetailsWidth(), 250);
    EXPECT_FALSE(w.CharsPage()->CharParamsEditorVisible());
}

} // namespace
} // namespace tev::test
