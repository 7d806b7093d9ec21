#include "ui/pages/tevcharspage.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/speedbutton.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/ownerdrawdelegate.h"
#include "ui/pages/panelsplitter.h"
#include "ui/pages/picturebox.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tev {

namespace {

constexpr TColor kGridColor = 0x625A4B;
constexpr TColor kGridFixedColor = 0x3B352D;
constexpr int kGroupToolSize = 30;
constexpr int kToolBarWidth = 30;
constexpr int kSplitterWidth = 5;
constexpr int kCharImageHeight = 200;
constexpr int kRefFileFilterHeight = 200;

SpeedButton *MakeToolButton(const QString &Name, const QString &Caption, const QString &Hint,
                            QWidget *parent)
{
    auto *button = new SpeedButton(Caption, parent);
    button->setObjectName(Name);
    button->setToolTip(Hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFixedSize(kGroupToolSize, kGroupToolSize);
    // The arrow captions are small modifier letters: a large face keeps them readable.
    button->setFont(dialogFont(FontFace::Tahoma, 20));
    return button;
}

QListWidget *MakeFilterBox(const QString &Name, QWidget *parent)
{
    auto *box = new QListWidget(parent);
    box->setObjectName(Name);
    box->setUniformItemSizes(true);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

} // namespace

TTevCharsPage::TTevCharsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabFileChars"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Filters and group tools.
    PnlCharFilter = new QWidget(this);
    PnlCharFilter->setObjectName(QStringLiteral("PnlCharFilter"));
    auto *filterLayout = new QVBoxLayout(PnlCharFilter);
    filterLayout->setContentsMargins(0, 0, 0, 0);
    filterLayout->setSpacing(0);
    RefFileFilterBox = MakeFilterBox(QStringLiteral("RefFileFilterBox"), PnlCharFilter);
    RefFileFilterBox->setFixedHeight(kRefFileFilterHeight);
    filterLayout->addWidget(RefFileFilterBox);
    PnlCharGroups = new QWidget(PnlCharFilter);
    PnlCharGroups->setObjectName(QStringLiteral("PnlCharGroups"));
    auto *groupsLayout = new QHBoxLayout(PnlCharGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->setSpacing(0);
    PnlGroupTools = new QWidget(PnlCharGroups);
    PnlGroupTools->setObjectName(QStringLiteral("PnlGroupTools"));
    PnlGroupTools->setFixedWidth(kGroupToolSize);
    auto *toolsLayout = new QVBoxLayout(PnlGroupTools);
    toolsLayout->setContentsMargins(0, 0, 0, 0);
    toolsLayout->setSpacing(0);
    BtnGroupImage = MakeToolButton(QStringLiteral("BtnGroupImage"), QStringLiteral("\u25A3"),
                                   QStringLiteral("Change Image"), PnlGroupTools);
    BtnGroupUp = MakeToolButton(QStringLiteral("BtnGroupUp"), QStringLiteral("\u02C4"),
                                QStringLiteral("Move Group up"), PnlGroupTools);
    BtnGroupDown = MakeToolButton(QStringLiteral("BtnGroupDown"), QStringLiteral("\u02C5"),
                                  QStringLiteral("Move Group down"), PnlGroupTools);
    BtnRenameGroup = MakeToolButton(QStringLiteral("BtnRenameGroup"), QStringLiteral("\u270E"),
                                    QStringLiteral("Rename Group"), PnlGroupTools);
    for (SpeedButton *button : {BtnGroupImage, BtnGroupUp, BtnGroupDown, BtnRenameGroup})
        toolsLayout->addWidget(button);
    toolsLayout->addStretch();
    groupsLayout->addWidget(PnlGroupTools);
    GroupFilterBox = MakeFilterBox(QStringLiteral("GroupFilterBox"), PnlCharGroups);
    GroupFilterBox->installEventFilter(this);
    groupsLayout->addWidget(GroupFilterBox);
    filterLayout->addWidget(PnlCharGroups, 1);
    PnlCharFilter->setFixedWidth(kDefaultCharFilterWidth);
    layout->addWidget(PnlCharFilter);
    SplitterCharFilter =
        new TPanelSplitter(PnlCharFilter, Qt::AlignLeft, kSplitterWidth, kMinCharFilterWidth, this);
    SplitterCharFilter->setObjectName(QStringLiteral("SplitterCharFilter"));
    layout->addWidget(SplitterCharFilter);

    for (QListWidget *box : {RefFileFilterBox, GroupFilterBox}) {
        box->setItemDelegate(new TOwnerDrawDelegate(
            [this, box](QPainter &Canvas, const QStyleOptionViewItem &Option,
                        const QModelIndex &Index) {
                FilterBoxDrawItem(box, Canvas, Index.row(), Option.rect,
                                  Option.state.testFlag(QStyle::State_Selected));
            },
            kFilterItemHeight, box));
        // Selecting by mouse or by the arrow keys filters, as a list box's click does.
        connect(box, &QListWidget::currentRowChanged, this, &TTevCharsPage::FilterBoxClick);
    }

    // Move buttons.
    ToolBarFileChars = new QWidget(this);
    ToolBarFileChars->setObjectName(QStringLiteral("ToolBarFileChars"));
    ToolBarFileChars->setFixedWidth(kToolBarWidth);
    auto *barLayout = new QVBoxLayout(ToolBarFileChars);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);
    BtnEnableChar = MakeToolButton(QStringLiteral("BtnEnableChar"), QStringLiteral("\u2713"),
                                   QStringLiteral("Enable Characteristics"), ToolBarFileChars);
    BtnDisableChar = MakeToolButton(QStringLiteral("BtnDisableChar"), QStringLiteral("\u2713"),
                                    QStringLiteral("Disable Characteristic"), ToolBarFileChars);
    BtnCharUp = MakeToolButton(QStringLiteral("BtnCharUp"), QStringLiteral("\u02C4"),
                               QStringLiteral("Move up"), ToolBarFileChars);
    BtnCharDown = MakeToolButton(QStringLiteral("BtnCharDown"), QStringLiteral("\u02C5"),
                                 QStringLiteral("Move down"), ToolBarFileChars);
    for (SpeedButton *button : {BtnEnableChar, BtnDisableChar, BtnCharUp, BtnCharDown})
        barLayout->addWidget(button);
    barLayout->addStretch();
    BtnEnableChar->hide();
    BtnDisableChar->hide();
    layout->addWidget(ToolBarFileChars);

    // The grid.
    FGridChars = new TvyxDBGrid(this);
    FGridChars->setObjectName(QStringLiteral("GridChars"));
    SetupGridColumns();
    layout->addWidget(FGridChars, 1);

    // Details: picture with its point, parameters.
    PnlCharDetails = new TCaptionPanel(this);
    PnlCharDetails->setObjectName(QStringLiteral("PnlCharDetails"));
    PnlCharDetails->setFixedWidth(kDefaultCharDetailsWidth);
    PnlCharDetails->installEventFilter(this);
    auto *detailsLayout = new QVBoxLayout(PnlCharDetails);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    detailsLayout->setSpacing(0);
    PnlCharImage = new TCaptionPanel(PnlCharDetails);
    PnlCharImage->setObjectName(QStringLiteral("PnlCharImage"));
    PnlCharImage->SetColor(colorFromValue(kGridColor));
    PnlCharImage->setFixedHeight(kCharImageHeight);
    auto *imageLayout = new QVBoxLayout(PnlCharImage);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    CharImage = new TPictureBox(PnlCharImage);
    CharImage->setObjectName(QStringLiteral("CharImage"));
    CharImage->setCursor(Qt::PointingHandCursor);
    CharImage->installEventFilter(this);
    imageLayout->addWidget(CharImage);
    Bullet = new TBulletShape(PnlCharImage);
    Bullet->setObjectName(QStringLiteral("Bullet"));
    detailsLayout->addWidget(PnlCharImage);

    PnlCharParams = new QWidget(PnlCharDetails);
    PnlCharParams->setObjectName(QStringLiteral("PnlCharParams"));
    auto *paramsLayout = new QHBoxLayout(PnlCharParams);
    paramsLayout->setContentsMargins(5, 2, 2, 2);
    paramsLayout->addWidget(new QLabel(QStringLiteral("Details"), PnlCharParams));
    paramsLayout->addStretch();
    ExpandCharDetailsBtn =
        MakeToolButton(QStringLiteral("ExpandCharDetailsBtn"), QStringLiteral("\u02C5"),
                       QStringLiteral("Expand"), PnlCharParams);
    CollapseCharDetailsBtn =
        MakeToolButton(QStringLiteral("CollapseCharDetailsBtn"), QStringLiteral("\u02C4"),
                       QStringLiteral("Collapse"), PnlCharParams);
    paramsLayout->addWidget(ExpandCharDetailsBtn);
    paramsLayout->addWidget(CollapseCharDetailsBtn);
    CollapseCharDetailsBtn->hide();
    detailsLayout->addWidget(PnlCharParams);

    CharParamsEditor = new QTableWidget(0, 2, PnlCharDetails);
    CharParamsEditor->setObjectName(QStringLiteral("CharParamsEditor"));
    CharParamsEditor->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Value")});
    CharParamsEditor->setColumnWidth(0, 100);
    CharParamsEditor->setColumnWidth(1, 146);
    CharParamsEditor->horizontalHeader()->setStretchLastSection(true);
    CharParamsEditor->verticalHeader()->hide();
    CharParamsEditor->verticalHeader()->setDefaultSectionSize(20);
    CharParamsEditor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CharParamsEditor->setSelectionBehavior(QAbstractItemView::SelectRows);
    CharParamsEditor->hide();
    detailsLayout->addWidget(CharParamsEditor, 1);
    detailsLayout->addStretch(0);

    SplitterCharDetails = new TPanelSplitter(PnlCharDetails, Qt::AlignRight, kSplitterWidth,
                                             kMinCharFilterWidth, this);
    SplitterCharDetails->setObjectName(QStringLiteral("SplitterCharDetails"));
    layout->addWidget(SplitterCharDetails);
    layout->addWidget(PnlCharDetails);

    connect(BtnGroupImage, &QToolButton::clicked, this, &TTevCharsPage::BtnGroupImageClick);
    connect(BtnGroupUp, &QToolButton::clicked, this, &TTevCharsPage::BtnGroupUpClick);
    connect(BtnGroupDown, &QToolButton::clicked, this, &TTevCharsPage::BtnGroupDownClick);
    connect(BtnRenameGroup, &QToolButton::clicked, this, &TTevCharsPage::BtnRenameGroupClick);
    connect(BtnCharUp, &QToolButton::clicked, this, &TTevCharsPage::BtnCharUpClick);
    connect(BtnCharDown, &QToolButton::clicked, this, &TTevCharsPage::BtnCharDownClick);
    connect(BtnDisableChar, &QToolButton::clicked, this, &TTevCharsPage::BtnDisableCharClick);
    connect(CharImage, &TPictureBox::Clicked, this, &TTevCharsPage::CharImageClick);
    connect(ExpandCharDetailsBtn, &QToolButton::clicked, this,
            &TTevCharsPage::ExpandCharDetailsBtnClick);
    connect(CollapseCharDetailsBtn, &QToolButton::clicked, this,
            &TTevCharsPage::CollapseCharDetailsBtnClick);

    SetEditingEnabled(false);
}

TTevCharsPage::~TTevCharsPage() = default;

void TTevCharsPage::SetupGridColumns()
{
    TvyxDBGrid &grid = *FGridChars;
    grid.SetOptions(dgTitles | dgColumnResize | dgTitleClick);
    grid.SetReadOnly(true);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid.SetDefaultRowHeight(kGridRowHeight);
    grid.SetThumbTracking(true);
    grid.setShowGrid(true);
    grid.setFont(dialogFont(FontFace::Tahoma, 13));
    QPalette palette = grid.palette();
    palette.setColor(QPalette::Base, colorFromValue(kGridColor));
    palette.setColor(QPalette::Window, colorFromValue(kGridColor));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, colorFromValue(kGridFixedColor));
    palette.setColor(QPalette::ButtonText, Qt::white);
    grid.setPalette(palette);
    grid.horizontalHeader()->setPalette(palette);

