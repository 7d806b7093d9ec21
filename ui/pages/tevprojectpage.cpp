#include "ui/pages/tevprojectpage.h"

#include "core/app/tevapp.h"
#include "core/lib/paths.h"
#include "core/picture/graphictobitmap.h"
#include "core/picture/kelpicture.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/colors.h"
#include "ui/kit/speedbutton.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/dependfiles.h"
#include "ui/pages/ownerdrawdelegate.h"
#include "ui/pages/picturebox.h"
#include "ui/pages/radiogroup.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>

namespace tev {

namespace {

constexpr TColor kImagePanelColor = 0x625A4B;
constexpr int kPrjImageWidth = 600;
constexpr int kPrjImageHeight = 179;
constexpr int kPrjImageMaxWidth = 627;
constexpr int kLongDescMaxChars = 406;

QString ToMemoText(QString Text)
{
    return Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// The input box gives line breaks as "\n"; the header keeps "\r\n" (stored escaped).
QString FromMemoText(QString Text)
{
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return Text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

SpeedButton *MakeEllipsisButton(const QString &Name, QWidget *parent)
{
    auto *button = new SpeedButton(QStringLiteral("..."), parent);
    button->setObjectName(Name);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFixedSize(25, 23);
    button->setAutoRaise(false);
    return button;
}

QLineEdit *MakeDisplay(const QString &Name, bool ReadOnly, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(Name);
    edit->setReadOnly(ReadOnly);
    return edit;
}

} // namespace

void EnableControlTree(QWidget *Container, bool Enabled)
{
    if (!Container)
        return;
    for (QWidget *child : Container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        child->setEnabled(Enabled);
        EnableControlTree(child, Enabled);
    }
}

TTevProjectPage::TTevProjectPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabProjectKelmetra"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    int row = 0;
    auto addRow = [&](const QString &Caption, QWidget *Display, QWidget *Button) {
        auto *label = new QLabel(Caption, this);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(Display, row, 1);
        if (Button)
            grid->addWidget(Button, row, 2, Qt::AlignLeft | Qt::AlignTop);
        ++row;
    };

    EditProjectName = MakeDisplay(QStringLiteral("EditProjectName"), true, this);
    BtnPRJProjectName = MakeEllipsisButton(QStringLiteral("BtnPRJProjectName"), this);
    addRow(QStringLiteral("Project Name"), EditProjectName, BtnPRJProjectName);

    EditPRJVersion = MakeDisplay(QStringLiteral("EditPRJVersion"), true, this);
    BtnPRJVersion = MakeEllipsisButton(QStringLiteral("BtnPRJVersion"), this);
    addRow(QStringLiteral("Version"), EditPRJVersion, BtnPRJVersion);

    EditPRJShortDesc = MakeDisplay(QStringLiteral("EditPRJShortDesc"), true, this);
    BtnPRJShortDesc = MakeEllipsisButton(QStringLiteral("BtnPRJShortDesc"), this);
    addRow(QStringLiteral("Short Description"), EditPRJShortDesc, BtnPRJShortDesc);

    MemoPRJLongDesc = new QPlainTextEdit(this);
    MemoPRJLongDesc->setObjectName(QStringLiteral("MemoPRJLongDesc"));
    MemoPRJLongDesc->setReadOnly(true);
    MemoPRJLongDesc->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoPRJLongDesc->setFixedSize(kPrjImageWidth, 80);
    BtnPRJLongDesc = MakeEllipsisButton(QStringLiteral("BtnPRJLongDesc"), this);
    addRow(QStringLiteral("Long Description"), MemoPRJLongDesc, BtnPRJLongDesc);

    const auto comboDelegate = [this](QPainter &Canvas, const QStyleOptionViewItem &Option,
                                      const QModelIndex &Index) {
        ComboDrawItem(Canvas, Option, Index.data().toString());
    };
    ComboPRJUnit = new QComboBox(this);
    ComboPRJUnit->setObjectName(QStringLiteral("ComboPRJUnit"));
    ComboPRJUnit->addItems({QStringLiteral("Inch"), QStringLiteral("mm")});
    ComboPRJUnit->setItemDelegate(new TOwnerDrawDelegate(comboDelegate, 0, ComboPRJUnit));
    ComboPRJUnit->setFixedWidth(120);

    auto *decimalsBox = new QGroupBox(QStringLiteral("Decimal Places"), this);
    ComboPRJDecimals = new QComboBox(decimalsBox);
    ComboPRJDecimals->setObjectName(QStringLiteral("ComboPRJDecimals"));
    ComboPRJDecimals->addItems({QStringLiteral("Default"), QStringLiteral("1"), QStringLiteral("2"),
                                QStringLiteral("3"), QStringLiteral("4")});
    ComboPRJDecimals->setItemDelegate(new TOwnerDrawDelegate(comboDelegate, 0, ComboPRJDecimals));
    ComboPRJDecimals->setFixedWidth(120);
    auto *decimalsLayout = new QVBoxLayout(decimalsBox);
    decimalsLayout->setContentsMargins(8, 4, 8, 4);
    decimalsLayout->addWidget(ComboPRJDecimals);
    RadioPRJLimits = new TRadioGroup(
        QStringLiteral("Limits"), {QStringLiteral("Absolute"), QStringLiteral("Relative")}, this);
    RadioPRJLimits->setObjectName(QStringLiteral("RadioPRJLimits"));
    RadioPRJLimits->layout()->setContentsMargins(8, 4, 8, 4);
    RadioPRJLimits->layout()->setSpacing(2);
    // The unit, the decimals and the limits share one row, so that the page fits a laptop's
    // screen with its cover picture.
    auto *unitRow = new QHBoxLayout;
    unitRow->setContentsMargins(0, 0, 0, 0);
    unitRow->setSpacing(12);
    unitRow->addWidget(ComboPRJUnit, 0, Qt::AlignTop);
    unitRow->addWidget(decimalsBox);
    unitRow->addWidget(RadioPRJLimits);
    unitRow->addStretch();
    auto *unitHolder = new QWidget(this);
    unitHolder->setLayout(unitRow);
    addRow(QStringLiteral("Unit of Measure"), unitHolder, nullptr);

    EditPRJUserFields = MakeDisplay(QStringLiteral("EditPRJUserFields"), true, this);
    BtnPRJUserFields = MakeEllipsisButton(QStringLiteral("BtnPRJUserFields"), this);
    addRow(QStringLiteral("User defined Fields"), EditPRJUserFields, BtnPRJUserFields);

    EditPRJFormatFile = MakeDisplay(QStringLiteral("EditPRJFormatFile"), true, this);
    BtnPRJFormatFile = MakeEllipsisButton(QStringLiteral("BtnPRJFormatFile"), this);
    addRow(QStringLiteral("File Format"), EditPRJFormatFile, BtnPRJFormatFile);

    EditPRJCoverImage = MakeDisplay(QStringLiteral("EditPRJCoverImage"), false, this);
    EditPRJCoverImage->installEventFilter(this);
    BtnPRJCoverImage = MakeEllipsisButton(QStringLiteral("BtnPRJCoverImage"), this);
    addRow(QStringLiteral("Cover Image"), EditPRJCoverImage, BtnPRJCoverImage);

    ChkPRJRoutineChanges = new QCheckBox(QStringLiteral("Allow Routine Changes on Kelmetra"), this);
    ChkPRJRoutineChanges->setObjectName(QStringLiteral("ChkPRJRoutineChanges"));
    ChkPRJLogProfile = new QCheckBox(QStringLiteral("Auto Log Profile"), this);
    ChkPRJLogProfile->setObjectName(QStringLiteral("ChkPRJLogProfile"));
    auto *checks = new QHBoxLayout;
    checks->setContentsMargins(0, 0, 0, 0);
    checks->setSpacing(24);
    checks->addWidget(ChkPRJRoutineChanges);
    checks->addWidget(ChkPRJLogProfile);
    checks->addStretch();
    auto *checksHolder = new QWidget(this);
    checksHolder->setLayout(checks);
    grid->addWidget(checksHolder, row++, 1);

    EditProjectState = new QLabel(this);
    EditProjectState->setObjectName(QStringLiteral("EditProjectState"));
    addRow(QStringLiteral("File State:"), EditProjectState, nullptr);

    PnlPrjImage = new TCaptionPanel(this);
    PnlPrjImage->setObjectName(QStringLiteral("PnlPrjImage"));
    PnlPrjImage->SetCaption(QStringLiteral("<Cover Image>"));
    PnlPrjImage->SetColor(colorFromValue(kImagePanelColor));
    PnlPrjImage->setMinimumSize(kPrjImageWidth, kPrjImageHeight);
    PnlPrjImage->setMaximumSize(kPrjImageMaxWidth, kPrjImageHeight);
    PrjImage = new TPictureBox(PnlPrjImage);
    PrjImage->setObjectName(QStringLiteral("PrjImage"));
    PrjImage->setCursor(Qt::PointingHandCursor);
    auto *imageLayout = new QVBoxLayout(PnlPrjImage);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    imageLayout->addWidget(PrjImage);
    grid->addWidget(PnlPrjImage, row++, 1, 1, 2, Qt::AlignLeft);

    grid->setColumnMinimumWidth(1, kPrjImageWidth);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(3, 1);
    // A window smaller than the page scrolls it instead of cutting it off.
    PnlPrjContent = new QWidget;
    PnlPrjContent->setObjectName(QStringLiteral("PnlPrjContent"));
    auto *inner = new QVBoxLayout(PnlPrjContent);
    inner->setContentsMargins(20, 8, 20, 8);
    inner->addLayout(grid);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("PrjScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(PnlPrjContent);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    connect(BtnPRJProjectName, &QToolButton::clicked, this,
            &TTevProjectPage::BtnPRJProjectNameClick);
    connect(BtnPRJVersion, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJVersionClick);
    connect(BtnPRJShortDesc, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJShortDescClick);
    connect(BtnPRJLongDesc, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJLongDescClick);
    connect(BtnPRJUserFields, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJUserFieldsClick);
    connect(BtnPRJFormatFile, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJFormatFileClick);
    connect(BtnPRJCoverImage, &QToolButton::clicked, this, &TTevProjectPage::BtnPRJCoverImageClick);
    connect(PrjImage, &TPictureBox::Clicked, this, &TTevProjectPage::BtnPRJCoverImageClick);
    // Only user actions: refreshing the page sets these controls without a signal reaching here.
    connect(ComboPRJUnit, &QComboBox::activated, this, &TTevProjectPage::ComboPRJUnitSelect);
    connect(ComboPRJDecimals, &QComboBox::activated, this,
            &TTevProjectPage::ComboPRJDecimalsSelect);
    connect(RadioPRJLimits, &TRadioGroup::Clicked, this, &TTevProjectPage::RadioPRJLimitsClick);
    connect(ChkPRJRoutineChanges, &QCheckBox::clicked, this,
            &TTevProjectPage::ChkPRJRoutineChangesClick);
    connect(ChkPRJLogProfile, &QCheckBox::clicked, this, &TTevProjectPage::ChkPRJLogProfileClick);

    Q_UNUSED(kLongDescMaxChars);
    EnableControlTree(PnlPrjContent, false);
}

TTevProjectPage::~TTevProjectPage() = default;

void TTevProjectPage::SetApp(TTevApp *App)
{
    FApp = App;
}

void TTevProjectPage::SetDataSources(DataSetModel *DatSrcProject, DataSetModel *)
{
    if (FDatSrcProject)
        disconnect(FDatSrcProject, nullptr, this, nullptr);
    FDatSrcProject = DatSrcProject;
    if (DatSrcProject) {
        connect(DatSrcProject, &QAbstractItemModel::modelReset, this,
                &TTevProjectPage::UpdateProjectName);
        connect(DatSrcProject, &QAbstractItemModel::dataChanged, this,
                &TTevProjectPage::UpdateProjectName);
        connect(DatSrcProject, &DataSetModel::currentRowChanged, this,
                &TTevProjectPage::UpdateProjectName);
    }
    UpdateProjectName();
}

void TTevProjectPage::SetPreviewDlg(TTevPreviewDlg *PreviewDlg)
{
    FPreviewDlg = PreviewDlg;
}

TTevProject *TTevProjectPage::Project() const
{
    return FApp ? &FApp->Project() : nullptr;
}

bool TTevProjectPage::InDatabase() const
{
    return Project() && Project()->ExistsInDatabase();
}

void TTevProjectPage::ChangeHeader(const std::function<void(TTevProject &)> &Change)
{
    TTevProject *project = Project();
    if (!project)
        return;
    // A header change posts the project record, which writes the whole project, points
    // included, to the database.
    if (FPreviewDlg && !FPreviewDlg->ResolveChangeLog()) {
        UpdateProjectPage(); // the controls show the project's values again
        return;
    }
    Change(*project);
    if (FPreviewDlg)
        FPreviewDlg->CommitChangeLog();
}

// EditProjectName is bound to PROJECTNAME of the project record.
void TTevProjectPage::UpdateProjectName()
{
    QString name;
    if (FDatSrcProject) {
        const int column = FDatSrcProject->fieldColumn(QStringLiteral("PROJECTNAME"));
        const int row = FDatSrcProject->currentRow();
        if (column >= 0 && row >= 0)
            name = FDatSrcProject->index(row, column).data(Qt::EditRole).toString();
    }
    if (EditProjectName->text() != name)
        EditProjectName->setText(name);
}

void TTevProjectPage::UpdateProjectPage()
{
    TTevProject *project = Project();
    // The controls only: a page outside the database can still be scrolled.
    EnableControlTree(PnlPrjContent, project && project->ExistsInDatabase());
    if (!project)
        return;
    EditPRJVersion->setText(project->Version());
    EditPRJShortDesc->setText(project->ShortDesc());
    MemoPRJLongDesc->setPlainText(ToMemoText(project->LongDesc()));
    ComboPRJUnit->setCurrentIndex(project->Units());
    EditPRJUserFields->setText(project->Picklist());
    EditPRJFormatFile->setText(project->Format());
    EditPRJCoverImage->setText(project->ImageFileName());
    ChkPRJRoutineChanges->setChecked(project->RoutineChanges());
    ChkPRJLogProfile->setChecked(project->LogProfiles() == 1);
    ComboPRJDecimals->setCurrentIndex(project->NDecimals());
    RadioPRJLimits->SetItemIndex(project->Limits());
    UpdateProjectName();
}

void TTevProjectPage::SetProjectState(const QString &Text, const QColor &Color)
{
    EditProjectState->setText(Text);
    QPalette palette = EditProjectState->palette();
    palette.setColor(QPalette::WindowText, Color);
    EditProjectState->setPalette(palette);
}

void TTevProjectPage::BtnPRJProjectNameClick()
{
    QString value = EditProjectName->text();
    if (!VyxInputQuery(QString(), QStringLiteral("Project Name"), value, kMaxProjectName))
        return;
    ChangeHeader([&](TTevProject &P) { P.SetProjectName(value); });
}

void TTevProjectPage::BtnPRJVersionClick()
{
    QString value = EditPRJVersion->text();
    if (!VyxInputQuery(QString(), QStringLiteral("Version"), value, kMaxVersion))
        return;
    ChangeHeader([&](TTevProject &P) {
        EditPRJVersion->setText(value);
        P.SetVersion(value);
    });
}

void TTevProjectPage::BtnPRJShortDescClick()
{
    QString value = EditPRJShortDesc->text();
    if (!VyxInputQuery(QString(), QStringLiteral("Short Description"), value, kMaxShortDesc))
        return;
    ChangeHeader([&](TTevProject &P) {
        EditPRJShortDesc->setText(value);
        P.SetShortDesc(value);
    });
}

void TTevProjectPage::BtnPRJLongDescClick()
{
    QString value = MemoPRJLongDesc->toPlainText();
    if (!VyxInputQuery(QString(), QStringLiteral("Long Description"), value, kMaxLongDesc))
        return;
    ChangeHeader([&](TTevProject &P) {
        MemoPRJLongDesc->setPlainText(value);
        P.SetLongDesc(FromMemoText(value));
    });
}

void TTevProjectPage::ComboPRJUnitSelect()
{
    const int index = ComboPRJUnit->currentIndex();
    ChangeHeader([&](TTevProject &P) { P.SetUnits(qint8(index)); });
}

void TTevProjectPage::ComboPRJDecimalsSelect()
{
    const int index = ComboPRJDecimals->currentIndex();
    ChangeHeader([&](TTevProject &P) { P.SetNDecimals(index); });
}

void TTevProjectPage::RadioPRJLimitsClick()
{
    const int index = RadioPRJLimits->ItemIndex();
    if (index < 0)
        return;
    ChangeHeader([&](TTevProject &P) { P.SetLimits(qint8(index)); });
}

void TTevProjectPage::ChkPRJRoutineChangesClick()
{
    const bool ticked = ChkPRJRoutineChanges->isChecked();
    ChangeHeader([&](TTevProject &P) { P.SetRoutineChanges(ticked); });
}

void TTevProjectPage::ChkPRJLogProfileClick()
{
    const bool ticked = ChkPRJLogProfile->isChecked();
    ChangeHeader([&](TTevProject &P) { P.SetLogProfiles(ticked ? 1 : 0); });
}

void TTevProjectPage::EditPRJCoverImageExit()
{
    TTevProject *project = Project();
    if (!project || !EditPRJCoverImage->isEnabled())
        return;
    const QString name = EditPRJCoverImage->text().trimmed();
    if (name == project->ImageFileName())
        return;
    // The cover is named by its bare name in the sequence's folder; a path would point the
    // gauge at a file that is never sent with the sequence.
    if (!name.isEmpty() && !IsBareFileName(name)) {
        EditPRJCoverImage->setText(project->ImageFileName());
        KelShowMessage(InvalidFileNameMessage());
        return;
    }
    ChangeHeader([&](TTevProject &P) { P.SetImageFileName(name); });
    UpdateCoverImage();
}

bool TTevProjectPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == EditPRJCoverImage && event->type() == QEvent::FocusOut)
        EditPRJCoverImageExit();
    return QWidget::eventFilter(watched, event);
}

