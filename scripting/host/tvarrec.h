#pragma once

// The argument list of the host's array-of-const calls: one entry per argument, a kind and a
// value, built from the Variant arguments a caller hands to ExecuteMethod. A debug handler sees
// these entries; the by-reference path passes them to the script.

#include <QMetaType>
#include <QVariant>
#include <vector>

namespace tev {

// A caller's Variant passed by reference: the routine's var parameter writes back into it.
struct TVariantRef
{
    QVariant *Target = nullptr;
};

struct TVarRec
{
    enum Kind {
        vtInteger,
        vtBoolean,
        vtExtended,
        vtString, // ANSI text (a byte array), passed whole
        vtCurrency,
        vtVariant, // the caller's Variant when passed by reference, else a copy
        vtWideString,
        vtInt64,
        vtUnicodeString,
        vtObject // an object value (ObjectToVariant)
    };
    Kind VType = vtInteger;
    QVariant Value;          // the entry's value; for a by-reference vtVariant a copy of it
    QVariant *Ref = nullptr; // the caller's Variant of a by-reference entry
};

using TConstArray = std::vector<TVarRec>;

// A Variant argument that refers to the caller's variable.
inline QVariant VarByRef(QVariant &Target)
{
    return QVariant::fromValue(TVariantRef{&Target});
}
inline bool IsVarByRef(const QVariant &Value)
{
    return Value.metaType() == QMetaType::fromType<TVariantRef>();
}

// The entry for one argument. Empty and Null become vtInteger 0; a text stays whole (no 255
// character cut); a by-reference argument becomes a vtVariant referring to the caller's Variant.
TVarRec ToVarRec(const QVariant &Argument);

} // namespace tev
