#include "mainwindowfixture.h"

#include "platform/crash/exceptionhandlers.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/models/datasetmodel.h"
#include "ui/pickers/pickers.h"
#include "ui/printers.h"

#include "ui/dialogs/vyxprogressdlg.h"
#include "ui/kit/speedbutton.h"
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace tev::test {
namespace {

class References : public SequenceWindowTest
{
protected:
    void SetUp() override
    {
        start();
        form().show();
    }

    DataSetModel *grid() { return child<TvyxDBGrid>("DBGridRefProjects")->DataSource(); }

    // The grid's rows as "FILETYPE text|FILENAME".
    QStringList rows()
    {
        DataSetModel *m = grid();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->data(m->index(r, m->fieldColumn(QStringLiteral("FILETYPE")))).toString() +
                       QLatin1Char('|') +
                       m->data(m->index(r, m->fieldColumn(QStringLiteral("FILENAME")))).toString();
        return out;
    }

    // Answers the open picker with files of the sequence folder (or absolute names).
    PickerAnswerGuard answerFiles(const QStringList &files)
    {
        return PickerAnswerGuard([this, files](const PickerRequest &) {
            QStringList full;
            for (const QString &f : files)
                full << (QDir::isAbsolutePath(f) ? f : m_seq.file(f));
            return full;
        });
    }
};

TEST_F(References, AMasterListsTheWorkSequencesBuiltOnIt)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    createWork(QStringLiteral("Work/W2.seq"), QStringLiteral("W2"));
    click(SequenceTree::Housing);
    EXPECT_FALSE(child<QWidget>("ToolbarMasterFiles")->isHidden());
    EXPECT_EQ(rows(), QStringList({"Work Sequence (*.seq)|Work/W1.seq",
                                   "Work Sequence (*.seq)|Work/W2.seq"}));
    EXPECT_TRUE(child<QToolButton>("UpdateReferencesBtn")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("RemoveMasterBtn")->isEnabled());
}

TEST_F(References, AMonitorFileHasNoReferences)
{
    click(SequenceTree::Room);
    EXPECT_EQ(grid()->rowCount(), 0);
    EXPECT_TRUE(child<QWidget>("ToolbarMasterFiles")->isHidden());
}

TEST_F(References, PlusOnAMasterStartsTheWizardWithIt)
{
    click(SequenceTree::Housing);
    QString proposed;
    DialogAnswers dialogs;
    dialogs.onDialog([&](QDialog &dialog) {
        if (auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("EditMasterFile")))
            proposed = edit->text();
        return int(mrCancel);
    });
    form().AddReferenceBtnClick();
    EXPECT_EQ(proposed, SequenceTree::Housing);
}

TEST_F(References, PlusAddsMastersAndSavesOnce)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    EXPECT_EQ(rows(), QStringList({"Master Sequence (*.seq)|Masters/Housing.seq"}));
    const auto picker = answerFiles({SequenceTree::Shaft});
    form().AddReferenceBtnClick();
    EXPECT_EQ(rows(), QStringList({"Master Sequence (*.seq)|Masters/Housing.seq",
                                   "Master Sequence (*.seq)|Masters/Shaft.seq"}));
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_TRUE(fileBytes(QStringLiteral("Work/W1.seq")).contains("S1"));
}

TEST_F(References, MastersOutsideTheFolderOrTheProjectItselfAreRefused)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    TempFolder outside;
    QFile::copy(m_seq.file(SequenceTree::Shaft), outside.file(QStringLiteral("Shaft.seq")));
    const auto picker =
        answerFiles({outside.file(QStringLiteral("Shaft.seq")), QStringLiteral("Work/W1.seq")});
    DialogAnswers dialogs({mrOk});
    form().AddReferenceBtnClick();
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].contains(QStringLiteral("is not in the sequence folder")));
    EXPECT_TRUE(dialogs.texts()[0].contains(QStringLiteral("is the project itself")));
    EXPECT_EQ(rows(), QStringList({"Master Sequence (*.seq)|Masters/Housing.seq"}));
}

TEST_F(References, RemoveAsksFirst)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    {
        const auto picker = answerFiles({SequenceTree::Shaft});
        form().AddReferenceBtnClick();
    }
    ASSERT_EQ(grid()->rowCount(), 2);
    ASSERT_TRUE(grid()->moveTo(1));
    EXPECT_TRUE(child<QToolButton>("RemoveMasterBtn")->isEnabled());
    {
        DialogAnswers dialogs({mrCancel});
        form().RemoveMasterBtnClick();
        EXPECT_EQ(dialogs.texts(), QStringList({"Remove entry?"}));
        EXPECT_EQ(grid()->rowCount(), 2);
    }
    ASSERT_TRUE(grid()->moveTo(1));
    DialogAnswers dialogs({mrOk});
    form().RemoveMasterBtnClick();
    EXPECT_EQ(rows(), QStringList({"Master Sequence (*.seq)|Masters/Housing.seq"}));
    EXPECT_EQ(column("select REF_FILENAME from REFPROJECTS"), QStringList({SequenceTree::Housing}));
}

TEST_F(References, UpdateOnAMasterRewritesEveryWorkFileWithoutCancelOrOtherInput)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    createWork(QStringLiteral("Work/W2.seq"), QStringLiteral("W2"));
    for (const char *work : {"Work/W1.seq", "Work/W2.seq"})
        ASSERT_TRUE(QFile::remove(m_seq.file(QString::fromLatin1(work))));
    click(SequenceTree::Housing);
    // While the update runs: no Cancel button, and a click on New reaches nothing.
    bool sawProgress = false, cancelShown = false;
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, &form(), [&] {
        if (TVYXProgressDlg *dialog = progressDialog()) {
            // The button goes as soon as the window exists; the first step may come before.
            if (sawProgress)
                cancelShown |= !dialog->cancelBtn()->isHidden();
            sawProgress = true;
        }
        QTest::mouseClick(child<QToolButton>("ToolBtnNew"), Qt::LeftButton);
    });
    ticks.start();
    DialogAnswers dialogs;
    form().UpdateReferencesBtnClick();
    ticks.stop();
    EXPECT_TRUE(sawProgress);
    EXPECT_FALSE(cancelShown);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(progressDialog(), nullptr);
    for (const char *work : {"Work/W1.seq", "Work/W2.seq"})
        EXPECT_TRUE(QFileInfo::exists(m_seq.file(QString::fromLatin1(work)))) << work;
    EXPECT_EQ(project().FileName(), m_seq.file(SequenceTree::Housing));
}

TEST_F(References, AnUpdateThatFailsSaysWhichFilesWereWritten)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    createWork(QStringLiteral("Work/W2.seq"), QStringLiteral("W2"));
    // A folder in the second file's place: that file cannot be written.
    const QString w2 = m_seq.file(QStringLiteral("Work/W2.seq"));
    ASSERT_TRUE(QFile::remove(w2));
    ASSERT_TRUE(QDir().mkdir(w2));
    click(SequenceTree::Housing);
    DialogAnswers dialogs({mrOk});
    form().UpdateReferencesBtnClick();
    ASSERT_EQ(dialogs.texts().size(), 1);
    const QString text = dialogs.texts()[0];
    EXPECT_TRUE(text.startsWith(QStringLiteral("Update Reference stopped:"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Written again:\nWork/W1.seq"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Not written again:\nWork/W2.seq")))
        << text.toStdString();
    EXPECT_EQ(project().FileName(), m_seq.file(SequenceTree::Housing));
    EXPECT_EQ(progressDialog(), nullptr);
}

} // namespace
} // namespace tev::test
