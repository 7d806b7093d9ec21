// Feeds arbitrary bytes to the ini class: the first part of the input is the file, the rest
// drives up to kMaxOperations writes, erases and deletes on it. Besides the sanitizers' checks it
// asserts what the class promises:
// - every read agrees with the others: the names a section lists exist, and its name=value lines
//   are the values ReadString gives;
// - a write that succeeds changes exactly what it names: the key reads back as written (trimmed
//   of blanks and of one pair of enclosing quotes, as every value is read), a deleted key and an
//   erased section are gone, and every other value stays;
// - a write that fails with tev::Error leaves the file and the object as they were;
// - after each operation a fresh reader of the file sees exactly what the object sees.

#include "platform/error.h"
#include "platform/ini/tinifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxOperations = 16;
constexpr size_t kMaxFileSize = 4096;
constexpr size_t kMaxNameSize = 24;

QTemporaryDir *folder = nullptr;

QByteArray read(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// What the reader makes of a written value.
QString asRead(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && (trimmed.front() == u'"' || trimmed.front() == u'\'') &&
        trimmed.back() == trimmed.front())
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

// Everything a reader sees: the sections in order, each with its keys and values in order.
struct Section
{
    QString name;
    std::vector<std::pair<QString, QString>> keys;
    bool operator==(const Section &) const = default;
};
using Snapshot = std::vector<Section>;

QStringList lines(const Snapshot &snap)
{
    QStringList result;
    for (const Section &section : snap) {
        result << u'[' + section.name + u']';
        for (const auto &[key, value] : section.keys)
            result << key + u'=' + value;
    }
    return result;
}

// Names the broken promise and the operation, and shows both sides, before the abort that
// libFuzzer reports.
[[noreturn]] void fail(const char *promise, const QString &operation, const Snapshot &expected = {},
                       const Snapshot &actual = {})
{
    std::fprintf(stderr, "%s\nafter %s\n", promise, qPrintable(operation));
    for (const auto &[side, snap] : {std::pair{"expected", expected}, {"actual", actual}}) {
        for (const QString &line : lines(snap))
            std::fprintf(stderr, "%s: %s\n", side, qPrintable(line));
    }
    std::abort();
}

Snapshot snapshot(const tev::TIniFile &ini)
{
    Snapshot result;
    for (const QString &name : ini.ReadSections()) {
        if (!ini.SectionExists(name))
            fail("a listed section exists", name);
        Section section{name, {}};
        const QStringList keys = ini.ReadSection(name);
        const QStringList lines = ini.ReadSectionValues(name);
        if (lines.size() != keys.size())
            fail("a section has a name=value line per key", name);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QString value = ini.ReadString(name, keys[i], QStringLiteral("\x01"));
            if (!ini.ValueExists(name, keys[i]) || lines[i] != keys[i] + u'=' + value)
                fail("a listed key exists with the value it reads", name + u'/' + keys[i]);
            ini.ReadInteger(name, keys[i], 0);
            ini.ReadBool(name, keys[i], false);
            section.keys.emplace_back(keys[i], value);
        }
        result.push_back(std::move(section));
    }
    return result;
}

Section *find(Snapshot &snap, const QString &name)
{
    for (Section &section : snap) {
        if (same(section.name, name))
            return &section;
    }
    return nullptr;
}

// A name or value: one of those in the file, or new text.
QString text(FuzzedDataProvider &input, const QStringList &known)
{
    if (!known.isEmpty() && input.ConsumeBool())
        return known[input.ConsumeIntegralInRange<qsizetype>(0, known.size() - 1)];
    return QString::fromStdString(input.ConsumeRandomLengthString(kMaxNameSize));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A folder in memory where there is one: every write saves and syncs the file.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    folder = new QTemporaryDir;
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString path = QDir(folder->path()).filePath(QStringLiteral("fuzz.ini"));
    QFile::remove(path);
    if (input.ConsumeBool()) { // else the file does not exist yet
        const std::string bytes = input.ConsumeRandomLengthString(kMaxFileSize);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            std::abort();
    }

    tev::TIniFile ini(path);
    Snapshot expected = snapshot(ini);
    for (int op = 0; op < kMaxOperations && input.remaining_bytes() > 0; ++op) {
        const int kind = input.ConsumeIntegralInRange(0, 4);
        QStringList sections = ini.ReadSections();
        const QString section = text(input, sections);
        const QString ident = text(input, ini.ReadSection(section));
        QString value;
        const QByteArray before = read(path);
        auto operation = [&] {
            static const char *const names[] = {"WriteString", "WriteInteger", "WriteBool",
                                                "DeleteKey", "EraseSection"};
            return QStringLiteral("%1(\"%2\", \"%3\", \"%4\")")
                .arg(QLatin1String(names[kind]), section, ident, value);
        };
        try {
            switch (kind) {
            case 0:
                value = QString::fromStdString(input.ConsumeRandomLengthString(kMaxNameSize));
                ini.WriteString(section, ident, value);
                break;
            case 1: {
                const int number = input.ConsumeIntegral<int>();
                value = QString::number(number);
                ini.WriteInteger(section, ident, number);
                break;
            }
            case 2: {
                const bool flag = input.ConsumeBool();
                value = flag ? QStringLiteral("1") : QStringLiteral("0");
                ini.WriteBool(section, ident, flag);
                break;
            }
            case 3:
                ini.DeleteKey(section, ident);
                break;
            case 4:
                ini.EraseSection(section);
                break;
            }
        } catch (const tev::Error &) {
            if (read(path) != before)
                fail("a failed write leaves the file as it was", operation());
            if (snapshot(ini) != expected)
                fail("a failed write leaves the object as it was", operation(), expected,
                     snapshot(ini));
            continue;
        }

        // What the operation must have changed, and nothing else.
        // Names are matched trimmed, as the file's own are.
        Section *target = find(expected, section.trimmed());
        if (kind <= 2) {
            const QString readBack = asRead(value);
            if (!target) {
                expected.push_back(Section{section.trimmed(), {}});
                target = &expected.back();
            }
            bool found = false;
            for (auto &[key, current] : target->keys) {
                if (same(key, ident.trimmed())) {
                    current = readBack;
                    found = true;
                }
            }
            if (!found)
                target->keys.emplace_back(ident.trimmed(), readBack);
            if (ini.ReadString(section, ident, QStringLiteral("\x01")) != readBack)
                fail("a written value reads back", operation());
        } else if (kind == 3 && target) {
            std::erase_if(target->keys,
                          [&](const auto &key) { return same(key.first, ident.trimmed()); });
        } else if (kind == 4 && target) {
            std::erase_if(expected,
                          [&](const Section &s) { return same(s.name, section.trimmed()); });
        }
        if (snapshot(ini) != expected)
            fail("a write changes what it names and nothing else", operation(), expected,
                 snapshot(ini));
        const tev::TIniFile fresh(path);
        if (snapshot(fresh) != expected)
            fail("a fresh reader sees what was written", operation(), expected, snapshot(fresh));
    }
    return 0;
}
