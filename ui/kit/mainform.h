#pragma once

#include <QString>

class QWidget;

namespace tev {

// The application's main form: the owner of the progress dialog and what dialogs centre on. The
// program start registers it; until then dialogs have no owner and centre on the screen.
QWidget *mainForm();
void setMainForm(QWidget *form);

} // namespace tev

namespace tev {

// The application title, "Tevora" unless the program start sets another; error reports and
// window titles use it.
QString applicationTitle();
void setApplicationTitle(const QString &title);

} // namespace tev
