#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

#include "core/lib/encodings.h"
#include "core/lib/versions.h"
#include "platform/error.h"
#include "support/tempfolder.h"

using namespace tev;
using tev::test::TempFolder;

namespace {

// The marker text, put together at run time so that this test program does not carry it.
QByteArray marker(const QByteArray &tail)
{
    return QByteArray("TevoraFile") + QByteArray("Version=") + tail;
}

} // namespace

TEST(Versions, TextForms)
{
    const TProductVersion v = EncodeProdVersion(1, 2, 3, 4);
    EXPECT_EQ(v.Major, 1u);
    EXPECT_EQ(v.Build, 4u);
    EXPECT_EQ(ProdVersionToStr(v), "1.2.3");
    EXPECT_EQ(ProdVersionToStr(v, true), "1.2.3.4");
    EXPECT_EQ(ProdVersionToStr(EncodeProdVersion(4294967295u, 0, 0, 0), true), "4294967295.0.0.0");

    struct Case
    {
        const char *text;
        TProductVersion expected;
    };
    const Case cases[] = {
        {"10.20.3.4", {10, 20, 3, 4}},
        {"1.2.3", {1, 2, 3, 0}},
        {"", {0, 0, 0, 0}},
        {"7", {7, 0, 0, 0}},
        {"1.x.3.4", {1, 0, 3, 4}},
        {"1.2.3.4.5", {1, 2, 3, 0}}, // all after the third "." is the build part
        {"$A.0x10. 3.-1", {10, 16, 3, 4294967295u}},
        {"1..3", {1, 0, 3, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StrToProdVersion(c.text), c.expected) << c.text;
}

TEST(Versions, VersionOfAnExecutable)
{
    TempFolder temp;
    EXPECT_EQ(GetAppVersion(""), TProductVersion{});
    EXPECT_EQ(GetAppVersion(temp.file("missing")), TProductVersion{});
    EXPECT_EQ(GetAppVersion(temp.path()), TProductVersion{}) << "a folder is no executable";

    // This test program is built with the library and carries the program's version.
    EXPECT_EQ(GetAppVersion(QCoreApplication::applicationFilePath()), CompiledVersion());
    EXPECT_EQ(ProdVersionToStr(CompiledVersion(), true), TEVORA_VERSION);

    struct Case
    {
        const char *what;
        QByteArray contents;
        TProductVersion expected;
    };
    const Case cases[] = {
        {"marker",
         "\x7f"
         "ELF..." +
             marker(QByteArray("2.5.7.1234\0...", 14)),
         {2, 5, 7, 1234}},
        {"a bare prefix before the marker",
         marker(QByteArray(1, '\0')) + marker(QByteArray("1.0.0.9\0", 8)),
         {1, 0, 0, 9}},
    };
    for (const Case &c : cases) {
        QFile file(temp.file("exe"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.contents);
        file.close();
        EXPECT_EQ(GetAppVersion(temp.file("exe")), c.expected) << c.what;
    }

    const QByteArray withoutVersion[] = {"", "plain text", marker(QByteArray("1.2.3\0", 6)),
                                         marker(QByteArray("1.2.3.70000\0", 12)),
                                         marker("1.2.3.4") /* not closed */};
    for (const QByteArray &contents : withoutVersion) {
        QFile file(temp.file("other"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();
        EXPECT_THROW(GetAppVersion(temp.file("other")), tev::Error) << contents.constData();
    }
}

TEST(Encodings, GetEncodingByNameFallsBackToUtf8)
{
    struct Case
    {
        const char *name;
        int codePage;
    };
    const Case cases[] = {
        {"1252", 1252},        {"850", 850},
        {"28591", 28591},      {"65001", 65001},
        {"1200", 1200},        {"1201", 1201},
        {"$4E4", 1252},        {"utf-8", 65001},
        {"iso-8859-1", 28591}, {"99999", 65001},
        {"no-such", 65001},    {"", 65001},
        {"-5", 65001},         {"1252 Western", 65001},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetEncodingByName(c.name)->CodePage(), c.codePage) << c.name;
    EXPECT_EQ(GetEncodingByName(""), TEncoding::UTF8()) << "the shared default";
}
