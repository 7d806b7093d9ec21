#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

// Reading and writing the routine table of a sequence file: one characteristic per line, 65
// tab-separated columns (sequencecolumns.h). The project drives these with its datasets; the
// caller sets the decimal separator to "." and keeps the dataset's controls quiet.
namespace tev {

class MemDataSet;
class CompactLines;
class TStringList;

struct RoutineTarget
{
    MemDataSet &chars;   // the characteristic dataset, filter off, in routine order
    TStringList &groups; // group names in order of first appearance
    int projectId = 0;
    QString projectName;
    int lastId = 0; // the largest CHARID so far; new characteristics count on from it
};

// Adds or updates characteristics from the lines of a file. A row is matched to a record by
// REF_FILENAME and LABEL through the dataset's locate. A row the dataset refuses (a missing
// POINTNAME, a value longer than its field) stops the read with an error that names the line;
// rows read before it stay.
void ReadRoutineRows(const QString &RefFileName, const QString &RefProjectName,
                     const std::shared_ptr<const CompactLines> &Lines, RoutineTarget &Target);

// The rows of the active characteristics in the dataset's current order, each column's value
// followed by a TAB. The caller switches the filter off. Throws tev::Error for a characteristic
// whose label the reader would not read back (blank, or beginning with "$" once trimmed).
QStringList WriteRoutineRows(MemDataSet &Chars);

// The value of the first line named Name (without regard to case) of name=value lines joined by
// CR LF; empty when there is none. For walks over many records, where a list per record costs.
QString FirstParamValue(QStringView Params, QStringView Name);
// FirstParamValue of the current record's PARAMS (the field at ParamsIndex), taken from the row
// the reader kept when there is one, without building the text.
QString CurrentParamValue(const MemDataSet &Chars, int ParamsIndex, QStringView Name);

} // namespace tev
