// The image point editor's editing: the point tool, the group picture, the change log and the
// window's show, resize and close.

#include "ui/previewdlg/tevpreviewdlg.h"

#include "core/app/tevapp.h"
#include "core/lib/fieldroutines.h"
#include "core/project/changestate.h"
#include "core/project/tevproject.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/modalresult.h"
#include "ui/kit/speedbutton.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/dependfiles.h"
#include "ui/pages/picturebox.h"
#include "ui/pages/picturefit.h"
#include "ui/pages/pictureformats.h"
#include "ui/pickers/pickers.h"

#include <QCloseEvent>
#include <QCursor>

namespace tev {

namespace {

// Runs at the end of a scope, also when it ends by an exception; a failure here cannot replace
// the error that ended the scope.
template <typename F> class Finally
{
public:
    explicit Finally(F f)
        : m_f(std::move(f))
    {}
    ~Finally()
    {
        try {
            m_f();
        } catch (...) {
        }
    }
    Finally(const Finally &) = delete;
    Finally &operator=(const Finally &) = delete;

private:
    F m_f;
};

// Sets the project's change state without the write to the database that a post of the project
// record makes: the points reach the database with the project's save, and until then "Undo all
// Changes" can still take them back.
void SetStateQuietly(TTevProject &Project, quint32 State)
{
    if (Project.ChangeState() == State || Project.IsUpdating())
        return;
    Project.BeginUpdate();
    Finally endUpdate([&Project] { Project.EndUpdate(); });
    Project.SetChangeState(State);
}

} // namespace

void TTevPreviewDlg::Execute()
{
    show();
    raise();
    StartLog();
}

QString TTevPreviewDlg::LogOwner() const
{
    if (!FApp || FApp->Project().Empty())
        return {};
    return FApp->Project().FileName();
}

void TTevPreviewDlg::StartLog()
{
    if (MemDataSet *ds = ClientDataSet()) {
        ds->setLogChanges(true);
        FStateAtLogStart = FApp ? FApp->Project().ChangeState() : 0;
        FLogOwner = LogOwner();
    }
}

void TTevPreviewDlg::MergeLog()
{
    MemDataSet *ds = ClientDataSet();
    if (!ds)
        return;
    PostIfEditing(*ds);
    ds->mergeChangeLog();
    FStateAtLogStart = FApp ? FApp->Project().ChangeState() : 0;
    FLogOwner = LogOwner();
}

void TTevPreviewDlg::CheckLogOwner()
{
    MemDataSet *ds = ClientDataSet();
    if (!ds || !ds->logChanges() || ds->editing() || LogOwner() == FLogOwner)
        return;
    MergeLog();
}

void TTevPreviewDlg::CancelLog()
{
    MemDataSet *ds = ClientDataSet();
    if (!ds)
        return;
    const bool changed = ds->changeCount() > 0;
    ds->cancelUpdates();
    if (changed && FApp)
        SetStateQuietly(FApp->Project(), FStateAtLogStart);
}

bool TTevPreviewDlg::ResolveChangeLog()
{
    MemDataSet *ds = ClientDataSet();
    if (!ds || !ds->logChanges() || ds->changeCount() == 0)
        return true;
    switch (KelMessageDlg(QStringLiteral("Save changes?"), buttonSet({mbYes, mbNo}), QString())) {
    case mrYes:
    case mrOk: // Enter
        MergeLog();
        return true;
    case mrNo:
        CancelLog();
        return true;
    default:
        return false;
    }
}

void TTevPreviewDlg::CommitChangeLog()
{
    MemDataSet *ds = ClientDataSet();
    if (ds && ds->logChanges())
        MergeLog();
}

void TTevPreviewDlg::SaveBtnClick()
{
    MemDataSet *ds = ClientDataSet();
    if (ds && ds->changeCount() > 0)
        MergeLog();
}

void TTevPreviewDlg::UndoBtnClick()
{
    CancelLog();
}

void TTevPreviewDlg::BulletBtnClick()
{
    FBulletMode = !FBulletMode;
    BulletBtn->setChecked(FBulletMode);
    if (FBulletMode) {
        CharImage->setCursor(Qt::CrossCursor);
        CharImage->raise();
        Bullet->raise();
    } else {
        CharImage->unsetCursor();
    }
}

void TTevPreviewDlg::CharImageClick()
{
    PlacePointAt(PnlCharImage->mapFromGlobal(QCursor::pos()));
}

void TTevPreviewDlg::PlacePointAt(QPoint Pos)
{
    DataSet *ds = FDataSource ? FDataSource->dataSet() : nullptr;
    if (!FBulletMode || !CharImage->HasPicture() || !ds || !ds->active() || ds->isEmpty())
        return;
    const std::optional<QPoint> point =
        PicturePoint(CharImage->Picture().size(), CharImage->geometry(), Pos);
    if (!point)
        return;
    PostIfEditing(*ds);
    Field &charId = ds->fieldByName(QStringLiteral("CHARID"));
    Field &feature = ds->fieldByName(QStringLiteral("FEATURE"));
    Field &imageX = ds->fieldByName(QStringLiteral("IMAGEX"));
    Field &imageY = ds->fieldByName(QStringLiteral("IMAGEY"));
    const int id = charId.asInteger();
    const QString pointName = feature.asString();
    bool changed = false;
    {
        const DisableControlsGuard quiet(*ds);
        // Back on the clicked characteristic before the controls hear of the change, also after
        // an error.
        Finally back([&] {
            if (auto *mem = dynamic_cast<MemDataSet *>(ds)) {
                mem->locate(QStringLiteral("CHARID"), {id});
                return;
            }
            for (ds->first(); !ds->eof(); ds->next())
                if (charId.asInteger() == id)
                    return;
        });
        for (ds->first(); !ds->eof(); ds->next()) {
            if (feature.asString() != pointName)
                continue;
            ds->edit();
            imageX.setAsInteger(point->x());
            imageY.setAsInteger(point->y());
            ds->post();
            changed = true;
        }
    }
    if (changed && FApp) {
        TTevProject &project = FApp->Project();
        SetStateQuietly(project, project.ChangeState() | ChangeStateBits::CharacteristicsChanged);
    }
}

void TTevPreviewDlg::OpenBtnClick()
{
    if (!FApp)
        return;
    TTevProject &project = FApp->Project();
    MemDataSet &chars = project.DataSetChars();
    const auto current = [&chars](const char *Name) {
        return chars.active() && !chars.isEmpty()
                   ? chars.fieldByName(QLatin1String(Name)).asString()
                   : QString();
    };
    const QString image = current("IMAGE");
    const QString chosen = PickOpenFile(
        this, PictureDialogTitle(),
        image.isEmpty() ? project.Directory() : project.Directory() + image, PictureDialogFilter());
    if (chosen.isEmpty())
        return;
    // Refused files are reported as the characteristics page reports them.
    if (!project.ValidDependsFileName(chosen)) {
        KelShowMessage(InvalidFileNameMessage());
        return;
    }
    const TProjectFile file =
        TakeIntoProjectFolder(chosen, project.ProjectDir(), project.RootDir());
    if (!file.Ok) {
        KelShowMessage(file.Message);
        return;
    }
    if (!ResolveChangeLog())
        return;
    const quint32 result =
        project.ChangeGroupImage(current("GROUPNAME"), project.ProjectDir() + file.BareName);
    CommitChangeLog();
    if (result == 2)
        KelShowMessage(InvalidFileNameMessage());
}

bool TTevPreviewDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (CharImage && watched == CharImage && event->type() == QEvent::Resize)
        FormResize();
    return QWidget::eventFilter(watched, event);
}

