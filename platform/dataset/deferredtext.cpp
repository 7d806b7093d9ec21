#include "platform/dataset/deferredtext.h"

namespace tev {

DeferredTextSource::~DeferredTextSource() = default;

bool IsDeferredText(const QVariant &value)
{
    static const int id = qMetaTypeId<DeferredText>();
    return value.userType() == id;
}

QVariant PlainValue(const QVariant &value)
{
    if (!IsDeferredText(value))
        return value;
    const QString text = static_cast<const DeferredText *>(value.constData())->text();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace tev
