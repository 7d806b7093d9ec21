#include <gtest/gtest.h>

#include "core/lib/cfglist.h"
#include "platform/text/tstringlist.h"
#include "qstringprinter.h"

using namespace tev;

namespace {

TStringList Settings()
{
    return TStringList(QStringList{"Language=7", "Empty=", "Flag=yes", "Hex=$10", "Text=a=b"});
}

} // namespace

TEST(ReadCfg, MissingNamesGiveTheDefault)
{
    const TStringList list = Settings();
    struct Case
    {
        const char *name;
        bool boolValue;
        qint32 intValue;
        const char *stringValue;
    };
    // Defaults: true, -1 and "dflt".
    const Case cases[] = {
        {"language", true, 7, "7"}, {"Empty", false, -1, ""},   {"FLAG", true, -1, "yes"},
        {"Hex", true, 16, "$10"},   {"Text", false, -1, "a=b"}, {"Missing", true, -1, "dflt"},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(ReadCfgBool(list, name, true), c.boolValue) << c.name;
        EXPECT_EQ(ReadCfgInteger(list, name, -1), c.intValue) << c.name;
        EXPECT_EQ(ReadCfgString(list, name, QStringLiteral("dflt")),
                  QString::fromUtf8(c.stringValue))
            << c.name;
    }
}

TEST(WriteCfg, BoolAndIntegerReplaceInPlaceOrAppend)
{
    TStringList list = Settings();
    WriteCfgBool(list, QStringLiteral("flag"), false);
    WriteCfgInteger(list, QStringLiteral("LANGUAGE"), 9);
    WriteCfgInteger(list, QStringLiteral("Units"), -3);
    WriteCfgBool(list, QStringLiteral("New"), true);
    WriteCfgBool(list, QStringLiteral("Empty"), true);
    EXPECT_EQ(list.ToStringList(), (QStringList{"Language=9", "Empty=YES", "Flag=NO", "Hex=$10",
                                                "Text=a=b", "Units=-3", "New=YES"}));
}

TEST(WriteCfg, StringMovesTheEntryToTheEnd)
{
    TStringList list = Settings();
    QObject tag;
    WriteCfgString(list, QStringLiteral("language"), QString(), &tag);
    WriteCfgString(list, QStringLiteral("Other"), QStringLiteral("x"));
    EXPECT_EQ(list.ToStringList(),
              (QStringList{"Empty=", "Flag=yes", "Hex=$10", "Text=a=b", "language=", "Other=x"}));
    EXPECT_EQ(list.Objects(4), &tag);
    EXPECT_EQ(ReadCfgString(list, QStringLiteral("Language"), QStringLiteral("d")), QString());
    EXPECT_EQ(ReadCfgInteger(list, QStringLiteral("Language"), 5), 5);
}

TEST(WriteCfg, UsesTheListsSeparatorAndCase)
{
    TStringList list(QStringList{"Key:1"});
    list.SetNameValueSeparator(QLatin1Char(':'));
    list.SetCaseSensitive(true);
    WriteCfgInteger(list, QStringLiteral("key"), 2);
    WriteCfgBool(list, QStringLiteral("Key"), true);
    WriteCfgString(list, QStringLiteral("S"), QStringLiteral("v"));
    EXPECT_EQ(list.ToStringList(), (QStringList{"Key:YES", "key:2", "S:v"}));
    EXPECT_EQ(ReadCfgInteger(list, QStringLiteral("KEY"), 0), 0);
}