void TTevProjectPage::UpdateCoverImage()
{
    TTevProject *project = Project();
    QString name = project ? project->ImageFileName() : QString();
    if (!name.isEmpty() && !name.startsWith(project->ProjectDir()))
        name = AddBackSlash(project->ProjectDir()) + name;
    if (name.isEmpty()) {
        PrjImage->Clear();
        FRecentPrjImage.clear();
    } else if (name != FRecentPrjImage) {
        PrjImage->Clear();
        FRecentPrjImage = name;
        ShowCover(name);
    }
    PnlPrjImage->SetShowCaption(!PrjImage->HasPicture());
}

void TTevProjectPage::ShowCover(const QString &FileName)
{
    if (!QFileInfo(FileName).isFile())
        return;
    try {
        TKelPicture picture;
        if (picture.LoadKELBFromFile(FileName)) {
            GraphicToBitmap(picture);
            PrjImage->SetPicture(picture.Image());
        }
    } catch (const Error &) {
        // An unreadable cover shows as no cover; the panel says "<Cover Image>".
    }
}

void TTevProjectPage::ComboDrawItem(QPainter &Canvas, const QStyleOptionViewItem &Option,
                                    const QString &Text) const
{
    const bool highlighted = Option.state.testAnyFlags(
        QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
    const QColor brush =
        highlighted ? colorFromValue(clVYXSelected) : Option.palette.color(QPalette::Base);
    Canvas.fillRect(Option.rect, brush);
    Canvas.setPen(Option.palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    Canvas.drawText(Option.rect.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, Text);
}

} // namespace tev