    struct ColumnDef
    {
        const char *field;
        const char *title;
        int width;
    };
    const ColumnDef columns[] = {
        {"CHARID", "ID", 35}, {"GROUPNAME", "", 150},      {"FEATURE", "POINTNAME", 100},
        {"LABEL", "", 120},   {"CHARTYPE", "FEATURE", 75}, {"STATE", "", 100},
        {"", "Specs", 70},    {"ACTIVE", "", 50},
    };
    TDBGridColumns &cols = *grid.Columns();
    cols.BeginUpdate();
    cols.Clear();
    for (const ColumnDef &def : columns) {
        TColumn *column = cols.Add();
        column->SetFieldName(QLatin1String(def.field));
        column->SetTitle(QLatin1String(def.title));
        column->SetWidth(def.width);
    }
    cols.EndUpdate();

    auto *cells = new TOwnerDrawDelegate(
        [this](QPainter &Canvas, const QStyleOptionViewItem &Option, const QModelIndex &Index) {
            const bool selected = Option.state.testFlag(QStyle::State_Selected) ||
                                  Index.row() == FGridChars->currentIndex().row();
            GridDrawColumnCell(Canvas, Option.rect, Index.row(),
                               FGridChars->Columns()->Items(Index.column()), selected);
        },
        0, &grid);
    cells->SetTipHandler([this](const QModelIndex &Index, const QRect &Rect) {
        return GridCellTip(Index.row(), FGridChars->Columns()->Items(Index.column()), Rect);
    });
    grid.setItemDelegate(cells);
    grid.SetOnTopLeftChanged([this](QObject *) { GridCharsTopLeftChanged(); });
    grid.installEventFilter(this);
    grid.viewport()->installEventFilter(this);
}

