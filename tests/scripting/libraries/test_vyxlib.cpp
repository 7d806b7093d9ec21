// VYXLib called from scripts: each call gives what the routine library gives for the converted
// arguments, by-reference arguments write back, and bad arguments are run-time errors.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <functional>

#include "core/lib/bytes.h"
#include "core/lib/cfglist.h"
#include "core/lib/colours.h"
#include "core/lib/conversions.h"
#include "core/lib/encodings.h"
#include "core/lib/knownfolders.h"
#include "core/lib/numbers.h"
#include "core/lib/paths.h"
#include "core/lib/textroutines.h"
#include "core/lib/versions.h"
#include "libraryhost.h"
#include "platform/script/scripterror.h"
#include "platform/text/tencoding.h"
#include "platform/text/tstringlist.h"
#include "support/tempfolder.h"

using tev::script::Value;
using tev::script::VType;

namespace {

QString ansiText(const QByteArray &bytes)
{
    return tev::TEncoding::ANSI()->GetString(bytes);
}

struct Call
{
    const char *expression;
    std::function<Value()> expected;
};

const Call kCalls[] = {
    {"Capitalize('foo-bar baz')", [] { return Value(tev::Capitalize("foo-bar baz")); }},
    {"TitleCase('the lord of the rings')",
     [] { return Value(tev::TitleCase("the lord of the rings")); }},
    {"GetFirstPlaceholder('x<yy>z', '<', '>')",
     [] { return Value(tev::GetFirstPlaceholder("x<yy>z", u'<', u'>')); }},
    {"IsEmptyString(' ')", [] { return Value(tev::IsEmptyString(" ")); }},
    {"PadLeft('ab', 5)", [] { return Value(tev::PadLeft("ab", 5, u' ')); }},
    {"PadLeft('ab', 5, 'xyz')", [] { return Value(tev::PadLeft("ab", 5, u'x')); }},
    {"PadRight('ab', 4, '*')", [] { return Value(tev::PadRight("ab", 4, u'*')); }},
    {"SubString('a;b;c', 1, ';')", [] { return Value(tev::SubString("a;b;c", 1, u';')); }},
    // A Char argument is the first character of the argument's text, numbers included.
    {"PadLeft('7', 3, 0)", [] { return Value(QStringLiteral("007")); }},
    {"PadRight('7', 3, 10)", [] { return Value(QStringLiteral("711")); }},
    {"SubString('a5b5c', 1, 5)", [] { return Value(QStringLiteral("b")); }},
    {"DoubleToStr(2.5, 1, 0)", [] { return Value(tev::DoubleToStr(2.5, 1, u'0')); }},
    {"BoolToInt(True)", [] { return Value(qint64(tev::BoolToInt(true))); }},
    {"BoolToParamStr(False)", [] { return Value(tev::BoolToParamStr(false)); }},
    {"ParamStrToBool(' yes ')", [] { return Value(tev::ParamStrToBool(" yes ")); }},
    // Byte strings travel as ANSI text and come back as the same bytes, C1 range included.
    {"ByteStrToInt(IntToByteStr($80818D9D), 4)",
     [] { return Value(qint64(tev::ByteStrToInt(tev::IntToByteStr(qint32(0x80818D9D)), 4))); }},
    {"IntToByteStr(258)", [] { return Value(ansiText(tev::IntToByteStr(258))); }},
    {"SmallIntToByteStr(-2)", [] { return Value(ansiText(tev::SmallIntToByteStr(-2))); }},
    {"WordToByteStr(70000)", [] { return Value(ansiText(tev::WordToByteStr(70000 & 0xFFFF))); }},
    {"ByteToAnsiChar(65)", [] { return Value(QStringLiteral("A")); }},
    {"ByteToAnsiChar(128)", [] { return Value(QString(QChar(0x20AC))); }},
    {"ByteToAnsiChar(321)", [] { return Value(QStringLiteral("A")); }},
    {"DateTimeToCaption(45000.5)", [] { return Value(tev::DateTimeToCaption(45000.5)); }},
    {"DoubleToStr(1.005, 2)", [] { return Value(tev::DoubleToStr(1.005, 2)); }},
    {"DoubleToStr(2.5, 1, ',;')", [] { return Value(tev::DoubleToStr(2.5, 1, u',')); }},
    {"IntToSignedStr(5)", [] { return Value(tev::IntToSignedStr(5)); }},
    {"IntToSignedStr(-2147483648)", [] { return Value(tev::IntToSignedStr(-2147483647 - 1)); }},
    {"IntToSignedStr($FFFFFFFF)", [] { return Value(tev::IntToSignedStr(-1)); }},
    {"IsDoubleOK(StrToDouble('abc', 2))", [] { return Value(false); }},
    {"StrToDouble('1,256', 2, True)", [] { return Value(tev::StrToDouble("1,256", 2, true)); }},
    {"IsInteger('$1F')", [] { return Value(tev::IsInteger("$1F")); }},
    {"IsNumeric('1.5e3')", [] { return Value(tev::IsNumeric("1.5e3")); }},
    {"OptionEnabled(4, 6)", [] { return Value(tev::OptionEnabled(4, 6)); }},
    {"OptionEnabled(-1, $FFFFFFFF)",
     [] { return Value(tev::OptionEnabled(0xFFFFFFFF, 0xFFFFFFFF)); }},
    {"Rnd(2.375, 2)", [] { return Value(tev::Rnd(2.375, 2)); }},
    {"StrToSysFloat('x')", [] { return Value(0.0); }},
    {"StrToSysFloat('x', 7)", [] { return Value(7.0); }},
    {"StrToSysFloat('1.5', 7)", [] { return Value(1.5); }},
    {"SysFloatToStr(0.00001)", [] { return Value(tev::SysFloatToStr(0.00001)); }},
    {"VarToInt(True)", [] { return Value(qint64(tev::VarToInt(QVariant(true)))); }},
    {"VarToInt('12')", [] { return Value(qint64(0)); }},
    {"VarToDouble(7)", [] { return Value(7.0); }},
    {"IsDoubleOK(VarToDouble(Null))", [] { return Value(false); }},
    {"AddBackSlash('/tmp/a')", [] { return Value(tev::AddBackSlash("/tmp/a")); }},
    {"VYXLib.AddBackSlash('/tmp/a')", [] { return Value(tev::AddBackSlash("/tmp/a")); }},
    {"AddSlash('/a///')", [] { return Value(tev::AddSlash("/a///")); }},
    {"ParentDir('/opt/App/bin/')", [] { return Value(tev::ParentDir("/opt/App/bin/")); }},
    {"GetRelativeFileName('/Root', '/root/sub/a.txt')",
     [] { return Value(tev::GetRelativeFileName("/Root", "/root/sub/a.txt")); }},
    {"PathIsRelative('a/b')", [] { return Value(tev::PathIsRelative("a/b")); }},
    {"StrToFileName('a:b?c')", [] { return Value(tev::StrToFileName("a:b?c")); }},
    {"GetDocumentsDir", [] { return Value(tev::GetDocumentsDir()); }},
    {"GetPublicDir", [] { return Value(tev::GetPublicDir()); }},
    {"GetUserTempDir", [] { return Value(tev::GetUserTempDir()); }},
    {"GetEncodingByName('1252').EncodingName",
     [] { return Value(tev::GetEncodingByName("1252")->EncodingName()); }},
    {"GetEncodingByName('nonsense').CodePage",
     [] { return Value(qint64(tev::GetEncodingByName("nonsense")->CodePage())); }},
    {"ProdVersionToStr(EncodeProdVersion(1, 2, 3, 4))",
     [] { return Value(QStringLiteral("1.2.3")); }},
    {"ProdVersionToStr(EncodeProdVersion(1, 2, 3, 4), True)",
     [] { return Value(QStringLiteral("1.2.3.4")); }},
    {"ProdVersionToStr(StrToProdVersion('4.5.x.7'), True)",
     [] { return Value(tev::ProdVersionToStr(tev::StrToProdVersion("4.5.x.7"), true)); }},
    {"EncodeProdVersion(1, 2, 3, -1).Build", [] { return Value(qint64(0xFFFFFFFF)); }},
    {"BackgroundToTextColor(clVYXCtrlBackground)",
     [] { return Value(qint64(tev::BackgroundToTextColor(tev::clVYXCtrlBackground))); }},
    {"ColorToAlphaColor(clVYXCorpRed)",
     [] { return Value(qint64(qint32(tev::ColorToAlphaColor(tev::clVYXCorpRed)))); }},
    {"ColorToAlphaColor($FF000005)",
     [] { return Value(qint64(qint32(tev::ColorToAlphaColor(tev::TColor(0xFF000005))))); }},
    {"RGBBrightness($FFFFFF)", [] { return Value(double(tev::RGBBrightness(0xFFFFFF))); }},
    {"IncreaseBrightness($808080, 0.1)",
     [] { return Value(qint64(tev::IncreaseBrightness(0x808080, 0.1f))); }},
    {"SetBrightness(clVYXSelected, 0.5)",
     [] { return Value(qint64(tev::SetBrightness(tev::clVYXSelected, 0.5f))); }},
};

class VYXLibCalls : public testing::TestWithParam<Call>
{
};

TEST_P(VYXLibCalls, GiveTheRoutineLibrarysResult)
{
    tev::test::LibraryHost host;
    const Value actual = host.eval(QLatin1String(GetParam().expression));
    const Value expected = GetParam().expected();
    EXPECT_EQ(actual.type(), expected.type()) << actual.typeName().toStdString();
    EXPECT_EQ(actual.toString(), expected.toString());
}

INSTANTIATE_TEST_SUITE_P(Table, VYXLibCalls, testing::ValuesIn(kCalls));

TEST(VYXLib, GetNextTokenWritesTheRestBackIntoTheVariable)
{
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral("var S, T: string;\nbegin\n  S := 'a;b;c';\n"
                                      "  T := GetNextToken(S, ';');\n  WriteLn(T, '|', S);\n"
                                      "  T := GetNextToken(S, ',', ';');\n  WriteLn(T, '|', S);\n"
                                      "end.\n")),
              QStringLiteral("a|b;c\nb|c\n"));
}

