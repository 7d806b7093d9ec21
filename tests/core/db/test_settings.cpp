#include "platform/error.h"
#include "projectfixture.h"

#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

class SystemSettings : public ProjectFixture
{
protected:
    QStringList stored() const
    {
        return column("select NAME || '=' || coalesce(STRVALUE, '<null>') from CONFIGURATION "
                      "where SECTION = 'System' order by NAME");
    }
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(SystemSettings);

TEST_P(SystemSettings, WriteSkipsLinesWithoutNameAndSplitsAtTheFirstEquals)
{
    m_data.WriteSystemSettings(
        TStringList(QStringList{"A=b=c", "NoEquals", "=x", "Empty=", "Lang=9"}));
    EXPECT_EQ(stored(), QStringList({"A=b=c", "Empty=", "Lang=9"}));
    exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('Other', 'A', 'kept')");
    m_data.WriteSystemSettings(TStringList(QStringList{"Lang=7"}));
    EXPECT_EQ(stored(), QStringList({"Lang=7"}));
    EXPECT_EQ(column("select STRVALUE from CONFIGURATION where SECTION = 'Other'"),
              QStringList({"kept"}));
}

TEST_P(SystemSettings, AFailedWriteKeepsTheStoredSettings)
{
    m_data.WriteSystemSettings(TStringList(QStringList{"A=1", "B=2"}));
    try {
        m_data.WriteSystemSettings(TStringList(QStringList{"A=3", "Long=" + QString(101, 'x')}));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("\"Long\" is too long")) << e.message().toStdString();
    }
    EXPECT_EQ(stored(), QStringList({"A=1", "B=2"}));
    // A name given twice fails at the database: rolled back as a whole.
    EXPECT_THROW(m_data.WriteSystemSettings(TStringList(QStringList{"C=1", "C=2"})), Error);
    EXPECT_EQ(stored(), QStringList({"A=1", "B=2"}));
}

TEST_P(SystemSettings, ReadMergesIntoTheDefaults)
{
    exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('System', 'Units', 'mm')");
    exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('System', 'GONE', null)");
    exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('System', 'New', null)");
    exec("insert into CONFIGURATION (SECTION, NAME, STRVALUE) values ('Other', 'Keep', 'no')");
    TStringList params(QStringList{"units=inch", "Gone=1", "Keep=yes"});
    m_data.ReadSystemSettings(params);
    QStringList lines = params.ToStringList();
    lines.sort();
    // The line takes the stored name, as Values[] does.
    EXPECT_EQ(lines, QStringList({"Keep=yes", "New=", "Units=mm"}));
}

TEST_P(SystemSettings, NothingWhileDisconnected)
{
    m_data.Database()->close();
    TStringList params(QStringList{"A=1"});
    m_data.ReadSystemSettings(params);
    m_data.WriteSystemSettings(params);
    EXPECT_EQ(params.ToStringList(), QStringList({"A=1"}));
}
