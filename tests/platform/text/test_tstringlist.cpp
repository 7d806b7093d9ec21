#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/text/tstringlist.h"
#include "qstringprinter.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using tev::TStringList;
using TDuplicates = tev::TStringList::TDuplicates;

namespace {

TStringList ListOf(std::initializer_list<const char *> lines)
{
    TStringList list;
    for (const char *line : lines)
        list.Add(QString::fromUtf8(line));
    return list;
}

QStringList LinesOf(const TStringList &list)
{
    return list.ToStringList();
}

} // namespace

TEST(TStringList, NamesAndValuesSplitAtTheFirstSeparator)
{
    TStringList list = ListOf({"Alpha=1", "beta=x=y", "no separator", "=empty name", "Gamma="});
    struct Case
    {
        int index;
        const char *name;
        const char *value;
    };
    const Case cases[] = {{0, "Alpha", "1"},
                          {1, "beta", "x=y"},
                          {2, "", ""},
                          {3, "", "empty name"},
                          {4, "Gamma", ""}};
    for (const Case &c : cases) {
        EXPECT_EQ(list.Names(c.index), QString::fromUtf8(c.name)) << c.index;
        EXPECT_EQ(list.ValueFromIndex(c.index), QString::fromUtf8(c.value)) << c.index;
    }
    EXPECT_EQ(list.IndexOfName(QStringLiteral("ALPHA")), 0);
    EXPECT_EQ(list.Values(QStringLiteral("BETA")), QStringLiteral("x=y"));
    EXPECT_EQ(list.IndexOfName(QStringLiteral("no separator")), -1);
    EXPECT_EQ(list.IndexOfName(QStringLiteral("Gamma")), 4);
    EXPECT_EQ(list.Values(QStringLiteral("missing")), QString());
}

TEST(TStringList, CaseSensitiveListsMatchExactly)
{
    TStringList list = ListOf({"Key=1", "key=2"});
    EXPECT_EQ(list.IndexOfName(QStringLiteral("key")), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("KEY=2")), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOfName(QStringLiteral("key")), 1);
    EXPECT_EQ(list.IndexOfName(QStringLiteral("KEY")), -1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("KEY=2")), -1);
}

TEST(TStringList, OtherNameValueSeparator)
{
    TStringList list = ListOf({"a:1", "b=2:3"});
    list.SetNameValueSeparator(QLatin1Char(':'));
    EXPECT_EQ(list.Values(QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(list.Names(1), QStringLiteral("b=2"));
    list.SetValues(QStringLiteral("c"), QStringLiteral("4"));
    EXPECT_EQ(list.Strings(2), QStringLiteral("c:4"));
}

TEST(TStringList, SetValuesReplacesInPlaceAppendsOrDeletes)
{
    TStringList list = ListOf({"A=1", "B=2", "C=3"});
    list.SetValues(QStringLiteral("b"), QStringLiteral("20"));
    list.SetValues(QStringLiteral("D"), QStringLiteral("4"));
    list.SetValues(QStringLiteral("A"), QString());
    list.SetValues(QStringLiteral("missing"), QString());
    EXPECT_EQ(LinesOf(list), (QStringList{"b=20", "C=3", "D=4"}));
    list.SetValueFromIndex(1, QStringLiteral("30"));
    EXPECT_EQ(list.Strings(1), QStringLiteral("C=30"));
    list.SetValueFromIndex(1, QString());
    EXPECT_EQ(LinesOf(list), (QStringList{"b=20", "D=4"}));
}

TEST(TStringList, SortedListsKeepOrderAndHandleDuplicates)
{
    struct Case
    {
        TDuplicates duplicates;
        QStringList expected;
        bool throws;
    };
    const Case cases[] = {
        {TDuplicates::dupIgnore, {"apple", "Banana", "cherry"}, false},
        {TDuplicates::dupAccept, {"apple", "BANANA", "Banana", "cherry"}, false},
        {TDuplicates::dupError, {"apple", "Banana", "cherry"}, true},
    };
    for (const Case &c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.duplicates);
        list.Add(QStringLiteral("cherry"));
        list.Add(QStringLiteral("Banana"));
        list.Add(QStringLiteral("apple"));
        bool threw = false;
        try {
            list.Add(QStringLiteral("BANANA"));
        } catch (const tev::Error &) {
            threw = true;
        }
        EXPECT_EQ(threw, c.throws);
        EXPECT_EQ(LinesOf(list), c.expected);
    }
}

TEST(TStringList, SortedAddReturnsTheSortedPlace)
{
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add(QStringLiteral("m")), 0);
    EXPECT_EQ(list.Add(QStringLiteral("z")), 1);
    EXPECT_EQ(list.Add(QStringLiteral("a")), 0);
    EXPECT_EQ(list.Add(QStringLiteral("M")), 1); // ignored duplicate: the place of "m"
    int index = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("Z"), index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find(QStringLiteral("b"), index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("A")), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("b")), -1);
}

