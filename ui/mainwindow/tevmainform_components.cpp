// The main window's regions and their components: the top bar with the tool bar, the tree
// panel, the work area with the details panel and the pages, and the status line.

#include "ui/mainwindow/tevmainform.h"

#include "core/lib/colours.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/controls/vyxpanel.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/mainwindow/dbnavigator.h"
#include "ui/mainwindow/dbtext.h"
#include "ui/mainwindow/ledshape.h"
#include "ui/mainwindow/reportedslot.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tev {

namespace {

// Logo colour of the top bar's picture.
constexpr TColor kLogoColor = 0xF0F0F0;
constexpr TColor kInfoBarColor = 0x1A1713;
constexpr TColor kPageColor = 0x625A4B;
constexpr int kMinWorkspaceWidth = 300;

void SetBackground(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colorFromValue(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The tool bar's pictures are white on the dark bar, and the style's grey for a disabled button
// is nearly as light: a disabled button shows its picture faint instead.
QIcon ToolBarIcon(const char *name)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap normal =
            ImageCollection::pixmap(QString::fromLatin1(name), qRound(32 * ratio), ratio);
        QPixmap faint(normal.size());
        faint.setDevicePixelRatio(normal.devicePixelRatio());
        faint.fill(Qt::transparent);
        QPainter painter(&faint);
        painter.setOpacity(0.3);
        painter.drawPixmap(0, 0, normal);
        painter.end();
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(faint, QIcon::Disabled);
    }
    return icon;
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

template <typename W> W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QBoxLayout *NoMargins(QBoxLayout *layout)
{
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The logo at the right of the top bar, drawn as its word mark.
QPixmap LogoPicture()
{
    QPixmap logo(82, 23);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = dialogFont(FontFace::Tahoma, 15);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(font);
    painter.setPen(colorFromValue(kLogoColor));
    painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("TEVORA"));
    return logo;
}

QToolButton *PageToolButton(QWidget *parent, const char *name, const QString &caption,
                            const QString &hint)
{
    auto *button = Named(new QToolButton(parent), name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setFixedSize(50, 50);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QFont font = button->font();
    font.setPixelSize(20);
    button->setFont(font);
    return button;
}

} // namespace

void TTevMainForm::CreateComponents()
{
    setObjectName(QStringLiteral("TevMainForm"));
    setFont(dialogFont(FontFace::Tahoma, 12));
    resize(1280, 721);

    CreateActions();
    CreateMenus();

    FDatSrcProject = Named(new DataSetModel(this), "DatSrcProject");
    FDatSrcChars = Named(new DataSetModel(this), "DatSrcChars");
    FDatSrcReferences = Named(new DataSetModel(this), "DatSrcReferences");
    FDatSrcSQL = Named(new DataSetModel(this), "DatSrcSQL");

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("PnlClient"));
    QBoxLayout *layout = NoMargins(new QVBoxLayout(central));
    layout->addWidget(CreateTopBar());

    FSplitterTree = Named(new QSplitter(Qt::Horizontal, central), "SplitterTree");
    FSplitterTree->setHandleWidth(5);
    FSplitterTree->setChildrenCollapsible(false);
    FSplitterTree->addWidget(CreateTreePanel());
    FSplitterTree->addWidget(CreateWorkspace());
    FSplitterTree->setStretchFactor(0, 0);
    FSplitterTree->setStretchFactor(1, 1);
    FSplitterTree->setSizes({FTreeWidth, 1280 - FTreeWidth - 5});
    connect(FSplitterTree, &QSplitter::splitterMoved, this,
            [this] { FTreeWidth = FSplitterTree->sizes().value(0, FTreeWidth); });
    layout->addWidget(FSplitterTree, 1);

    layout->addWidget(CreateInfoBar());
    setCentralWidget(central);
}

QWidget *TTevMainForm::CreateTopBar()
{
    FPnlTop = Named(new QFrame(this), "PnlTop");
    FPnlTop->setFixedHeight(50);
    SetBackground(FPnlTop, clVYXCtrlBackground);
    QBoxLayout *layout = NoMargins(new QHBoxLayout(FPnlTop));

    FToolBar = Named(new QToolBar(FPnlTop), "ToolBar");
    FToolBar->setIconSize(QSize(32, 32));
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    FToolBar->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: 0; "
                                           "padding: 0; spacing: 0; }"));
    CreateToolButtons();
    layout->addWidget(FToolBar);
    layout->addStretch(1);

    FImage1 = Named(new QLabel(FPnlTop), "Image1");
    FImage1->setFixedSize(82, 23);
    FImage1->setScaledContents(true);
    FImage1->setPixmap(LogoPicture());
    FImage1->setCursor(Qt::PointingHandCursor);
    layout->addWidget(FImage1, 0, Qt::AlignVCenter);
    layout->addSpacing(12);
    return FPnlTop;
}

