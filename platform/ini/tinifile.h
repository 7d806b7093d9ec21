#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace tev {

// A Windows-style ini file: "[Section]" headers followed by "Key=Value" lines.
//
// Design: the file is held as its lines, each with its own line ending, so that a write changes
// only the line it concerns and every other line, comments and blank lines included, is written
// back byte for byte. Section and key names match without regard to case or to blanks around
// them, the caller's names as the file's; the first section and the first key of a name win, as
// with the Windows profile functions. Every write is saved to disk at once (through a temporary
// file and a rename, so a failed write leaves the old file intact; where the folder takes no
// temporary file the write is refused, never done in place), and a file changed on disk by
// someone else is read again before the next access.
//
// Reading: names and values are trimmed of blanks, and a value enclosed in a matching pair of
// double or single quotes loses them. Lines starting with ";" or "#" are comments. A missing or
// unreadable file, or one that is not a regular file (a FIFO, a device), reads as empty, so every
// read gives its default; a write to it is refused.
//
// Encoding: a file with a byte-order mark keeps it and its encoding; a file without one is read
// as UTF-8 when it is valid UTF-8 to its end and as Windows-1252 otherwise, and keeps that
// encoding, so that the file always reads back as written: a Windows-1252 file becomes UTF-8
// when a write brings a character it cannot hold, or when its bytes would pass for UTF-8. A new
// file is UTF-8 without a mark, with "\n" line endings; an existing file keeps its line endings.
//
// Errors: a write that cannot be saved, or whose names or value would break the file (a line
// break, an "=" or "]" in a name), throws tev::Error and leaves the file and this object as
// they were.
class TIniFile
{
public:
    explicit TIniFile(QString fileName);
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &ident,
                       const QString &defaultValue) const;
    void WriteString(const QString &section, const QString &ident, const QString &value);
    // Integer text: decimal, or hexadecimal after "$", "x" or "0x"; anything else, or a value
    // that does not fit 32 bits, gives the default.
    int ReadInteger(const QString &section, const QString &ident, int defaultValue) const;
    void WriteInteger(const QString &section, const QString &ident, int value);
    // A Boolean is stored as "1" or "0"; any integer other than 0 reads as true.
    bool ReadBool(const QString &section, const QString &ident, bool defaultValue) const;
    void WriteBool(const QString &section, const QString &ident, bool value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &ident) const;
    // Section names in file order, each once.
    QStringList ReadSections() const;
    // The key names of a section, in file order.
    QStringList ReadSection(const QString &section) const;
    // "Key=Value" for each key of a section, in file order.
    QStringList ReadSectionValues(const QString &section) const;

    // Removes every line of the key from its section; nothing happens when it is missing.
    void DeleteKey(const QString &section, const QString &ident);
    // Removes the section with all its lines; nothing happens when it is missing.
    void EraseSection(const QString &section);

    // Every write is already on disk; kept for callers written against the usual interface.
    void UpdateFile() {}

private:
    struct Line;
    struct Contents;

    const Contents &current() const;
    void save(Contents contents);

    QString m_fileName;
    mutable std::unique_ptr<Contents> m_contents;
};

} // namespace tev
