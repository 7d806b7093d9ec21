#include "core/lib/encodings.h"

#include "core/lib/numbers.h"
#include "platform/error.h"

namespace tev {

TEncoding::Ptr GetEncodingByName(const QString &AEncodingName)
{
    try {
        const qint32 codePage = StrToIntDef(AEncodingName, -1);
        if (codePage >= 0)
            return TEncoding::GetEncoding(codePage);
        if (!AEncodingName.isEmpty())
            return TEncoding::GetEncoding(AEncodingName);
    } catch (const Error &) {
        // An encoding that is not supported leaves the default.
    }
    return TEncoding::UTF8();
}

} // namespace tev
