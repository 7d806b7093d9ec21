// Feeds arbitrary bytes to the sequence reader as a file: read, written and read again. The first
// byte chooses the encoding the file is read with (Windows-1252, UTF-8, UTF-16 LE or BE, by its
// low two bits) and whether that encoding's byte-order mark is put in front (bit 2); the rest is
// the file. Besides the sanitizers' checks it asserts what the reader and the writer promise:
// - a read either succeeds or stops with tev::Error;
// - reading by the byte-order mark gives the lines of the encoding the mark names, and without
//   a mark those of Windows-1252;
// - the writer refuses only a label that begins with "$", which the reader would skip, and what
//   it wrote reads again without error, into the same characteristics;
// - writing that again gives the same bytes. Each read joins ";&" and "&;" into "&", so a text
//   that still holds one after a read changes on the next; the byte comparison leaves it out.

#include "core/project/tevproject.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"
#include "platform/text/tencoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QTemporaryDir *folder = nullptr;

// Names the broken promise, and shows both sides, before the abort that libFuzzer reports.
[[noreturn]] void fail(const char *promise, const QStringList &expected = {},
                       const QStringList &actual = {})
{
    std::fprintf(stderr, "%s\n", promise);
    for (const auto &[side, lines] : {std::pair{"expected", expected}, {"actual", actual}}) {
        for (const QString &line : lines)
            std::fprintf(stderr, "%s: %s\n", side, qPrintable(line));
    }
    std::abort();
}

QString path(const char *name)
{
    return QDir(folder->path()).filePath(QLatin1String(name));
}

void write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

// The characteristics in routine order, without what a write renumbers (CHARID), rounds (the
// measures), leaves out (PARAMS keeps columns outside the 65) or takes from the file's own name
// (REF_FILENAME, SEQNAME).
QStringList characteristics(tev::TTevProject &project)
{
    static const char *const fields[] = {"GROUPID",  "LABEL",  "GROUPNAME", "FEATURE",
                                         "CHARTYPE", "IMAGE",  "IMAGEX",    "IMAGEY",
                                         "DECIMALS", "ACTIVE", "STATE",     "PROJECTNAME"};
    tev::MemDataSet &chars = project.DataSetChars();
    QStringList rows;
    for (chars.first(); !chars.eof(); chars.next()) {
        QStringList values;
        for (const char *field : fields)
            values << chars.fieldByName(QLatin1String(field)).asString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

std::unique_ptr<tev::TTevProject> open(const QString &fileName, const tev::TEncoding::Ptr &enc)
{
    auto project = std::make_unique<tev::TTevProject>(nullptr, nullptr);
    project->SetRootDir(folder->path());
    project->SetFileEncoding(enc);
    project->BeginUpdate();
    project->ReadSequenceFile(fileName);
    project->EndUpdate();
    return project;
}

bool joinsOnRead(const QByteArray &bytes, const tev::TEncoding::Ptr &encoding)
{
    const QString text = encoding->GetString(bytes);
    return text.contains(QLatin1String(";&")) || text.contains(QLatin1String("&;"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A folder in memory where there is one: every input writes three files.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    folder = new QTemporaryDir;
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const tev::TEncoding::Ptr encodings[] = {tev::TEncoding::Windows1252(), tev::TEncoding::UTF8(),
                                             tev::TEncoding::Unicode(),
                                             tev::TEncoding::BigEndianUnicode()};
    const tev::TEncoding::Ptr encoding = encodings[data[0] & 3];
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] & 4)
        bytes.prepend(encoding->GetPreamble());
    const QString input = path("input.seq");
    write(input, bytes);

    // By the mark, as masters are read.
    const auto byMark = tev::LoadSequenceLinesByPreamble(input);
    int preamble = 0;
    const tev::TEncoding::Ptr marked =
        tev::TEncoding::DetectByPreamble(bytes, tev::TEncoding::Windows1252(), preamble);
    const auto byEncoding = tev::LoadSequenceLines(input, marked);
    if (byMark != byEncoding)
        fail("reading by the mark gives the lines of the marked encoding", byEncoding, byMark);

    std::unique_ptr<tev::TTevProject> first;
    try {
        first = open(input, encoding);
    } catch (const tev::Error &) {
        return 0; // a bad row stops the read; nothing is written then
    }
    if (!first->LoadError().isEmpty())
        fail("a regular file loads", {}, {first->LoadError()});

    // A label that begins with "$" once trimmed reads, but is refused by the writer: its row
    // would begin with "$" and be skipped by the next read.
    bool writable = true;
    for (const QString &row : characteristics(*first))
        writable = writable && !row.section(QLatin1Char('|'), 1, 1).startsWith(QLatin1Char('$'));
    const QString once = path("once.seq");
    try {
        first->WriteFile(once);
    } catch (const tev::Error &e) {
        if (writable)
            fail("the writer writes what the reader read", {}, {e.message()});
        return 0;
    }
    if (!writable)
        fail("the writer refuses a label that begins with \"$\"");
    std::unique_ptr<tev::TTevProject> second;
    try {
        second = open(once, encoding);
    } catch (const tev::Error &e) {
        fail("what the writer wrote reads again", {}, {e.message()});
    }
    const QByteArray written = read(once);
    if (joinsOnRead(written, encoding))
        return 0;
    if (characteristics(*first) != characteristics(*second))
        fail("the written file reads into the same characteristics", characteristics(*first),
             characteristics(*second));
    const QString twice = path("twice.seq");
    second->WriteFile(twice);
    const QByteArray again = read(twice);
    if (again != written)
        fail("writing what was read again gives the same bytes",
             encoding->GetString(written).split(QLatin1Char('\n')),
             encoding->GetString(again).split(QLatin1Char('\n')));
    return 0;
}
