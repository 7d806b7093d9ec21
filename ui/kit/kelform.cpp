#include "ui/kit/kelform.h"

#include <QKeyEvent>
#include <QScreen>

namespace tev {

KelForm::KelForm(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{}

void KelForm::setModalResult(int result)
{
    if (result == mrNone)
        setResult(mrNone);
    else
        done(result);
}

void KelForm::reject()
{
    done(mrCancel);
}

void KelForm::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

Qt::WindowFlags fixedDialogWithoutIcons()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

void centerOn(QWidget &window, const QWidget *form)
{
    QRect area;
    if (form && form->isVisible())
        area = form->frameGeometry();
    else if (const QScreen *screen = form ? form->screen() : window.screen())
        area = screen->availableGeometry();
    if (area.isValid())
        window.move(area.center() - window.rect().center());
}

} // namespace tev
