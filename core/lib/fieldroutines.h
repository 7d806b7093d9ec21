#pragma once

#include <QChar>
#include <QString>

// The routines that carry the missing-value convention into dataset fields: NaN in memory is a
// null field. They work on the shared record interface, so the in-memory datasets and the
// database row sets are handled alike. Errors of the data layer pass to the caller.
namespace tev {

class DataSet;
class Field;

// No field: nothing. A finite X is stored; NaN or an infinity clears the field to null.
void SetFieldDouble(Field *Field, double X);
// NaN when no field is given or the field is null; otherwise its value rounded with Rnd.
double GetFieldDouble(const Field *Field, int Decimals);
// The empty text for null; otherwise DoubleToStr of the value.
QString FieldToDoubleStr(const Field &Field, int Decimals, QChar Separator);
// Puts the dataset into edit state unless it is already editing or inserting.
void EnsureEditState(DataSet &DataSet);
// Posts the dataset when it is editing or inserting.
void PostIfEditing(DataSet &DataSet);
// Only when both are open and Dest is editing or inserting: every field of Dest, in field order,
// whose name Source also has takes the value of Source's field (null included).
void CopyFieldValues(const DataSet &Source, DataSet &Dest);

} // namespace tev
