#include "ui/dialogs/vyxinputdlg.h"

#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tev {

namespace {

constexpr int kInputTop = 30;

// A plain-text memo that holds at most maxLength characters, as a one-line edit does.
void limitLength(QPlainTextEdit *memo, int maxLength)
{
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxLength] {
        const QString text = memo->toPlainText();
        if (text.size() <= maxLength)
            return;
        QTextCursor cursor = memo->textCursor();
        const int position = std::min(cursor.position(), int(maxLength));
        memo->setPlainText(text.left(maxLength));
        cursor = memo->textCursor();
        cursor.setPosition(position);
        memo->setTextCursor(cursor);
    });
}

} // namespace

TvyxInputDlg::TvyxInputDlg(QWidget *parent)
    : KelForm(parent, fixedDialogWithoutIcons())
    , m_msgLabel(new QLabel(QStringLiteral("Message"), this))
    , m_panel(new ButtonPanel(this))
{
    const QFont font = dialogFont(FontFace::Tahoma, 13);
    setFont(font);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_msgLabel->setObjectName(QStringLiteral("MsgLabel"));
    m_msgLabel->setTextFormat(Qt::PlainText);
    m_msgLabel->move(10, 8);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setColor(colorFromValue(kColorButtonPanel));
    m_cancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), font, m_panel);
    m_okBtn = makePanelButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), font, m_panel);
    m_panel->addRightAligned(m_cancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    m_panel->addRightAligned(m_okBtn, 80, QMargins(0, 5, 0, 5), 35);
    connect(m_okBtn, &SpeedButton::clicked, this, &TvyxInputDlg::OKBtnClick);
    connect(m_cancelBtn, &SpeedButton::clicked, this, &TvyxInputDlg::CancelBtnClick);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
}

void TvyxInputDlg::setup(const QString &prompt, int maxLength, const QString &value)
{
    fitMessageLabel(*m_msgLabel, prompt, kWrapWidth);
    m_memo = maxLength > kMaxEditLength;
    if (m_memo) {
        auto *memo = new QPlainTextEdit(this);
        memo->setTabChangesFocus(false);
        memo->setFixedHeight(kMemoHeight);
        memo->setPlainText(value);
        limitLength(memo, std::max(maxLength, int(value.size())));
        m_inputCtrl = memo;
    } else {
        auto *edit = new QLineEdit(this);
        if (maxLength > 0)
            edit->setMaxLength(std::max(maxLength, int(value.size())));
        edit->setText(value);
        m_inputCtrl = edit;
    }
    m_inputCtrl->setObjectName(QStringLiteral("InputCtrl"));
    // The control stays at 30 also when the prompt wraps onto several lines.
    const int controlHeight = m_memo ? kMemoHeight : m_inputCtrl->sizeHint().height();
    m_inputCtrl->setGeometry(10, kInputTop, kClientWidth - 20, controlHeight);
    const int clientHeight =
        std::max(kInputTop + controlHeight + kPanelHeight + 10, int(kMinClientHeight));
    setFixedSize(kClientWidth, clientHeight);
    m_panel->setGeometry(0, clientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    m_panel->relayout(); // a hidden widget gets no resize event before it is shown
    m_inputCtrl->setFocus();
}

QString TvyxInputDlg::inputText() const
{
    if (auto *memo = qobject_cast<QPlainTextEdit *>(m_inputCtrl))
        return memo->toPlainText();
    if (auto *edit = qobject_cast<QLineEdit *>(m_inputCtrl))
        return edit->text();
    return {};
}

void TvyxInputDlg::OKBtnClick()
{
    setModalResult(mrOk);
}

void TvyxInputDlg::CancelBtnClick()
{
    setModalResult(mrCancel);
}

void TvyxInputDlg::FormKeyDown(QKeyEvent &event)
{
    switch (classifyKey(event)) {
    case DialogKey::Enter:
        if (!m_memo)
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

bool VyxInputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength)
{
    TvyxInputDlg dialog;
    dialog.setWindowTitle(caption);
    dialog.setDataType(dtString);
    dialog.setup(prompt, maxLength, value);
    centerOn(dialog, nullptr);
    if (runModal(dialog) != mrOk)
        return false;
    value = dialog.inputText();
    return true;
}

} // namespace tev
