#pragma once

#include "ui/kit/kelform.h"

class QKeyEvent;

namespace tev {

class ButtonPanel;
class SpeedButton;

// The base of the program's application dialogs: a body for the derived dialog's controls above
// a panel with OK and Cancel. Enter confirms and the Cancel key cancels; Escape is left to a
// derived dialog that wants it. The border is a dialog border: the size a dialog has when it is
// first shown (400 x 400, or what a derived dialog set) is fixed, the user cannot change it.
class TvyxCustomDlg : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kPanelHeight = 45;

    // Centred on its owner, with the panel in the style's panel colour.
    explicit TvyxCustomDlg(QWidget *owner = nullptr);

    QWidget *body() const { return m_body; }
    ButtonPanel *panel() const { return m_panel; }
    SpeedButton *okBtn() const { return m_okBtn; }
    SpeedButton *cancelBtn() const { return m_cancelBtn; }

public Q_SLOTS:
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void setVisible(bool visible) override;
    virtual void FormKeyDown(QKeyEvent &event);

private:
    QWidget *m_body;
    ButtonPanel *m_panel;
    SpeedButton *m_okBtn;
    SpeedButton *m_cancelBtn;
    bool m_centred = false;
    bool m_sizeFixed = false;
};

} // namespace tev
