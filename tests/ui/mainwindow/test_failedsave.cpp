// What the message of a failed save says is true of what was stored: a header edit written at
// once stays stored when a later save fails, and a save whose file cannot be written is in the
// database.

#include "mainwindowfixture.h"

#include <QDir>
#include <QSqlError>

namespace tev::test {
namespace {

const QString Work = QStringLiteral("Work/W1.seq");

class FailedSave : public SequenceWindowTest
{
protected:
    void SetUp() override
    {
        start();
        form().show();
        m_file = openSavedWork(Work, QStringLiteral("W1"));
    }

    // A characteristic's nominal, changed in memory only.
    void editNominal()
    {
        MemDataSet &chars = project().DataSetChars();
        chars.first();
        chars.edit();
        chars.fieldByName(QStringLiteral("NOMINAL")).setAsFloat(4711);
        chars.post();
    }
    QStringList storedNominals()
    {
        return column("select cast(NOMINAL as integer) from CHARACTERISTICS where NOMINAL = 4711");
    }

    // Saves while another user's transaction holds the project's row; returns the message.
    QString saveWhileHeld()
    {
        TTevConnection &connection = *form().App()->Data().Database();
        connection.setLockWaitSeconds(1);
        TTevConnection holder(QStringLiteral("Holder"));
        holder.setParams(connection.params());
        holder.open();
        QSqlDatabase held = holder.database();
        EXPECT_TRUE(held.transaction());
        QSqlQuery hold(held);
        EXPECT_TRUE(hold.exec("update PROJECTS set PROJECTNAME = 'held'"))
            << hold.lastError().text().toStdString();
        DialogAnswers answers({mrOk});
        form().FileSave1Execute();
        held.rollback();
        EXPECT_EQ(answers.texts().size(), 1);
        return answers.texts().value(0);
    }

    QByteArray m_file;
};

TEST_F(FailedSave, AHeaderEditWrittenAtOnceIsSaidToStayStored)
{
    project().SetVersion(QStringLiteral("3.0"));
    const QString message = saveWhileHeld();
    EXPECT_TRUE(message.startsWith(
        "The project could not be saved. Nothing of this save was stored, and its file was not "
        "written. Changes that were written to the database at once since the project was "
        "opened or last saved (such as header edits) stay stored there.\n\n"))
        << message.toStdString();
    EXPECT_TRUE(column("select PARAMS from PROJECTS").value(0).contains("$VERSION=3.0"));
    EXPECT_EQ(fileBytes(Work), m_file);
}

TEST_F(FailedSave, WithoutEarlierWritesNothingIsSaidToBeStored)
{
    editNominal();
    const QString message = saveWhileHeld();
    EXPECT_TRUE(message.startsWith("The project could not be saved. Nothing of this save was "
                                   "stored, and its file was not written.\n\n"))
        << message.toStdString();
    EXPECT_TRUE(storedNominals().isEmpty());
    EXPECT_EQ(fileBytes(Work), m_file);
}

TEST_F(FailedSave, AFileThatCannotBeWrittenIsSaidToBeBehindTheDatabase)
{
    // A folder in the file's place: the file cannot be written, whoever runs the test.
    ASSERT_TRUE(QFile::remove(m_seq.file(Work)));
    ASSERT_TRUE(QDir().mkdir(m_seq.file(Work)));
    editNominal();
    DialogAnswers answers({mrOk});
    form().FileSave1Execute();
    ASSERT_EQ(answers.texts().size(), 1);
    EXPECT_TRUE(answers.texts()[0].startsWith("The project could not be saved. The database holds "
                                              "this save, but its file was not written.\n\n"))
        << answers.texts()[0].toStdString();
    EXPECT_EQ(storedNominals(), QStringList({"4711"}));
}

} // namespace
} // namespace tev::test
