#pragma once

#include "ui/kit/modalrunner.h"

#include <QDialog>
#include <functional>

namespace tev::test {

// Runs the dialog routines without a human: each modal run shows the dialog, hands it to the
// action (which presses keys or buttons) and returns the modal result the dialog was left with.
class DriveDialogs
{
public:
    using Action = std::function<void(QDialog &)>;

    explicit DriveDialogs(Action action)
        : m_guard([this](QDialog &dialog) {
            dialog.show();
            m_action(dialog);
            ++m_runs;
            const int result = dialog.result();
            m_stillVisible = dialog.isVisible();
            return result;
        })
        , m_action(std::move(action))
    {}

    int runs() const { return m_runs; }
    bool stillVisible() const { return m_stillVisible; }

private:
    ModalRunnerGuard m_guard;
    Action m_action;
    int m_runs = 0;
    bool m_stillVisible = false;
};

} // namespace tev::test
