#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/db/tevrowset.h"
#include "core/lib/colours.h"
#include "core/project/changestate.h"
#include "core/project/tevproject.h"
#include "platform/crash/exceptionhandlers.h"
#include "scripting/host/tvyxscripter.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/controls/vyxpanel.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/colors.h"
#include "ui/kit/keypreview.h"
#include "ui/mainwindow/dbtext.h"
#include "ui/mainwindow/ledshape.h"
#include "ui/mainwindow/tevtreedelegate.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

namespace tev {

namespace {

constexpr char kGeneratorTevora[] = "Tevora";

} // namespace

TTevMainForm::TTevMainForm(const QString &ExeName, QWidget *parent)
    : QMainWindow(parent)
    , FExeName(ExeName)
{
    CreateComponents();
    new KeyPreviewFilter(this, [this](QKeyEvent &event) { FormKeyDown(event); });
    FormCreate();
}

TTevMainForm::~TTevMainForm()
{
    FormDestroy();
}

TTevProject &TTevMainForm::Project() const
{
    return FApp->Project();
}

void TTevMainForm::FormCreate()
{
    if (FCreated)
        return;
    FCreated = true;
    FPageCtrl->setCurrentIndex(0);
    FApp = std::make_unique<TTevApp>(nullptr, FExeName);
    connect(&FApp->Data(), &TTevDataModule::AfterConnect, this,
            &TTevMainForm::UpdateDatabaseStatus);
    connect(&FApp->Data(), &TTevDataModule::AfterDisconnect, this,
            &TTevMainForm::UpdateDatabaseStatus);
    connect(&Project(), &TTevProject::OnChange, this, &TTevMainForm::UpdateView);
    connect(&Project(), &TTevProject::OnStateChanged, this, &TTevMainForm::UpdateProjectState);
    connect(&Project(), &TTevProject::OnUnknownFile, this, &TTevMainForm::ProjectUnknownFile);
    connect(&Project(), &TTevProject::OnStaleWrite, this, &TTevMainForm::ProjectStaleWrite);
    BindDataSources();
    LoadLayout();
    UpdateTreeRoot();
    FCharsPage->ClearRecentCharImage();
    // The image point editor stays above the window and goes with it.
    FPreviewDlg = new TTevPreviewDlg(this);
    FPreviewDlg->SetApp(FApp.get());
    FPreviewDlg->SetDataSource(FDatSrcChars);
    FProjectPage->SetApp(FApp.get());
    FProjectPage->SetDataSources(FDatSrcProject, FDatSrcChars);
    FProjectPage->SetPreviewDlg(FPreviewDlg);
    FCharsPage->SetApp(FApp.get());
    FCharsPage->SetDataSources(FDatSrcProject, FDatSrcChars);
    FCharsPage->SetPreviewDlg(FPreviewDlg);
    FGridSQL->horizontalHeader()->setDefaultSectionSize(100);
    InitScripter();
    UpdateServiceTabs();
    UpdateView();
    TranslateForm();
    FUpdatingTree = false;
    // An error of the script's "FormCreate" is reported; the window goes on.
    try {
        CallScriptRoutine(QStringLiteral("FormCreate"), {ObjectToVariant(this)});
    } catch (...) {
        HandleCurrentException();
    }
}

void TTevMainForm::FormDestroy()
{
    if (FDestroyed || !FApp)
        return;
    FDestroyed = true;
    FUpdatingTree = true;
    // A failing script routine or layout store is reported; neither keeps the settings and the
    // connection file from being written.
    try {
        CallScriptRoutine(QStringLiteral("FormDestroy"), {ObjectToVariant(this)});
    } catch (...) {
        HandleCurrentException();
    }
    try {
        SaveLayout();
    } catch (...) {
        HandleCurrentException();
    }
    CloseSQLResult();
    FQuReferences.reset();
    FDatSrcReferences->setDataSet(nullptr);
    UnbindDataSources();
    disconnect(&Project(), nullptr, this, nullptr);
    try {
        FApp->WriteSettings();
    } catch (...) {
        HandleCurrentException();
    }
    FApp.reset();
}

void TTevMainForm::closeEvent(QCloseEvent *event)
{
    if (FApp && !FDestroyed && !ResolveChanges()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TTevMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        ApplyTreeWidth();
    }
}

bool TTevMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FPnlTree && event->type() == QEvent::Resize)
        PnlTreeResize();
    if (FTree && (watched == FTree || watched == FTree->viewport()) && TreeEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TTevMainForm::FormKeyDown(QKeyEvent &Event)
{
    const Qt::KeyboardModifiers mods = Event.modifiers();
    if (Event.key() == Qt::Key_F12 && mods.testFlag(Qt::ControlModifier) &&
        mods.testFlag(Qt::ShiftModifier))
        ToggleServiceMode();
}

void TTevMainForm::BindDataSources()
{
    FDatSrcProject->setDataSet(&Project().DataSetProject());
    FDatSrcChars->setDataSet(&Project().DataSetChars());
}

void TTevMainForm::UnbindDataSources()
{
    FDatSrcProject->setDataSet(nullptr);
    FDatSrcChars->setDataSet(nullptr);
}

void TTevMainForm::UpdateTreeRoot()
{
    const QString root = FApp->Data().Connected() ? FApp->Settings().SEQDir() : QString();
    // A folder that cannot become the current folder is reported; the tree stays empty.
    try {
        FTree->setRoot(root);
    } catch (...) {
        HandleCurrentException();
        FTree->setRoot(QString());
    }
    FTree->viewport()->update();
}

void TTevMainForm::TranslateForm()
{
    setWindowTitle(QStringLiteral("  Tevora"));
    UpdateDatabaseStatus();
}

void TTevMainForm::UpdateDatabaseStatus()
{
    TTevConnection *connection = FApp->Data().Database();
    const QString database = connection ? connection->param(QStringLiteral("Database")) : QString();
    const bool connected = FApp->Data().Connected();
    QString state = QStringLiteral("connected");
    if (!connected && connection && connection->lost()) {
        state = QStringLiteral("connection lost");
    } else if (!connected) {
        state = QStringLiteral("not connected");
        const QString reason = connection ? connection->openFailure().simplified() : QString();
        if (!reason.isEmpty())
            state += QStringLiteral(": ") + reason;
    }
    FLDatabaseStatus->setText(QStringLiteral("Database: %1 (%2)").arg(database, state));
    FLDatabaseStatus->setToolTip(FLDatabaseStatus->text());
    FLEDDatabase->setBrushColor(colorFromValue(connected ? kColorSuccessGreen : clVYXCorpRed));
}

void TTevMainForm::UpdateView()
{
    TTevProject &project = Project();
    FLProjectName->setText(project.ProjectName());
    if (project.Empty())
        FProjectPage->SetProjectState(QString(), palette().color(QPalette::WindowText));
    UpdateFileSymbol();
    const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
    for (QLabel *label : {FLGeneratedBy, static_cast<QLabel *>(FDBTextGenerator)}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, grey);
        label->setPalette(p);
    }
    FLGeneratedBy->setVisible(!project.Empty());
    UpdateEnabledStates();
    FProjectPage->UpdateProjectPage();
    FProjectPage->UpdateCoverImage();
    FCharsPage->UpdateCharImage();
    UpdateReferencesQuery();
    FCharsPage->FillFilterLists();
    UpdateFileText();
}