TEST(TStringList, SortingAnExistingListAndChangingCase)
{
    TStringList list = ListOf({"b", "C", "a", "B"});
    list.SetSorted(true);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b", "B", "C"}));
    list.SetCaseSensitive(true);
    EXPECT_EQ(LinesOf(list), (QStringList{"B", "C", "a", "b"}));
}

TEST(TStringList, SortedListsRefuseReorderingButMoveChangedValues)
{
    TStringList list = ListOf({"b=2", "a=1"});
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, QStringLiteral("x")), tev::Error);
    EXPECT_THROW(list.SetStrings(0, QStringLiteral("x")), tev::Error);
    EXPECT_THROW(list.Exchange(0, 1), tev::Error);
    EXPECT_THROW(list.Move(0, 1), tev::Error);
    list.SetValues(QStringLiteral("a"), QStringLiteral("9"));
    EXPECT_EQ(LinesOf(list), (QStringList{"a=9", "b=2"}));
}

TEST(TStringList, IndexErrorsThrow)
{
    TStringList list = ListOf({"one"});
    EXPECT_THROW(list.Strings(1), tev::Error);
    EXPECT_THROW(list.Strings(-1), tev::Error);
    EXPECT_THROW(list.Delete(1), tev::Error);
    EXPECT_THROW(list.Objects(5), tev::Error);
    EXPECT_THROW(list.Insert(2, QStringLiteral("x")), tev::Error);
    list.Insert(1, QStringLiteral("two"));
    EXPECT_EQ(LinesOf(list), (QStringList{"one", "two"}));
    try {
        list.Names(7);
        FAIL() << "no error";
    } catch (const tev::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("List index out of bounds (7)"));
    }
}

TEST(TStringList, ObjectsAreReferencesThatClearWhenTheObjectGoes)
{
    TStringList list;
    auto owner = std::make_unique<QObject>();
    QObject other;
    list.AddObject(QStringLiteral("a"), owner.get());
    list.Add(QStringLiteral("b"));
    list.SetObjects(1, &other);
    EXPECT_EQ(list.Objects(0), owner.get());
    EXPECT_EQ(list.IndexOfObject(&other), 1);
    TStringList copy = list;
    owner.reset();
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(copy.Objects(0), nullptr);
    EXPECT_EQ(copy.Objects(1), &other);
}

TEST(TStringList, TextSplitsAtEveryLineBreakAndJoinsWithCrLf)
{
    struct Case
    {
        const char *text;
        QStringList lines;
        const char *joined;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"a", {"a"}, "a\r\n"},
        {"a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
        {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}, "a\r\nb\r\nc\r\n\r\nd\r\n"},
        {"\r\n", {""}, "\r\n"},
        {"x\n\n", {"x", ""}, "x\r\n\r\n"},
    };
    for (const Case &c : cases) {
        TStringList list;
        list.SetText(QString::fromUtf8(c.text));
        EXPECT_EQ(LinesOf(list), c.lines) << c.text;
        EXPECT_EQ(list.Text(), QString::fromUtf8(c.joined)) << c.text;
    }
}

TEST(TStringList, TextWithoutTrailingBreakAndOtherBreaks)
{
    TStringList list = ListOf({"a", "b"});
    list.SetTrailingLineBreak(false);
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb"));
    list.SetLineBreak(QStringLiteral("|"));
    EXPECT_EQ(list.Text(), QStringLiteral("a|b"));
    list.SetText(QStringLiteral("x|y\nz|"));
    EXPECT_EQ(LinesOf(list), (QStringList{"x", "y\nz"}));
}

TEST(TStringList, CommaTextQuotesWhatWouldNotReadBack)
{
    struct Case
    {
        QStringList lines;
        const char *text;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y", "say \"hi\""}, "\"x,y\",\"say \"\"hi\"\"\""},
        {{"a", "", "b"}, "a,,b"},
    };
    for (const Case &c : cases) {
        TStringList list(c.lines);
        EXPECT_EQ(list.CommaText(), QString::fromUtf8(c.text));
        TStringList back;
        back.SetCommaText(list.CommaText());
        EXPECT_EQ(LinesOf(back), c.lines) << c.text;
    }
}

