#include "ui/appdialogs/tevprojectdlg.h"

#include "core/app/tevapp.h"
#include "core/lib/paths.h"
#include "core/lib/textroutines.h"
#include "platform/text/tstringlist.h"
#include "ui/appdialogs/folderpaths.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"
#include "ui/pickers/pickers.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace tev {

namespace {

const QString kMasterFilter = QStringLiteral("Sequence files (*.seq)|*.seq");
const QString kFormatFilter = QStringLiteral("*.fmt|*.fmt|*.fms|*.fms|*.*|*.*");
const QString kUserFieldsFilter = QStringLiteral("*.uif|*.uif");

// Where the master's header ends: the first line that is no "$" keyword line.
bool isHeaderLine(const QString &line)
{
    return line.startsWith(QLatin1Char('$'));
}

} // namespace

QString FindDependsFile(const QString &DependsList, const QString &Ext)
{
    QStringList names;
    SeparatorStrToArray(DependsList, QLatin1Char(' '), names);
    for (const QString &name : std::as_const(names))
        if (FileExt(name).compare(Ext, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

void TTevProjectDialog::showEvent(QShowEvent *event)
{
    if (!FCentred) {
        centerOn(*this, nullptr);
        FCentred = true;
    }
    KelForm::showEvent(event);
    PlaceFinishHint();
}

QString TTevProjectDialog::SeqDir() const
{
    return FApp ? FApp->SEQDir() : QString();
}

QString TTevProjectDialog::MasterFolder() const
{
    return QDir::cleanPath(ResolveInFolder(SeqDir(), FolderPart(EditMasterFile->text())));
}

void TTevProjectDialog::UpdateButtons()
{
    const QString seqDir = SeqDir();
    const QString target = EditFilePath->text().isEmpty()
                               ? EditFileName->text()
                               : AddBackSlash(EditFilePath->text()) + EditFileName->text();
    const bool targetInside =
        ResolvesInFolder(target.isEmpty() ? QStringLiteral(".") : target, seqDir);
    const bool masterInside =
        EditMasterFile->text().isEmpty() || ResolvesInFolder(EditMasterFile->text(), seqDir);

    // A project always names its folder: an empty one would quietly put it at the root.
    FinishBtn->setEnabled(!EditProjectName->text().isEmpty() && !EditFilePath->text().isEmpty() &&
                          !EditFileName->text().isEmpty() && ComboFileType->currentIndex() > 0 &&
                          !EditMasterFile->text().isEmpty() && targetInside && masterInside);
    if (!targetInside)
        LblFinishHint->setText(
            QStringLiteral("The target file lies outside the sequence folder \"%1\".").arg(seqDir));
    else if (!masterInside)
        LblFinishHint->setText(
            QStringLiteral("The master lies outside the sequence folder \"%1\".").arg(seqDir));
    LblFinishHint->setVisible(!targetInside || !masterInside);

    const int page = PageCtrl->currentIndex();
    BackBtn->setVisible(page > 0);
    NextBtn->setVisible(page < PageCtrl->count() - 1);
    PlaceFinishHint();

    FMasterPickerStart = ResolveInFolder(seqDir, EditFilePath->text());
}

void TTevProjectDialog::PlaceFinishHint()
{
    Panel->relayout();
    // The hint takes the panel's room left of the buttons.
    const SpeedButton *leftmost = !BackBtn->isHidden()   ? BackBtn
                                  : !NextBtn->isHidden() ? NextBtn
                                                         : FinishBtn;
    LblFinishHint->setGeometry(10, 2, std::max(0, leftmost->x() - 20), Panel->height() - 4);
}

void TTevProjectDialog::ApplyFileExt()
{
    if (EditFileName->text().isEmpty())
        return;
    QString ext;
    switch (ComboFileType->currentIndex()) {
    case 1:
        ext = FileTypeExt(TTevFileType::pftSEQ);
        break;
    case 2:
        ext = FileTypeExt(TTevFileType::pftMSEQ);
        break;
    default:
        return;
    }
    EditFileName->setText(ChangeFileExt(EditFileName->text(), ext));
}

void TTevProjectDialog::ReadMasterHeader()
{
    const QString fileName = ResolveInFolder(SeqDir(), EditMasterFile->text());
    if (EditMasterFile->text().isEmpty() || !QFileInfo(fileName).isFile())
        return;
    TStringList lines;
    // A byte-order mark names the encoding; otherwise the maker's files are Windows-1252.
    lines.LoadFromFile(fileName);

    const bool formatDefault = FApp && !FApp->Settings().FormatFile().isEmpty();
    const bool pickListDefault = FApp && !FApp->Settings().PickListFile().isEmpty();
    const QString formatKey = QStringLiteral("$FORMAT ");
    const QString pickListKey = QStringLiteral("$PICKLIST ");
    const QString dependsKey = QStringLiteral("$DEPENDS ");
    QString depends;
    for (int i = 0; i < lines.Count(); ++i) {
        const QString line = lines[i];
        if (line.startsWith(formatKey) && formatDefault) {
            EditFormatFile->setText(SubString(line, 1, QLatin1Char(' ')));
            FFormatFromMaster = true;
        }
        if (line.startsWith(pickListKey) && pickListDefault) {
            EditUserFields->setText(SubString(line, 1, QLatin1Char(' ')));
            FUserFieldsFromMaster = true;
        }
        if (line.startsWith(dependsKey))
            depends = line.mid(dependsKey.size());
        if (!EditFormatFile->text().isEmpty() && !EditUserFields->text().isEmpty())
            break;
        if (!isHeaderLine(line))
            break;
    }
    if (EditFormatFile->text().isEmpty()) {
        QString format = FindDependsFile(depends, QStringLiteral(".fmt"));
        if (format.isEmpty())
            format = FindDependsFile(depends, QStringLiteral(".fms"));
        EditFormatFile->setText(format);
        FFormatFromMaster = !format.isEmpty();
    }
    if (EditUserFields->text().isEmpty()) {
        const QString userFields = FindDependsFile(depends, QStringLiteral(".uif"));
        EditUserFields->setText(userFields);
        FUserFieldsFromMaster = !userFields.isEmpty();
    }
}

void TTevProjectDialog::BackBtnClick()
{
    if (PageCtrl->currentIndex() > 0)
        PageCtrl->setCurrentIndex(PageCtrl->currentIndex() - 1);
    UpdateButtons();
}

void TTevProjectDialog::NextBtnClick()
{
    if (PageCtrl->currentIndex() < PageCtrl->count() - 1)
        PageCtrl->setCurrentIndex(PageCtrl->currentIndex() + 1);
    UpdateButtons();
}

void TTevProjectDialog::FinishBtnClick()
{
    ApplyFileExt();
    setModalResult(mrOk);
}

void TTevProjectDialog::CancelBtnClick()
{
    setModalResult(mrCancel);
}

void TTevProjectDialog::FormKeyDown(QKeyEvent &event)
{
    switch (classifyKey(event)) {
    case DialogKey::Enter:
        // Enter finishes only what Finish would; an incomplete wizard stays open.
        if (FinishBtn->isEnabled())
            FinishBtnClick();
        break;
    case DialogKey::Cancel:
        setModalResult(mrCancel);
        break;
    case DialogKey::Escape:
    case DialogKey::Other:
        break;
    }
}

void TTevProjectDialog::BtnFilePathClick()
{
    const QString seqDir = SeqDir();
    const QString chosen =
        PickFolder(this, QString(), ResolveInFolder(seqDir, EditFilePath->text()), seqDir);
    if (chosen.isEmpty())
        return;
    // The sequence folder itself has no relative name; it is shown by its path.
    const QString relative = RelativeToFolder(seqDir, chosen);
    EditFilePath->setText(relative.isEmpty() ? chosen : relative);
}

void TTevProjectDialog::BtnMasterFileClick()
{
    const QString seqDir = SeqDir();
    const QString current = ResolveInFolder(seqDir, EditMasterFile->text());
    QString start;
    if (!EditMasterFile->text().isEmpty() && QFileInfo(current).isFile())
        start = current;
    else if (FApp && !FApp->Settings().DefaultMasterDir().isEmpty())
        start = FApp->Settings().DefaultMasterDir();
    else
        start = FMasterPickerStart;
    const QString picked = PickOpenFile(this, QString(), start, kMasterFilter);
    if (picked.isEmpty())
        return;
    // The names the previous master brought with it do not fit the new one.
    if (FFormatFromMaster) {
        EditFormatFile->clear();
        FFormatFromMaster = false;
    }
    if (FUserFieldsFromMaster) {
        EditUserFields->clear();
        FUserFieldsFromMaster = false;
    }
    EditMasterFile->setText(RelativeToFolder(seqDir, picked));
    UpdateButtons();
    ReadMasterHeader();
}

QString TTevProjectDialog::PickDetailFile(QLineEdit *field, const QString &filter)
{
    const QString masterFolder = MasterFolder();
    QString start = masterFolder.isEmpty() ? SeqDir() : masterFolder;
    if (!field->text().isEmpty())
        start = FolderPart(field->text()).isEmpty() ? AddBackSlash(start) + field->text()
                                                    : ResolveInFolder(SeqDir(), field->text());
    return PickOpenFile(this, QString(), start, filter);
}

void TTevProjectDialog::TakePickedFile(QLineEdit *field, bool &fromMaster, const QString &picked)
{
    if (picked.isEmpty())
        return;
    const QString masterFolder = MasterFolder();
    const QString base = masterFolder.isEmpty() ? SeqDir() : masterFolder;
    fromMaster = FolderPart(picked) == AddBackSlash(base);
    field->setText(fromMaster ? NamePart(picked) : RelativeToFolder(SeqDir(), picked));
}

void TTevProjectDialog::BtnFormatFileClick()
{
    TakePickedFile(EditFormatFile, FFormatFromMaster,
                   PickDetailFile(EditFormatFile, kFormatFilter));
}

void TTevProjectDialog::BtnUserFieldsClick()
{
    TakePickedFile(EditUserFields, FUserFieldsFromMaster,
                   PickDetailFile(EditUserFields, kUserFieldsFilter));
}

void TTevProjectDialog::ComboFileTypeChange()
{
    ApplyFileExt();
    UpdateButtons();
}

void TTevProjectDialog::EditProjectNameChange()
{
    UpdateButtons();
}

void TTevProjectDialog::EditFileNameChange()
{
    UpdateButtons();
}

void TTevProjectDialog::EditFileNameExit()
{
    ApplyFileExt();
}

void TTevProjectDialog::EditFilePathChange()
{
    EditFilePath->setToolTip(EditFilePath->text());
    UpdateButtons();
}

namespace {

// A detail file as returned: a name without folder belongs to the master's folder.
QString withMasterFolder(const QString &name, const QString &master)
{
    if (name.isEmpty() || !FolderPart(name).isEmpty())
        return name;
    return FolderPart(master) + name;
}

} // namespace

bool ExecuteProjectDialog(TTevApp *App, QString &ProjectName, QString &FileName,
                          QString &MasterFile, TTevFileType &FileType, QString &FormatFile,
                          QString &UserFieldsFile)
{
    TTevProjectDialog dialog(mainForm());
    dialog.PageCtrl->setCurrentIndex(0);
    dialog.SetApp(App);
    const QString seqDir = App ? App->SEQDir() : QString();

    dialog.EditProjectName->setText(ProjectName);
    // An absolute name inside the sequence folder is shown relative to it like any other.
    const QString proposed = RelativeToFolder(seqDir, FileName);
    const QString folder = FileExt(proposed).isEmpty() ? proposed : FolderPart(proposed);
    dialog.EditFilePath->setText(folder);
    dialog.EditFilePath->setToolTip(folder);
    dialog.EditFileName->setText(NamePart(proposed));

    {
        const QSignalBlocker block(dialog.ComboFileType);
        dialog.ComboFileType->setCurrentIndex(int(FileType));
    }
    dialog.EditMasterFile->setText(RelativeToFolder(seqDir, MasterFile));
    if (!dialog.EditMasterFile->text().isEmpty())
        dialog.ReadMasterHeader();
    dialog.UpdateButtons();

    if (runModal(dialog) != mrOk)
        return false;
    const QString master = dialog.EditMasterFile->text();
    ProjectName = dialog.EditProjectName->text();
    // Relative to the sequence folder, also when the folder was shown by its path.
    FileName = RelativeToFolder(seqDir, AddBackSlash(dialog.EditFilePath->text()) +
                                            dialog.EditFileName->text());
    FileType = FileTypeFromInt(dialog.ComboFileType->currentIndex());
    MasterFile = master;
    FormatFile = withMasterFolder(dialog.EditFormatFile->text(), master);
    UserFieldsFile = withMasterFolder(dialog.EditUserFields->text(), master);
    return true;
}

} // namespace tev
