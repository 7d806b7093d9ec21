#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>

namespace tev {

// A text encoding: turns bytes into text and back, in the manner of the Windows code pages that
// the program's files and settings name ("1252", "65001", "utf-8", ...).
//
// Design: Windows-1252, UTF-8 and UTF-16 in both byte orders are our own code, because they must
// behave exactly: every byte 0..255 of Windows-1252 comes back unchanged (the five bytes that the
// code page leaves undefined map to the C1 control characters of the same value), and the UTF
// forms carry their byte-order marks. Every other code page goes through glibc's iconv, which
// covers the DOS, ISO 8859 and East Asian code pages that the settings may name.
//
// Encodings are immutable and shared through std::shared_ptr, so a shared standard encoding and
// one made for a caller are handled alike. Decoding never fails: a byte sequence that is not
// valid in the encoding becomes U+FFFD. Encoding never fails either: a character that the
// encoding cannot hold becomes "?", as on Windows.
class TEncoding
{
public:
    using Ptr = std::shared_ptr<const TEncoding>;

    virtual ~TEncoding() = default;
    TEncoding(const TEncoding &) = delete;
    TEncoding &operator=(const TEncoding &) = delete;

    virtual QString GetString(QByteArrayView bytes) const = 0;
    virtual QByteArray GetBytes(QStringView text) const = 0;
    // The byte-order mark that starts a file in this encoding; empty for the code pages.
    virtual QByteArray GetPreamble() const { return {}; }

    // The Windows code page number (1252, 65001, 1200, 1201, ...); 0 for an encoding that is
    // known only by its iconv name.
    int CodePage() const { return m_codePage; }
    // A readable name, e.g. "windows-1252" or "utf-8".
    QString EncodingName() const { return m_name; }

    // Shared standard encodings.
    static Ptr UTF8();
    static Ptr Unicode();          // UTF-16 little-endian, code page 1200
    static Ptr BigEndianUnicode(); // UTF-16 big-endian, code page 1201
    static Ptr Windows1252();
    // The program's "ANSI" code page: Windows-1252, which the maker's files were written in.
    static Ptr ANSI() { return Windows1252(); }

    // The encoding of a Windows code page number. Throws tev::Error when the code page is not
    // supported here.
    static Ptr GetEncoding(int codePage);
    // The encoding of a name such as "utf-8", "iso-8859-1", "windows-1250" or "cp850"; names are
    // matched without regard to case. Throws tev::Error when the name is not known.
    static Ptr GetEncoding(const QString &name);

    // Detects a byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE) at the start of bytes. Returns the
    // encoding it names and sets preambleLength to its size; without a mark returns fallback and
    // sets preambleLength to 0.
    static Ptr DetectByPreamble(QByteArrayView bytes, const Ptr &fallback, int &preambleLength);

protected:
    TEncoding(int codePage, QString name)
        : m_codePage(codePage)
        , m_name(std::move(name))
    {}

private:
    int m_codePage;
    QString m_name;
};

} // namespace tev
