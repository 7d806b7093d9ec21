#pragma once

#include <QStringList>

namespace tev::script {

// The dialogs scripts may show (ShowMessage, MessageDlg, InputBox). The engine stays headless:
// the user interface layer injects its own service; without one, messages go to the engine's
// output and questions get their default answer.
class UiService
{
public:
    virtual ~UiService() = default;
    virtual void showMessage(const QString &text) = 0;
    // dlgType: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom; buttons as the
    // dialog's button flags; returns the modal result of the chosen button (mrOk = 1, ...).
    virtual int messageDlg(const QString &text, int dlgType, int buttons) = 0;
    // Returns false when the user cancels; value holds the default on entry.
    virtual bool inputQuery(const QString &caption, const QString &prompt, QString &value) = 0;
};

} // namespace tev::script
