#pragma once

#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "support/app/firebirdtestenv.h"
#include "support/app/sequencetree.h"

#include <QByteArray>
#include <QStringList>
#include <gtest/gtest.h>

namespace tev::test {

class FirebirdServer;

// A copy of the sequence tree, a connected module on a fresh embedded Firebird database (or on a
// server's) and a project rooted at the tree, whose clock stands at the time the fixture's work
// files were saved.
class LifecycleTest : public ::testing::Test
{
protected:
    LifecycleTest();
    // The same, with the database file "DB/Tevora.fdb" below the root held by that server.
    explicit LifecycleTest(const FirebirdServer &server);

    QSqlDatabase db() const { return m_data.Database()->database(); }
    // The first column of every row, as text.
    QStringList column(const QString &sql) const;
    int count(const QString &sql) const;
    void exec(const QString &sql);

    // Creates a work project from its masters (the first through New) and saves it.
    void createWork(const QString &relative, const QString &name, const QStringList &masters);
    // The characteristics of the open project in routine order, as "GROUP/LABEL".
    QStringList routine();
    // The stored rows of a project, in CHARID order, as "CHARID:LABEL:REF_FILENAME".
    QStringList storedRows(const QString &relative) const;
    int projectId(const QString &relative) const;

    static QByteArray readBytes(const QString &fileName);
    static void writeBytes(const QString &fileName, const QByteArray &bytes);

    SequenceTree m_tree;
    TempAppRoot m_root;

private:
    explicit LifecycleTest(const FirebirdServer *server);

    // Writes the root's connection file for a server, before the module reads it.
    struct ServerConnectionFile
    {
        ServerConnectionFile(const TempAppRoot &root, const FirebirdServer *server);
    } m_connectionFile;

protected:
    TTevDataModule m_data{m_root.path()};
    TTevProject m_project{nullptr, &m_data};
};

} // namespace tev::test
