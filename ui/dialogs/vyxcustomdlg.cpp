#include "ui/dialogs/vyxcustomdlg.h"

#include "ui/kit/buttonpanel.h"
#include "ui/kit/fonts.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/speedbutton.h"
#include "ui/kit/style.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace tev {

TvyxCustomDlg::TvyxCustomDlg(QWidget *owner)
    : KelForm(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_body(new QWidget(this))
    , m_panel(new ButtonPanel(this))
{
    setWindowTitle(QStringLiteral("Dialog"));
    setFont(dialogFont(FontFace::SegoeUI, 11));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setFixedHeight(kPanelHeight);
    m_panel->setColor(styledPanelColor());
    const QFont buttonFont = dialogFont(FontFace::SegoeUI, 13);
    m_cancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), buttonFont, m_panel);
    m_okBtn = makePanelButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), buttonFont, m_panel);
    m_panel->addRightAligned(m_cancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    m_panel->addRightAligned(m_okBtn, 75, QMargins(5, 5, 5, 5), 35);
    connect(m_okBtn, &SpeedButton::clicked, this, &TvyxCustomDlg::OKBtnClick);
    connect(m_cancelBtn, &SpeedButton::clicked, this, &TvyxCustomDlg::CancelBtnClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_body, 1);
    layout->addWidget(m_panel);
    resize(400, 400);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
}

void TvyxCustomDlg::OKBtnClick()
{
    setModalResult(mrOk);
}

void TvyxCustomDlg::CancelBtnClick()
{
    setModalResult(mrCancel);
}

// Fixed before the window exists, so the window system never offers a resize.
void TvyxCustomDlg::setVisible(bool visible)
{
    if (visible && !m_sizeFixed) {
        if (layout())
            layout()->activate();
        setFixedSize(size());
        m_sizeFixed = true;
    }
    KelForm::setVisible(visible);
}

void TvyxCustomDlg::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        centerOn(*this, parentWidget());
        m_centred = true;
    }
    KelForm::showEvent(event);
}

void TvyxCustomDlg::FormKeyDown(QKeyEvent &event)
{
    switch (classifyKey(event)) {
    case DialogKey::Enter:
        setModalResult(mrOk);
        break;
    case DialogKey::Cancel:
        setModalResult(mrCancel);
        break;
    case DialogKey::Escape:
    case DialogKey::Other:
        break;
    }
}

} // namespace tev