TEST(VYXLib, ArraysComeBackIntoTheScriptsVariables)
{
    QStringList values;
    tev::SeparatorStrToArray(QStringLiteral("a, b ,c "), u',', values);
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral(
                  "var A: array of string; B: array of Byte;\nbegin\n"
                  "  SeparatorStrToArray('a, b ,c ', ',', A);\n"
                  "  WriteLn(Length(A), '[', A[0], '][', A[1], '][', A[2], ']');\n"
                  "  SetLength(B, 2);\n  IntToBytes($01020304, B);\n"
                  "  WriteLn(Length(B), ' ', B[0], ' ', B[1]);\n"
                  "  WriteLn(Length(AnsiStringToBytes('abc')), ' ', AnsiStringToBytes('abc')[2]);\n"
                  "  WriteLn(Length(AnsiCharToBytes('')), ' ', AnsiCharToBytes('abc')[0]);\n"
                  "  WriteLn(AnsiStringToBytes(#8364)[0]);\n"
                  "end.\n")),
              QStringLiteral("3[%1][%2][%3]\n2 4 3\n3 99\n0 97\n128\n")
                  .arg(values.at(0), values.at(1), values.at(2)));
}

TEST(VYXLib, SetsAreStoredAsTheBitsOfTheirElements)
{
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral("var S: Variant;\nbegin\n  S := [1, 3, 20];\n"
                                      "  WriteLn(SetToInt(S, 1), ' ', SetToInt(S, 4));\n"
                                      "  IntToSet($0100, S, 2);\n"
                                      "  WriteLn(8 in S, ' ', 1 in S, ' ', 20 in S, ' ', 3 in S);\n"
                                      "  WriteLn(SetToInt([], 4), ' ', SetToInt([0, 9], 2));\n"
                                      "end.\n")),
              QStringLiteral("10 1048586\nTRUE FALSE TRUE FALSE\n0 513\n"));
    EXPECT_THROW(host.eval(QStringLiteral("SetToInt([300], 4)")), tev::script::ScriptError);
}

