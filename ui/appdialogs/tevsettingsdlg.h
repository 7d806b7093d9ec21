#pragma once

// The settings dialog: the sequence folders, the file encoding, the database file of the
// connection, the project defaults and the language, on two pages chosen with a button group.
//
// The dialog edits only its fields until OK, except the language, which takes effect when it is
// chosen (so that the list shows itself in it) and is put back by Cancel. OK refuses an unknown
// encoding and asks before a new sequence root that is neither a parent nor a sub-folder of the
// current one, whether it was picked or typed. ExecuteSettingsDlg then writes the values back: it
// stores nothing itself (the application object writes the settings at shutdown, the database
// module the connection file).
//
// Of the database fields only the database file can be changed; the type, driver, server, user
// and password are shown disabled and are never written back from the controls.

#include "core/app/tevapp.h"
#include "platform/text/tstringlist.h"
#include "ui/kit/kelform.h"

#include <QPointer>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace tev {

class ButtonPanel;
class SpeedButton;
class TLinkLabel;
class TTevSettings;
class TvyxButtonGroup;

class TTevSettingsDlg : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1083;
    static constexpr int kClientHeight = 701;
    static constexpr int kPanelHeight = 45;
    static constexpr int kButtonGroupWidth = 175;

    explicit TTevSettingsDlg(QWidget *owner);

    // The application whose settings and connection the dialog edits; not owned.
    void SetApp(TTevApp *App);

    TvyxButtonGroup *BtnGroup;
    QTabWidget *PageCtrl;
    QWidget *TabGeneral;
    QWidget *TabPreferences;
    QLineEdit *EditSEQDir;
    SpeedButton *BtnSEQDir;
    QLineEdit *EditMasterRootDir;
    SpeedButton *BtnMasterRootDir;
    QLineEdit *EditWorkRootDir;
    SpeedButton *BtnWorkRootDir;
    QComboBox *ComboSEQEncoding;
    QComboBox *ComboDBType;
    QComboBox *ComboDBDriver;
    QLineEdit *EditDBServer;
    QLineEdit *EditDBDatabase;
    SpeedButton *BtnDBDatabase;
    QLineEdit *EditDBUserName;
    QLineEdit *EditDBPassword;
    TLinkLabel *LTestConnection;
    QLineEdit *EditFormatFile;
    SpeedButton *BtnFormatFile;
    QCheckBox *ChkFormatFilePerProject;
    QLineEdit *EditPrjPickList;
    SpeedButton *BtnPrjPickList;
    QCheckBox *ChkPicklistPerProject;
    QComboBox *ComboPRJUnits;
    QComboBox *ComboLanguage;
    ButtonPanel *Panel;
    SpeedButton *OKBtn;
    SpeedButton *CancelBtn;

    // Fills the fields from the settings and the live connection.
    void ShowSettings();
    void FillLanguageList();
    void ShowConnectionParams(const TStringList &Params);
    // Writes the fields that differ into Params (an empty field removes its name); true when one
    // did. With EditableOnly, only the database file, the one field the user can change.
    bool StoreConnectionParams(TStringList &Params, bool EditableOnly) const;
    // The language and its choice as they were when the dialog opened.
    void RestoreLanguage();

public Q_SLOTS:
    void OKBtnClick();
    void CancelBtnClick();
    void BtnGroupGeneralClick();
    void BtnGroupItemsUserClick();
    void BtnSEQDirClick();
    void BtnMasterRootDirClick();
    void BtnWorkRootDirClick();
    void BtnDBDatabaseClick();
    void BtnFormatFileClick();
    void BtnPrjPickListClick();
    void ComboSEQEncodingSelect();
    void ComboLanguageSelect();
    void EditDirChange();
    void LTestConnectionClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void BuildLayout();
    QWidget *BuildGeneralPage();
    QWidget *BuildPreferencesPage();
    void ColourDirField(QLineEdit *field);
    void PickDefaultDir(QLineEdit *field, const QString &caption);
    void PickFile(QLineEdit *field, const QString &filter);
    // Asks before a root that is neither a parent nor a sub-folder of the old one.
    bool ConfirmUnrelatedRoot(const QString &oldRoot, const QString &newRoot);
    bool CheckEncoding();
    bool CheckTypedRoot();

    QPointer<TTevApp> FApp;
    TTevSettings *FSettings = nullptr;
    // The root the user confirmed against the warning; OK does not ask for it again.
    QString FConfirmedRoot;
    quint8 FLanguageAtOpen = 0;
    bool FUseSysLanguageAtOpen = true;
    bool FCentred = false;
};

// Shows the settings dialog. On OK writes the values into the settings and the live connection,
// reconnects and upgrades the database when the connection changed (reporting a failed
// reconnect), moves the sequence root when it changed, sets the language and applies the
// settings; returns true. On Cancel returns false and changes nothing. BeforeSourceChange, when
// given, runs after OK and before a new sequence root or database file takes effect (the caller
// settles the open project there); false from it changes nothing, as Cancel does.
bool ExecuteSettingsDlg(TTevApp *App, const std::function<bool()> &BeforeSourceChange = {});

// Whether a setting names an encoding that files can be read and written in: a code page number
// or an encoding name that is supported here.
bool IsKnownEncoding(const QString &Name);

} // namespace tev
