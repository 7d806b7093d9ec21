#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tev::test {

// A temporary folder for one test, removed with it.
class TempFolder
{
public:
    TempFolder() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace tev::test
