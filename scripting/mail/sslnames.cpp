#include "scripting/mail/sslnames.h"

#include <QStringList>
#include <array>

namespace tev {

namespace {

// One list per enumeration, in value order, feeds the names, the joined texts and the parsers.
const std::array<const char *, 4> SSLModeNames{"Unassigned", "Client", "Server", "Both"};
const std::array<const char *, 6> SSLVersionNames{"SSL 2",   "SSL 23",  "SSL 3",
                                                  "TLS 1.0", "TLS 1.1", "TLS 1.2"};
const std::array<const char *, 4> TLSModeNames{"No", "Implicit", "Required", "Explicit"};

template <std::size_t N> QString JoinedNames(const std::array<const char *, N> &names)
{
    QStringList list;
    for (const char *name : names)
        list << QString::fromLatin1(name);
    return list.join(QStringLiteral("\r\n"));
}

template <std::size_t N> QString NameOf(const std::array<const char *, N> &names, unsigned value)
{
    return value < N ? QString::fromLatin1(names[value]) : QString();
}

template <std::size_t N> int IndexOf(const std::array<const char *, N> &names, const QString &text)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (text == QLatin1String(names[i]))
            return static_cast<int>(i);
    }
    return -1;
}

// Upper case of the ASCII letters only, so that no locale can turn a character into a name.
QString AsciiUpper(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return result;
}

} // namespace

QString GetSSLModesText()
{
    return JoinedNames(SSLModeNames);
}

QString SSLModeToText(SSLMode mode)
{
    return NameOf(SSLModeNames, static_cast<unsigned>(mode));
}

SSLMode SSLModeFromText(const QString &text)
{
    const int index = IndexOf(SSLModeNames, text);
    return index < 0 ? SSLMode::Unassigned : static_cast<SSLMode>(index);
}

QString GetSSLVersionsText()
{
    return JoinedNames(SSLVersionNames);
}

QString SSLVersionToText(int version)
{
    const unsigned value = static_cast<unsigned>(version) & 0x7F;
    return value < SSLVersionNames.size() ? QString::fromLatin1(SSLVersionNames[value])
                                          : QStringLiteral("Unknown");
}

int SSLVersionFromText(const QString &text)
{
    const QString upper = AsciiUpper(text);
    if (!upper.startsWith(QLatin1String("SSL")) && !upper.startsWith(QLatin1String("TLS")))
        return SSLVersionTLS12;
    QString rest = upper.mid(3).trimmed();
    rest.remove(u'V');
    const int index = IndexOf(SSLVersionNames, upper.left(3) + u' ' + rest);
    return index < 0 ? SSLVersionTLS12 : index;
}

QString GetTLSModes()
{
    return JoinedNames(TLSModeNames);
}

QString TLSModeToText(TLSMode mode)
{
    return NameOf(TLSModeNames, static_cast<unsigned>(mode));
}

TLSMode TLSModeFromText(const QString &text)
{
    const int index = IndexOf(TLSModeNames, text);
    return index < 0 ? TLSMode::Implicit : static_cast<TLSMode>(index);
}

} // namespace tev
