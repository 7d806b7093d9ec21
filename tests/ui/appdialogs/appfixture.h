#pragma once

#include "core/app/tevapp.h"
#include "support/app/appenvironment.h"
#include "support/app/sequencetree.h"
#include "ui/kit/modalrunner.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tev::test {

// A real application object in temporary folders, with an embedded database, whose sequence
// folder is a copy of the shared sequence tree.
class AppDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = std::make_unique<TTevApp>(nullptr, m_env.exeName());
        m_app->SetSEQDir(m_tree.root());
        m_currentBefore = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(m_currentBefore); }

    TTevApp &app() { return *m_app; }
    QString seq(const QString &relative = {}) const
    {
        return relative.isEmpty() ? m_tree.root() : m_tree.file(relative);
    }

    // Writes a text file below the sequence folder: Windows-1252 lines ended by CR LF.
    void writeSeqFile(const QString &relative, const QStringList &lines) const
    {
        const QString name = seq(relative);
        QDir().mkpath(QFileInfo(name).path());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join("\r\n").toLatin1() + "\r\n");
    }

    AppEnvironment m_env;
    SequenceTree m_tree;
    std::unique_ptr<TTevApp> m_app;
    QString m_currentBefore;
};

// Runs dialogs of one type through the modal runner: shows the dialog, hands it to the action
// and returns the result the dialog was left with (0 when it is still open). Dialogs of other
// types (message boxes, pickers) go to other, when given, else are cancelled.
template <typename Dialog> class Drive
{
public:
    using Action = std::function<void(Dialog &)>;
    using Other = std::function<int(QDialog &)>;

    explicit Drive(Action action, Other other = {})
        : m_guard([this](QDialog &dialog) {
            auto *own = qobject_cast<Dialog *>(&dialog);
            if (!own)
                return m_other ? m_other(dialog) : 2;
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            ++m_runs;
            m_action(*own);
            m_stillOpen = dialog.isVisible();
            const int result = dialog.result();
            return result;
        })
        , m_action(std::move(action))
        , m_other(std::move(other))
    {}

    int runs() const { return m_runs; }
    bool stillOpen() const { return m_stillOpen; }

private:
    ModalRunnerGuard m_guard;
    Action m_action;
    Other m_other;
    int m_runs = 0;
    bool m_stillOpen = false;
};

} // namespace tev::test
