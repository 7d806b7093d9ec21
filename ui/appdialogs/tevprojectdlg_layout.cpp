// The wizard's controls and their connections.

#include "ui/appdialogs/tevprojectdlg.h"

#include "ui/appdialogs/pagelayout.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/speedbutton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tev {

TTevProjectDialog::TTevProjectDialog(QWidget *owner)
    : KelForm(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("TevProjectDialog"));
    setWindowTitle(QStringLiteral("New Project"));
    setFont(dialogFont(FontFace::SegoeUI, 13));
    BuildLayout();
    setFixedSize(kClientWidth, kClientHeight);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
}

void TTevProjectDialog::BuildLayout()
{
    PageCtrl = new QTabWidget(this);
    PageCtrl->setObjectName(QStringLiteral("PageCtrl"));
    // Only the bottom buttons move between the pages.
    PageCtrl->tabBar()->hide();
    PageCtrl->setDocumentMode(true);

    PageBuilder general(QStringLiteral("TabGeneral"), QStringLiteral("General"));
    TabGeneral = general.page();
    EditProjectName =
        general.addEdit(QStringLiteral("Project Name"), QStringLiteral("EditProjectName"));
    ComboFileType =
        general.addCombo(QStringLiteral("Project Type"), QStringLiteral("ComboFileType"));
    ComboFileType->addItems({QString(), QStringLiteral("Work Sequence (*.seq)"),
                             QStringLiteral("Sentavo Sequence (*.mseq)")});
    ComboFileType->setEnabled(false);
    EditFileName = general.addEdit(QStringLiteral("File Name"), QStringLiteral("EditFileName"));
    EditFilePath = general.addEdit(QStringLiteral("Directory"), QStringLiteral("EditFilePath"),
                                   QStringLiteral("BtnFilePath"), &BtnFilePath);
    EditFilePath->setReadOnly(true);
    general.finish();
    PageCtrl->addTab(TabGeneral, QStringLiteral("General"));

    PageBuilder master(QStringLiteral("TabMaster"), QStringLiteral("Reference"));
    TabMaster = master.page();
    EditMasterFile = master.addEdit(QStringLiteral("Ref. Master"), QStringLiteral("EditMasterFile"),
                                    QStringLiteral("BtnMasterFile"), &BtnMasterFile);
    EditMasterFile->setReadOnly(true);
    master.finish();
    PageCtrl->addTab(TabMaster, QStringLiteral("Master"));

    PageBuilder details(QStringLiteral("TabDetails"), QStringLiteral("Details"));
    TabDetails = details.page();
    EditFormatFile = details.addEdit(QStringLiteral("Format Definition (*.fmt)"),
                                     QStringLiteral("EditFormatFile"),
                                     QStringLiteral("BtnFormatFile"), &BtnFormatFile);
    EditUserFields =
        details.addEdit(QStringLiteral("User Fields"), QStringLiteral("EditUserFields"),
                        QStringLiteral("BtnUserFields"), &BtnUserFields);
    for (QLineEdit *edit : {EditFormatFile, EditUserFields}) {
        edit->setReadOnly(true);
        QPalette p = edit->palette();
        p.setColor(QPalette::Text, Qt::gray);
        edit->setPalette(p);
    }
    details.finish();
    PageCtrl->addTab(TabDetails, QStringLiteral("Details"));

    Panel = new ButtonPanel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFixedHeight(kPanelHeight);
    Panel->setColor(colorFromValue(kColorButtonPanel));
    const QFont buttonFont = dialogFont(FontFace::SegoeUI, 13);
    CancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), buttonFont, Panel);
    FinishBtn =
        makePanelButton(QStringLiteral("FinishBtn"), QStringLiteral("Finish"), buttonFont, Panel);
    NextBtn = makePanelButton(QStringLiteral("NextBtn"), QStringLiteral("Next"), buttonFont, Panel);
    BackBtn = makePanelButton(QStringLiteral("BackBtn"), QStringLiteral("Back"), buttonFont, Panel);
    // Stacked from the right edge: Back, Next, Finish, Cancel from left to right.
    Panel->addRightAligned(CancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    Panel->addRightAligned(FinishBtn, 80, QMargins(5, 5, 5, 5), 35);
    Panel->addRightAligned(NextBtn, 80, QMargins(5, 5, 0, 5), 35);
    Panel->addRightAligned(BackBtn, 80, QMargins(5, 5, 0, 5), 35);
    FinishBtn->setEnabled(false);

    LblFinishHint = new QLabel(Panel);
    LblFinishHint->setObjectName(QStringLiteral("LblFinishHint"));
    LblFinishHint->setWordWrap(true);
    LblFinishHint->setFont(dialogFont(FontFace::SegoeUI, 11));
    QPalette hint = LblFinishHint->palette();
    hint.setColor(QPalette::WindowText, colorFromValue(clVYXOrange));
    LblFinishHint->setPalette(hint);
    LblFinishHint->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageCtrl, 1);
    layout->addWidget(Panel);

    connect(BackBtn, &SpeedButton::clicked, this, &TTevProjectDialog::BackBtnClick);
    connect(NextBtn, &SpeedButton::clicked, this, &TTevProjectDialog::NextBtnClick);
    connect(FinishBtn, &SpeedButton::clicked, this, &TTevProjectDialog::FinishBtnClick);
    connect(CancelBtn, &SpeedButton::clicked, this, &TTevProjectDialog::CancelBtnClick);
    connect(BtnFilePath, &SpeedButton::clicked, this, &TTevProjectDialog::BtnFilePathClick);
    connect(BtnMasterFile, &SpeedButton::clicked, this, &TTevProjectDialog::BtnMasterFileClick);
    connect(BtnFormatFile, &SpeedButton::clicked, this, &TTevProjectDialog::BtnFormatFileClick);
    connect(BtnUserFields, &SpeedButton::clicked, this, &TTevProjectDialog::BtnUserFieldsClick);
    connect(ComboFileType, &QComboBox::currentIndexChanged, this,
            &TTevProjectDialog::ComboFileTypeChange);
    connect(EditProjectName, &QLineEdit::textChanged, this,
            &TTevProjectDialog::EditProjectNameChange);
    connect(EditFileName, &QLineEdit::textChanged, this, &TTevProjectDialog::EditFileNameChange);
    connect(EditFileName, &QLineEdit::editingFinished, this, &TTevProjectDialog::EditFileNameExit);
    for (QLineEdit *edit : {EditFilePath, EditMasterFile, EditFormatFile, EditUserFields})
        connect(edit, &QLineEdit::textChanged, this, &TTevProjectDialog::EditFilePathChange);
}

} // namespace tev