void TTevMainForm::UpdateFileSymbol()
{
    TTevProject &project = Project();
    QPixmap symbol(FFileSymbol->size());
    symbol.fill(Qt::transparent);
    if (!project.Empty()) {
        // The tree's pictures: the master symbol for ".seq", the gauge symbol for ".mseq".
        const char *name = "Tree Icons\\Tree Line negative";
        if (project.FileType() == TTevFileType::pftSEQ)
            name = "Tree Icons\\Ombrix";
        else if (project.FileType() == TTevFileType::pftMSEQ)
            name = "Tree Icons\\Kel dark_red";
        QPainter painter(&symbol);
        ImageCollection::icon(QString::fromLatin1(name)).paint(&painter, QRect(1, 1, 24, 24));
    }
    FFileSymbol->setPixmap(symbol);
    FFileSymbol->setToolTip(project.FileContextName());
}

void TTevMainForm::UpdateProjectState()
{
    const quint32 state = Project().ChangeState();
    FProjectPage->SetProjectState(ChangeStateSummary(state),
                                  colorFromValue(state == 0 ? kColorSuccessGreen : clVYXOrange));
}

void TTevMainForm::ProjectUnknownFile(const QString &, const QString &, TTevFileType, bool *)
{
    // A work sequence without database row is shown, never imported.
}

