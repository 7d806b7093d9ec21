#include "ui/mainwindow/projectbaseline.h"

#include "core/project/tevproject.h"
#include "platform/dataset/deferredtext.h"
#include "platform/dataset/memdataset.h"

#include <QCryptographicHash>

namespace tev {

namespace {

template <typename T> void AddBytes(QCryptographicHash &hash, char kind, const T &value)
{
    hash.addData(QByteArrayView(&kind, 1));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&value), sizeof value));
}

// Each value as it is stored, with its kind: numbers as their bits, texts as their characters, and
// a text built on demand (a characteristic's row as the file gave it) as where it comes from, so
// that the digest builds no text; such a text only changes by becoming a plain one.
void AddValue(QCryptographicHash &hash, const QVariant &value)
{
    if (!value.isValid()) {
        hash.addData(QByteArrayView("\x01null", 5));
    } else if (value.typeId() == QMetaType::Int) {
        AddBytes(hash, 'i', value.toInt());
    } else if (value.typeId() == QMetaType::Double) {
        AddBytes(hash, 'd', value.toDouble());
    } else if (IsDeferredText(value)) {
        const DeferredText text = value.value<DeferredText>();
        AddBytes(hash, 'r', text.source.get());
        AddBytes(hash, 'r', text.row);
        AddBytes(hash, 'r', text.extra);
    } else {
        const QString text = value.toString();
        hash.addData(QByteArrayView("s", 1));
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(text.utf16()),
                                    text.size() * qsizetype(sizeof(char16_t))));
    }
    hash.addData(QByteArrayView("\x1f", 1));
}

void AddRecord(QCryptographicHash &hash, const MemDataSet &data)
{
    for (int i = 0; i < data.fieldCount(); ++i)
        AddValue(hash, data.storedValue(i));
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
        // Read in place: the cursor stays, and the views hear nothing.
        for (const DataSet::RecordKey key : chars.recordKeys()) {
            const ReadRecordScope read(chars, key);
            AddRecord(hash, chars);
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
