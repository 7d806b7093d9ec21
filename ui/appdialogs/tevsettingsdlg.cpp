#include "ui/appdialogs/tevsettingsdlg.h"

#include "core/app/tevsettings.h"
#include "core/constants/tevconst.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/lang/languages.h"
#include "core/lib/colours.h"
#include "core/lib/numbers.h"
#include "core/lib/paths.h"
#include "core/lib/versions.h"
#include "platform/error.h"
#include "platform/text/tencoding.h"
#include "ui/appdialogs/folderpaths.h"
#include "ui/controls/buttongroup/vyxbuttongroup.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/colors.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/pickers/pickers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>

namespace tev {

namespace {

const QString kDriverID = QStringLiteral("DriverID");
const QString kServer = QStringLiteral("Server");
const QString kDatabase = QStringLiteral("Database");
const QString kUserName = QStringLiteral("User_Name");
const QString kPassword = QStringLiteral("Password");

const QString kRootWarning =
    QStringLiteral("This change in the root directory would lead to existing projects becoming "
                   "unusable due to invalid SEQ file links.\r\nContinue anyway?");

// A failed connect with the engine's reason below, when it gave one.
QString ConnectFailureText(const QString &reason)
{
    const QString failure = QStringLiteral("Unable to connect to database.");
    return reason.isEmpty() ? failure : failure + QLatin1Char('\n') + reason;
}

} // namespace

bool IsKnownEncoding(const QString &Name)
{
    const QString name = Name.trimmed();
    if (name.isEmpty())
        return false;
    try {
        const qint32 codePage = StrToIntDef(name, -1);
        if (codePage >= 0)
            TEncoding::GetEncoding(codePage);
        else
            TEncoding::GetEncoding(name);
        return true;
    } catch (const Error &) {
        return false;
    }
}

void TTevSettingsDlg::SetApp(TTevApp *App)
{
    FApp = App;
    FSettings = App ? &App->Settings() : nullptr;
    FLanguageAtOpen = CurrentLanguage();
    FUseSysLanguageAtOpen = FSettings ? FSettings->UseSysLanguage() : true;
}

void TTevSettingsDlg::FormCreate()
{
    if (QWidget *owner = parentWidget())
        resize(width(), int(owner->height() * 0.9));
}

void TTevSettingsDlg::showEvent(QShowEvent *event)
{
    if (!FCentred) {
        centerOn(*this, parentWidget());
        FCentred = true;
    }
    KelForm::showEvent(event);
}

void TTevSettingsDlg::ShowSettings()
{
    if (!FSettings)
        return;
    EditSEQDir->setText(FSettings->SEQDir());
    EditMasterRootDir->setText(FSettings->DefaultMasterDir());
    EditWorkRootDir->setText(FSettings->DefaultWorkDir());
    ComboSEQEncoding->setCurrentIndex(-1);
    ComboSEQEncoding->setEditText(FSettings->FileEncoding());
    ComboDBType->setCurrentIndex(int(FSettings->DBType()));
    if (FApp && FApp->Data().Database())
        ShowConnectionParams(FApp->Data().Database()->params());
    EditFormatFile->setText(FSettings->FormatFile());
    ChkFormatFilePerProject->setChecked(FSettings->FormatPerProject());
    EditPrjPickList->setText(FSettings->PickListFile());
    ChkPicklistPerProject->setChecked(FSettings->PickListPerProject());
    ComboPRJUnits->setCurrentIndex(FSettings->Units());
    FillLanguageList();
}

void TTevSettingsDlg::ShowConnectionParams(const TStringList &Params)
{
    const QString driver = Params.Values(kDriverID);
    int index = ComboDBDriver->findText(driver, Qt::MatchFixedString);
    if (index < 0 && !driver.isEmpty()) {
        // A driver the list does not offer is shown as it is.
        ComboDBDriver->addItem(driver);
        index = ComboDBDriver->count() - 1;
    }
    ComboDBDriver->setCurrentIndex(driver.isEmpty() ? -1 : index);
    EditDBServer->setText(Params.Values(kServer));
    EditDBDatabase->setText(Params.Values(kDatabase));
    EditDBDatabase->setToolTip(EditDBDatabase->text());
    EditDBUserName->setText(Params.Values(kUserName));
    EditDBPassword->setText(Params.Values(kPassword));
}

bool TTevSettingsDlg::StoreConnectionParams(TStringList &Params, bool EditableOnly) const
{
    const QList<std::pair<QString, QString>> fields = {
        {kDriverID, ComboDBDriver->currentIndex() < 0 ? QString() : ComboDBDriver->currentText()},
        {kServer, EditDBServer->text()},
        {kDatabase, EditDBDatabase->text()},
        {kUserName, EditDBUserName->text()},
        {kPassword, EditDBPassword->text()}};
    bool changed = false;
    for (const auto &[name, text] : fields) {
        if (EditableOnly && name != kDatabase)
            continue;
        if (Params.Values(name) != text) {
            Params.SetValues(name, text);
            changed = true;
        }
    }
    return changed;
}

void TTevSettingsDlg::FillLanguageList()
{
    ComboLanguage->clear();
    ComboLanguage->addItem(LangStr(kTextSystemLanguage));
    for (const quint8 id : SupportedLanguages())
        ComboLanguage->addItem(LanguageName(id));
    if (FSettings && FSettings->UseSysLanguage())
        ComboLanguage->setCurrentIndex(0);
    else
        ComboLanguage->setCurrentIndex(
            ComboLanguage->findText(LanguageName(CurrentLanguage()), Qt::MatchExactly));
}

void TTevSettingsDlg::RestoreLanguage()
{
    SetCurrentLanguage(FLanguageAtOpen);
    if (FSettings)
        FSettings->SetUseSysLanguage(FUseSysLanguageAtOpen);
}

bool TTevSettingsDlg::ConfirmUnrelatedRoot(const QString &oldRoot, const QString &newRoot)
{
    QString subDir;
    if (GetDirectoryChangeMode(oldRoot, newRoot, subDir) != TDirectoryChangeMode::dcmOther)
        return true;
    if (KelMessageDlg(kRootWarning, buttonSet({mbOK, mbCancel}), QStringLiteral("Warning")) != mrOk)
        return false;
    FConfirmedRoot = newRoot;
    return true;
}

bool TTevSettingsDlg::CheckTypedRoot()
{
    const QString root = EditSEQDir->text();
    const QString current = FApp ? FApp->SEQDir() : QString();
    if (root == current || root == FConfirmedRoot)
        return true;
    if (ConfirmUnrelatedRoot(current, root))
        return true;
    EditSEQDir->setText(current);
    return false;
}

bool TTevSettingsDlg::CheckEncoding()
{
    if (IsKnownEncoding(ComboSEQEncoding->currentText()))
        return true;
    KelShowMessage(QStringLiteral("The file encoding \"%1\" is not known. Enter a code page "
                                  "number such as 1252 or 65001.")
                       .arg(ComboSEQEncoding->currentText()));
    BtnGroup->setItemIndex(0);
    ComboSEQEncoding->setFocus();
    return false;
}

void TTevSettingsDlg::OKBtnClick()
{
    if (!CheckEncoding() || !CheckTypedRoot())
        return;
    setModalResult(mrOk);
}

void TTevSettingsDlg::CancelBtnClick()
{
    setModalResult(mrCancel);
}

void TTevSettingsDlg::BtnGroupGeneralClick()
{
    PageCtrl->setCurrentWidget(TabGeneral);
}

void TTevSettingsDlg::BtnGroupItemsUserClick()
{
    PageCtrl->setCurrentWidget(TabPreferences);
}

void TTevSettingsDlg::BtnSEQDirClick()
{
    const QString chosen = PickFolder(this, QStringLiteral("SEQ"), EditSEQDir->text());
    if (chosen.isEmpty())
        return;
    if (ConfirmUnrelatedRoot(EditSEQDir->text(), chosen))
        EditSEQDir->setText(chosen);
}

void TTevSettingsDlg::PickDefaultDir(QLineEdit *field, const QString &caption)
{
    const QString root = EditSEQDir->text();
    const QString start = LiesInFolder(field->text(), root) ? field->text() : root;
    const QString chosen = PickFolder(this, caption, start, root);
    if (!chosen.isEmpty())
        field->setText(chosen);
}

void TTevSettingsDlg::BtnMasterRootDirClick()
{
    PickDefaultDir(EditMasterRootDir, QStringLiteral("Default Directory for Master Routines"));
}

void TTevSettingsDlg::BtnWorkRootDirClick()
{
    PickDefaultDir(EditWorkRootDir, QStringLiteral("Default Directory for Work Routines"));
}

void TTevSettingsDlg::PickFile(QLineEdit *field, const QString &filter)
{
    const QString picked =
        PickOpenFile(this, QStringLiteral("Select format definition file"), field->text(), filter);
    if (!picked.isEmpty())
        field->setText(picked);
}

void TTevSettingsDlg::BtnDBDatabaseClick()
{
    PickFile(EditDBDatabase, QStringLiteral("Firebird Database (*.fdb)|*.fdb|All files|*.*"));
    EditDBDatabase->setToolTip(EditDBDatabase->text());
}

void TTevSettingsDlg::BtnFormatFileClick()
{
    PickFile(EditFormatFile, QStringLiteral("Format definition (*.fmt)|*.fmt|All files|*.*"));
}

void TTevSettingsDlg::BtnPrjPickListClick()
{
    PickFile(EditPrjPickList, QStringLiteral("User definition (*.uif)|*.uif|All files|*.*"));
}

void TTevSettingsDlg::ComboSEQEncodingSelect()
{
    const QString text = ComboSEQEncoding->currentText();
    const int space = text.indexOf(QLatin1Char(' '));
    if (space >= 0)
        ComboSEQEncoding->setEditText(text.left(space));
}

void TTevSettingsDlg::ComboLanguageSelect()
{
    const int index = ComboLanguage->currentIndex();
    if (index < 0)
        return;
    SetCurrentLanguage(index == 0 ? GetSystemLanguage()
                                  : LanguageByName(ComboLanguage->currentText()));
    if (FSettings)
        FSettings->SetUseSysLanguage(index == 0);
    FillLanguageList();
}

void TTevSettingsDlg::ColourDirField(QLineEdit *field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Text, PathExists(field->text()) ? palette().color(QPalette::Text)
                                                         : colorFromValue(clVYXCorpRed));
    field->setPalette(p);
}

