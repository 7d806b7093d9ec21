#pragma once

// The vendors dialog: the regional distributors and support contacts of the gauge family from
// the vendor file, one contact a line, "region;company;e-mail address". The file is written with
// a default list when it is missing and never changed otherwise; when it cannot be written (the
// machine-wide folder is not writable for every user) the default list is shown all the same.

#include "platform/text/tstringlist.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxcustomdlg.h"

class QTableWidget;

namespace tev {

class TKelVendorsDlg : public TvyxCustomDlg
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 600;
    static constexpr int kClientHeight = 400;
    static constexpr int kColumnWidth = 190;
    static constexpr int kRowHeight = 25;

    explicit TKelVendorsDlg(QWidget *owner);

    QTableWidget *Grid;

    // One row per line of the list: region, company, e-mail address. The columns are made wide
    // enough for their texts.
    void ShowVendors(const TStringList &Lines);

public Q_SLOTS:
    void FormCreate() {}
    // A double-click anywhere in the grid chooses the selected row.
    void GridDblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FitColumns();
};

// The eight contacts of the default list, "region;company;e-mail address".
QStringList DefaultVendorLines();

// The vendor list of FileName, sorted without regard to case with repeated lines dropped. A
// missing file is written with the default list first (its folders made as needed); a failure to
// write it is logged and the default list returned. Throws tev::Error when an existing file
// cannot be read.
void LoadVendorList(const QString &FileName, TStringList &List);

// Shows the vendors of FileName with the buttons of the set (only mbOK and mbCancel count). On OK
// Company and EMail receive the selected row's company and address and the result is true;
// otherwise they stay as they were and the result is false.
bool ExecuteVendorsDlg(const QString &Caption, const QString &FileName, QString &Company,
                       QString &EMail, TMsgDlgButtons Buttons);

// The vendors for reading only, with OK alone.
void ShowSupportContacts(const QString &FileName);

} // namespace tev