void TTevMainForm::UpdateEnabledStates()
{
    TTevProject &project = Project();
    const bool inDB = project.ExistsInDatabase();
    FToolBtnNew->setEnabled(true);
    FFileSave1->setEnabled(inDB);
    const bool work = project.Generator() == QLatin1String(kGeneratorTevora);
    FToolBtnDelete->setEnabled(work);
    FFileDelete1->setEnabled(work);
    FToolBntExport->setEnabled(!project.Empty());
    FToolbarMasterFiles->setEnabled(true);
    FCharsPage->SetEditingEnabled(inDB);
    if (FPreviewDlg)
        FPreviewDlg->PnlTools()->setEnabled(inDB);
    UpdateReferencesButtons();
}

void TTevMainForm::ToggleServiceMode()
{
    FApp->SetServiceMode(!FApp->ServiceMode());
    UpdateServiceTabs();
}

void TTevMainForm::UpdateServiceTabs()
{
    const int sql = FPageCtrl->indexOf(FTabSQL);
    const bool visible = FApp->ServiceMode();
    FPageCtrl->setTabVisible(sql, visible);
    if (!visible && FPageCtrl->currentIndex() == sql) {
        for (int i = sql - 1; i >= 0; --i)
            if (FPageCtrl->isTabVisible(i)) {
                FPageCtrl->setCurrentIndex(i);
                break;
            }
    }
}

void TTevMainForm::LEDDatabaseMouseUp()
{
    TTevConnection *connection = FApp->Data().Database();
    if (!connection)
        return;
    // Only the value of the password line is masked: the same text elsewhere (a user name
    // equal to the password) stays readable.
    QStringList lines;
    const TStringList &params = connection->params();
    for (int i = 0; i < params.Count(); ++i) {
        const QString name = params.Names(i);
        QString value = params.ValueFromIndex(i);
        if (name.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 && !value.isEmpty())
            value = QString(5, QChar(0x2022));
        lines << (name.isEmpty() ? params.Strings(i) : name + QLatin1Char('=') + value);
    }
    KelShowMessage(lines.join(QLatin1Char('\n')));
}

void TTevMainForm::PageCtrlChange()
{
    if (FPageCtrl->currentIndex() == 0 && QApplication::focusWidget() &&
        isAncestorOf(QApplication::focusWidget()))
        QApplication::focusWidget()->clearFocus();
}

void TTevMainForm::FileExit1Execute()
{
    close();
}

void TTevMainForm::MIFileExitClick()
{
    close();
}

void TTevMainForm::UpdateFileText()
{
    QString text = Project().FileText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    FMemoFile->setPlainText(text);
}

void TTevMainForm::RemoveClientBtnClick()
{
    KelConfirm(QStringLiteral("Remove entry?"));
}

void TTevMainForm::DBTextModCharCountClick()
{
    FPageCtrl->setCurrentWidget(FCharsPage);
}

void TTevMainForm::DeleteClientBtnClick()
{}

void TTevMainForm::DBTextStateClick()
{}

void TTevMainForm::ComboFileContextChange()
{}

} // namespace tev