TEST(TStringList, SetCommaTextReadsBlanksAsDelimiters)
{
    struct Case
    {
        const char *text;
        QStringList lines;
    };
    const Case cases[] = {
        {"a b,c", {"a", "b", "c"}},
        {"  a ,  b  ", {"a", "b"}},
        {"a,", {"a", ""}},
        {"\"unclosed, quote", {"unclosed, quote"}},
        {"\"q\"rest,x", {"q", "rest", "x"}},
    };
    for (const Case &c : cases) {
        TStringList list;
        list.SetCommaText(QString::fromUtf8(c.text));
        EXPECT_EQ(LinesOf(list), c.lines) << c.text;
    }
}

TEST(TStringList, StrictDelimitedTextKeepsBlanks)
{
    TStringList list;
    list.SetDelimiter(QLatin1Char(';'));
    list.SetQuoteChar(QLatin1Char('\''));
    list.SetStrictDelimiter(true);
    list.SetDelimitedText(QStringLiteral(" a b ;'c;d';e"));
    EXPECT_EQ(LinesOf(list), (QStringList{" a b ", "c;d", "e"}));
    EXPECT_EQ(list.DelimitedText(), QStringLiteral(" a b ;'c;d';e"));
}

TEST(TStringList, ExchangeMoveAndCustomSort)
{
    TStringList list = ListOf({"a", "b", "c", "d"});
    list.Exchange(0, 3);
    EXPECT_EQ(LinesOf(list), (QStringList{"d", "b", "c", "a"}));
    list.Move(0, 2);
    EXPECT_EQ(LinesOf(list), (QStringList{"b", "c", "d", "a"}));
    list.CustomSort([](const TStringList &l, int i, int j) {
        return QString::compare(l.Strings(j), l.Strings(i)); // descending
    });
    EXPECT_EQ(LinesOf(list), (QStringList{"d", "c", "b", "a"}));
}

