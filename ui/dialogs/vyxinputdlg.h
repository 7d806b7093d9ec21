#pragma once

#include "ui/kit/kelform.h"

class QKeyEvent;
class QLabel;

namespace tev {

class ButtonPanel;
class SpeedButton;

enum TDataType { dtUnknown, dtString, dtInteger, dtBoolean, dtFloat, dtDateTime };

// The program's input box: a prompt, a one-line edit or, for long texts, a memo.
class TvyxInputDlg : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 400;
    static constexpr int kMinClientHeight = 100; // outer minimum 129 less the frame
    static constexpr int kWrapWidth = 380;
    static constexpr int kPanelHeight = 45;
    // Longer texts get a memo instead of a one-line edit.
    static constexpr int kMaxEditLength = 100;
    static constexpr int kMemoHeight = 90;

    explicit TvyxInputDlg(QWidget *parent = nullptr);

    // Sets the prompt, makes the input control for the maximum length (0: no limit) and sizes
    // the box. The limit holds for typing only: a longer value is shown and kept whole, so that
    // confirming the box never cuts it. The memo takes Enter as a line break, so then only the OK
    // button confirms.
    void setup(const QString &prompt, int maxLength, const QString &value);

    QWidget *InputCtrl() const { return m_inputCtrl; }
    QString inputText() const;
    bool hasMemo() const { return m_memo; }

    TDataType DataType() const { return m_dataType; }
    void setDataType(TDataType type) { m_dataType = type; }

    QLabel *msgLabel() const { return m_msgLabel; }
    ButtonPanel *panel() const { return m_panel; }
    SpeedButton *okBtn() const { return m_okBtn; }
    SpeedButton *cancelBtn() const { return m_cancelBtn; }

public Q_SLOTS:
    void OKBtnClick();
    void CancelBtnClick();

private:
    void FormKeyDown(QKeyEvent &event);

    QLabel *m_msgLabel;
    ButtonPanel *m_panel;
    SpeedButton *m_okBtn;
    SpeedButton *m_cancelBtn;
    QWidget *m_inputCtrl = nullptr;
    bool m_memo = false;
    TDataType m_dataType = dtUnknown;
};

// Asks for a text. True when the user confirmed; value then holds the entered text, otherwise
// it is left as it was.
bool VyxInputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength);

} // namespace tev