void TTevCharsPage::SetApp(TTevApp *App)
{
    FApp = App;
}

void TTevCharsPage::SetDataSources(DataSetModel *, DataSetModel *DatSrcChars)
{
    if (FDatSrcChars)
        disconnect(FDatSrcChars, nullptr, this, nullptr);
    FDatSrcChars = DatSrcChars;
    FGridChars->SetDataSource(DatSrcChars);
    if (DatSrcChars) {
        connect(DatSrcChars, &QAbstractItemModel::modelReset, this,
                &TTevCharsPage::DatSrcCharsDataChange);
        connect(DatSrcChars, &QAbstractItemModel::dataChanged, this,
                &TTevCharsPage::DatSrcCharsDataChange);
        connect(DatSrcChars, &DataSetModel::currentRowChanged, this,
                &TTevCharsPage::DatSrcCharsDataChange);
    }
}

void TTevCharsPage::SetPreviewDlg(TTevPreviewDlg *PreviewDlg)
{
    FPreviewDlg = PreviewDlg;
}

TTevProject *TTevCharsPage::Project() const
{
    return FApp ? &FApp->Project() : nullptr;
}

bool TTevCharsPage::InDatabase() const
{
    return Project() && Project()->ExistsInDatabase();
}

bool TTevCharsPage::Updating() const
{
    return Project() && Project()->IsUpdating();
}

