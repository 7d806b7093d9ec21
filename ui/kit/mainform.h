#pragma once

class QWidget;

namespace tev {

// The application's main form: the owner of the progress dialog and what dialogs centre on. The
// program start registers it; until then dialogs have no owner and centre on the screen.
QWidget *mainForm();
void setMainForm(QWidget *form);

} // namespace tev
