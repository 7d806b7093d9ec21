#pragma once

#include "ui/kit/kelform.h"

#include <QPointer>
#include <functional>

class QKeyEvent;
class QLabel;

namespace tev {

class SpeedButton;
class TLinkLabel;
class TTevApp;

// The about box: product name, the program's version, the maker's notice, a link to the maker's
// web site and a "Support" link to the support contacts. Borderless and modeless; Escape and
// "Close" close it, and a closed box frees itself.
class TKelAboutBox : public KelForm
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 456;
    static constexpr int kClientHeight = 350;

    TKelAboutBox(QWidget *owner, TTevApp *App);

    QWidget *Panel1;
    QLabel *ProgramIcon;
    QLabel *Image1;
    QWidget *Panel2;
    QLabel *LProductName;
    QLabel *LProductNameText;
    QLabel *LVersion;
    QLabel *LVersionText;
    QLabel *LCopyright;
    QLabel *LblVYX;
    TLinkLabel *LinkVYX;
    TLinkLabel *LSupport;
    SpeedButton *CloseBtn;

    // What opens the web site; the desktop's browser unless replaced (tests).
    std::function<void(const QString &Url)> OpenLink;

public Q_SLOTS:
    void CloseClick();
    void LinkVYXClick();
    void LSupportClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormKeyDown(QKeyEvent &event);

    QPointer<TTevApp> FApp;
    bool FCentred = false;
};

// Shows a new about box for the application, owned by the main form, and returns it; the
// version is read from the program's executable (tev::Error when it carries none, and then no
// box is shown).
TKelAboutBox *ShowAboutBox(TTevApp *App);

} // namespace tev