TEST(VYXLib, NameValueListsAreTheScriptsStringLists)
{
    tev::TStringList expected;
    tev::WriteCfgInteger(expected, QStringLiteral("A"), 5);
    tev::WriteCfgBool(expected, QStringLiteral("B"), true);
    tev::WriteCfgString(expected, QStringLiteral("A"), QStringLiteral("x"));
    expected.Add(QStringLiteral("  "));
    tev::RemoveEmptyStrings(expected, true);
    tev::AddDistinctStringListItem(expected, QStringLiteral("B=YES"));
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral(
                  "var L: TStringList;\nbegin\n  L := TStringList.Create;\n"
                  "  WriteCfgInteger(L, 'A', 5);\n  WriteCfgBool(L, 'B', True);\n"
                  "  WriteCfgString(L, 'A', 'x');\n  L.Add('  ');\n  RemoveEmptyStrings(L, True);\n"
                  "  WriteLn(AddDistinctStringListItem(L, 'B=YES'));\n  Write(L.Text);\n"
                  "  WriteLn(ReadCfgInteger(L, 'b', 7), ReadCfgBool(L, 'B', False), "
                  "ReadCfgString(L, 'Z', 'd'), ReadCfgString(L, 'a', 'd'));\n"
                  "  L.Free;\nend.\n")),
              QStringLiteral("%1\n%2%3%4%5%6\n")
                  .arg(expected.IndexOf(QStringLiteral("B=YES")))
                  .arg(expected.Text())
                  .arg(tev::ReadCfgInteger(expected, QStringLiteral("b"), 7))
                  .arg(QStringLiteral("TRUE"), QStringLiteral("d"), QStringLiteral("x")));
}