void TTevMainForm::CreateToolButtons()
{
    const auto add = [this](const char *name, const QString &hint, const char *image) {
        auto *button = Named(new QToolButton(FToolBar), name);
        button->setFixedSize(50, 50);
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(hint);
        if (image)
            button->setIcon(ToolBarIcon(image));
        FToolBar->addWidget(button);
        return button;
    };
    FToolBtnClose = add("ToolBtnClose", QStringLiteral("Close"), "Large Icons\\CloseX negative");
    connect(FToolBtnClose, &QToolButton::clicked, this, reported([this] { FileExit1Execute(); }));
    FToolBtnNew = add("ToolBtnNew", QStringLiteral("Create New Project"), "New negativ");
    connect(FToolBtnNew, &QToolButton::clicked, this, reported([this] { ToolBtnNewClick(); }));
    FToolBtnSave = add("ToolBtnSave", QStringLiteral("Save Project"), nullptr);
    FFileSave1->setIcon(ToolBarIcon("Large Icons\\Save negative"));
    FToolBtnSave->setDefaultAction(FFileSave1);
    FToolBtnSave->setToolTip(QStringLiteral("Save Project"));
    FToolBtnDelete =
        add("ToolBtnDelete", QStringLiteral("Delete Project"), "Large Icons\\Trash negative");
    connect(FToolBtnDelete, &QToolButton::clicked, this,
            reported([this] { FileDelete1Execute(); }));
    FToolBntExport =
        add("ToolBntExport", QStringLiteral("Send to Sensor"), "Large Icons\\Export negative");
    connect(FToolBntExport, &QToolButton::clicked, this,
            reported([this] { ToolBntExportClick(); }));
    FToolBar->addSeparator()->setObjectName(QStringLiteral("ToolSeparatorAdvanced"));
}

QWidget *TTevMainForm::CreateTreePanel()
{
    FPnlTree = Named(new QFrame(this), "PnlTree");
    FPnlTree->setMinimumWidth(30);
    FPnlTree->installEventFilter(this); // resizing redraws the rows
    QBoxLayout *layout = NoMargins(new QVBoxLayout(FPnlTree));
    FTree = Named(new TvyxDirectoryTreeView(FPnlTree), "Tree");
    layout->addWidget(FTree);
    SetupTree();
    return FPnlTree;
}

