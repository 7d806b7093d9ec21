#include "scripting/host/tvarrec.h"

#include <QObject>

namespace tev {

TVarRec ToVarRec(const QVariant &Argument)
{
    TVarRec rec;
    if (IsVarByRef(Argument)) {
        rec.VType = TVarRec::vtVariant;
        rec.Ref = Argument.value<TVariantRef>().Target;
        if (rec.Ref)
            rec.Value = *rec.Ref;
        return rec;
    }
    const QMetaType type = Argument.metaType();
    if (!Argument.isValid() || type == QMetaType::fromType<std::nullptr_t>()) {
        rec.Value = 0;
        return rec;
    }
    if (type.flags() & QMetaType::PointerToQObject) {
        rec.VType = TVarRec::vtObject;
        rec.Value = Argument;
        return rec;
    }
    switch (type.id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
        rec.Value = static_cast<qint32>(Argument.toLongLong());
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        rec.VType = TVarRec::vtExtended;
        rec.Value = Argument.toDouble();
        break;
    case QMetaType::Bool:
        rec.VType = TVarRec::vtBoolean;
        rec.Value = Argument.toBool();
        break;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        rec.VType = TVarRec::vtInt64;
        rec.Value = Argument.toLongLong();
        break;
    case QMetaType::QByteArray:
        rec.VType = TVarRec::vtString;
        rec.Value = Argument;
        break;
    case QMetaType::QString:
        rec.VType = TVarRec::vtUnicodeString;
        rec.Value = Argument;
        break;
    default:
        // Dates, lists and other kinds the caller passes: the Variant itself.
        rec.VType = TVarRec::vtVariant;
        rec.Value = Argument;
        break;
    }
    return rec;
}

} // namespace tev
