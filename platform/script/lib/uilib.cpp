// The user-interface units (Forms, Controls, StdCtrls, Graphics, ...): their common constants.
// Their classes are the host's Qt objects, which scripts reach through the meta-object system
// with the VCL names (Caption, Hint, Enabled, Visible, OnClick) mapped onto Qt's.
#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"

namespace tev::script {

namespace {

struct Constant
{
    const char *name;
    qint64 value;
};

const Constant modalResults[] = {
    {"mrNone", 0},  {"mrOk", 1},      {"mrCancel", 2},    {"mrAbort", 3},
    {"mrRetry", 4}, {"mrIgnore", 5},  {"mrYes", 6},       {"mrNo", 7},
    {"mrAll", 8},   {"mrNoToAll", 9}, {"mrYesToAll", 10}, {"mrClose", 11},
};

// Colours as the platform's $00BBGGRR values.
const Constant colours[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080},  {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},    {"clPurple", 0x800080},
    {"clTeal", 0x808000},  {"clGray", 0x808080},    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},   {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF}, {"clNone", 0x1FFFFFFF},  {"clDefault", 0x20000000},
};

const Constant controls[] = {
    {"alNone", 0},     {"alTop", 1},     {"alBottom", 2},      {"alLeft", 3},
    {"alRight", 4},    {"alClient", 5},  {"taLeftJustify", 0}, {"taRightJustify", 1},
    {"taCenter", 2},   {"crDefault", 0}, {"crHourGlass", -11}, {"crHandPoint", -21},
    {"fsBold", 0},     {"fsItalic", 1},  {"fsUnderline", 2},   {"fsStrikeOut", 3},
    {"ssShift", 0},    {"ssAlt", 1},     {"ssCtrl", 2},        {"VK_RETURN", 13},
    {"VK_ESCAPE", 27}, {"VK_F12", 123},  {"VK_DELETE", 46},
};

void add(ScriptEngine &e, const Constant *first, const Constant *last)
{
    for (const Constant *c = first; c != last; ++c)
        e.AddConstant(QLatin1String(c->name), Value(c->value));
}

} // namespace

void defineUiLibrary(ScriptEngine &e, const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("forms") || n == QLatin1String("controls") ||
        n == QLatin1String("uitypes") || n == QLatin1String("stdctrls"))
        add(e, std::begin(modalResults), std::end(modalResults));
    if (n == QLatin1String("graphics") || n == QLatin1String("uitypes"))
        add(e, std::begin(colours), std::end(colours));
    if (n == QLatin1String("controls") || n == QLatin1String("uitypes"))
        add(e, std::begin(controls), std::end(controls));
}

} // namespace tev::script