QString TTevCharsPage::CharField(const QString &FieldName) const
{
    DataSet *ds = FDatSrcChars ? FDatSrcChars->dataSet() : nullptr;
    if (!ds || !ds->active() || ds->isEmpty())
        return {};
    const Field *field = ds->findField(FieldName);
    return field ? field->asString() : QString();
}

void TTevCharsPage::SetEditingEnabled(bool InDB)
{
    FEditingEnabled = InDB;
    ToolBarFileChars->setEnabled(InDB);
    FGridChars->SetReadOnly(!InDB);
    FGridChars->SetOptions(InDB ? FGridChars->Options() | dgEditing
                                : FGridChars->Options() & ~TDBGridOptions(dgEditing));
    PnlGroupTools->setEnabled(InDB);
    UpdateGroupButtons();
}

int TTevCharsPage::CharFilterWidth() const
{
    return SplitterCharFilter->PanelWidth();
}

void TTevCharsPage::SetCharFilterWidth(int Width)
{
    SplitterCharFilter->SetPanelWidth(Width);
}

int TTevCharsPage::CharDetailsWidth() const
{
    return SplitterCharDetails->PanelWidth();
}

void TTevCharsPage::SetCharDetailsWidth(int Width)
{
    SplitterCharDetails->SetPanelWidth(Width);
}

bool TTevCharsPage::CharParamsEditorVisible() const
{
    return !CharParamsEditor->isHidden();
}

void TTevCharsPage::SetCharParamsEditorVisible(bool Visible)
{
    CharParamsEditor->setVisible(Visible);
    CollapseCharDetailsBtn->setVisible(Visible);
    ExpandCharDetailsBtn->setVisible(!Visible);
}

void TTevCharsPage::ExpandCharDetailsBtnClick()
{
    SetCharParamsEditorVisible(true);
}

void TTevCharsPage::CollapseCharDetailsBtnClick()
{
    SetCharParamsEditorVisible(false);
}

bool TTevCharsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (!FGridChars || !CharParamsEditor) // still being built
        return QWidget::eventFilter(watched, event);
    if (watched == FGridChars && event->type() == QEvent::KeyPress) {
        if (GridCharsKeyDown(static_cast<QKeyEvent *>(event)))
            return true;
    } else if (watched == FGridChars->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // The press before it made the row under the mouse current.
        GridCharsMouseUp(static_cast<QMouseEvent *>(event)->position().toPoint());
    } else if (watched == GroupFilterBox && event->type() == QEvent::KeyRelease) {
        GroupFilterBoxKeyUp(static_cast<QKeyEvent *>(event)->key());
    } else if (watched == PnlCharDetails && event->type() == QEvent::Resize) {
        PnlCharDetailsResize();
    } else if (watched == CharImage && event->type() == QEvent::Resize) {
        if (!Updating())
            UpdateCharBullet();
    }
    return QWidget::eventFilter(watched, event);
}

bool TTevCharsPage::BeginDatabaseWrite()
{
    return !FPreviewDlg || FPreviewDlg->ResolveChangeLog();
}

void TTevCharsPage::EndDatabaseWrite()
{
    if (FPreviewDlg)
        FPreviewDlg->CommitChangeLog();
}

} // namespace tev
