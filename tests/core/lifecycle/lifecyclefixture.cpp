#include "lifecyclefixture.h"

#include "platform/dataset/memdataset.h"
#include "support/app/databasebackend.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace tev::test {

LifecycleTest::ServerConnectionFile::ServerConnectionFile(const TempAppRoot &root,
                                                          const FirebirdServer *server)
{
    if (server)
        WriteServerConnectionFile(root, *server, root.file(QStringLiteral("DB/Tevora.fdb")));
}

LifecycleTest::LifecycleTest()
    : LifecycleTest(nullptr)
{}

LifecycleTest::LifecycleTest(const FirebirdServer &server)
    : LifecycleTest(&server)
{}

LifecycleTest::LifecycleTest(const FirebirdServer *server)
    : m_connectionFile(m_root, server)
{
    EXPECT_TRUE(m_data.Connected());
    m_data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    m_project.SetRootDir(m_tree.root());
    m_project.SetClock([] { return SequenceTree::SavedAt(); });
}

QStringList LifecycleTest::column(const QString &sql) const
{
    QSqlQuery q(db());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    QStringList result;
    while (q.next())
        result << q.value(0).toString();
    return result;
}

int LifecycleTest::count(const QString &sql) const
{
    const QStringList values = column(sql);
    return values.isEmpty() ? -1 : values.first().toInt();
}

void LifecycleTest::exec(const QString &sql)
{
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

void LifecycleTest::createWork(const QString &relative, const QString &name,
                               const QStringList &masters)
{
    ASSERT_TRUE(m_project.New(relative, name, TTevFileType::pftSEQ, masters.value(0), {}, {}));
    for (int i = 1; i < masters.size(); ++i)
        m_project.AddMasterProject(masters[i]);
    m_project.Save();
}

QStringList LifecycleTest::routine()
{
    MemDataSet &chars = m_project.DataSetChars();
    QStringList result;
    const MemDataSet::Bookmark mark = chars.bookmark();
    for (chars.first(); !chars.eof(); chars.next())
        result << chars.fieldByName("GROUPNAME").asString() + "/" +
                      chars.fieldByName("LABEL").asString();
    if (chars.bookmarkValid(mark))
        chars.gotoBookmark(mark);
    return result;
}

QStringList LifecycleTest::storedRows(const QString &relative) const
{
    return column(QString("select c.CHARID || ':' || c.LABEL || ':' || coalesce(c.REF_FILENAME, "
                          "'-') from CHARACTERISTICS c join PROJECTS p on p.PROJECTID = "
                          "c.PROJECTID where p.FILENAME = '%1' order by c.CHARID")
                      .arg(relative));
}

int LifecycleTest::projectId(const QString &relative) const
{
    return count(QString("select PROJECTID from PROJECTS where FILENAME = '%1'").arg(relative));
}

QByteArray LifecycleTest::readBytes(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void LifecycleTest::writeBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace tev::test
