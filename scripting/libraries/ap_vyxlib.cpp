#include "scripting/libraries/ap_vyxlib.h"

#include <QIODevice>
#include <QVariant>
#include <mutex>

#include "core/lib/bytes.h"
#include "core/lib/cfglist.h"
#include "core/lib/colours.h"
#include "core/lib/conversions.h"
#include "core/lib/encodings.h"
#include "core/lib/environment.h"
#include "core/lib/knownfolders.h"
#include "core/lib/numbers.h"
#include "core/lib/paths.h"
#include "core/lib/textroutines.h"
#include "platform/script/scripterror.h"
#include "platform/text/tstringlist.h"
#include "scripting/libraries/libraryadapter.h"

namespace tev::scripting {

namespace {

using script::raiseError;
using enum script::TypeKind;

const QString kVersionClass = QStringLiteral("TProductVersion");
const QString kEncodingClass = QStringLiteral("TEncoding");

// A Pascal set holds at most 256 elements, 32 bytes of raw storage: the storage IntToSet and
// SetToInt work on. A script set is the array of its ordinal elements.
constexpr int kSetStorageBytes = 32;

QByteArray setStorage(const Value &set)
{
    QByteArray storage(kSetStorageBytes, '\0');
    if (set.isEmpty())
        return storage;
    if (!set.isArray())
        raiseError(QStringLiteral("EConvertError"), QStringLiteral("A set expected"));
    for (const Value &item : set.rawArray().items) {
        const qint64 ordinal = item.isString() && item.rawString().size() == 1
                                   ? item.rawString().at(0).unicode()
                                   : item.toInteger();
        if (ordinal < 0 || ordinal >= kSetStorageBytes * 8)
            raiseError(QStringLiteral("ERangeError"),
                       QStringLiteral("Set element %1 out of range").arg(ordinal));
        storage[static_cast<qsizetype>(ordinal / 8)] |= static_cast<char>(1 << (ordinal % 8));
    }
    return storage;
}

Value setValue(const QByteArray &storage)
{
    std::vector<Value> items;
    for (int bit = 0; bit < storage.size() * 8; ++bit)
        if (static_cast<quint8>(storage.at(bit / 8)) & (1 << (bit % 8)))
            items.emplace_back(qint64(bit));
    return Value::array(std::move(items));
}

// A script value as the platform's Variant: dates are numbers, objects and arrays are no
// number at all.
QVariant toVariant(const Value &v)
{
    switch (v.type()) {
    case script::VType::Boolean:
        return v.rawBool();
    case script::VType::Integer:
        return v.rawInt();
    case script::VType::Float:
    case script::VType::DateTime:
        return v.rawFloat();
    case script::VType::String:
        return v.rawString();
    default:
        return QVariant();
    }
}

TProductVersion version(NativeCall &c, int i)
{
    auto *wrapper = c.GetInputArgAsNative<TProductVersionWrapper>(i);
    if (!wrapper)
        raiseError(QStringLiteral("EAccessViolation"),
                   QStringLiteral("Argument %1 is nil, a TProductVersion expected").arg(i + 1));
    return wrapper->ObjToRec();
}

void retVersion(NativeCall &c, const TProductVersion &v)
{
    c.ReturnOutputArg(c.engine()->NewObject(c.engine()->FindClass(kVersionClass),
                                            std::make_unique<TProductVersionWrapper>(v)));
}

// ---- adapters, in registration order ----

void __AddDistinctStringListItem(NativeCall &c)
{
    ret(c, qint32(AddDistinctStringListItem(stringList(c, 0), text(c, 1))));
}
void __Capitalize(NativeCall &c)
{
    ret(c, Capitalize(text(c, 0)));
}
void __GetFirstPlaceholder(NativeCall &c)
{
    ret(c, GetFirstPlaceholder(text(c, 0), character(c, 1), character(c, 2)));
}
void __GetNextToken(NativeCall &c)
{
    QString s = text(c, 0);
    const QString token = GetNextToken(s, text(c, 1), given(c, 2) ? text(c, 2) : QString());
    c.SetInputArg(0, Value(s));
    ret(c, token);
}
void __IsEmptyString(NativeCall &c)
{
    ret(c, IsEmptyString(text(c, 0)));
}
void __PadLeft(NativeCall &c)
{
    ret(c, PadLeft(text(c, 0), int32(c, 1), given(c, 2) ? character(c, 2) : QChar(u' ')));
}
void __PadRight(NativeCall &c)
{
    ret(c, PadRight(text(c, 0), int32(c, 1), given(c, 2) ? character(c, 2) : QChar(u' ')));
}
void __ReadCfgBool(NativeCall &c)
{
    ret(c, ReadCfgBool(stringList(c, 0), text(c, 1), boolean(c, 2)));
}
void __ReadCfgInteger(NativeCall &c)
{
    ret(c, ReadCfgInteger(stringList(c, 0), text(c, 1), int32(c, 2)));
}
void __ReadCfgString(NativeCall &c)
{
    ret(c, ReadCfgString(stringList(c, 0), text(c, 1), text(c, 2)));
}
void __RemoveEmptyStrings(NativeCall &c)
{
    RemoveEmptyStrings(stringList(c, 0), boolean(c, 1));
}
void __SeparatorStrToArray(NativeCall &c)
{
    QStringList values;
    SeparatorStrToArray(text(c, 0), character(c, 1), values);
    std::vector<Value> items(values.cbegin(), values.cend());
    c.SetInputArg(2, Value::array(std::move(items)));
}
void __SubString(NativeCall &c)
{
    ret(c, SubString(text(c, 0), int32(c, 1), character(c, 2)));
}
void __TitleCase(NativeCall &c)
{
    ret(c, TitleCase(text(c, 0)));
}
void __WriteCfgBool(NativeCall &c)
{
    WriteCfgBool(stringList(c, 0), text(c, 1), boolean(c, 2));
}
void __WriteCfgInteger(NativeCall &c)
{
    WriteCfgInteger(stringList(c, 0), text(c, 1), int32(c, 2));
}
void __WriteCfgString(NativeCall &c)
{
    WriteCfgString(stringList(c, 0), text(c, 1), text(c, 2), given(c, 3) ? object(c, 3) : nullptr);
}
void __AnsiCharToBytes(NativeCall &c)
{
    c.ReturnOutputArg(byteArray(ansi(c, 0).left(1)));
}
void __AnsiStringToBytes(NativeCall &c)
{
    c.ReturnOutputArg(byteArray(ansi(c, 0)));
}
void __BoolToInt(NativeCall &c)
{
    ret(c, qint32(BoolToInt(boolean(c, 0))));
}
void __BoolToParamStr(NativeCall &c)
{
    ret(c, BoolToParamStr(boolean(c, 0)));
}
void __ByteStrToInt(NativeCall &c)
{
    ret(c, ByteStrToInt(ansi(c, 0), int32(c, 1)));
}
void __ByteToAnsiChar(NativeCall &c)
{
    retAnsi(c, QByteArray(1, ByteToAnsiChar(byte(c, 0))));
}
void __DateTimeToCaption(NativeCall &c)
{
    ret(c, DateTimeToCaption(number(c, 0)));
}
void __DoubleToStr(NativeCall &c)
{
    ret(c, DoubleToStr(number(c, 0), int32(c, 1), given(c, 2) ? character(c, 2) : QChar()));
}
void __IntToBytes(NativeCall &c)
{
    QByteArray b = bytesOf(c.GetInputArg(1));
    IntToBytes(int32(c, 0), b);
    const qint64 low = c.GetInputArg(1).isArray() ? c.GetInputArg(1).rawArray().low : 0;
    c.SetInputArg(1, Value::array(byteArray(b).rawArray().items, low));
}
void __IntToByteStr(NativeCall &c)
{
    retAnsi(c, IntToByteStr(int32(c, 0)));
}
void __IntToSet(NativeCall &c)
{
    QByteArray storage = setStorage(c.GetInputArg(1));
    IntToSet(int32(c, 0), storage, int32(c, 2));
    c.SetInputArg(1, setValue(storage));
}
void __IntToSignedStr(NativeCall &c)
{
    ret(c, IntToSignedStr(int32(c, 0)));
}
void __IsDoubleOK(NativeCall &c)
{
    ret(c, IsDoubleOK(number(c, 0)));
}
void __IsInteger(NativeCall &c)
{
    ret(c, IsInteger(text(c, 0)));
}
void __IsNumeric(NativeCall &c)
{
    ret(c, IsNumeric(text(c, 0)));
}
void __OptionEnabled(NativeCall &c)
{
    ret(c, OptionEnabled(cardinal(c, 0), cardinal(c, 1)));
}
void __ParamStrToBool(NativeCall &c)
{
    ret(c, ParamStrToBool(text(c, 0)));
}
void __Rnd(NativeCall &c)
{
    ret(c, Rnd(number(c, 0), int32(c, 1)));
}
void __SetToInt(NativeCall &c)
{
    ret(c, SetToInt(setStorage(c.GetInputArg(0)), int32(c, 1)));
}
void __SmallIntToByteStr(NativeCall &c)
{
    retAnsi(c, SmallIntToByteStr(smallInt(c, 0)));
}
void __StreamToStr(NativeCall &c)
{
    ret(c, StreamToStr(*required<QIODevice>(c, 0)));
}
void __StrToDouble(NativeCall &c)
{
    ret(c, StrToDouble(text(c, 0), int32(c, 1), given(c, 2) && boolean(c, 2)));
}
void __StrToSysFloat(NativeCall &c)
{
    ret(c, StrToSysFloat(text(c, 0), given(c, 1) ? number(c, 1) : 0.0));
}
void __SysFloatToStr(NativeCall &c)
{
    ret(c, SysFloatToStr(number(c, 0)));
}
void __VarToInt(NativeCall &c)
{
    ret(c, VarToInt(toVariant(c.GetInputArg(0))));
}
void __VarToDouble(NativeCall &c)
{
    ret(c, VarToDouble(toVariant(c.GetInputArg(0))));
}
void __AddBackSlash(NativeCall &c)
{
    ret(c, AddBackSlash(text(c, 0)));
}
void __AddSlash(NativeCall &c)
{
    ret(c, AddSlash(text(c, 0)));
}
void __CheckDir(NativeCall &c)
{
    ret(c, CheckDir(text(c, 0)));
}
void __GetDocumentsDir(NativeCall &c)
{
    ret(c, GetDocumentsDir());
}
void __GetEncodingByName(NativeCall &c)
{
    c.ReturnOutputArg(
        c.engine()->NewObject(c.engine()->FindClass(kEncodingClass),
                              std::make_unique<TEncodingObject>(GetEncodingByName(text(c, 0)))));
}
void __GetFileDate(NativeCall &c)
{
    c.ReturnOutputArg(Value::dateTime(GetFileDate(text(c, 0))));
}
void __GetFiles(NativeCall &c)
{
    ret(c, GetFiles(text(c, 0)));
}
void __GetPublicDir(NativeCall &c)
{
    ret(c, GetPublicDir());
}
void __GetRelativeFileName(NativeCall &c)
{
    ret(c, GetRelativeFileName(text(c, 0), text(c, 1)));
}
void __GetUserTempDir(NativeCall &c)
{
    ret(c, GetUserTempDir());
}
void __IsNetworkFile(NativeCall &c)
{
    ret(c, IsNetworkFile(text(c, 0)));
}
void __ParentDir(NativeCall &c)
{
    ret(c, ParentDir(text(c, 0)));
}
void __PathExists(NativeCall &c)
{
    ret(c, PathExists(text(c, 0)));
}
void __PathIsRelative(NativeCall &c)
{
    ret(c, PathIsRelative(text(c, 0)));
}
void __StrToFileName(NativeCall &c)
{
    ret(c, StrToFileName(text(c, 0)));
}
void __IsDirectoryWriteable(NativeCall &c)
{
    ret(c, IsDirectoryWriteable(text(c, 0)));
}
void __IsInternetConnected(NativeCall &c)
{
    ret(c, IsInternetConnected());
}
void __EncodeProdVersion(NativeCall &c)
{
    retVersion(c,
               EncodeProdVersion(cardinal(c, 0), cardinal(c, 1), cardinal(c, 2), cardinal(c, 3)));
}
void __GetAppVersion(NativeCall &c)
{
    retVersion(c, GetAppVersion(text(c, 0)));
}
void __ProdVersionToStr(NativeCall &c)
{
    ret(c, ProdVersionToStr(version(c, 0), given(c, 1) && boolean(c, 1)));
}
void __StrToProdVersion(NativeCall &c)
{
    retVersion(c, StrToProdVersion(text(c, 0)));
}
void __BackgroundToTextColor(NativeCall &c)
{
    ret(c, BackgroundToTextColor(int32(c, 0)));
}
void __ColorToAlphaColor(NativeCall &c)
{
    ret(c, qint32(ColorToAlphaColor(int32(c, 0))));
}
void __RGBBrightness(NativeCall &c)
{
    ret(c, double(RGBBrightness(int32(c, 0))));
}
void __IncreaseBrightness(NativeCall &c)
{
    ret(c, IncreaseBrightness(int32(c, 0), float(number(c, 1))));
}
void __SetBrightness(NativeCall &c)
{
    ret(c, SetBrightness(int32(c, 0), float(number(c, 1))));
}
void __WordToByteStr(NativeCall &c)
{
    retAnsi(c, WordToByteStr(word(c, 0)));
}

// clang-format off
const RoutineEntry kRoutines[] = {
    {"AddDistinctStringListItem", "List: TStringList; Value: string", 2, 0, tkInteger, __AddDistinctStringListItem},
    {"Capitalize", "S: string", 1, 0, tkVariant, __Capitalize},
    {"GetFirstPlaceholder", "Text: string; StartChar: Char; EndChar: Char", 3, 0, tkVariant, __GetFirstPlaceholder},
    {"GetNextToken", "S: string; Separators: string; Stop: string = ''", 3, 1, tkVariant, __GetNextToken, 0},
    {"IsEmptyString", "S: string", 1, 0, tkVariant, __IsEmptyString},
    {"PadLeft", "S: string; TotalWidth: Integer; PaddingChar: Char = ' '", 3, 1, tkVariant, __PadLeft},
    {"PadRight", "S: string; TotalWidth: Integer; PaddingChar: Char = ' '", 3, 1, tkVariant, __PadRight},
    {"ReadCfgBool", "Strings: TStringList; AName: string; ADefault: Boolean", 3, 0, tkVariant, __ReadCfgBool},
    {"ReadCfgInteger", "Strings: TStringList; AName: string; ADefault: Integer", 3, 0, tkInteger, __ReadCfgInteger},
    {"ReadCfgString", "Strings: TStringList; AName: string; ADefault: string", 3, 0, tkVariant, __ReadCfgString},
    {"RemoveEmptyStrings", "Strings: TStringList; TrimLines: Boolean", 2, 0, tkNone, __RemoveEmptyStrings},
    {"SeparatorStrToArray", "S: string; Separator: Char; Values: TStringDynArray", 3, 0, tkNone, __SeparatorStrToArray, 2},
    {"SubString", "S: string; Index: Integer; Separator: Char", 3, 0, tkVariant, __SubString},
    {"TitleCase", "S: string", 1, 0, tkVariant, __TitleCase},
    {"WriteCfgBool", "Strings: TStringList; Name: string; Value: Boolean", 3, 0, tkNone, __WriteCfgBool},
    {"WriteCfgInteger", "Strings: TStringList; Name: string; Value: Integer", 3, 0, tkNone, __WriteCfgInteger},
    {"WriteCfgString", "Strings: TStringList; Name: string; Value: string; Obj: TObject = nil", 4, 1, tkNone, __WriteCfgString},
    {"AnsiCharToBytes", "", 1, 0, tkDynArray, __AnsiCharToBytes},
    {"AnsiStringToBytes", "", 1, 0, tkDynArray, __AnsiStringToBytes},
    {"BoolToInt", "Value: Boolean", 1, 0, tkInteger, __BoolToInt},
    {"BoolToParamStr", "Value: Boolean", 1, 0, tkVariant, __BoolToParamStr},
    {"ByteStrToInt", "S: AnsiString; Len: Integer", 2, 0, tkInteger, __ByteStrToInt},
    {"ByteToAnsiChar", "Value: Byte", 1, 0, tkVariant, __ByteToAnsiChar},
    {"DateTimeToCaption", "DateTime: TDateTime", 1, 0, tkVariant, __DateTimeToCaption},
    {"DoubleToStr", "X: Double; Decimals: Integer; Separator: Char = #0", 3, 1, tkVariant, __DoubleToStr},
    {"IntToBytes", "Value: Integer; B: array of Byte", 2, 0, tkNone, __IntToBytes, 1},
    {"IntToByteStr", "Value: Integer", 1, 0, tkVariant, __IntToByteStr},
    {"IntToSet", "Value: Integer; ASet; Size: Integer", 3, 0, tkNone, __IntToSet, 1},
    {"IntToSignedStr", "Value: Integer", 1, 0, tkVariant, __IntToSignedStr},
    {"IsDoubleOK", "X: Double", 1, 0, tkVariant, __IsDoubleOK},
    {"IsInteger", "Value: string", 1, 0, tkVariant, __IsInteger},
    {"IsNumeric", "Value: string", 1, 0, tkVariant, __IsNumeric},
    {"OptionEnabled", "Option: Cardinal; Options: Cardinal", 2, 0, tkVariant, __OptionEnabled},
    {"ParamStrToBool", "Value: string", 1, 0, tkVariant, __ParamStrToBool},
    {"Rnd", "Value: Double; Decimals: Integer", 2, 0, tkVariant, __Rnd},
    {"SetToInt", "ASet; Size: Integer", 2, 0, tkInteger, __SetToInt},
    {"SmallIntToByteStr", "Value: SmallInt", 1, 0, tkVariant, __SmallIntToByteStr},
    {"StreamToStr", "Stream: TStream", 1, 0, tkVariant, __StreamToStr},
    {"StrToDouble", "S: string; Decimals: Integer; AutoDetectSeparator: Boolean = False", 3, 1, tkVariant, __StrToDouble},
    {"StrToSysFloat", "Value: string; Default: Double = 0", 2, 1, tkVariant, __StrToSysFloat},
    {"SysFloatToStr", "Value: Extended", 1, 0, tkVariant, __SysFloatToStr},
    {"VarToInt", "Value: Variant", 1, 0, tkInteger, __VarToInt},
    {"VarToDouble", "Value: Variant", 1, 0, tkVariant, __VarToDouble},
    {"AddBackSlash", "AFileName: string", 1, 0, tkVariant, __AddBackSlash},
    {"AddSlash", "AFileName: string", 1, 0, tkVariant, __AddSlash},
    {"CheckDir", "ADir: string", 1, 0, tkVariant, __CheckDir},
    {"GetDocumentsDir", "", 0, 0, tkVariant, __GetDocumentsDir},
    {"GetEncodingByName", "AEncodingName: string", 1, 0, tkClass, __GetEncodingByName, -1, "TEncoding"},
    {"GetFileDate", "AFileName: string", 1, 0, tkVariant, __GetFileDate},
    {"GetFiles", "AFilter: string", 1, 0, tkVariant, __GetFiles},
    {"GetPublicDir", "", 0, 0, tkVariant, __GetPublicDir},
    {"GetRelativeFileName", "RootDir: string; FileName: string", 2, 0, tkVariant, __GetRelativeFileName},
    {"GetUserTempDir", "", 0, 0, tkVariant, __GetUserTempDir},
    {"IsNetworkFile", "AFileName: string", 1, 0, tkVariant, __IsNetworkFile},
    {"ParentDir", "AFileName: string", 1, 0, tkVariant, __ParentDir},
    {"PathExists", "Name: string", 1, 0, tkVariant, __PathExists},
    {"PathIsRelative", "APath: string", 1, 0, tkVariant, __PathIsRelative},
    {"StrToFileName", "S: string", 1, 0, tkVariant, __StrToFileName},
    {"IsDirectoryWriteable", "ADir: string", 1, 0, tkVariant, __IsDirectoryWriteable},
    {"IsInternetConnected", "", 0, 0, tkVariant, __IsInternetConnected},
    {"EncodeProdVersion", "Major: Cardinal; Minor: Cardinal; Release: Cardinal; Build: Cardinal", 4, 0, tkVariant, __EncodeProdVersion},
    {"GetAppVersion", "ExeName: string", 1, 0, tkVariant, __GetAppVersion},
    {"ProdVersionToStr", "Version: TProductVersion; IncludeBuild: Boolean = False", 2, 1, tkVariant, __ProdVersionToStr},
    {"StrToProdVersion", "S: string", 1, 0, tkVariant, __StrToProdVersion},
    {"BackgroundToTextColor", "BackgroundColor: TColor", 1, 0, tkEnumeration, __BackgroundToTextColor},
    {"ColorToAlphaColor", "Value: TColor", 1, 0, tkInteger, __ColorToAlphaColor},
    {"RGBBrightness", "AColor: TColor", 1, 0, tkVariant, __RGBBrightness},
    {"IncreaseBrightness", "AColor: TColor; Delta: Single", 2, 0, tkEnumeration, __IncreaseBrightness},
    {"SetBrightness", "AColor: TColor; Brightness: Single", 2, 0, tkEnumeration, __SetBrightness},
    {"WordToByteStr", "Value: Word", 1, 0, tkVariant, __WordToByteStr},
};
// clang-format on

struct ColourConstant
{
    const char *name;
    TColor value;
};
const ColourConstant kColours[] = {
    {"clOK", clOK},
    {"clCLViolated", clCLViolated},
    {"clSLViolated", clSLViolated},
    {"clRLViolated", clRLViolated},
    {"clVYXCtrlBackground", clVYXCtrlBackground},
    {"clVYXSelected", clVYXSelected},
    {"clVYXCorpRed", clVYXCorpRed},
    {"clVYXOrange", clVYXOrange},
};

TProductVersionWrapper &wrapper(NativeCall &c)
{
    return c.CurrentNative<TProductVersionWrapper>();
}

// TProductVersion: a record class whose objects hold the four fields as Cardinal properties.
void defineProductVersion(script::ScriptEngine &e)
{
    script::ScriptClass *cls = e.DefineClass(kVersionClass, nullptr, script::Redefine::roOverwrite);
    cls->DefineMethod(
        QStringLiteral("Create"), 0, tkClass,
        [](NativeCall &c) {
            c.ReturnOutputArg(c.engine()->NewObject(c.CurrentClass(),
                                                    std::make_unique<TProductVersionWrapper>()));
        },
        true);
    using Field = quint32 TProductVersion::*;
    const std::pair<const char *, Field> fields[] = {{"Major", &TProductVersion::Major},
                                                     {"Minor", &TProductVersion::Minor},
                                                     {"Release", &TProductVersion::Release},
                                                     {"Build", &TProductVersion::Build}};
    for (const auto &[name, field] : fields) {
        cls->DefineProperty(
            QLatin1String(name), 0,
            [field](NativeCall &c) { retUnsigned(c, wrapper(c).record().*field); },
            [field](NativeCall &c) {
                wrapper(c).record().*field = cardinal(c, c.InputArgCount() - 1);
            });
    }
}

// TEncoding: what scripts can read of the encoding GetEncodingByName returns.
void defineEncoding(script::ScriptEngine &e)
{
    if (e.FindClass(kEncodingClass))
        return;
    script::ScriptClass *cls = e.DefineClass(kEncodingClass);
    cls->DefineProperty(QStringLiteral("EncodingName"), 0, [](NativeCall &c) {
        ret(c, c.CurrentNative<TEncodingObject>().encoding->EncodingName());
    });
    cls->DefineProperty(QStringLiteral("CodePage"), 0, [](NativeCall &c) {
        ret(c, qint32(c.CurrentNative<TEncodingObject>().encoding->CodePage()));
    });
}

} // namespace

void TatVYXLibLibrary::Init()
{
    defineProductVersion(engine());
    defineEncoding(engine());
    defineRoutines(engine(), kRoutines);
    for (const ColourConstant &k : kColours)
        engine().AddConstant(QLatin1String(k.name), Value(qint64(k.value)));
}

void RegisterVYXLibLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        script::LibraryList::Add(TatVYXLibLibrary::LibraryName(), [](script::ScriptEngine &e) {
            return std::make_unique<TatVYXLibLibrary>(e);
        });
    });
}

namespace {
// Registered when the program starts, before any script host is built.
[[maybe_unused]] const bool kRegistered = (RegisterVYXLibLibrary(), true);
} // namespace

} // namespace tev::scripting
