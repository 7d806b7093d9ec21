#pragma once

// The whole program for end-to-end tests: the main window as the program start makes it, on an
// application root of its own (private Firebird folder, connection file, embedded database),
// per-user settings and registry store in temporary folders, and a copy of the shared sequence
// tree as the sequence folder. Dialogs are answered through the modal runner (ProgramAnswers),
// pickers through PickerAnswerGuard. Only programs that link the user interface include this.

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "support/app/appenvironment.h"
#include "support/app/sequencetree.h"
#include "support/tempfolder.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/mainwindow/tevmainform.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tev::test {

// Answers every dialog the program shows while it lives: a handler decides (by default the next
// answer of the list, then Cancel); the texts of message boxes and the object names of other
// dialogs are recorded in order.
class ProgramAnswers
{
public:
    explicit ProgramAnswers(QList<int> answers = {})
        : m_answers(std::move(answers))
        , m_guard([this](QDialog &dialog) {
            if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog))
                m_texts << box->msgLabel()->text();
            else
                m_texts << dialog.objectName();
            if (m_handler)
                return m_handler(dialog);
            return m_answers.isEmpty() ? int(mrCancel) : m_answers.takeFirst();
        })
    {}

    const QStringList &texts() const { return m_texts; }
    void onDialog(std::function<int(QDialog &)> handler) { m_handler = std::move(handler); }

private:
    QList<int> m_answers;
    QStringList m_texts;
    std::function<int(QDialog &)> m_handler;
    ModalRunnerGuard m_guard;
};

class WholeProgram : public ::testing::Test
{
protected:
    WholeProgram()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_registry.path());
        TTevApp app(nullptr, m_env.exeName());
        app.SetSEQDir(m_seq.root());
        app.WriteSettings();
    }
    ~WholeProgram() override
    {
        if (m_form) {
            // A test that ends with unsaved changes drops them without a question.
            ProgramAnswers dropChanges({mrNo, mrNo, mrNo});
            stop();
        }
    }

    // Starts the program's window as the program start does.
    TTevMainForm &start()
    {
        m_form = std::make_unique<TTevMainForm>(m_env.exeName());
        setMainForm(m_form.get());
        m_form->show();
        QCoreApplication::processEvents();
        return *m_form;
    }
    // Closes the window as the user does; true when it closed (a question may keep it open).
    bool close()
    {
        const bool closed = m_form->close();
        QCoreApplication::processEvents();
        return closed;
    }
    // Closes the window and ends the program: what a user's Exit does, whatever the answer.
    void stop()
    {
        close();
        setMainForm(nullptr);
        m_form.reset();
    }
    TTevMainForm &restart()
    {
        stop();
        return start();
    }

    TTevMainForm &form() { return *m_form; }
    TTevProject &project() { return m_form->App()->Project(); }
    QString seq(const QString &relative) const { return m_seq.file(relative); }

    template <typename T> T *child(const char *name)
    {
        T *found = m_form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The tree node of a file or folder below the sequence folder, its folders expanded.
    QTreeWidgetItem *node(const QString &relative)
    {
        TvyxDirectoryTreeView *tree = m_form->Tree();
        QTreeWidgetItem *found = tree->topNode();
        for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            if (!found)
                break;
            tree->expandNode(found);
            found = TvyxDirectoryTreeView::FindChildNode(found, part);
        }
        EXPECT_NE(found, nullptr) << relative.toStdString();
        return found;
    }
    // A mouse click on a tree node.
    void click(const QString &relative)
    {
        QTreeWidgetItem *item = node(relative);
        if (!item)
            return;
        TvyxDirectoryTreeView *tree = m_form->Tree();
        tree->doItemsLayout();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
        QCoreApplication::processEvents();
    }
    QString selectedPath()
    {
        const QList<QTreeWidgetItem *> items = m_form->Tree()->selectedItems();
        return items.size() == 1 ? TvyxDirectoryTreeView::GetFullPath(items.constFirst())
                                 : QString::number(items.size());
    }

    // The rows of a query on the program's database, each row's columns joined by "|".
    QStringList rows(const QString &sql)
    {
        QSqlQuery q(m_form->App()->Data().Database()->database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList result;
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            result << values.join(QLatin1Char('|'));
        }
        return result;
    }

    QByteArray fileBytes(const QString &relative) const
    {
        QFile f(m_seq.file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFileBytes(const QString &relative, const QByteArray &bytes) const
    {
        QFile f(m_seq.file(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << relative.toStdString();
        f.write(bytes);
    }
    // The files below a folder, relative to it, sorted.
    static QStringList filesBelow(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(folder.size() + 1);
        files.sort();
        return files;
    }

    TempFolder m_registry;
    AppEnvironment m_env;
    SequenceTree m_seq;
    std::unique_ptr<TTevMainForm> m_form;
};

} // namespace tev::test