QWidget *TTevMainForm::CreateWorkspace()
{
    auto *workspace = Named(new QWidget(this), "PnlWorkspace");
    // A narrow window cuts the pages off at the right instead of squeezing the tree panel.
    workspace->setMinimumWidth(kMinWorkspaceWidth);
    QBoxLayout *layout = NoMargins(new QVBoxLayout(workspace));

    FPnlDetails = Named(new TvyxPanel(workspace), "PnlDetails");
    FPnlDetails->setFixedHeight(50);
    QBoxLayout *details = NoMargins(new QHBoxLayout(FPnlDetails));
    details->setContentsMargins(10, 0, 12, 0);
    details->setSpacing(8);
    FFileSymbol = Named(new QLabel(FPnlDetails), "FileSymbol");
    FFileSymbol->setFixedSize(25, 25);
    FFileSymbol->setCursor(Qt::PointingHandCursor);
    details->addWidget(FFileSymbol);
    // The heading follows the project record, so that a rename shows at once.
    auto *heading = Named(new TDBText(FPnlDetails), "LProjectName");
    heading->SetDataField(QStringLiteral("PROJECTNAME"));
    heading->SetDataSource(FDatSrcProject);
    FLProjectName = heading;
    FLProjectName->setFont(dialogFont(FontFace::Tahoma, 16));
    FLProjectName->setTextFormat(Qt::PlainText);
    SetTextColor(FLProjectName, Qt::white);
    // A long name takes the room there is and never widens the window.
    FLProjectName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    details->addWidget(FLProjectName, 1);
    FLGeneratedBy =
        Named(new QLabel(QStringLiteral("Project generated by"), FPnlDetails), "LGeneratedBy");
    FLGeneratedBy->hide();
    details->addWidget(FLGeneratedBy);
    FDBTextGenerator = Named(new TDBText(FPnlDetails), "DBTextGenerator");
    FDBTextGenerator->SetDataField(QStringLiteral("GENERATOR"));
    FDBTextGenerator->SetDataSource(FDatSrcProject);
    details->addWidget(FDBTextGenerator);
    layout->addWidget(FPnlDetails);

    FPageCtrl = Named(new QTabWidget(workspace), "PageCtrl");
    FPageCtrl->setDocumentMode(true);
    FPageCtrl->setUsesScrollButtons(false);

    FProjectPage = new TTevProjectPage(FPageCtrl);
    FProjectPage->setObjectName(QStringLiteral("TabProjectKelmetra"));
    FCharsPage = new TTevCharsPage(FPageCtrl);
    FCharsPage->setObjectName(QStringLiteral("TabFileChars"));

    FPageCtrl->addTab(FProjectPage, QStringLiteral("Project"));
    FPageCtrl->addTab(FCharsPage, QStringLiteral("Characteristics"));
    FPageCtrl->addTab(CreateReferencesPage(), QStringLiteral("References"));
    FPageCtrl->addTab(CreateFilePage(), QStringLiteral("File"));
    FPageCtrl->addTab(CreateSQLPage(), QStringLiteral("SQL"));
    connect(FPageCtrl, &QTabWidget::currentChanged, this, reported([this] { PageCtrlChange(); }));
    layout->addWidget(FPageCtrl, 1);
    return workspace;
}

QWidget *TTevMainForm::CreateReferencesPage()
{
    FTabReference = Named(new QWidget(FPageCtrl), "TabReference");
    QBoxLayout *layout = NoMargins(new QHBoxLayout(FTabReference));

    FToolbarMasterFiles = Named(new QWidget(FTabReference), "ToolbarMasterFiles");
    FToolbarMasterFiles->setFixedWidth(50);
    QBoxLayout *tools = NoMargins(new QVBoxLayout(FToolbarMasterFiles));
    FAddReferenceBtn = PageToolButton(FToolbarMasterFiles, "AddReferenceBtn", QStringLiteral("+"),
                                      QStringLiteral("Add Master Project"));
    FRemoveMasterBtn = PageToolButton(FToolbarMasterFiles, "RemoveMasterBtn",
                                      QStringLiteral("\u2573"), QStringLiteral("Remove Reference"));
    FUpdateReferencesBtn = PageToolButton(FToolbarMasterFiles, "UpdateReferencesBtn", QString(),
                                          QStringLiteral("Update Reference"));
    FUpdateReferencesBtn->setIcon(
        ImageCollection::icon(QStringLiteral("Large Icons\\Refresh negative")));
    FUpdateReferencesBtn->setIconSize(QSize(32, 32));
    for (QToolButton *button : {FAddReferenceBtn, FRemoveMasterBtn, FUpdateReferencesBtn})
        tools->addWidget(button);
    tools->addStretch(1);
    connect(FAddReferenceBtn, &QToolButton::clicked, this,
            reported([this] { AddReferenceBtnClick(); }));
    connect(FRemoveMasterBtn, &QToolButton::clicked, this,
            reported([this] { RemoveMasterBtnClick(); }));
    connect(FUpdateReferencesBtn, &QToolButton::clicked, this,
            reported([this] { UpdateReferencesBtnClick(); }));
    layout->addWidget(FToolbarMasterFiles);

    FDBGridRefProjects = Named(new TvyxDBGrid(FTabReference), "DBGridRefProjects");
    FDBGridRefProjects->SetOptions(dgTitles | dgColumnResize | dgTitleClick);
    FDBGridRefProjects->SetReadOnly(true);
    FDBGridRefProjects->setSelectionBehavior(QAbstractItemView::SelectRows);
    FDBGridRefProjects->setSelectionMode(QAbstractItemView::SingleSelection);
    SetBackground(FDBGridRefProjects, kPageColor);
    FDBGridRefProjects->SetDataSource(FDatSrcReferences);
    connect(FDatSrcReferences, &DataSetModel::currentRowChanged, this,
            [this] { UpdateReferencesButtons(); });
    layout->addWidget(FDBGridRefProjects, 1);
    return FTabReference;
}