void TTevSettingsDlg::EditDirChange()
{
    if (auto *field = qobject_cast<QLineEdit *>(sender()))
        ColourDirField(field);
}

void TTevSettingsDlg::LTestConnectionClick()
{
    if (!FApp)
        return;
    TStringList params;
    StoreConnectionParams(params, false);
    QString reason;
    KelConfirm(FApp->Data().TestDBConnection(params, &reason)
                   ? QStringLiteral("Database connection successfully tested.")
                   : ConnectFailureText(reason));
}

bool ExecuteSettingsDlg(TTevApp *App, const std::function<bool()> &BeforeSourceChange)
{
    if (!App)
        return false;
    TTevSettingsDlg dialog(mainForm());
    dialog.SetApp(App);
    dialog.PageCtrl->setCurrentIndex(0);
    dialog.ShowSettings();
    if (runModal(dialog) != mrOk) {
        dialog.RestoreLanguage();
        return false;
    }

    TTevSettings &settings = App->Settings();
    TTevDataModule &data = App->Data();
    if (BeforeSourceChange) {
        TStringList params;
        if (data.Database())
            params.Assign(data.Database()->params());
        const bool databaseChanges = data.Database() && dialog.StoreConnectionParams(params, true);
        if ((databaseChanges || dialog.EditSEQDir->text() != App->SEQDir()) &&
            !BeforeSourceChange()) {
            dialog.RestoreLanguage();
            return false;
        }
    }
    if (data.Database() && dialog.StoreConnectionParams(data.Database()->params(), true)) {
        if (!data.Reconnect())
            KelShowMessage(ConnectFailureText(data.Database()->openFailure()));
        data.UpgradeDatabase(GetAppVersion(QCoreApplication::applicationFilePath()));
    }
    if (dialog.EditSEQDir->text() != App->SEQDir())
        App->ChangeSEQDirectory(dialog.EditSEQDir->text());
    settings.SetDefaultMasterDir(dialog.EditMasterRootDir->text());
    settings.SetDefaultWorkDir(dialog.EditWorkRootDir->text());
    settings.SetFileEncoding(dialog.ComboSEQEncoding->currentText());

    const int language = dialog.ComboLanguage->currentIndex();
    if (language >= 0) {
        settings.SetUseSysLanguage(language == 0);
        SetCurrentLanguage(language == 0 ? GetSystemLanguage()
                                         : LanguageByName(dialog.ComboLanguage->currentText()));
    }

    settings.SetFormatFile(dialog.EditFormatFile->text());
    settings.SetFormatPerProject(dialog.ChkFormatFilePerProject->isChecked());
    settings.SetPickListFile(dialog.EditPrjPickList->text());
    settings.SetPickListPerProject(dialog.ChkPicklistPerProject->isChecked());
    if (dialog.ComboPRJUnits->currentIndex() >= 0)
        settings.SetUnits(dialog.ComboPRJUnits->currentIndex());
    App->ApplySettings();
    return true;
}

} // namespace tev
