// The routines each library registers: script signature, arity, optional count, by-reference
// position and declared result kind, read back from the engine in registration order; and
// loading the libraries by name.
#include <gtest/gtest.h>

#include "libraryhost.h"
#include "platform/script/scripterror.h"

using namespace tev::script;
using enum tev::script::TypeKind;

namespace {

struct Registration
{
    const char *library;
    const char *name;
    const char *hint;
    int args;
    int optional;
    TypeKind kind;
    int byRef = -1;
    const char *resultClass = "";
};

// clang-format off
const Registration kExpected[] = {
    {"VYXLib", "AddDistinctStringListItem", "List: TStringList; Value: string", 2, 0, tkInteger},
    {"VYXLib", "Capitalize", "S: string", 1, 0, tkVariant},
    {"VYXLib", "GetFirstPlaceholder", "Text: string; StartChar: Char; EndChar: Char", 3, 0, tkVariant},
    {"VYXLib", "GetNextToken", "S: string; Separators: string; Stop: string = ''", 3, 1, tkVariant, 0},
    {"VYXLib", "IsEmptyString", "S: string", 1, 0, tkVariant},
    {"VYXLib", "PadLeft", "S: string; TotalWidth: Integer; PaddingChar: Char = ' '", 3, 1, tkVariant},
    {"VYXLib", "PadRight", "S: string; TotalWidth: Integer; PaddingChar: Char = ' '", 3, 1, tkVariant},
    {"VYXLib", "ReadCfgBool", "Strings: TStringList; AName: string; ADefault: Boolean", 3, 0, tkVariant},
    {"VYXLib", "ReadCfgInteger", "Strings: TStringList; AName: string; ADefault: Integer", 3, 0, tkInteger},
    {"VYXLib", "ReadCfgString", "Strings: TStringList; AName: string; ADefault: string", 3, 0, tkVariant},
    {"VYXLib", "RemoveEmptyStrings", "Strings: TStringList; TrimLines: Boolean", 2, 0, tkNone},
    {"VYXLib", "SeparatorStrToArray", "S: string; Separator: Char; Values: TStringDynArray", 3, 0, tkNone, 2},
    {"VYXLib", "SubString", "S: string; Index: Integer; Separator: Char", 3, 0, tkVariant},
    {"VYXLib", "TitleCase", "S: string", 1, 0, tkVariant},
    {"VYXLib", "WriteCfgBool", "Strings: TStringList; Name: string; Value: Boolean", 3, 0, tkNone},
    {"VYXLib", "WriteCfgInteger", "Strings: TStringList; Name: string; Value: Integer", 3, 0, tkNone},
    {"VYXLib", "WriteCfgString", "Strings: TStringList; Name: string; Value: string; Obj: TObject = nil", 4, 1, tkNone},
    {"VYXLib", "AnsiCharToBytes", "", 1, 0, tkDynArray},
    {"VYXLib", "AnsiStringToBytes", "", 1, 0, tkDynArray},
    {"VYXLib", "BoolToInt", "Value: Boolean", 1, 0, tkInteger},
    {"VYXLib", "BoolToParamStr", "Value: Boolean", 1, 0, tkVariant},
    {"VYXLib", "ByteStrToInt", "S: AnsiString; Len: Integer", 2, 0, tkInteger},
    {"VYXLib", "ByteToAnsiChar", "Value: Byte", 1, 0, tkVariant},
    {"VYXLib", "DateTimeToCaption", "DateTime: TDateTime", 1, 0, tkVariant},
    {"VYXLib", "DoubleToStr", "X: Double; Decimals: Integer; Separator: Char = #0", 3, 1, tkVariant},
    {"VYXLib", "IntToBytes", "Value: Integer; B: array of Byte", 2, 0, tkNone, 1},
    {"VYXLib", "IntToByteStr", "Value: Integer", 1, 0, tkVariant},
    {"VYXLib", "IntToSet", "Value: Integer; ASet; Size: Integer", 3, 0, tkNone, 1},
    {"VYXLib", "IntToSignedStr", "Value: Integer", 1, 0, tkVariant},
    {"VYXLib", "IsDoubleOK", "X: Double", 1, 0, tkVariant},
    {"VYXLib", "IsInteger", "Value: string", 1, 0, tkVariant},
    {"VYXLib", "IsNumeric", "Value: string", 1, 0, tkVariant},
    {"VYXLib", "OptionEnabled", "Option: Cardinal; Options: Cardinal", 2, 0, tkVariant},
    {"VYXLib", "ParamStrToBool", "Value: string", 1, 0, tkVariant},
    {"VYXLib", "Rnd", "Value: Double; Decimals: Integer", 2, 0, tkVariant},
    {"VYXLib", "SetToInt", "ASet; Size: Integer", 2, 0, tkInteger},
    {"VYXLib", "SmallIntToByteStr", "Value: SmallInt", 1, 0, tkVariant},
    {"VYXLib", "StreamToStr", "Stream: TStream", 1, 0, tkVariant},
    {"VYXLib", "StrToDouble", "S: string; Decimals: Integer; AutoDetectSeparator: Boolean = False", 3, 1, tkVariant},
    {"VYXLib", "StrToSysFloat", "Value: string; Default: Double = 0", 2, 1, tkVariant},
    {"VYXLib", "SysFloatToStr", "Value: Extended", 1, 0, tkVariant},
    {"VYXLib", "VarToInt", "Value: Variant", 1, 0, tkInteger},
    {"VYXLib", "VarToDouble", "Value: Variant", 1, 0, tkVariant},
    {"VYXLib", "AddBackSlash", "AFileName: string", 1, 0, tkVariant},
    {"VYXLib", "AddSlash", "AFileName: string", 1, 0, tkVariant},
    {"VYXLib", "CheckDir", "ADir: string", 1, 0, tkVariant},
    {"VYXLib", "GetDocumentsDir", "", 0, 0, tkVariant},
    {"VYXLib", "GetEncodingByName", "AEncodingName: string", 1, 0, tkClass, -1, "TEncoding"},
    {"VYXLib", "GetFileDate", "AFileName: string", 1, 0, tkVariant},
    {"VYXLib", "GetFiles", "AFilter: string", 1, 0, tkVariant},
    {"VYXLib", "GetPublicDir", "", 0, 0, tkVariant},
    {"VYXLib", "GetRelativeFileName", "RootDir: string; FileName: string", 2, 0, tkVariant},
    {"VYXLib", "GetUserTempDir", "", 0, 0, tkVariant},
    {"VYXLib", "IsNetworkFile", "AFileName: string", 1, 0, tkVariant},
    {"VYXLib", "ParentDir", "AFileName: string", 1, 0, tkVariant},
    {"VYXLib", "PathExists", "Name: string", 1, 0, tkVariant},
    {"VYXLib", "PathIsRelative", "APath: string", 1, 0, tkVariant},
    {"VYXLib", "StrToFileName", "S: string", 1, 0, tkVariant},
    {"VYXLib", "IsDirectoryWriteable", "ADir: string", 1, 0, tkVariant},
    {"VYXLib", "IsInternetConnected", "", 0, 0, tkVariant},
    {"VYXLib", "EncodeProdVersion", "Major: Cardinal; Minor: Cardinal; Release: Cardinal; Build: Cardinal", 4, 0, tkVariant},
    {"VYXLib", "GetAppVersion", "ExeName: string", 1, 0, tkVariant},
    {"VYXLib", "ProdVersionToStr", "Version: TProductVersion; IncludeBuild: Boolean = False", 2, 1, tkVariant},
    {"VYXLib", "StrToProdVersion", "S: string", 1, 0, tkVariant},
    {"VYXLib", "BackgroundToTextColor", "BackgroundColor: TColor", 1, 0, tkEnumeration},
    {"VYXLib", "ColorToAlphaColor", "Value: TColor", 1, 0, tkInteger},
    {"VYXLib", "RGBBrightness", "AColor: TColor", 1, 0, tkVariant},
    {"VYXLib", "IncreaseBrightness", "AColor: TColor; Delta: Single", 2, 0, tkEnumeration},
    {"VYXLib", "SetBrightness", "AColor: TColor; Brightness: Single", 2, 0, tkEnumeration},
    {"VYXLib", "WordToByteStr", "Value: Word", 1, 0, tkVariant},
    {"VYXWin", "GraphicToBitmap", "APicture: TPicture", 1, 0, tkNone},
    {"VYXWin", "ReadWindowPlacementFromRegistry", "AForm: TForm; AppRegKey: string", 2, 0, tkNone},
    {"VYXWin", "WriteWindowPlacementToRegistry", "AForm: TForm; AppRegKey: string", 2, 0, tkNone},
    {"VYXWin", "GetAssociatedProgram", "FileExt: string", 1, 0, tkVariant},
    {"VYXWin", "GetComputerName", "", 0, 0, tkVariant},
    {"VYXWin", "GetWindowsUserName", "", 0, 0, tkVariant},
    {"VYXWin", "ShellExec", "HWnd: HWND; Operation: PWideChar; FileName: PWideChar; Parameters: PWideChar; Directory: PWideChar; ShowCmd: Integer", 6, 0, tkVariant},
    {"VYXWin", "PingTCPPort", "IPAddress: AnsiString; Port: Word", 2, 0, tkVariant},
    {"VYXMail", "GetSSLModesText", "", 0, 0, tkVariant},
    {"VYXMail", "SSLModeFromText", "Value: string", 1, 0, tkVariant},
    {"VYXMail", "SSLModeToText", "SSLMode: TIdSSLMode", 1, 0, tkVariant},
    {"VYXMail", "GetSSLVersionsText", "", 0, 0, tkVariant},
    {"VYXMail", "SSLVersionFromText", "VersionName: string", 1, 0, tkInteger},
    {"VYXMail", "SSLVersionToText", "SSLVersion: Integer", 1, 0, tkVariant},
    {"VYXMail", "GetTLSModes", "", 0, 0, tkVariant},
    {"VYXMail", "TLSModeFromText", "Value: string", 1, 0, tkVariant},
    {"VYXMail", "TLSModeToText", "TLSMode: TIdUseTLS", 1, 0, tkVariant},
    {"VYXMail", "MAPISendMail", "Handle: HWND; Subject: string; Body: string; Recipients: string; AttachmentFileNames: TStrings", 5, 0, tkVariant},
};
// clang-format on

class Registrations : public testing::TestWithParam<Registration>
{
};

TEST_P(Registrations, CarryTheScriptSignatureArityAndResultKind)
{
    const Registration &want = GetParam();
    tev::test::LibraryHost host;
    const HostSymbol lib = host.engine.lookup(QLatin1String(want.library));
    ASSERT_EQ(lib.kind, HostSymbol::Kind::Library);
    const NativeRoutine *qualified =
        lib.library->routines.value(QString::fromLatin1(want.name).toLower());
    ASSERT_NE(qualified, nullptr);
    // The library's routines are usable without the qualifier, and it is the same routine.
    const HostSymbol plain = host.engine.lookup(QLatin1String(want.name));
    ASSERT_EQ(plain.kind, HostSymbol::Kind::Routine);
    EXPECT_EQ(plain.routine, qualified);

    const NativeRoutine &r = *qualified;
    EXPECT_EQ(r.name, QLatin1String(want.name));
    EXPECT_EQ(r.hint, QLatin1String(want.hint));
    EXPECT_EQ(r.argCount, want.args);
    EXPECT_EQ(r.defArgCount, want.optional);
    EXPECT_EQ(r.resultKind, want.kind);
    EXPECT_EQ(r.resultClass, QLatin1String(want.resultClass));
    EXPECT_EQ(r.varArgs, want.byRef < 0 ? std::vector<int>{} : std::vector<int>{want.byRef});
    EXPECT_FALSE(r.isClassMethod);
}

INSTANTIATE_TEST_SUITE_P(AllLibraries, Registrations, testing::ValuesIn(kExpected),
                         [](const testing::TestParamInfo<Registration> &info) {
                             return std::string(info.param.library) + "_" + info.param.name;
                         });

TEST(ScriptLibraries, RegisterNoRoutineBeyondTheirTables)
{
    tev::test::LibraryHost host;
    for (const char *library : {"VYXLib", "VYXWin", "VYXMail"}) {
        const qsizetype expected =
            std::count_if(std::begin(kExpected), std::end(kExpected),
                          [&](const Registration &r) { return qstrcmp(r.library, library) == 0; });
        EXPECT_EQ(host.engine.lookup(QLatin1String(library)).library->routines.size(), expected)
            << library;
    }
}

TEST(ScriptLibraries, LoadByNameWithoutRegardToCaseFromTheHostOrAUsesClause)
{
    tev::test::LibraryHost host{QStringList()};
    EXPECT_TRUE(host.engine.LoadLibrary(QStringLiteral("vyxlib")));
    EXPECT_EQ(host.run(QStringLiteral("uses vyxwin, VYXMAIL;\nbegin\n"
                                      "  WriteLn(AddBackSlash('a'), ' ', VYXLib.AddSlash('b//'));\n"
                                      "  WriteLn(VYXMail.GetTLSModes = GetTLSModes);\n"
                                      "  WriteLn(VYXWin.GetComputerName = GetComputerName);\n"
                                      "end.\n")),
              QStringLiteral("a/ b/\nTRUE\nTRUE\n"));
    // Loading again attaches nothing new.
    EXPECT_TRUE(host.engine.LoadLibrary(QStringLiteral("VYXLib")));
}

TEST(ScriptLibraries, AnUnknownLibraryIsNotFound)
{
    tev::test::LibraryHost host{QStringList()};
    try {
        host.engine.LoadLibrary(QStringLiteral("VYXNone"));
        FAIL() << "no error";
    } catch (const tev::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Library 'VYXNone' not found"));
    }
    try {
        host.run(QStringLiteral("uses VYXLib, VYXNone;\nbegin\nend.\n"));
        FAIL() << "no error";
    } catch (const CompileError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Library 'VYXNone' not found"));
        EXPECT_EQ(e.line(), 1);
    }
}

TEST(ScriptLibraries, CallsOutsideTheRegisteredArityDoNotCompile)
{
    struct Case
    {
        const char *call;
        const char *message;
    };
    const Case cases[] = {
        {"PadLeft('a')", "Not enough actual parameters"},
        {"PadLeft('a', 2, ' ', 4)", "Too many actual parameters"},
        {"AddBackSlash('a', 'b')", "Too many actual parameters"},
        {"EncodeProdVersion(1, 2, 3)", "Not enough actual parameters"},
        {"ShellExec(0, '', '', '', '')", "Not enough actual parameters"},
    };
    tev::test::LibraryHost host;
    for (const Case &c : cases) {
        try {
            host.eval(QLatin1String(c.call));
            ADD_FAILURE() << c.call << ": no error";
        } catch (const CompileError &e) {
            EXPECT_EQ(e.message(), QLatin1String(c.message)) << c.call;
        }
    }
}

TEST(ScriptLibraries, ColourConstantsHaveTheirColourValues)
{
    const std::pair<const char *, qint64> colours[] = {
        {"clOK", 0x00F000},         {"clCLViolated", 0x00F0F0},        {"clSLViolated", 0x0000F0},
        {"clRLViolated", 0xF000F0}, {"clVYXCtrlBackground", 0x3B3B3B}, {"clVYXSelected", 0x9D7D5B},
        {"clVYXCorpRed", 0x1B15AF}, {"clVYXOrange", 0x0070F0},
    };
    tev::test::LibraryHost host;
    for (const auto &[name, value] : colours) {
        EXPECT_EQ(host.eval(QLatin1String(name)).toInteger(), value) << name;
        EXPECT_EQ(host.eval(QStringLiteral("VYXLib.") + QLatin1String(name)).toInteger(), value)
            << name;
    }
    // Red is the low byte: clVYXCorpRed is red 175, green 21, blue 27.
    EXPECT_EQ(host.eval(QStringLiteral("clVYXCorpRed and $FF")).toInteger(), 175);
    EXPECT_EQ(host.eval(QStringLiteral("DefaultSSLVersion")).toInteger(), 5);
}

} // namespace
