#pragma once

#include <QString>
#include <array>
#include <string_view>

namespace tev {

// Where a routine column's value lives in a characteristic record. Every column of a row is also
// kept in the record's PARAMS under its column name; Params columns live only there.
enum class ColumnSource {
    Params, // PARAMS only
    Text,   // a characteristic field, written as text (integers in decimal, null as empty)
    Float,  // a float field, written fixed-point with the record's DECIMALS
};

struct SequenceColumn
{
    std::string_view name; // column name in the file
    ColumnSource source;
    std::string_view field; // characteristic field for Text and Float columns
};

// The 65 routine columns in file order. This one list drives the reader's field mapping, the
// column line and the writer.
inline constexpr std::array<SequenceColumn, 65> kSequenceColumns = {{
    {"LABEL", ColumnSource::Text, "LABEL"},
    {"FORMULA", ColumnSource::Params, {}},
    {"FEATURE", ColumnSource::Text, "CHARTYPE"},
    {"C_FIELD1", ColumnSource::Params, {}},
    {"C_FIELD2", ColumnSource::Params, {}},
    {"C_FIELD3", ColumnSource::Params, {}},
    {"C_FIELD4", ColumnSource::Params, {}},
    {"S_FIELD1", ColumnSource::Params, {}},
    {"S_FIELD2", ColumnSource::Params, {}},
    {"S_FIELD3", ColumnSource::Params, {}},
    {"S_FIELD4", ColumnSource::Params, {}},
    {"MIN_VALUE", ColumnSource::Float, "LSL"},
    {"NOM_VALUE", ColumnSource::Float, "NOMINAL"},
    {"MAX_VALUE", ColumnSource::Float, "USL"},
    {"RMIN_VALUE", ColumnSource::Float, "LREAS"},
    {"RMAX_VALUE", ColumnSource::Float, "UREAS"},
    {"OFFSET", ColumnSource::Params, {}},
    {"SCALE", ColumnSource::Params, {}},
    {"ALGORITHM", ColumnSource::Params, {}},
    {"BMP_IMAGE", ColumnSource::Text, "IMAGE"},
    {"BMP_COL", ColumnSource::Text, "IMAGEX"},
    {"BMP_ROW", ColumnSource::Text, "IMAGEY"},
    {"BMLABELX", ColumnSource::Params, {}},
    {"BMLABELY", ColumnSource::Params, {}},
    {"BMP_ANGLE", ColumnSource::Params, {}},
    {"GTEXT1", ColumnSource::Params, {}},
    {"GTEXT2", ColumnSource::Params, {}},
    {"GTEXT3", ColumnSource::Params, {}},
    {"GTEXT4", ColumnSource::Params, {}},
    {"KELSELECT", ColumnSource::Params, {}},
    {"WAITPOINT", ColumnSource::Params, {}},
    {"DISABLEOUTPUT", ColumnSource::Params, {}},
    {"XDATA1", ColumnSource::Params, {}},
    {"XDATA2", ColumnSource::Params, {}},
    {"XDATA3", ColumnSource::Params, {}},
    {"TAGSTATE", ColumnSource::Params, {}},
    // Read into DECIMALS, written from PARAMS.
    {"NDECIMALS", ColumnSource::Params, {}},
    {"SHORTDESC", ColumnSource::Params, {}},
    {"PICKLIST", ColumnSource::Params, {}},
    {"LOGPROFILES", ColumnSource::Params, {}},
    {"TYPE", ColumnSource::Params, {}},
    {"DEPENDS", ColumnSource::Params, {}},
    {"KELWORKS", ColumnSource::Params, {}},
    {"VERIFY", ColumnSource::Params, {}},
    {"DATE", ColumnSource::Params, {}},
    {"GROUPNAME", ColumnSource::Text, "GROUPNAME"},
    {"DRAWLIST", ColumnSource::Params, {}},
    {"POINTNAME", ColumnSource::Text, "FEATURE"},
    {"SA", ColumnSource::Params, {}},
    {"SV", ColumnSource::Params, {}},
    {"ST", ColumnSource::Params, {}},
    {"PA", ColumnSource::Params, {}},
    {"PRT", ColumnSource::Params, {}},
    {"SRT", ColumnSource::Params, {}},
    {"SM", ColumnSource::Params, {}},
    {"HC", ColumnSource::Params, {}},
    {"LT", ColumnSource::Params, {}},
    {"MA", ColumnSource::Params, {}},
    {"GV", ColumnSource::Params, {}},
    {"SCANOPTIONS", ColumnSource::Params, {}},
    {"ID", ColumnSource::Params, {}},
    {"GAGE", ColumnSource::Params, {}},
    {"REFLINES", ColumnSource::Params, {}},
    {"LIMITFLAG", ColumnSource::Params, {}},
    {"SS", ColumnSource::Params, {}},
}};

// The column line: every column name followed by one TAB.
QString SequenceColumnLine();

} // namespace tev
