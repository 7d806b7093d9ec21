#include "support/app/appenvironment.h"
#include "core/app/tevsettings.h"
#include "core/lib/knownfolders.h"
#include "core/lib/qstringprinter.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

TEST(TevSettings, StartsWithTheDefaultLinesInOrder)
{
    TempFolder documents;
    EnvironmentGuard env(kCommonDocumentsVariable, QFile::encodeName(documents.path()));
    const TTevSettings settings;
    EXPECT_EQ(settings.ToStringList(),
              QStringList({"DBType=0", "DBDriver=FB", "DBServer=localhost",
                           "DBDatabase=../DB/Tevora.fdb", "DBUserName=SYSDBA",
                           "DBPassword=plumtrees", "SEQDir=" + documents.path() + "/Kelmetra/SEQ",
                           "DefaultMasterDir=", "DefaultWorkDir=", "Decimals=2", "Encoding=1252",
                           "FormatFile=", "PickListFile=", "Units=0"}));
    EXPECT_EQ(settings.DBType(), TTevDBType::dbtEmbedded);
    EXPECT_EQ(settings.Decimals(), 2);
    EXPECT_EQ(settings.Units(), 0);
    EXPECT_EQ(settings.FileEncoding(), "1252");
    EXPECT_FALSE(settings.FormatPerProject());
    EXPECT_FALSE(settings.PickListPerProject());
    EXPECT_TRUE(settings.UseSysLanguage());
}

TEST(TevSettings, SetValueAppendsReplacesAndDeletes)
{
    struct Case
    {
        const char *name;
        QStringList before;
        QString key;
        QString value;
        QStringList after;
    };
    const Case cases[] = {
        {"a missing key is appended", {"A=1"}, "B", "2", {"A=1", "B=2"}},
        {"also with an empty value", {"A=1"}, "B", "", {"A=1", "B="}},
        {"a present key is replaced in place", {"A=1", "B=2"}, "a", "3", {"A=3", "B=2"}},
        {"an empty value deletes the line", {"A=1", "B=2"}, "A", "", {"B=2"}},
        {"a value may hold '='", {"A=1"}, "A", "x=y", {"A=x=y"}},
    };
    for (const Case &c : cases) {
        TTevSettings settings;
        settings.Clear();
        settings.AddStrings(c.before);
        settings.SetValue(c.key, c.value);
        EXPECT_EQ(settings.ToStringList(), c.after) << c.name;
    }
}

TEST(TevSettings, TypedReadsFallBackToTheirDefaults)
{
    struct Case
    {
        const char *line;
        int decimals;
        int units;
        TTevDBType dbType;
        bool formatPerProject;
    };
    const Case cases[] = {
        {"", 2, 0, TTevDBType::dbtEmbedded, false},
        {"Decimals=x", 2, 0, TTevDBType::dbtEmbedded, false},
        {"Decimals=4", 4, 0, TTevDBType::dbtEmbedded, false},
        {"Units=$10", 2, 16, TTevDBType::dbtEmbedded, false},
        {"Units=1.5", 2, 0, TTevDBType::dbtEmbedded, false},
        {"DBType=1", 2, 0, TTevDBType::dbtClientServer, false},
        {"DBType=7", 2, 0, TTevDBType::dbtEmbedded, false},
        {"DBType=server", 2, 0, TTevDBType::dbtEmbedded, false},
        {"FormatPerProject=yes", 2, 0, TTevDBType::dbtEmbedded, true},
        {"FormatPerProject=NO", 2, 0, TTevDBType::dbtEmbedded, false},
        {"FormatPerProject=1", 2, 0, TTevDBType::dbtEmbedded, true},
    };
    for (const Case &c : cases) {
        TTevSettings settings;
        settings.Clear();
        if (*c.line)
            settings.Add(c.line);
        EXPECT_EQ(settings.Decimals(), c.decimals) << c.line;
        EXPECT_EQ(settings.Units(), c.units) << c.line;
        EXPECT_EQ(settings.DBType(), c.dbType) << c.line;
        EXPECT_EQ(settings.FormatPerProject(), c.formatPerProject) << c.line;
        EXPECT_EQ(settings.SEQDir(), "") << "a missing text setting reads as empty";
    }
}

TEST(TevSettings, TypedWritesStoreTheirTextForms)
{
    TTevSettings settings;
    settings.SetDBType(TTevDBType::dbtClientServer);
    settings.SetDecimals(-3);
    settings.SetUnits(1);
    settings.SetFormatPerProject(true);
    settings.SetPickListPerProject(false);
    settings.SetFileEncoding("65001");
    settings.SetDefaultWorkDir("/w");
    EXPECT_EQ(settings.Values("DBType"), "1");
    EXPECT_EQ(settings.Values("Decimals"), "-3");
    EXPECT_EQ(settings.Values("Units"), "1");
    EXPECT_EQ(settings.Values("Encoding"), "65001");
    EXPECT_EQ(settings.Values("DefaultWorkDir"), "/w");
    // The switches have no default line: they are appended, in the order written.
    EXPECT_EQ(settings.Strings(settings.Count() - 2), "FormatPerProject=YES");
    EXPECT_EQ(settings.Strings(settings.Count() - 1), "PickListPerProject=NO");
    EXPECT_EQ(settings.Count(), 16);
    EXPECT_EQ(settings.DBType(), TTevDBType::dbtClientServer);
    EXPECT_TRUE(settings.FormatPerProject());
    EXPECT_FALSE(settings.PickListPerProject());
}

TEST(TevSettings, ClearingATextSettingRemovesItsLine)
{
    TTevSettings settings;
    settings.SetFormatFile("std.fmt");
    EXPECT_EQ(settings.FormatFile(), "std.fmt");
    EXPECT_EQ(settings.IndexOfName("FormatFile"), 11) << "replaced in its place";
    settings.SetFormatFile("");
    EXPECT_EQ(settings.IndexOfName("FormatFile"), -1);
    EXPECT_EQ(settings.FormatFile(), "");
    EXPECT_EQ(settings.Count(), 13);
    // Written again, the key comes back at the end.
    settings.SetFormatFile("");
    EXPECT_EQ(settings.Strings(settings.Count() - 1), "FormatFile=");
}