void TTevPreviewDlg::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TTevPreviewDlg::FormShow()
{
    if (FSizeInitialized || !FOwnerForm)
        return;
    // Outer sizes, as the owner's: as tall as the owner, at its right edge.
    const QRect owner = FOwnerForm->frameGeometry();
    const QSize frame = frameGeometry().size() - size();
    const int height = owner.height();
    const int width = height + PnlChars->width() - FPnlTools->height();
    resize(width - frame.width(), height - frame.height());
    move(owner.left() + owner.width() - width, owner.top());
    FSizeInitialized = true;
}

void TTevPreviewDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TTevPreviewDlg::FormResize()
{
    if (FApp && FApp->Project().IsUpdating())
        return;
    UpdateCharPointPosition();
}

void TTevPreviewDlg::closeEvent(QCloseEvent *event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TTevPreviewDlg::FormClose()
{
    MemDataSet *ds = ClientDataSet();
    if (ds && ds->changeCount() > 0) {
        switch (
            KelMessageDlg(QStringLiteral("Save changes?"), buttonSet({mbYes, mbNo}), QString())) {
        case mrYes:
        case mrOk: // Enter
            MergeLog();
            break;
        case mrNo:
            CancelLog();
            break;
        default:
            // Escape or the box's close button: the editor stays open with its log.
            return false;
        }
    }
    if (ds)
        ds->setLogChanges(false);
    return true;
}

} // namespace tev
