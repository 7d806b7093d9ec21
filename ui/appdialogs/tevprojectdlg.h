#pragma once

// The new-project wizard: collects what a new work or monitor sequence needs (project name,
// target folder and file name, file type, reference master, format and user-field files) on three
// pages, General, Master and Details, that only the bottom buttons move between. It writes
// nothing and creates nothing; the main window creates the project from the values returned.
//
// Every name the wizard shows and returns is relative to the sequence folder (TTevApp::SEQDir).
// A name that does not lie in it stays absolute and keeps Finish disabled, with the reason shown
// beside the buttons. The format and user-field files are shown by their name alone when they lie
// in the master's folder, and get the master's folder in front when they are returned.

#include "core/app/tevapp.h"
#include "core/sequence/filetype.h"
#include "ui/kit/kelform.h"

#include <QPointer>
#include <QString>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace tev {

class ButtonPanel;
class SpeedButton;

class TTevProjectDialog : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 593;
    static constexpr int kClientHeight = 293;
    static constexpr int kPanelHeight = 45;

    explicit TTevProjectDialog(QWidget *owner);

    // The application whose sequence folder and settings the wizard works with; not owned.
    void SetApp(TTevApp *App) { FApp = App; }

    QTabWidget *PageCtrl;
    QWidget *TabGeneral;
    QWidget *TabMaster;
    QWidget *TabDetails;
    QLineEdit *EditProjectName;
    QComboBox *ComboFileType;
    QLineEdit *EditFileName;
    QLineEdit *EditFilePath;
    SpeedButton *BtnFilePath;
    QLineEdit *EditMasterFile;
    SpeedButton *BtnMasterFile;
    QLineEdit *EditFormatFile;
    SpeedButton *BtnFormatFile;
    QLineEdit *EditUserFields;
    SpeedButton *BtnUserFields;
    ButtonPanel *Panel;
    SpeedButton *BackBtn;
    SpeedButton *NextBtn;
    SpeedButton *FinishBtn;
    SpeedButton *CancelBtn;
    // Why Finish stays disabled when a name lies outside the sequence folder; hidden otherwise.
    QLabel *LblFinishHint;

    // Where the master picker starts when there is no master to preselect.
    QString MasterPickerStart() const { return FMasterPickerStart; }

    // Finish, Back and Next after a change; the master picker's start folder.
    void UpdateButtons();
    // Gives the file name the extension of the chosen file type.
    void ApplyFileExt();
    // Proposes the format and user-field files from the master's header.
    void ReadMasterHeader();

public Q_SLOTS:
    void BackBtnClick();
    void NextBtnClick();
    void FinishBtnClick();
    void CancelBtnClick();
    void BtnFilePathClick();
    void BtnMasterFileClick();
    void BtnFormatFileClick();
    void BtnUserFieldsClick();
    void ComboFileTypeChange();
    void EditProjectNameChange();
    void EditFileNameChange();
    void EditFileNameExit();
    void EditFilePathChange();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildLayout();
    void FormKeyDown(QKeyEvent &event);
    void PlaceFinishHint();
    QString SeqDir() const;
    // The master's folder, resolved against the sequence folder.
    QString MasterFolder() const;
    // Puts a picked format or user-field file into the field: its name alone when it lies in the
    // master's folder, else its name relative to the sequence folder.
    void TakePickedFile(QLineEdit *field, bool &fromMaster, const QString &picked);
    QString PickDetailFile(QLineEdit *field, const QString &filter);

    QPointer<TTevApp> FApp;
    QString FMasterPickerStart;
    // The field holds a name that belongs to the current master (taken from its header or its
    // folder), so that choosing another master clears it.
    bool FFormatFromMaster = false;
    bool FUserFieldsFromMaster = false;
    bool FCentred = false;
};

// Shows the wizard. In: the proposed project name, a proposed file or folder (a folder ends with
// a delimiter), the file type to create and a proposed master, all relative to the sequence
// folder. On Finish returns true and writes all six values (the format and user-field files that
// go with the master, empty when none); on Cancel returns false and writes nothing.
bool ExecuteProjectDialog(TTevApp *App, QString &ProjectName, QString &FileName,
                          QString &MasterFile, TTevFileType &FileType, QString &FormatFile,
                          QString &UserFieldsFile);

// The first name in a space-separated dependency list whose extension equals Ext without regard
// to case; empty when none does.
QString FindDependsFile(const QString &DependsList, const QString &Ext);

} // namespace tev