TEST(TStringList, AddStringsAssignAndEquals)
{
    TStringList list = ListOf({"a", "b"});
    list.AddStrings(list);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b", "a", "b"}));
    TStringList other;
    other.SetNameValueSeparator(QLatin1Char(':'));
    other.Assign(list);
    EXPECT_TRUE(other.Equals(list));
    EXPECT_EQ(other.NameValueSeparator(), QLatin1Char('='));
    other.SetStrings(0, QStringLiteral("A"));
    EXPECT_FALSE(other.Equals(list));
    list.AddPair(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(list.Strings(4), QStringLiteral("k=v"));
}

TEST(TStringList, FileEncodingsFollowTheMarkOrTheDefault)
{
    using tev::TEncoding;
    struct Case
    {
        const char *label;
        QByteArray bytes;            // the file as found
        TEncoding::Ptr loadEncoding; // nullptr: detect
        QStringList lines;
        int codePage; // of the encoding kept in Encoding
    };
    const Case cases[] = {
        {"no mark: Windows-1252",
         QByteArray("Gr\xF6\xDF"
                    "e=1\r\n\x80"),
         nullptr,
         {"Größe=1", "€"},
         1252},
        {"UTF-8 mark",
         QByteArray("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                    "e=1"),
         nullptr,
         {"Größe=1"},
         65001},
        {"UTF-16 LE mark",
         QByteArray("\xFF\xFE"
                    "a\0=\0b\0",
                    8),
         nullptr,
         {"a=b"},
         1200},
        {"UTF-16 BE mark", QByteArray("\xFE\xFF\0a\0=\0b", 8), nullptr, {"a=b"}, 1201},
        {"given UTF-8, no mark", QByteArray("\xC3\xBC"), TEncoding::UTF8(), {"ü"}, 65001},
        {"given UTF-8, its mark skipped",
         QByteArray("\xEF\xBB\xBF\xC3\xBC"),
         TEncoding::UTF8(),
         {"ü"},
         65001},
    };
    tev::test::TempFolder folder;
    for (const Case &c : cases) {
        const QString name = folder.file(QStringLiteral("in.txt"));
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        TStringList list;
        list.LoadFromFile(name, c.loadEncoding);
        EXPECT_EQ(LinesOf(list), c.lines) << c.label;
        ASSERT_TRUE(list.Encoding()) << c.label;
        EXPECT_EQ(list.Encoding()->CodePage(), c.codePage) << c.label;

        // Saved again in the encoding it was read in, mark included.
        const QString copy = folder.file(QStringLiteral("out.txt"));
        list.SaveToFile(copy);
        TStringList back;
        back.LoadFromFile(copy);
        EXPECT_TRUE(back.Equals(list)) << c.label;
        EXPECT_EQ(back.Encoding()->CodePage(), c.codePage) << c.label;
    }
}

TEST(TStringList, EveryByteSurvivesLoadAndSaveWithoutAMark)
{
    tev::test::TempFolder folder;
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
    }
    bytes = bytes.mid(3) + "\r\n"; // not starting like a UTF-8 or UTF-16 mark
    const QString name = folder.file(QStringLiteral("bytes.txt"));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    TStringList list;
    list.LoadFromFile(name);
    list.SaveToFile(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

TEST(TStringList, SaveWritesTheChosenEncodingAndReportsErrors)
{
    tev::test::TempFolder folder;
    const QString name = folder.file(QStringLiteral("list.txt"));
    TStringList list = ListOf({"Größe=1", "", "last"});
    auto fileBytes = [&name] {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    list.SaveToFile(name);
    EXPECT_EQ(fileBytes(), QByteArray("Gr\xF6\xDF"
                                      "e=1\r\n\r\nlast\r\n"));
    list.SaveToFile(name, tev::TEncoding::UTF8());
    EXPECT_EQ(fileBytes(), QByteArray("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                                      "e=1\r\n\r\nlast\r\n"));
    list.SetWriteBOM(false);
    list.SetTrailingLineBreak(false);
    list.SaveToFile(name, tev::TEncoding::UTF8());
    EXPECT_EQ(fileBytes(), QByteArray("Gr\xC3\xB6\xC3\x9F"
                                      "e=1\r\n\r\nlast"));

    EXPECT_THROW(list.LoadFromFile(folder.file(QStringLiteral("missing.txt"))), tev::Error);
    EXPECT_THROW(list.SaveToFile(folder.file(QStringLiteral("no/such/folder/x.txt"))), tev::Error);
    EXPECT_EQ(list.Count(), 3) << "a failed load keeps the lines";
}

// A save that the system cuts short (a full disk, here the process's file size limit) keeps the
// old file whole and says why; small and large lists alike, whatever passes through a buffer.
TEST(TStringList, AFailedSaveKeepsTheOldFile)
{
    tev::test::TempFolder folder;
    const QString name = folder.file(QStringLiteral("vendors.txt"));
    const QByteArray old = "old line\r\n";
    for (const int lines : {40, 20000}) {
        SCOPED_TRACE(lines);
        {
            QFile file(name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(old), old.size());
        }
        TStringList list;
        for (int i = 0; i < lines; ++i)
            list.Add(QStringLiteral("Vendor %1=Street %1, Town").arg(i));

        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 300;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString message;
        try {
            list.SaveToFile(name);
        } catch (const tev::Error &e) {
            message = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_TRUE(message.contains(name) && message.contains("File too large"))
            << message.toStdString();
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"vendors.txt"}))
            << "no temporary file is left";
    }
}

// A FIFO would stall a load for ever and a device such as /dev/zero never end it: both are
// refused with the reason, and the list keeps its lines.
TEST(TStringList, OnlyARegularFileIsLoaded)
{
    tev::test::TempFolder folder;
    tev::test::FifoGuard fifo(folder.file(QStringLiteral("vendors.txt")));
    ASSERT_TRUE(fifo.made());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder.file(QStringLiteral("zero.txt"))));
    struct Case
    {
        const char *file;
        const char *reason;
    };
    const Case cases[] = {
        {"vendors.txt", "it is a pipe (FIFO), not a regular file"},
        {"zero.txt", "it is a device, not a regular file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        TStringList list = ListOf({"kept"});
        QString message;
        try {
            list.LoadFromFile(folder.file(QLatin1String(c.file)));
        } catch (const tev::Error &e) {
            message = e.message();
        }
        EXPECT_TRUE(message.contains(QLatin1String(c.reason))) << message.toStdString();
        EXPECT_EQ(list.Text(), QStringLiteral("kept\r\n"));
    }
}

TEST(TStringList, StreamsReadFromTheCurrentPosition)
{
    QByteArray data("skip|a=1\r\nb=2");
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(5));
    TStringList list;
    list.LoadFromStream(buffer);
    EXPECT_EQ(LinesOf(list), (QStringList{"a=1", "b=2"}));

    QByteArray written;
    QBuffer out(&written);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    list.Append(QStringLiteral("ü"));
    list.SaveToStream(out);
    EXPECT_EQ(written, QByteArray("a=1\r\nb=2\r\n\xFC\r\n"));
    QBuffer readOnly(&written);
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    EXPECT_THROW(list.SaveToStream(readOnly), tev::Error);
}
