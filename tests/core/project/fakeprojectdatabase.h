#pragma once

#include "core/project/projectdatabase.h"
#include "platform/dataset/dataset.h"

#include <QStringList>

namespace tev::test {

// Stands in for the database module: records the calls the project makes.
class FakeProjectDatabase : public ProjectDatabase
{
public:
    QStringList calls;

    int CreateProject(const QString &FileName, const QString &, int, const QString &) override
    {
        calls << "CreateProject " + FileName;
        return 1;
    }
    void DeleteProject(const QString &FileName) override { calls << "DeleteProject " + FileName; }
    bool ReadProject(const QString &FileName, MemDataSet &, MemDataSet &, TStoredStamp *) override
    {
        calls << "ReadProject " + FileName;
        return false;
    }
    void WriteProject(const QString &FileName, MemDataSet &, MemDataSet &,
                      TTevDBUpdateMode UpdateMode, TStoredStamp *) override
    {
        calls << QStringLiteral("WriteProject %1 %2").arg(FileName).arg(int(UpdateMode));
    }
    int WriteProjectHeader(const QString &FileName, MemDataSet &, TStoredStamp *) override
    {
        calls << "WriteProjectHeader " + FileName;
        return 1;
    }
    void WriteProjectChars(int ProjectId, MemDataSet &, TStoredStamp *) override
    {
        calls << QStringLiteral("WriteProjectChars %1").arg(ProjectId);
    }
    void UpdateChar(int ProjectId, MemDataSet &, TStoredStamp *) override
    {
        calls << QStringLiteral("UpdateChar %1").arg(ProjectId);
    }
    QString GetProjectFileName(int) override { return {}; }
    std::unique_ptr<DataSet> FindProjects(const QString &) override { return nullptr; }
    void AddRefProject(int, const QString &, const QString &) override {}
    void RemoveRefProject(int, const QString &) override {}
    bool ExistsReference(int, const QString &) override { return false; }
    void GetRefProjects(int, QStringList &) override {}
    void GetDependingProjects(const QString &, QStringList &) override {}
    void UpdateDependingProjects(const QString &, MemDataSet &, bool,
                                 const TDependingProjectFunc & = {}) override
    {}
};

} // namespace tev::test