TEST(VYXLib, ProductVersionsAreRecordObjects)
{
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral(
                  "var V: TProductVersion;\nbegin\n  V := EncodeProdVersion(1, 2, 3, 4);\n"
                  "  WriteLn(V.Major, V.Minor, V.Release, V.Build);\n  V.Minor := 9;\n"
                  "  WriteLn(ProdVersionToStr(V, True));\n  V := TProductVersion.Create;\n"
                  "  V.Build := 5;\n  WriteLn(ProdVersionToStr(V, True));\nend.\n")),
              QStringLiteral("1234\n1.9.3.4\n0.0.0.5\n"));
    // Every call makes a new object.
    EXPECT_EQ(
        host.run(QStringLiteral("var A, B: TProductVersion;\nbegin\n"
                                "  A := StrToProdVersion('1.1');\n  B := StrToProdVersion('1.1');\n"
                                "  A.Major := 2;\n  WriteLn(ProdVersionToStr(B));\nend.\n")),
        QStringLiteral("1.1.0\n"));
}

TEST(VYXLib, StreamsAndFilesAreReadThroughTheRoutineLibrary)
{
    tev::test::TempFolder dir;
    QFile f(dir.file(QStringLiteral("a.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    QByteArray data("ab\xff", 3);
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    tev::test::LibraryHost host;
    host.engine.AddObject(QStringLiteral("Buffer"), &buffer);
    EXPECT_EQ(host.eval(QStringLiteral("StreamToStr(Buffer)")).toString(),
              QStringLiteral("ab") + QChar(0xFF));
    const Value date = host.eval(QStringLiteral("GetFileDate('%1')").arg(f.fileName()));
    EXPECT_EQ(date.type(), VType::DateTime);
    EXPECT_EQ(date.rawFloat(), tev::GetFileDate(f.fileName()));
    EXPECT_EQ(host.eval(QStringLiteral("GetFiles('%1/*.TXT')").arg(dir.path())).toString(),
              QStringLiteral("a.txt"));
    EXPECT_TRUE(host.eval(QStringLiteral("CheckDir('%1/n/m')").arg(dir.path())).toBoolean());
    EXPECT_TRUE(host.eval(QStringLiteral("PathExists('%1/n/m')").arg(dir.path())).toBoolean());
    EXPECT_TRUE(
        host.eval(QStringLiteral("IsDirectoryWriteable('%1')").arg(dir.path())).toBoolean());
    EXPECT_FALSE(host.eval(QStringLiteral("IsNetworkFile('%1')").arg(dir.path())).toBoolean());
}

TEST(VYXLib, BadArgumentsAreRunTimeErrorsOfTheScript)
{
    const char *calls[] = {
        "SubString('a', 0, '')",
        "GetFirstPlaceholder('a', '', '>')",
        "PadLeft('a', 3, '')",
        "PadRight('a', 3, '')",
        "DoubleToStr(1, 1, '')",
        "ReadCfgBool(nil, 'a', True)",
        "ProdVersionToStr(nil)",
        "StreamToStr(TStringList.Create)",
        "GetAppVersion('" TEVORA_SOURCE_DIR "/CMakeLists.txt')",
        "PadLeft('a', 3, Null)",
    };
    tev::test::LibraryHost host;
    for (const char *call : calls)
        EXPECT_THROW(host.eval(QLatin1String(call)), tev::script::ScriptError) << call;
    EXPECT_THROW(host.run(QStringLiteral("var A: array of string;\nbegin\n"
                                         "  SeparatorStrToArray('a', '', A);\nend.\n")),
                 tev::script::ScriptError);
}

TEST(VYXLib, IntegersBeyond32BitsAreRangeErrors)
{
    const char *calls[] = {
        "IntToSignedStr(4294967301)",
        "IntToSignedStr(-2147483649)",
        "OptionEnabled(4294967296, 1)",
        "PadLeft('a', 4294967299)",
        "EncodeProdVersion(1, 2, 3, 4294967296)",
        "SetBrightness($1000000FF, 0.5)",
    };
    tev::test::LibraryHost host;
    for (const char *call : calls) {
        try {
            host.eval(QLatin1String(call));
            ADD_FAILURE() << call << " gave no error";
        } catch (const tev::script::ScriptError &e) {
            EXPECT_EQ(e.className(), QStringLiteral("ERangeError")) << call;
            EXPECT_TRUE(e.message().contains(QLatin1String("out of the range"))) << call;
        }
    }
}

} // namespace
