#include "mainwindowfixture.h"

#include "platform/error.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/mainwindow/dbnavigator.h"
#include "ui/models/datasetmodel.h"
#include "ui/printers.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QToolButton>

namespace tev::test {
namespace {

class SqlPage : public MainWindowTest
{
protected:
    void SetUp() override
    {
        start();
        m_memo = child<QPlainTextEdit>("MemoSQL");
        m_result = child<QLabel>("LSQLResult");
        m_grid = child<TvyxDBGrid>("GridSQL");
        m_nav = child<TDBNavigator>("DBNavigator1");
    }

    void run(const QString &sql)
    {
        m_memo->setPlainText(sql);
        form().BtnExecSQLClick();
    }

    DataSetModel *model() { return m_grid->DataSource(); }

    QString cell(int row, const QString &field)
    {
        return model()->data(model()->index(row, model()->fieldColumn(field))).toString();
    }

    QString stored(const QString &sql)
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(sql));
        return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }

    QPlainTextEdit *m_memo = nullptr;
    QLabel *m_result = nullptr;
    TvyxDBGrid *m_grid = nullptr;
    TDBNavigator *m_nav = nullptr;
};

TEST_F(SqlPage, ChoosingATableWritesItsSelectWithoutRunningIt)
{
    auto *tables = child<QComboBox>("ComboTables");
    QStringList items;
    for (int i = 0; i < tables->count(); ++i)
        items << tables->itemText(i);
    EXPECT_EQ(items,
              QStringList({"CHARACTERISTICS", "CONFIGURATION", "DB", "PROJECTS", "REFPROJECTS"}));
    tables->setCurrentIndex(3);
    form().ComboTablesSelect();
    EXPECT_EQ(m_memo->toPlainText(), QStringLiteral("select * from PROJECTS"));
    EXPECT_EQ(model()->rowCount(), 0);
}

struct QueryCase
{
    const char *name;
    const char *sql;
    int rows; // -1: no result set
    bool editable;
};

void PrintTo(const QueryCase &c, std::ostream *os)
{
    *os << c.name;
}

class SqlQueries : public SqlPage, public ::testing::WithParamInterface<QueryCase>
{
};

TEST_P(SqlQueries, TheDriverDecidesWhetherRowsComeBack)
{
    const QueryCase &c = GetParam();
    run(QString::fromLatin1(c.sql));
    if (c.rows < 0) {
        EXPECT_EQ(model()->rowCount(), 0);
        EXPECT_TRUE(m_result->text().endsWith(QStringLiteral("row(s) affected.")))
            << m_result->text().toStdString();
    } else {
        EXPECT_EQ(model()->rowCount(), c.rows);
        EXPECT_GT(model()->columnCount(), 0);
    }
    EXPECT_EQ(m_nav->button(TDBNavigator::nbEdit)->isEnabled(), c.editable);
    EXPECT_EQ(m_nav->button(TDBNavigator::nbRefresh)->isEnabled(), c.rows >= 0);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, SqlQueries,
    ::testing::Values(QueryCase{"TableSelect", "select * from DB", 1, true},
                      QueryCase{"LowerCaseWithBlanks", "   select * from db  \n", 1, true},
                      QueryCase{"ColumnList", "select VER_MAJOR from DB", 1, false},
                      QueryCase{"With", "with T as (select * from DB) select * from T", 1, false},
                      QueryCase{"Update", "update PROJECTS set PROJECTNAME = 'x' where 1 = 0", -1,
                                false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SqlPage, OtherStatementsReportTheRowsTheyChanged)
{
    run(QStringLiteral("insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                       "values ('Test', 'A', '1')"));
    EXPECT_EQ(m_result->text(), QStringLiteral("1 row(s) affected."));
    run(QStringLiteral("update CONFIGURATION set STRVALUE = '2' where SECTION = 'Test'"));
    EXPECT_EQ(m_result->text(), QStringLiteral("1 row(s) affected."));
    EXPECT_EQ(stored("select STRVALUE from CONFIGURATION where SECTION = 'Test'"),
              QStringLiteral("2"));
}

TEST_F(SqlPage, ADatabaseErrorPassesOnAndLeavesTheGridEmpty)
{
    run(QStringLiteral("select * from DB"));
    m_memo->setPlainText(QStringLiteral("select nonsense from nowhere"));
    EXPECT_THROW(form().BtnExecSQLClick(), Error);
    EXPECT_EQ(model()->rowCount(), 0);
}

TEST_F(SqlPage, RowsOfATableSelectAreEditedInTheDatabase)
{
    run(QStringLiteral("insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                       "values ('Test', 'A', 'old')"));
    run(QStringLiteral("select * from CONFIGURATION"));
    const int value = model()->fieldColumn(QStringLiteral("STRVALUE"));
    int row = -1;
    for (int r = 0; r < model()->rowCount(); ++r)
        if (cell(r, QStringLiteral("SECTION")) == QLatin1String("Test"))
            row = r;
    ASSERT_GE(row, 0);
    EXPECT_TRUE(model()->setData(model()->index(row, value), QStringLiteral("new")));
    EXPECT_TRUE(model()->setData(model()->index(row, value), QStringLiteral("newer")));
    EXPECT_EQ(stored("select STRVALUE from CONFIGURATION where SECTION = 'Test'"),
              QStringLiteral("newer"));

    // The navigator deletes the row after the confirmation.
    ASSERT_TRUE(model()->moveTo(row));
    DialogAnswers answers({mrOk});
    m_nav->BtnClick(TDBNavigator::nbDelete);
    EXPECT_EQ(answers.texts(), QStringList({"Delete record?"}));
    EXPECT_EQ(stored("select count(*) from CONFIGURATION where SECTION = 'Test'"),
              QStringLiteral("0"));
}

TEST_F(SqlPage, ARefreshRunsTheStatementAgain)
{
    run(QStringLiteral("select SECTION from CONFIGURATION where SECTION = 'Test'"));
    EXPECT_EQ(model()->rowCount(), 0);
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('Test', "
                       "'B', 'x')"));
    m_nav->BtnClick(TDBNavigator::nbRefresh);
    EXPECT_EQ(model()->rowCount(), 1);
}

} // namespace
} // namespace tev::test
