#include "core/lib/versions.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <optional>

#include "core/lib/numbers.h"
#include "platform/error.h"

namespace tev {

namespace {

// The marker that GetAppVersion looks for, stored in every executable linked with this file.
// The text ends with a zero byte, which closes the version numbers.
[[gnu::used]] const char kVersionMarker[] = "TevoraFileVersion=" TEVORA_VERSION;

constexpr QByteArrayView kMarkerPrefix = "TevoraFileVersion=";

// Each field of a version resource is 16 bits wide.
constexpr quint32 kMaxVersionField = 0xFFFF;

// "65535.65535.65535.65535" and its zero byte fit easily.
constexpr qsizetype kMaxMarkedVersionLength = 32;

// Reads "a.b.c.d" followed by a zero byte at the start of text.
std::optional<TProductVersion> parseMarkedVersion(QByteArrayView text)
{
    const qsizetype end = text.first(std::min(text.size(), kMaxMarkedVersionLength)).indexOf('\0');
    if (end <= 0)
        return std::nullopt;
    const QList<QByteArray> parts = QByteArray::fromRawData(text.data(), end).split('.');
    if (parts.size() != 4)
        return std::nullopt;
    quint32 fields[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok);
        if (!ok || parts[i].isEmpty() || !std::isdigit(static_cast<unsigned char>(parts[i][0])) ||
            value > kMaxVersionField)
            return std::nullopt;
        fields[i] = value;
    }
    return EncodeProdVersion(fields[0], fields[1], fields[2], fields[3]);
}

} // namespace

TProductVersion EncodeProdVersion(quint32 Major, quint32 Minor, quint32 Release, quint32 Build)
{
    return TProductVersion{Major, Minor, Release, Build};
}

QString ProdVersionToStr(const TProductVersion &Version, bool IncludeBuild)
{
    QString text =
        QStringLiteral("%1.%2.%3").arg(Version.Major).arg(Version.Minor).arg(Version.Release);
    if (IncludeBuild)
        text += u'.' + QString::number(Version.Build);
    return text;
}

TProductVersion StrToProdVersion(const QString &S)
{
    const QStringList parts = S.split(u'.');
    quint32 fields[4] = {};
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        const QString part = i < 3 ? parts[i] : QStringList(parts.mid(3)).join(u'.');
        fields[i] = quint32(StrToIntDef(part, 0));
    }
    return EncodeProdVersion(fields[0], fields[1], fields[2], fields[3]);
}

TProductVersion CompiledVersion()
{
    return EncodeProdVersion(TEVORA_VERSION_MAJOR, TEVORA_VERSION_MINOR, TEVORA_VERSION_RELEASE,
                             TEVORA_VERSION_BUILD);
}

TProductVersion GetAppVersion(const QString &ExeName)
{
    const TProductVersion none = StrToProdVersion(QStringLiteral("0.0.0.0"));
    if (ExeName.isEmpty() || !QFileInfo(ExeName).isFile())
        return none;
    QFile file(ExeName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read the version of \"%1\": %2")
                        .arg(ExeName, file.errorString()));
    const qint64 size = file.size();
    const uchar *data = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray contents = data ? QByteArray() : file.readAll();
    const QByteArrayView bytes = data ? QByteArrayView(data, size) : QByteArrayView(contents);
    for (qsizetype at = bytes.indexOf(kMarkerPrefix); at >= 0;
         at = bytes.indexOf(kMarkerPrefix, at + 1)) {
        if (const auto version = parseMarkedVersion(bytes.sliced(at + kMarkerPrefix.size())))
            return *version;
    }
    throw Error(QStringLiteral("The file \"%1\" has no version information.").arg(ExeName));
}

} // namespace tev
