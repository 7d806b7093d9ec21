#include "ui/mainwindow/projectbaseline.h"

#include "core/project/tevproject.h"
#include "platform/dataset/memdataset.h"

#include <QCryptographicHash>

namespace tev {

namespace {

void AddRecord(QCryptographicHash &hash, const DataSet &data)
{
    for (int i = 0; i < data.fieldCount(); ++i) {
        const QVariant value = data.field(i).value();
        hash.addData(value.isValid() ? value.toString().toUtf8() : QByteArrayLiteral("\x01null"));
        hash.addData(QByteArrayView("\x1f", 1));
    }
    hash.addData(QByteArrayView("\x1e", 1));
}

} // namespace

QByteArray TProjectBaseline::Fingerprint(TTevProject &Project)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    MemDataSet &header = Project.DataSetProject();
    if (header.active() && !header.isEmpty())
        AddRecord(hash, header);
    MemDataSet &chars = Project.DataSetChars();
    if (chars.active()) {
        const MemDataSet::Bookmark mark = chars.bookmark();
        {
            const DisableControlsGuard quiet(chars);
            for (chars.first(); !chars.eof(); chars.next())
                AddRecord(hash, chars);
            if (mark && chars.bookmarkValid(mark))
                chars.gotoBookmark(mark);
        }
    }
    return hash.result();
}

void TProjectBaseline::Take(TTevProject &Project)
{
    m_taken = true;
    m_state = Project.ChangeState();
    m_fingerprint = Fingerprint(Project);
}

bool TProjectBaseline::ChangedSince(TTevProject &Project) const
{
    if (!m_taken || Project.ChangeState() != m_state)
        return true;
    if (Project.DataSetProject().editing() || Project.DataSetChars().editing())
        return true;
    return Fingerprint(Project) != m_fingerprint;
}

} // namespace tev
