// The settings dialog's controls and their connections.

#include "ui/appdialogs/tevsettingsdlg.h"

#include "ui/appdialogs/linklabel.h"
#include "ui/appdialogs/pagelayout.h"
#include "ui/controls/buttongroup/vyxbuttongroup.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/speedbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tev {

namespace {

// The platform's sky blue ($F0CAA6) of the test link.
constexpr TColor kSkyBlue = 0xF0CAA6;
constexpr int kEncodingVisibleItems = 10;
constexpr int kRowSpacing = 4;

} // namespace

TTevSettingsDlg::TTevSettingsDlg(QWidget *owner)
    : KelForm(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TevSettingsDlg"));
    setWindowTitle(QStringLiteral("Settings"));
    setFont(dialogFont(FontFace::SegoeUI, 13));
    BuildLayout();
    resize(kClientWidth, kClientHeight);
    FormCreate();
}

void TTevSettingsDlg::BuildLayout()
{
    BtnGroup = new TvyxButtonGroup(this);
    BtnGroup->setObjectName(QStringLiteral("BtnGroup"));
    BtnGroup->setFixedWidth(kButtonGroupWidth);
    BtnGroup->setButtonHeight(35);
    BtnGroup->setButtonOptions(TvyxGrpButtonOptions(gboFullSize | gboGroupStyle | gboShowCaptions));
    TvyxGrpButtonItem *general = BtnGroup->Items().Add();
    general->setCaption(QStringLiteral("System"));
    general->setOnClick([this](QObject *) { BtnGroupGeneralClick(); });
    TvyxGrpButtonItem *user = BtnGroup->Items().Add();
    user->setCaption(QStringLiteral("Preferences"));
    user->setOnClick([this](QObject *) { BtnGroupItemsUserClick(); });
    BtnGroup->setItemIndex(0);

    PageCtrl = new QTabWidget(this);
    PageCtrl->setObjectName(QStringLiteral("PageCtrl"));
    PageCtrl->tabBar()->hide();
    PageCtrl->setDocumentMode(true);
    TabGeneral = BuildGeneralPage();
    PageCtrl->addTab(TabGeneral, QStringLiteral("General"));
    TabPreferences = BuildPreferencesPage();
    PageCtrl->addTab(TabPreferences, QStringLiteral("Preferences"));

    Panel = new ButtonPanel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFixedHeight(kPanelHeight);
    Panel->setColor(colorFromValue(kColorButtonPanel));
    const QFont buttonFont = dialogFont(FontFace::SegoeUI, 13);
    CancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), buttonFont, Panel);
    OKBtn = makePanelButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), buttonFont, Panel);
    Panel->addRightAligned(CancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    Panel->addRightAligned(OKBtn, 75, QMargins(5, 5, 5, 5), 35);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(BtnGroup);
    body->addWidget(PageCtrl, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(Panel);

    connect(OKBtn, &SpeedButton::clicked, this, &TTevSettingsDlg::OKBtnClick);
    connect(CancelBtn, &SpeedButton::clicked, this, &TTevSettingsDlg::CancelBtnClick);
    connect(BtnSEQDir, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnSEQDirClick);
    connect(BtnMasterRootDir, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnMasterRootDirClick);
    connect(BtnWorkRootDir, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnWorkRootDirClick);
    connect(BtnDBDatabase, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnDBDatabaseClick);
    connect(BtnFormatFile, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnFormatFileClick);
    connect(BtnPrjPickList, &SpeedButton::clicked, this, &TTevSettingsDlg::BtnPrjPickListClick);
    connect(ComboSEQEncoding, &QComboBox::activated, this,
            &TTevSettingsDlg::ComboSEQEncodingSelect);
    connect(ComboLanguage, &QComboBox::activated, this, &TTevSettingsDlg::ComboLanguageSelect);
    connect(LTestConnection, &TLinkLabel::Clicked, this, &TTevSettingsDlg::LTestConnectionClick);
    for (QLineEdit *edit :
         {EditSEQDir, EditMasterRootDir, EditWorkRootDir, EditDBServer, EditDBDatabase,
          EditDBUserName, EditDBPassword, EditFormatFile, EditPrjPickList})
        connect(edit, &QLineEdit::textChanged, this, &TTevSettingsDlg::EditDirChange);
}

QWidget *TTevSettingsDlg::BuildGeneralPage()
{
    PageBuilder page(QStringLiteral("TabGeneral"), QStringLiteral("System"), true);
    // Rows close enough together that every field shows in the height the dialog takes beside
    // a window on a laptop's screen.
    page.setRowSpacing(kRowSpacing);
    page.addGroup(QStringLiteral("SEQ Files"));
    EditSEQDir = page.addEdit(QStringLiteral("Root Directory"), QStringLiteral("EditSEQDir"),
                              QStringLiteral("BtnSEQDir"), &BtnSEQDir);
    EditMasterRootDir = page.addEdit(QStringLiteral("Default Master Directory"),
                                     QStringLiteral("EditMasterRootDir"),
                                     QStringLiteral("BtnMasterRootDir"), &BtnMasterRootDir);
    EditWorkRootDir =
        page.addEdit(QStringLiteral("Default Work Directory"), QStringLiteral("EditWorkRootDir"),
                     QStringLiteral("BtnWorkRootDir"), &BtnWorkRootDir);
    ComboSEQEncoding =
        page.addCombo(QStringLiteral("File Encoding"), QStringLiteral("ComboSEQEncoding"));
    ComboSEQEncoding->setEditable(true);
    ComboSEQEncoding->setCompleter(nullptr);
    ComboSEQEncoding->setInsertPolicy(QComboBox::NoInsert);
    ComboSEQEncoding->setMaxVisibleItems(kEncodingVisibleItems);
    ComboSEQEncoding->addItems({"437", "850", "1252", "28591", "28592", "28593", "28594", "28595",
                                "28596", "28597", "28598", "28599", "28603", "28605", "65000",
                                "65001", "1200", "1201"});

    page.addGroup(QStringLiteral("Database"));
    ComboDBType = page.addCombo(QStringLiteral("Type"), QStringLiteral("ComboDBType"));
    ComboDBType->addItems({QStringLiteral("Embedded"), QStringLiteral("Server")});
    ComboDBDriver = page.addCombo(QStringLiteral("Driver"), QStringLiteral("ComboDBDriver"));
    ComboDBDriver->addItems({QStringLiteral("FB"), QStringLiteral("MSSQL"), QStringLiteral("ORA")});
    EditDBServer = page.addEdit(QStringLiteral("Server"), QStringLiteral("EditDBServer"));
    EditDBDatabase = page.addEdit(QStringLiteral("Database"), QStringLiteral("EditDBDatabase"),
                                  QStringLiteral("BtnDBDatabase"), &BtnDBDatabase);
    EditDBUserName = page.addEdit(QStringLiteral("User Name"), QStringLiteral("EditDBUserName"));
    EditDBPassword = page.addEdit(QStringLiteral("Password"), QStringLiteral("EditDBPassword"));
    EditDBPassword->setEchoMode(QLineEdit::Password);
    for (QWidget *field :
         {static_cast<QWidget *>(ComboDBType), static_cast<QWidget *>(ComboDBDriver),
          static_cast<QWidget *>(EditDBServer), static_cast<QWidget *>(EditDBUserName),
          static_cast<QWidget *>(EditDBPassword)}) {
        field->setEnabled(false);
        if (auto *label = field->parentWidget()->findChild<QLabel *>(QStringLiteral("Label") +
                                                                     field->objectName()))
            label->setEnabled(false);
    }
    LTestConnection = new TLinkLabel(QStringLiteral("Test Connection"), nullptr);
    LTestConnection->setObjectName(QStringLiteral("LTestConnection"));
    QPalette link = LTestConnection->palette();
    link.setColor(QPalette::WindowText, colorFromValue(kSkyBlue));
    LTestConnection->setPalette(link);
    page.addWidget(LTestConnection);

    page.addGroup(QStringLiteral("Project"));
    EditFormatFile =
        page.addEdit(QStringLiteral("Format File (*.fmt)"), QStringLiteral("EditFormatFile"),
                     QStringLiteral("BtnFormatFile"), &BtnFormatFile);
    EditFormatFile->setReadOnly(true);
    ChkFormatFilePerProject = page.addCheck(QStringLiteral("Individual Copy per each Project"),
                                            QStringLiteral("ChkFormatFilePerProject"));
    EditPrjPickList = page.addEdit(QStringLiteral("User defined Fields (*.uif)"),
                                   QStringLiteral("EditPrjPickList"),
                                   QStringLiteral("BtnPrjPickList"), &BtnPrjPickList);
    EditPrjPickList->setReadOnly(true);
    ChkPicklistPerProject = page.addCheck(QStringLiteral("Individual Copy per each Project"),
                                          QStringLiteral("ChkPicklistPerProject"));
    ComboPRJUnits =
        page.addCombo(QStringLiteral("Unit of Measure"), QStringLiteral("ComboPRJUnits"));
    ComboPRJUnits->addItems({QStringLiteral("Inch"), QStringLiteral("mm")});
    page.finish();
    return page.page();
}

QWidget *TTevSettingsDlg::BuildPreferencesPage()
{
    PageBuilder page(QStringLiteral("TabPreferences"), QStringLiteral("Preferences"), true);
    page.addGroup(QStringLiteral("Other"));
    ComboLanguage = page.addCombo(QStringLiteral("Language"), QStringLiteral("ComboLanguage"));
    page.finish();
    return page.page();
}

} // namespace tev
