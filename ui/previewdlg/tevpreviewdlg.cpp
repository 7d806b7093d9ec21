#include "ui/previewdlg/tevpreviewdlg.h"

#include "core/app/tevapp.h"
#include "core/lib/fieldroutines.h"
#include "core/picture/picture.h"
#include "core/project/changestate.h"
#include "core/project/tevproject.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/fonts.h"
#include "ui/kit/speedbutton.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/panelsplitter.h"
#include "ui/pages/picturebox.h"
#include "ui/pages/picturefit.h"

#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tev {

namespace {

constexpr int kToolButtonSize = 50;
constexpr int kGlyphSize = 32;
constexpr int kSplitterWidth = 10;
constexpr int kGroupNameHeight = 25;

SpeedButton *MakeTool(const QString &Name, const QString &Hint, const QString &Image,
                      QWidget *parent)
{
    auto *button = new SpeedButton(parent);
    button->setObjectName(Name);
    button->setToolTip(Hint);
    button->setFixedSize(kToolButtonSize, kToolButtonSize);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!Image.isEmpty()) {
        button->setIcon(ImageCollection::icon(Image));
        button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    }
    return button;
}

} // namespace

TTevPreviewDlg::TTevPreviewDlg(QWidget *AOwner)
    : QWidget(AOwner, Qt::Window | Qt::WindowStaysOnTopHint)
    , FOwnerForm(AOwner)
{
    setObjectName(QStringLiteral("TevPreviewDlg"));
    setWindowTitle(QStringLiteral(" Image Editor"));
    setFont(dialogFont(FontFace::Tahoma, 16));
    resize(568, 400);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FPnlTools = new QWidget(this);
    FPnlTools->setObjectName(QStringLiteral("PnlTools"));
    FPnlTools->setFixedHeight(kToolsHeight);
    auto *tools = new QHBoxLayout(FPnlTools);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(0);
    OpenBtn = MakeTool(QStringLiteral("OpenBtn"), QStringLiteral("Change Image"),
                       QStringLiteral("Large Icons\\Open negative"), FPnlTools);
    SaveBtn = MakeTool(QStringLiteral("SaveBtn"), QStringLiteral("Save Changes"),
                       QStringLiteral("Large Icons\\Save negative"), FPnlTools);
    BulletBtn = MakeTool(QStringLiteral("BulletBtn"), QStringLiteral("Edit Point Position"),
                         QString(), FPnlTools);
    BulletBtn->setText(QStringLiteral("\u2022"));
    BulletBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont bulletFont = dialogFont(FontFace::Tahoma, 21);
    bulletFont.setBold(true);
    BulletBtn->setFont(bulletFont);
    QPalette bulletPalette = BulletBtn->palette();
    bulletPalette.setColor(QPalette::ButtonText, Qt::cyan);
    BulletBtn->setPalette(bulletPalette);
    BulletBtn->setCheckable(true);
    UndoBtn = MakeTool(QStringLiteral("UndoBtn"), QStringLiteral("Undo all Changes"),
                       QStringLiteral("Undo negativ"), FPnlTools);
    for (SpeedButton *button : {OpenBtn, SaveBtn, BulletBtn, UndoBtn})
        tools->addWidget(button);
    tools->addStretch();
    layout->addWidget(FPnlTools);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    PnlChars = new QWidget(this);
    PnlChars->setObjectName(QStringLiteral("PnlChars"));
    PnlChars->setFixedWidth(kCharsWidth);
    auto *chars = new QVBoxLayout(PnlChars);
    chars->setContentsMargins(0, 0, 0, 0);
    chars->setSpacing(0);
    DBTextGroupName = new QLabel(PnlChars);
    DBTextGroupName->setObjectName(QStringLiteral("DBTextGroupName"));
    DBTextGroupName->setMinimumHeight(kGroupNameHeight);
    DBTextGroupName->setFixedHeight(kGroupNameHeight);
    DBTextGroupName->setContentsMargins(5, 0, 0, 0);
    chars->addWidget(DBTextGroupName);
    FGrid = new TvyxDBGrid(PnlChars);
    FGrid->setObjectName(QStringLiteral("Grid"));
    FGrid->SetOptions(dgTitles | dgColumnResize);
    FGrid->SetReadOnly(true);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    {
        TDBGridColumns &columns = *FGrid->Columns();
        columns.BeginUpdate();
        columns.Clear();
        TColumn *label = columns.Add();
        label->SetFieldName(QStringLiteral("LABEL"));
        label->SetTitle(QStringLiteral("Point Name"));
        label->SetWidth(kCharsWidth);
        columns.EndUpdate();
    }
    chars->addWidget(FGrid, 1);
    body->addWidget(PnlChars);

    PnlCharImage = new TCaptionPanel(this);
    PnlCharImage->setObjectName(QStringLiteral("PnlCharImage"));
    PnlCharImage->SetColor(Qt::white);
    auto *imageLayout = new QVBoxLayout(PnlCharImage);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    CharImage = new TPictureBox(PnlCharImage);
    CharImage->setObjectName(QStringLiteral("CharImage"));
    imageLayout->addWidget(CharImage);
    Bullet = new TBulletShape(PnlCharImage);
    Bullet->setObjectName(QStringLiteral("Bullet"));
    Splitter = new TPanelSplitter(PnlChars, Qt::AlignLeft, kSplitterWidth, kMinCharsWidth, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    body->addWidget(Splitter);
    body->addWidget(PnlCharImage, 1);
    layout->addLayout(body, 1);

    connect(OpenBtn, &QToolButton::clicked, this, &TTevPreviewDlg::OpenBtnClick);
    connect(SaveBtn, &QToolButton::clicked, this, &TTevPreviewDlg::SaveBtnClick);
    connect(BulletBtn, &QToolButton::clicked, this, &TTevPreviewDlg::BulletBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &TTevPreviewDlg::UndoBtnClick);
    connect(CharImage, &TPictureBox::Clicked, this,
            [this](QPoint Pos) { PlacePointAt(CharImage->mapTo(PnlCharImage, Pos)); });
    CharImage->installEventFilter(this);

    hide();
}

TTevPreviewDlg::~TTevPreviewDlg() = default;

void TTevPreviewDlg::SetApp(TTevApp *App)
{
    if (FApp)
        disconnect(&FApp->Project(), nullptr, this, nullptr);
    FApp = App;
    if (App) {
        connect(&App->Project(), &TTevProject::OnChange, this, &TTevPreviewDlg::CheckLogOwner);
        connect(&App->Project(), &TTevProject::OnStateChanged, this,
                &TTevPreviewDlg::CheckLogOwner);
    }
}

DataSetModel *TTevPreviewDlg::DataSource() const
{
    return FGrid->DataSource();
}

void TTevPreviewDlg::SetDataSource(DataSetModel *Value)
{
    if (FDataSource)
        disconnect(FDataSource, nullptr, this, nullptr);
    FDataSource = Value;
    FGrid->SetDataSource(Value);
    if (Value) {
        connect(Value, &QAbstractItemModel::modelReset, this, &TTevPreviewDlg::UpdateGroupName);
        connect(Value, &QAbstractItemModel::dataChanged, this, &TTevPreviewDlg::UpdateGroupName);
        connect(Value, &DataSetModel::currentRowChanged, this, &TTevPreviewDlg::UpdateGroupName);
    }
    UpdateGroupName();
}

void TTevPreviewDlg::UpdateGroupName()
{
    QString name;
    if (FDataSource) {
        const int column = FDataSource->fieldColumn(QStringLiteral("GROUPNAME"));
        const int row = FDataSource->currentRow();
        if (column >= 0 && row >= 0)
            name = FDataSource->index(row, column).data(Qt::DisplayRole).toString();
    }
    DBTextGroupName->setText(name);
}

MemDataSet *TTevPreviewDlg::ClientDataSet() const
{
    return FDataSource ? dynamic_cast<MemDataSet *>(FDataSource->dataSet()) : nullptr;
}

void TTevPreviewDlg::UpdatePicture(const TPicture *APicture)
{
    if (APicture && APicture->HasGraphic())
        CharImage->SetPicture(APicture->Image());
    else
        CharImage->Clear();
    UpdateCharPointPosition();
}

void TTevPreviewDlg::UpdateCharPointPosition()
{
    DataSet *ds = FDataSource ? FDataSource->dataSet() : nullptr;
    const Field *imageX =
        ds && ds->active() && !ds->isEmpty() ? ds->findField(QStringLiteral("IMAGEX")) : nullptr;
    if (!CharImage->HasPicture() || !imageX || imageX->isNull()) {
        Bullet->hide();
        return;
    }
    const Field *imageY = ds->findField(QStringLiteral("IMAGEY"));
    const std::optional<QRect> rect =
        BulletRect(CharImage->Picture().size(), CharImage->geometry(), imageX->asInteger(),
                   imageY ? imageY->asInteger() : 0);
    if (!rect) {
        Bullet->hide();
        return;
    }
    Bullet->setGeometry(*rect);
    Bullet->raise();
    Bullet->show();
}

} // namespace tev
