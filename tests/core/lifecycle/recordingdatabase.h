#pragma once

#include "core/db/tevdatamodule.h"
#include "platform/dataset/dataset.h"

#include <QStringList>

namespace tev::test {

// The real database module behind the project's seam, recording every call that writes.
class RecordingDatabase : public ProjectDatabase
{
public:
    explicit RecordingDatabase(TTevDataModule &data)
        : m_data(data)
    {}

    QStringList writes;

    int CreateProject(const QString &FileName, const QString &ProjectName, int FileType,
                      const QString &Params) override
    {
        writes << "CreateProject " + FileName;
        return m_data.CreateProject(FileName, ProjectName, FileType, Params);
    }
    void DeleteProject(const QString &FileName) override
    {
        writes << "DeleteProject " + FileName;
        m_data.DeleteProject(FileName);
    }
    bool ReadProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                     TStoredStamp *Stamp) override
    {
        return m_data.ReadProject(FileName, CDSHeader, CDSChars, Stamp);
    }
    void WriteProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                      TTevDBUpdateMode UpdateMode, TStoredStamp *Stamp) override
    {
        writes << "WriteProject " + FileName;
        m_data.WriteProject(FileName, CDSHeader, CDSChars, UpdateMode, Stamp);
    }
    int WriteProjectHeader(const QString &FileName, MemDataSet &CDSHeader,
                           TStoredStamp *Stamp) override
    {
        writes << "WriteProjectHeader " + FileName;
        return m_data.WriteProjectHeader(FileName, CDSHeader, Stamp);
    }
    void WriteProjectChars(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp) override
    {
        writes << QStringLiteral("WriteProjectChars %1").arg(ProjectId);
        m_data.WriteProjectChars(ProjectId, CDSChars, Stamp);
    }
    void UpdateChar(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp) override
    {
        writes << QStringLiteral("UpdateChar %1").arg(ProjectId);
        m_data.UpdateChar(ProjectId, CDSChars, Stamp);
    }
    QString GetProjectFileName(int ProjectId) override
    {
        return m_data.GetProjectFileName(ProjectId);
    }
    std::unique_ptr<DataSet> FindProjects(const QString &FileFilter) override
    {
        return m_data.FindProjects(FileFilter);
    }
    void AddRefProject(int ProjectId, const QString &RefFileName,
                       const QString &RefProjectName) override
    {
        writes << QStringLiteral("AddRefProject %1 %2").arg(ProjectId).arg(RefFileName);
        m_data.AddRefProject(ProjectId, RefFileName, RefProjectName);
    }
    void RemoveRefProject(int ProjectId, const QString &RefFileName) override
    {
        writes << QStringLiteral("RemoveRefProject %1 %2").arg(ProjectId).arg(RefFileName);
        m_data.RemoveRefProject(ProjectId, RefFileName);
    }
    bool ExistsReference(int ProjectId, const QString &RefFileName) override
    {
        return m_data.ExistsReference(ProjectId, RefFileName);
    }
    void GetRefProjects(int ProjectId, QStringList &List) override
    {
        m_data.GetRefProjects(ProjectId, List);
    }
    void GetDependingProjects(const QString &FileName, QStringList &List) override
    {
        m_data.GetDependingProjects(FileName, List);
    }
    void UpdateDependingProjects(const QString &FileName, MemDataSet &CDSChars, bool SaveAll,
                                 const TDependingProjectFunc &Dependent = {}) override
    {
        writes << "UpdateDependingProjects " + FileName;
        m_data.UpdateDependingProjects(FileName, CDSChars, SaveAll, Dependent);
    }

private:
    TTevDataModule &m_data;
};

} // namespace tev::test
