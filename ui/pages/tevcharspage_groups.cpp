// The characteristics page's filters, groups and moves.

#include "ui/pages/tevcharspage.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/speedbutton.h"
#include "ui/pages/dependfiles.h"
#include "ui/pages/pictureformats.h"
#include "ui/pickers/pickers.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace tev {

namespace {

// A group name has the size of its field.
constexpr int kMaxGroupName = 100;

// The lines of a text as a list box takes them: a last line break ends the last line.
QStringList Lines(QString Text)
{
    if (Text.isEmpty())
        return {};
    if (Text.endsWith(QLatin1Char('\n')))
        Text.chop(Text.endsWith(QLatin1String("\r\n")) ? 2 : 1);
    return Text.split(QRegularExpression(QStringLiteral("\r\n|\n")));
}

QString Quoted(QString Value)
{
    return QLatin1Char('\'') + Value.replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

} // namespace

void TTevCharsPage::FillFilterLists()
{
    TTevProject *project = Project();
    {
        const QSignalBlocker refBlocker(RefFileFilterBox);
        const QSignalBlocker groupBlocker(GroupFilterBox);
        RefFileFilterBox->clear();
        GroupFilterBox->clear();
        if (project) {
            if (project->Generator() == QLatin1String("Tevora")) {
                RefFileFilterBox->addItem(QStringLiteral("> Master files"));
                RefFileFilterBox->addItems(
                    Lines(project->GetDistinctCharFieldValues(QStringLiteral("REF_FILENAME"))));
                RefFileFilterBox->setCurrentRow(0);
            }
            GroupFilterBox->addItem(QStringLiteral("> Groups"));
            GroupFilterBox->addItems(
                Lines(project->GetDistinctCharFieldValues(QStringLiteral("GROUPNAME"))));
            GroupFilterBox->setCurrentRow(0);
        }
    }
    ApplyCharFilter();
}

void TTevCharsPage::ApplyCharFilter()
{
    TTevProject *project = Project();
    if (!project)
        return;
    QString filter;
    const auto add = [&filter](const QString &Condition) {
        if (!filter.isEmpty())
            filter += QLatin1String(" and ");
        filter += Condition;
    };
    if (GroupFilterBox->currentRow() > 0)
        add(QLatin1String("(GROUPNAME = ") + Quoted(GroupFilterBox->currentItem()->text()) +
            QLatin1Char(')'));
    if (RefFileFilterBox->currentRow() > 0)
        add(QLatin1String("(REF_FILENAME = ") + Quoted(RefFileFilterBox->currentItem()->text()) +
            QLatin1Char(')'));
    project->SetCharFilter(filter);
}

void TTevCharsPage::FilterBoxClick()
{
    ApplyCharFilter();
    UpdateGroupButtons();
}

void TTevCharsPage::GroupFilterBoxKeyUp(int Key)
{
    if (Key == Qt::Key_Up || Key == Qt::Key_Down)
        UpdateGroupButtons();
}

void TTevCharsPage::UpdateGroupButtons()
{
    if (Updating())
        return;
    const bool inDB = InDatabase();
    const int i = GroupFilterBox->currentRow();
    const int n = GroupFilterBox->count();
    BtnGroupImage->setEnabled(inDB && i > 0);
    BtnGroupUp->setEnabled(inDB && i > 1);
    BtnGroupDown->setEnabled(inDB && i > 0 && i < n - 1);
    BtnRenameGroup->setEnabled(inDB && i > 0);
}

void TTevCharsPage::SelectGroup(const QString &Name)
{
    const QList<QListWidgetItem *> found = GroupFilterBox->findItems(Name, Qt::MatchExactly);
    for (QListWidgetItem *item : found) {
        if (GroupFilterBox->row(item) > 0) {
            const QSignalBlocker blocker(GroupFilterBox);
            GroupFilterBox->setCurrentItem(item);
            return;
        }
    }
}

void TTevCharsPage::MoveGroup(bool Up)
{
    TTevProject *project = Project();
    if (!project || GroupFilterBox->currentRow() < 0)
        return;
    const QString group = GroupFilterBox->currentItem()->text();
    if (!BeginDatabaseWrite())
        return;
    project->MoveGroup(Up);
    EndDatabaseWrite();
    FillFilterLists();
    SelectGroup(group);
    FilterBoxClick();
}

void TTevCharsPage::BtnGroupUpClick()
{
    MoveGroup(true);
}

void TTevCharsPage::BtnGroupDownClick()
{
    MoveGroup(false);
}

void TTevCharsPage::BtnRenameGroupClick()
{
    TTevProject *project = Project();
    if (!project || GroupFilterBox->currentRow() <= 0)
        return;
    const QString oldName = GroupFilterBox->currentItem()->text();
    QString newName = oldName;
    if (!VyxInputQuery(QStringLiteral("Rename Group"), QStringLiteral("Group Name"), newName,
                       kMaxGroupName))
        return;
    // A group without a name would merge into the characteristics that have none and could not
    // be selected or renamed again.
    if (newName.trimmed().isEmpty()) {
        KelShowMessage(QStringLiteral("A group needs a name."));
        return;
    }
    if (!BeginDatabaseWrite())
        return;
    project->RenameGroup(oldName, newName);
    project->Save();
    EndDatabaseWrite();
    FillFilterLists();
    SelectGroup(newName);
    FilterBoxClick();
}

void TTevCharsPage::BtnGroupImageClick()
{
    SelectGroupImage();
}

void TTevCharsPage::SelectGroupImage()
{
    TTevProject *project = Project();
    if (!project)
        return;
    const QString proposed = project->Directory() + CharField(QStringLiteral("IMAGE"));
    const QString chosen =
        PickOpenFile(this, PictureDialogTitle(),
                     CharField(QStringLiteral("IMAGE")).isEmpty() ? project->Directory() : proposed,
                     PictureDialogFilter());
    if (chosen.isEmpty())
        return;
    // The 8.3 test looks at the picked file where it is, before anything is copied.
    if (!project->ValidDependsFileName(chosen)) {
        KelShowMessage(InvalidFileNameMessage());
        return;
    }
    const TProjectFile file =
        TakeIntoProjectFolder(chosen, project->ProjectDir(), project->RootDir());
    if (!file.Ok) {
        KelShowMessage(file.Message);
        return;
    }
    if (!BeginDatabaseWrite())
        return;
    const quint32 result = project->ChangeGroupImage(CharField(QStringLiteral("GROUPNAME")),
                                                     project->ProjectDir() + file.BareName);
    EndDatabaseWrite();
    if (result == 2)
        KelShowMessage(InvalidFileNameMessage());
}

void TTevCharsPage::BtnCharUpClick()
{
    TTevProject *project = Project();
    if (!project || !BeginDatabaseWrite())
        return;
    project->MoveCharacteristic(true);
    EndDatabaseWrite();
    FGridChars->viewport()->update();
}

void TTevCharsPage::BtnCharDownClick()
{
    TTevProject *project = Project();
    if (!project || !BeginDatabaseWrite())
        return;
    project->MoveCharacteristic(false);
    EndDatabaseWrite();
    FGridChars->viewport()->update();
}

void TTevCharsPage::BtnDisableCharClick()
{
    // The button is hidden and disabling characteristics is done in the ACTIVE column.
}

} // namespace tev
