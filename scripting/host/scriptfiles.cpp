#include "scripting/host/scriptfiles.h"

#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/text/tencoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <sys/stat.h>
#include <unistd.h>

namespace tev::scripting {

namespace {

QString Distrust(const QString &Path, bool IsFolder)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(Path);
    if (::stat(native.constData(), &st) != 0)
        return QStringLiteral("%1 cannot be examined").arg(Path);
    if (st.st_uid != 0 && st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user").arg(Path);
    const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    // In a sticky folder (as /tmp) others may add files but not replace ours; a file of theirs
    // is refused by its owner.
    if (othersWrite && !(IsFolder && (st.st_mode & S_ISVTX)))
        return QStringLiteral("%1 can be changed by other users").arg(Path);
    return {};
}

} // namespace

QString ScriptFileDistrust(const QString &FileName)
{
    const QFileInfo info(FileName);
    QString reason = Distrust(info.absoluteFilePath(), false);
    if (reason.isEmpty())
        reason = Distrust(info.absolutePath(), true);
    // A link may lead into another folder: its target's folder counts as well.
    if (reason.isEmpty() && info.isSymLink())
        reason = Distrust(QFileInfo(info.canonicalFilePath()).absolutePath(), true);
    return reason;
}

QString DecodeScriptText(const QByteArray &Bytes)
{
    int preamble = 0;
    const TEncoding::Ptr marked = TEncoding::DetectByPreamble(Bytes, nullptr, preamble);
    if (marked)
        return marked->GetString(QByteArrayView(Bytes).sliced(preamble));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(Bytes);
    if (!utf8.hasError())
        return text;
    return TEncoding::Windows1252()->GetString(Bytes);
}

QString ReadScriptFile(const QString &FileName)
{
    const QString reason = ScriptFileDistrust(FileName);
    if (!reason.isEmpty())
        throw Error(QStringLiteral("The script %1 is not run: %2, so anyone could make the "
                                   "program run their code.")
                        .arg(QFileInfo(FileName).fileName(), reason));
    // Only a regular file: a FIFO would stall the program and a device never end.
    QFile file;
    if (const QString reason = OpenRegularFile(file, FileName); !reason.isEmpty())
        throw Error(QStringLiteral("The script %1 cannot be read: %2").arg(FileName, reason));
    return DecodeScriptText(file.readAll());
}

} // namespace tev::scripting