QWidget *TTevMainForm::CreateFilePage()
{
    FTabSheet1 = Named(new QWidget(FPageCtrl), "TabSheet1");
    QBoxLayout *layout = NoMargins(new QVBoxLayout(FTabSheet1));
    FMemoFile = Named(new QPlainTextEdit(FTabSheet1), "MemoFile");
    FMemoFile->setReadOnly(true);
    FMemoFile->setLineWrapMode(QPlainTextEdit::NoWrap);
    FMemoFile->setFrameShape(QFrame::NoFrame);
    FMemoFile->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMemoFile->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMemoFile->setTabStopDistance(8 * FMemoFile->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    layout->addWidget(FMemoFile);
    return FTabSheet1;
}

QWidget *TTevMainForm::CreateSQLPage()
{
    FTabSQL = Named(new QWidget(FPageCtrl), "TabSQL");
    QBoxLayout *layout = NoMargins(new QVBoxLayout(FTabSQL));

    auto *tools = Named(new QWidget(FTabSQL), "PnlSQLTools");
    QBoxLayout *row = NoMargins(new QHBoxLayout(tools));
    row->setSpacing(6);
    FBtnExecSQL = Named(new QToolButton(tools), "BtnExecSQL");
    FBtnExecSQL->setText(QStringLiteral("Execute"));
    FBtnExecSQL->setFixedSize(100, 50);
    connect(FBtnExecSQL, &QToolButton::clicked, this, reported([this] { BtnExecSQLClick(); }));
    row->addWidget(FBtnExecSQL);
    FDBNavigator1 = Named(new TDBNavigator(tools), "DBNavigator1");
    FDBNavigator1->SetDataSource(FDatSrcSQL);
    FDBNavigator1->SetOnRefresh([this] { OpenSQLResult(FSQLText); });
    connect(FDatSrcSQL, &DataSetModel::errorOccurred, this,
            [](const QString &message) { KelShowMessage(message); });
    row->addWidget(FDBNavigator1);
    FComboTables = Named(new QComboBox(tools), "ComboTables");
    FComboTables->addItems({QStringLiteral("CHARACTERISTICS"), QStringLiteral("CONFIGURATION"),
                            QStringLiteral("DB"), QStringLiteral("PROJECTS"),
                            QStringLiteral("REFPROJECTS")});
    FComboTables->setCurrentIndex(-1);
    FComboTables->setMinimumWidth(180);
    connect(FComboTables, &QComboBox::activated, this, reported([this] { ComboTablesSelect(); }));
    row->addWidget(FComboTables);
    FLSQLResult = Named(new QLabel(tools), "LSQLResult");
    row->addWidget(FLSQLResult, 1);
    layout->addWidget(tools);

    FMemoSQL = Named(new QPlainTextEdit(FTabSQL), "MemoSQL");
    FMemoSQL->setFixedHeight(111);
    layout->addWidget(FMemoSQL);

    FGridSQL = Named(new TvyxDBGrid(FTabSQL), "GridSQL");
    FGridSQL->SetDefaultRowHeight(18);
    FGridSQL->SetThumbTracking(true);
    FGridSQL->SetDataSource(FDatSrcSQL);
    layout->addWidget(FGridSQL, 1);
    return FTabSQL;
}

QWidget *TTevMainForm::CreateInfoBar()
{
    FPnlInfo = Named(new QFrame(this), "PnlInfo");
    FPnlInfo->setFixedHeight(25);
    SetBackground(FPnlInfo, kInfoBarColor);
    QBoxLayout *layout = NoMargins(new QHBoxLayout(FPnlInfo));
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(8);
    FLEDDatabase = Named(new TLedShape(FPnlInfo), "LEDDatabase");
    connect(FLEDDatabase, &TLedShape::mouseUp, this, reported([this] { LEDDatabaseMouseUp(); }));
    layout->addWidget(FLEDDatabase);
    FLDatabaseStatus =
        Named(new QLabel(QStringLiteral("Database: Not connected"), FPnlInfo), "LDatabaseStatus");
    // A long path or reason is cut at the window's edge (its tool tip has it whole); it never
    // widens the window.
    FLDatabaseStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(FLDatabaseStatus, 1);
    return FPnlInfo;
}

} // namespace tev
