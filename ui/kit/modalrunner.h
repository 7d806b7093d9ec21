#pragma once

#include <functional>

class QDialog;

namespace tev {

// Every dialog of the program is shown modally through runModal, never through QDialog::exec
// directly. Tests and the gallery replace the runner to drive a dialog without a human: the
// replacement may show the dialog, press keys or buttons, grab it, and returns the modal result.
using ModalRunner = std::function<int(QDialog &)>;

int runModal(QDialog &dialog);

// Replaces the runner for its lifetime and restores the previous one afterwards.
class ModalRunnerGuard
{
public:
    explicit ModalRunnerGuard(ModalRunner runner);
    ~ModalRunnerGuard();
    ModalRunnerGuard(const ModalRunnerGuard &) = delete;
    ModalRunnerGuard &operator=(const ModalRunnerGuard &) = delete;

private:
    ModalRunner m_previous;
};

} // namespace tev
