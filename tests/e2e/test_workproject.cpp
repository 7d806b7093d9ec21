#include "flows.h"

#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"

#include <QAction>
#include <QListWidget>
#include <QTabWidget>

namespace tev::test {
namespace {

using WorkProject = Flow;

TEST_F(WorkProject, TheWizardMakesAWorkProjectWithItsFilesAndReferences)
{
    ASSERT_TRUE(QDir().mkpath(seq(QStringLiteral("Press"))));
    createWithWizard(SequenceTree::Housing, QStringLiteral("Press/"), QStringLiteral("P1.seq"));

    const QString file = seq(QStringLiteral("Press/P1.seq"));
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(fileBytes(QStringLiteral("Press/P1.seq")).contains("$GENERATOR Tevora"));
    // The master's templates, format, user fields and pictures go with the new file.
    const QStringList copied = filesBelow(seq(QStringLiteral("Press")));
    for (const char *dependency :
         {"GAP.TEM", "HOUSING.FMT", "HOUSING.uif", "bore.png", "face.kelb"})
        EXPECT_TRUE(copied.contains(QLatin1String(dependency)))
            << dependency << " in " << copied.join(' ').toStdString();
    EXPECT_EQ(fileBytes(QStringLiteral("Press/bore.png")),
              fileBytes(QStringLiteral("Masters/bore.png")));

    EXPECT_EQ(rows("select FILENAME from PROJECTS"), QStringList({"Press/P1.seq"}));
    EXPECT_EQ(rows("select r.REF_FILENAME from REFPROJECTS r join PROJECTS p on "
                   "p.PROJECTID = r.PROJECTID"),
              QStringList({SequenceTree::Housing}));
    const QStringList chars = storedChars(QStringLiteral("Press/P1.seq"));
    ASSERT_EQ(chars.size(), 6) << chars.join(' ').toStdString();
    EXPECT_TRUE(chars[0].startsWith(QStringLiteral("H1|Bore|1"))) << chars[0].toStdString();
    EXPECT_TRUE(chars[5].startsWith(QStringLiteral("H6|Face|1"))) << chars[5].toStdString();

    // The window shows the new project, ready to edit.
    EXPECT_EQ(selectedPath(), file);
    EXPECT_TRUE(project().ExistsInDatabase());
    EXPECT_TRUE(child<QAction>("FileSave1")->isEnabled());
}

TEST_F(WorkProject, EditsSavedBeforeARestartAreAllStillThereAfterIt)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    ASSERT_TRUE(project().ExistsInDatabase());

    // Header: the version through its input box.
    {
        ProgramAnswers answers;
        answers.onDialog(typeInto(QStringLiteral("9.1")));
        form().ProjectPage()->BtnPRJVersionClick();
    }
    // Characteristics: H2 moves above H1, the group Bore is renamed, H5 is switched off.
    form().PageCtrl()->setCurrentWidget(form().CharsPage());
    TTevCharsPage *chars = form().CharsPage();
    ASSERT_TRUE(project().DataSetChars().locate(QStringLiteral("LABEL"), {QStringLiteral("H2")}));
    chars->BtnCharUpClick();
    auto *groups = form().findChild<QListWidget *>(QStringLiteral("GroupFilterBox"));
    ASSERT_NE(groups, nullptr);
    const QList<QListWidgetItem *> bore =
        groups->findItems(QStringLiteral("Bore"), Qt::MatchExactly);
    ASSERT_EQ(bore.size(), 1);
    groups->setCurrentItem(bore.first());
    {
        ProgramAnswers answers;
        answers.onDialog(typeInto(QStringLiteral("Bohrung")));
        chars->BtnRenameGroupClick();
    }
    // The filter of the renamed group is still on: every characteristic is shown again.
    groups->setCurrentRow(0);
    chars->FilterBoxClick();
    ASSERT_TRUE(project().DataSetChars().locate(QStringLiteral("LABEL"), {QStringLiteral("H5")}));
    TvyxDBGrid *grid = chars->GridChars();
    int activeColumn = -1;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == QStringLiteral("ACTIVE"))
            activeColumn = c;
    ASSERT_GE(activeColumn, 0);
    grid->scrollTo(grid->model()->index(grid->currentIndex().row(), activeColumn));
    const QRect cell =
        grid->visualRect(grid->model()->index(grid->currentIndex().row(), activeColumn));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();

    child<QAction>("FileSave1")->trigger();
    const QStringList expected = {"H2|Bohrung|1|42", "H1|Bohrung|1|42", "H3|Bohrung|1|0",
                                  "H4|Face|1|0",     "H5|Face|0|0",     "H6|Face|1|12.5"};
    EXPECT_EQ(storedChars(QStringLiteral("Work/W1.seq")), expected);
    const QByteArray saved = fileBytes(QStringLiteral("Work/W1.seq"));
    EXPECT_TRUE(saved.contains("$VERSION 9.1"));
    EXPECT_TRUE(saved.contains("Bohrung"));
    EXPECT_LT(saved.indexOf("\nH2\t"), saved.indexOf("\nH1\t"));
    EXPECT_EQ(project().ChangeState(), 0u);

    // The next run of the program opens the same project as it was left.
    restart();
    EXPECT_EQ(fileBytes(QStringLiteral("Work/W1.seq")), saved);
    click(QStringLiteral("Work/W1.seq"));
    ASSERT_TRUE(project().ExistsInDatabase());
    EXPECT_EQ(project().Version(), QStringLiteral("9.1"));
    EXPECT_EQ(storedChars(QStringLiteral("Work/W1.seq")), expected);
    QStringList shown;
    MemDataSet &data = project().DataSetChars();
    data.first();
    while (!data.eof()) {
        shown << data.fieldByName(QStringLiteral("LABEL")).asString() + QLatin1Char('|') +
                     data.fieldByName(QStringLiteral("ACTIVE")).asString();
        data.next();
    }
    EXPECT_EQ(shown, QStringList({"H2|1", "H1|1", "H3|1", "H4|1", "H5|0", "H6|1"}));
}

} // namespace
} // namespace tev::test
