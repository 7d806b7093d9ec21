#pragma once

#include "ui/dialogs/vyxcustomdlg.h"

class QCheckBox;

namespace tev {

// Asks whether the open project is to be removed from the database (shown only: the caller
// decides) and whether its file is to be deleted. The main window carries the deletion out.
class TTevDelProjectDlg : public TvyxCustomDlg
{
    Q_OBJECT
public:
    explicit TTevDelProjectDlg(QWidget *owner);

    QCheckBox *ChkRemoveFromDB;
    QCheckBox *ChkDeleteFile;
};

// Shows the two flags; on OK writes both check states back and returns true, otherwise returns
// false and leaves them as they were.
bool ExecuteDelProjectDlg(bool &RemoveFromDB, bool &DeleteFile);

} // namespace tev
