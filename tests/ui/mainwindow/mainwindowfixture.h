#pragma once

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "support/app/appenvironment.h"
#include "support/app/sequencetree.h"
#include "support/tempfolder.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/modalrunner.h"
#include "ui/mainwindow/tevmainform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tev::test {

// Answers every dialog the window shows: the message boxes' texts are recorded, and each run
// returns the next answer of the list (Cancel once the list is used up).
class DialogAnswers
{
public:
    explicit DialogAnswers(QList<int> answers = {})
        : m_answers(std::move(answers))
        , m_guard([this](QDialog &dialog) {
            if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog))
                m_texts << box->msgLabel()->text();
            else
                m_texts << dialog.objectName();
            if (m_onDialog)
                return m_onDialog(dialog);
            return m_answers.isEmpty() ? int(mrCancel) : m_answers.takeFirst();
        })
    {}

    // The texts of the message boxes (or the object names of other dialogs), in order.
    const QStringList &texts() const { return m_texts; }
    void onDialog(std::function<int(QDialog &)> handler) { m_onDialog = std::move(handler); }

private:
    QList<int> m_answers;
    QStringList m_texts;
    std::function<int(QDialog &)> m_onDialog;
    ModalRunnerGuard m_guard;
};

// A main window on an application root of its own with an embedded database, its registry in a
// temporary folder, and the sequence folder where the test puts it.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_registry.path());
    }

    // Stores the sequence folder in the settings before a window starts.
    void setSequenceFolder(const QString &folder)
    {
        TTevApp app(nullptr, m_env.exeName());
        app.SetSEQDir(folder);
        app.WriteSettings();
    }

    TTevMainForm &start()
    {
        m_form = std::make_unique<TTevMainForm>(m_env.exeName());
        return *m_form;
    }
    void stop() { m_form.reset(); }
    TTevMainForm &form() { return *m_form; }

    template <typename T> T *child(const char *name)
    {
        T *found = m_form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QSqlDatabase db() { return m_form->App()->Data().Database()->database(); }

    QSettings registry()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vyx"),
                         QStringLiteral("Tevora"));
    }

    TempFolder m_registry;
    AppEnvironment m_env;
    std::unique_ptr<TTevMainForm> m_form;
};

// A main window on the shared sequence tree: the tree is the sequence folder, and helpers make
// work projects in the database, select nodes as a click does and read the database.
class SequenceWindowTest : public MainWindowTest
{
protected:
    SequenceWindowTest() { setSequenceFolder(m_seq.root()); }

    TTevProject &project() { return form().App()->Project(); }

    // Creates a work project from a master through the project and saves it; the tree is read
    // again so that it shows the file. Nothing stays open.
    void createWork(const QString &relative, const QString &name,
                    const QString &master = SequenceTree::Housing)
    {
        ASSERT_TRUE(project().New(relative, name, TTevFileType::pftSEQ, master, {}, {}));
        project().Save();
        project().Close();
        form().Tree()->RefreshNodes();
    }

    // A work project made from the master, opened with a click and saved; the file as saved.
    QByteArray openSavedWork(const QString &relative, const QString &name)
    {
        createWork(relative, name);
        click(relative);
        EXPECT_TRUE(project().ExistsInDatabase());
        project().Save();
        return fileBytes(relative);
    }

    // The node of a file or folder, its folders expanded as a user does (a search through the
    // tree's FindNode would refill open folders and drop the selected node).
    QTreeWidgetItem *node(const QString &relative)
    {
        TvyxDirectoryTreeView *tree = form().Tree();
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

    // Presses the mouse on a node as a user does.
    void click(const QString &relative, Qt::KeyboardModifiers modifiers = {})
    {
        QTreeWidgetItem *item = node(relative);
        if (!item)
            return;
        TvyxDirectoryTreeView *tree = form().Tree();
        // Finding the node expanded its folders; the rows are laid out before the click.
        tree->doItemsLayout();
        tree->scrollToItem(item);
        EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualItemRect(item).center()))
            << relative.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers,
                          tree->visualItemRect(item).center());
        QCoreApplication::processEvents();
    }

    QString selectedPath()
    {
        const QList<QTreeWidgetItem *> items = form().Tree()->selectedItems();
        return items.size() == 1 ? TvyxDirectoryTreeView::GetFullPath(items.constFirst())
                                 : QString::number(items.size());
    }

    QStringList column(const QString &sql)
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList values;
        while (q.next())
            values << q.value(0).toString();
        return values;
    }

    QByteArray fileBytes(const QString &relative)
    {
        QFile f(m_seq.file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    SequenceTree m_seq;
};

} // namespace tev::test
