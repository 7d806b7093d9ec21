#include "ui/kit/modalrunner.h"

#include <QDialog>

namespace tev {

namespace {

ModalRunner &currentRunner()
{
    static ModalRunner runner;
    return runner;
}

} // namespace

int runModal(QDialog &dialog)
{
    if (const ModalRunner &runner = currentRunner())
        return runner(dialog);
    return dialog.exec();
}

ModalRunnerGuard::ModalRunnerGuard(ModalRunner runner)
    : m_previous(std::exchange(currentRunner(), std::move(runner)))
{}

ModalRunnerGuard::~ModalRunnerGuard()
{
    currentRunner() = std::move(m_previous);
}

} // namespace tev
