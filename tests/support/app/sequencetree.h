#pragma once

#include "support/tempfolder.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tev::test {

// A copy of the shared sequence tree (tests/fixtures/seqtree) in a temporary folder of the test,
// so that a test may change, add and delete files freely. The tree:
//   Masters/Housing.seq     master ("Ombrix") "Gehäuse 4711": groups Bore (H1-H3) and Face
//                           (H4-H6), "$FORMAT" HOUSING.FMT, "$PICKLIST" HOUSING.uif, pictures
//                           bore.png and face.kelb, template GAP.TEM, cover cover.png
//   Masters/Shaft.seq       master "Shaft 12": groups Diameter (S1, S2) and Runout (S3, S4),
//                           "$FORMAT" SHAFT.FMT (on disk "SHAFT.fmt"), picture shaft.png,
//                           template RUN.TEM
//   Masters/Bore detail.png a picture whose name is not an 8.3 name
//   Work/Line1.seq          work sequence ("Tevora") "Line 1" built on Housing, with the
//                           dependency files beside it
//   Work/Cell 2/Line2.seq   work sequence "Line 2" built on Housing, then Shaft, likewise
//   Monitor/Room.mseq       monitor sequence ("Sentavo")
// The work files are what the program writes when it creates them from their masters and saves
// them at SavedAt(). Files are Windows-1252 with CR LF line ends.
class SequenceTree
{
public:
    SequenceTree();

    // The root folder of the copy, without a trailing delimiter.
    QString root() const { return m_folder.path(); }
    // The full name of a file or folder below the root.
    QString file(const QString &relative) const { return m_folder.file(relative); }

    // The fixture's folder in the source tree (read only).
    static QString sourceFolder();
    // When the work files were saved: "$DATE 03/05/2024@14:07:09", local time.
    static QDateTime SavedAt() { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); }

    inline static const QString Housing = QStringLiteral("Masters/Housing.seq");
    inline static const QString Shaft = QStringLiteral("Masters/Shaft.seq");
    inline static const QString Line1 = QStringLiteral("Work/Line1.seq");
    inline static const QString Line2 = QStringLiteral("Work/Cell 2/Line2.seq");
    inline static const QString Room = QStringLiteral("Monitor/Room.mseq");

private:
    TempFolder m_folder;
};

} // namespace tev::test
