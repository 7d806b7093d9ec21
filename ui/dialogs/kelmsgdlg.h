#pragma once

#include "ui/kit/kelform.h"

#include <QString>
#include <cstdint>
#include <initializer_list>

class QKeyEvent;
class QLabel;
class QScrollArea;

namespace tev {

class ButtonPanel;

// Members of a message box's button set, by bit number.
enum TMsgDlgBtn : int {
    mbYes = 0,
    mbNo = 1,
    mbOK = 2,
    mbCancel = 3,
    mbAbort = 4,
    mbRetry = 5,
    mbIgnore = 6,
    mbAll = 7,
    mbNoToAll = 8,
    mbYesToAll = 9,
    mbHelp = 10,
    mbClose = 11,
};

// A set of TMsgDlgBtn held in 16 bits: [mbYes, mbNo] is 3, [mbOK, mbCancel] 12, [mbOK] 4.
using TMsgDlgButtons = std::uint16_t;

constexpr TMsgDlgButtons buttonSet(std::initializer_list<TMsgDlgBtn> members)
{
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn m : members)
        set = TMsgDlgButtons(set | (1u << m));
    return set;
}

// The program's message box: a message above a dark panel of buttons.
class TKelMsgDlg : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 400;
    // The box's minimum outer height of 129 pixels leaves a client area of at least 100.
    static constexpr int kMinClientHeight = 100;
    // A message wider than this wraps; 10 pixels stay free on each side of the 400.
    static constexpr int kWrapWidth = 380;
    static constexpr int kPanelHeight = 40;
    static constexpr int kButtonWidth = 100;
    // A message taller than this scrolls, so that the box with its buttons fits the smallest
    // screen the program is made for (a client area of 1280 x 721).
    static constexpr int kMaxTextHeight = 480;

    explicit TKelMsgDlg(QWidget *parent = nullptr);

    // Sets the message and sizes the box to it.
    void setMessage(const QString &text);
    void SetButtons(TMsgDlgButtons buttons);
    void UpdateButtonCaptions();

    QLabel *msgLabel() const { return m_msgLabel; }
    ButtonPanel *panel() const { return m_panel; }
    // The scroll area around a message taller than kMaxTextHeight; null until one was that tall.
    QScrollArea *scrollArea() const { return m_scroll; }

private:
    void FormKeyDown(QKeyEvent &event);
    // Puts the label into the scroll area (or back onto the box) and returns the height the
    // text takes on the box.
    int placeLabel(const QString &text);

    QLabel *m_msgLabel;
    ButtonPanel *m_panel;
    QScrollArea *m_scroll = nullptr;
};

// Lays a label out as the message and input boxes do: one line as wide as its longest line,
// wrapped at wrapWidth when wider (a WrapLabel also inside a word that is wider). Line breaks in
// the text still break lines.
void fitMessageLabel(QLabel &label, const QString &text, int wrapWidth);

// Shows the message box modally and returns its modal result.
int KelMessageDlg(const QString &message, TMsgDlgButtons buttons, const QString &caption);
// The box with OK and Cancel: 1 or 2.
int KelConfirm(const QString &message);
// The box with OK; the result is dropped.
void KelShowMessage(const QString &message);

} // namespace tev
