#include "ui/dialogs/kelmsgdlg.h"

#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/wraplabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace tev {

namespace {

constexpr char kModalResultProperty[] = "modalResult";

// The modal result of each member by bit number; 0 means the member makes no button.
constexpr int kResultOfBit[16] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrCancel, mrRetry,
                                  mrIgnore, mrAll, mrNoToAll, mrYesToAll, 0,        mrClose};

QString captionOfResult(int result)
{
    switch (result) {
    case mrOk:
        return QStringLiteral("OK");
    case mrCancel:
    case mrAbort:
        return QStringLiteral("Cancel");
    case mrRetry:
        return QStringLiteral("Retry");
    case mrIgnore:
        return QStringLiteral("Ignore");
    case mrYes:
        return QStringLiteral("Yes");
    case mrNo:
        return QStringLiteral("No");
    case mrClose:
        return QStringLiteral("Close");
    case mrAll:
        return QStringLiteral("All");
    case mrNoToAll:
        return QStringLiteral("No to all");
    case mrYesToAll:
        return QStringLiteral("Yes to all");
    default:
        return {};
    }
}

} // namespace

void fitMessageLabel(QLabel &label, const QString &text, int wrapWidth)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), '\n');
    label.setWordWrap(false);
    label.setText(plain);
    label.adjustSize();
    if (label.width() > wrapWidth) {
        label.setWordWrap(true);
        label.resize(wrapWidth, label.heightForWidth(wrapWidth));
    }
}

TKelMsgDlg::TKelMsgDlg(QWidget *parent)
    : KelForm(parent, fixedDialogWithoutIcons())
    , m_msgLabel(new WrapLabel(QStringLiteral("Message"), this))
    , m_panel(new ButtonPanel(this))
{
    setFont(dialogFont(FontFace::Tahoma, 13));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_msgLabel->setObjectName(QStringLiteral("MsgLabel"));
    m_msgLabel->setTextFormat(Qt::PlainText);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setColor(colorFromValue(kColorButtonPanel));
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
    setMessage(m_msgLabel->text());
}

int TKelMsgDlg::placeLabel(const QString &text)
{
    fitMessageLabel(*m_msgLabel, text, kWrapWidth);
    if (m_msgLabel->height() <= kMaxTextHeight) {
        if (m_scroll && m_scroll->widget() == m_msgLabel) {
            m_scroll->takeWidget();
            m_msgLabel->setParent(this);
            m_msgLabel->show();
            m_scroll->hide();
        }
        m_msgLabel->move(10, 8);
        return m_msgLabel->height();
    }
    if (!m_scroll) {
        m_scroll = new QScrollArea(this);
        m_scroll->setObjectName(QStringLiteral("MsgScroll"));
        m_scroll->setFrameShape(QFrame::NoFrame);
        m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_scroll->setBackgroundRole(QPalette::Base);
        m_scroll->viewport()->setBackgroundRole(QPalette::Base);
    }
    // The text keeps its 380 pixels, the scroll bar included.
    const int width = kWrapWidth - m_scroll->verticalScrollBar()->sizeHint().width();
    m_msgLabel->setWordWrap(true);
    m_msgLabel->resize(width, m_msgLabel->heightForWidth(width));
    if (m_scroll->widget() != m_msgLabel)
        m_scroll->setWidget(m_msgLabel);
    m_scroll->setGeometry(10, 8, kWrapWidth, kMaxTextHeight);
    m_scroll->show();
    return kMaxTextHeight;
}

void TKelMsgDlg::setMessage(const QString &text)
{
    // 8 pixels above the text and 10 below it.
    const int clientHeight = std::max(placeLabel(text) + kPanelHeight + 18, int(kMinClientHeight));
    setFixedSize(kClientWidth, clientHeight);
    m_panel->setGeometry(0, clientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    m_panel->relayout(); // a hidden widget gets no resize event before it is shown
}

void TKelMsgDlg::SetButtons(TMsgDlgButtons buttons)
{
    // Highest member at the right edge, so members stand in increasing bit order left to right.
    // Focus and Tab follow the members' order, not this creation order: the first member (Yes,
    // or OK) has the focus, so Space answers with it.
    QList<QPushButton *> inBitOrder;
    for (int bit = 15; bit >= 0; --bit) {
        if (!(buttons & (1u << bit)) || kResultOfBit[bit] == 0)
            continue;
        auto *button = new QPushButton(this);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setProperty(kModalResultProperty, kResultOfBit[bit]);
        const int result = kResultOfBit[bit];
        connect(button, &QPushButton::clicked, this, [this, result] { setModalResult(result); });
        m_panel->addRightAligned(button, kButtonWidth, QMargins());
        inBitOrder.prepend(button);
    }
    for (qsizetype i = 1; i < inBitOrder.size(); ++i)
        setTabOrder(inBitOrder[i - 1], inBitOrder[i]);
    if (!inBitOrder.isEmpty())
        inBitOrder.first()->setFocus();
}

void TKelMsgDlg::UpdateButtonCaptions()
{
    for (QPushButton *button : m_panel->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly)) {
        const QString caption = captionOfResult(button->property(kModalResultProperty).toInt());
        if (!caption.isEmpty())
            button->setText(caption);
    }
}

void TKelMsgDlg::FormKeyDown(QKeyEvent &event)
{
    switch (classifyKey(event)) {
    case DialogKey::Enter:
        setModalResult(mrOk);
        break;
    case DialogKey::Escape:
    case DialogKey::Cancel:
        setModalResult(mrCancel);
        break;
    case DialogKey::Other:
        break;
    }
}

int KelMessageDlg(const QString &message, TMsgDlgButtons buttons, const QString &caption)
{
    TKelMsgDlg dialog;
    dialog.setWindowTitle(caption);
    dialog.setMessage(message);
    dialog.SetButtons(buttons);
    dialog.UpdateButtonCaptions();
    centerOn(dialog, nullptr);
    return runModal(dialog);
}

int KelConfirm(const QString &message)
{
    return KelMessageDlg(message, buttonSet({mbOK, mbCancel}), QString());
}

void KelShowMessage(const QString &message)
{
    KelMessageDlg(message, buttonSet({mbOK}), QString());
}

} // namespace tev
