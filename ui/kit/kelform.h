#pragma once

#include "ui/kit/modalresult.h"

#include <QDialog>

namespace tev {

// The base of the program's own modal forms. Qt's dialog gives Enter to a default button and
// Escape to reject(); the program's forms give keys a meaning only through their key handler, so
// both are dropped here. Closing the window by its close box gives Cancel (2).
class KelForm : public QDialog
{
    Q_OBJECT
public:
    explicit KelForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    int modalResult() const { return result(); }
    // Setting a result other than mrNone ends the modal run.
    void setModalResult(int result);

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Window flags of a fixed dialog without title-bar icons (no close box).
Qt::WindowFlags fixedDialogWithoutIcons();

// Centres a top-level widget on a form, or on its screen when there is no form.
void centerOn(QWidget &window, const QWidget *form);

} // namespace tev
