// The references page: the masters a work sequence is built on, or the work sequences built on
// a master, and the commands that add, remove and update references.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/db/tevrowset.h"
#include "core/project/tevproject.h"
#include "platform/crash/exceptionhandlers.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/models/datasetmodel.h"

#include <QToolButton>

namespace tev {

namespace {

// Display widths of the references' columns, in characters.
constexpr int kIntegerWidth = 5;
constexpr int kTextWidth = 50;
constexpr int kFileTypeWidth = 30;

const QStringList kWorkReferences = {
    QStringLiteral("select SUBID as ID, 0 as FILETYPE, REF_FILENAME as FILENAME, "
                   "REF_PROJECTNAME as PROJECTNAME"),
    QStringLiteral("from REFPROJECTS"), QStringLiteral("where PROJECTID = :PROJECTID")};

const QStringList kMasterReferences = {
    QStringLiteral("select Ref.PROJECTID as ID, P.FILETYPE, P.FILENAME, P.PROJECTNAME"),
    QStringLiteral("from REFPROJECTS Ref, PROJECTS P"),
    QStringLiteral("where Ref.PROJECTID = P.PROJECTID"),
    QStringLiteral(" and REF_FILENAME = :REF_FILENAME")};

} // namespace

void TTevMainForm::UpdateReferencesQuery()
{
    FDatSrcReferences->setDataSet(nullptr);
    FQuReferences.reset();
    TTevProject &project = Project();
    const QString generator = project.Generator();
    const bool work = generator == QLatin1String("Tevora");
    const bool master = generator == QLatin1String("Ombrix");
    FToolbarMasterFiles->setVisible(!project.Empty() && (master || project.ExistsInDatabase()));
    if (master)
        FUpdateReferencesBtn->setEnabled(true);
    if (!project.Empty() && (work || master) && FApp->Data().Connected()) {
        // A query that fails is reported; the grid stays empty and the window goes on.
        try {
            auto references = std::make_unique<TTevRowSet>(FApp->Data().Database()->database());
            if (work)
                references->open(kWorkReferences.join(QLatin1Char('\n')),
                                 {{QStringLiteral("PROJECTID"), project.ProjectId()}});
            else
                references->open(kMasterReferences.join(QLatin1Char('\n')),
                                 {{QStringLiteral("REF_FILENAME"), project.RelativeFileName()}});
            for (int i = 0; i < references->fieldCount(); ++i) {
                Field &field = references->field(i);
                field.setDisplayWidth(field.dataType() == FieldType::Integer ? kIntegerWidth
                                                                             : kTextWidth);
            }
            if (Field *fileType = references->findField(QStringLiteral("FILETYPE"))) {
                fileType->setOnGetText(
                    [this](const Field &f) { return FileTypeGetText(f.value()); });
                fileType->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                fileType->setDisplayWidth(kFileTypeWidth);
            }
            FQuReferences = std::move(references);
            FDatSrcReferences->setDataSet(FQuReferences.get());
        } catch (...) {
            HandleCurrentException();
        }
    }
    UpdateReferencesButtons();
}

void TTevMainForm::UpdateReferencesButtons()
{
    if (!FApp)
        return;
    TTevProject &project = Project();
    const bool workInDB =
        project.ExistsInDatabase() && project.Generator() == QLatin1String("Tevora");
    FAddReferenceBtn->setEnabled(!project.Empty());
    FRemoveMasterBtn->setEnabled(workInDB && FQuReferences && FDatSrcReferences->currentRow() >= 0);
    FUpdateReferencesBtn->setEnabled(!project.Empty());
}

QString TTevMainForm::FileTypeGetText(const QVariant &Value) const
{
    if (!Value.isValid() || Value.isNull())
        return {};
    switch (Value.toInt()) {
    case 0:
        return QStringLiteral("Master Sequence (*.seq)");
    case 1:
        return QStringLiteral("Work Sequence (*.seq)");
    case 2:
        return QStringLiteral("Sentavo Sequence (*.mseq)");
    default:
        return {};
    }
}

void TTevMainForm::AddReferenceBtnClick()
{}

void TTevMainForm::RemoveMasterBtnClick()
{}

void TTevMainForm::UpdateReferencesBtnClick()
{}

} // namespace tev
