#pragma once

#include <QByteArray>
#include <QString>

#include "platform/text/tencoding.h"

namespace tev::detail {

// Windows-1252 from our own table. The five bytes the code page leaves undefined (81, 8D, 8F, 90,
// 9D) map to the C1 control characters of the same value and back, so that any byte string
// survives a decode and encode unchanged; files written by other programs rely on that.
class Windows1252Encoding final : public TEncoding
{
public:
    Windows1252Encoding()
        : TEncoding(1252, QStringLiteral("windows-1252"))
    {}
    QString GetString(QByteArrayView bytes) const override;
    QByteArray GetBytes(QStringView text) const override;
};

// Any other code page, through glibc's iconv. The converter is opened for each call: calls are
// few and large (a whole file), and no state is shared between callers.
class IconvEncoding final : public TEncoding
{
public:
    // Throws tev::Error when iconv does not know iconvName in both directions.
    IconvEncoding(int codePage, const QString &iconvName);
    QString GetString(QByteArrayView bytes) const override;
    QByteArray GetBytes(QStringView text) const override;

private:
    QByteArray m_iconvName;
    QByteArray m_replacement; // "?" in this encoding
};

} // namespace tev::detail
