#pragma once

#include "core/db/tevdatamodule.h"
#include "platform/dataset/memdataset.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdtestenv.h"

#include <QSqlQuery>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tev::test {

inline constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

// A connected module on a fresh database with the whole schema, and the project model's two
// datasets. The database is embedded or on a server, after the test's parameter
// (TEVORA_INSTANTIATE_BACKENDS); a TEST_F uses the embedded one.
class ProjectFixture : public ::testing::TestWithParam<DatabaseBackend>
{
protected:
    ProjectFixture();

    QSqlDatabase db() const { return m_data.Database()->database(); }
    void exec(const QString &sql);
    QStringList column(const QString &sql) const;

    // Appends a characteristic record.
    void addChar(int charId, const QString &label, const QString &refFileName, double nominal,
                 int active = 1);
    // Sets the header record of a work project.
    void setHeader(const QString &name, const QString &fileName, const QString &params = {});
    // Goes to the record with that label (and master file, when given).
    void gotoChar(const QString &label, const QString &refFileName = {});

    TempAppRoot m_root;
    BackendConnectionFile m_backend{m_root};
    TTevDataModule m_data{m_root.path()};
    MemDataSet m_header;
    MemDataSet m_chars;
};

} // namespace tev::test
