#include "projectfixture.h"

#include "catalogue.h"
#include "core/project/projectdatasets.h"

namespace tev::test {

ProjectFixture::ProjectFixture()
{
    EXPECT_TRUE(m_data.Connected());
    m_data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    CreateProjectDataSet(m_header);
    CreateCharDataSet(m_chars);
}

void ProjectFixture::exec(const QString &sql)
{
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
}

QStringList ProjectFixture::column(const QString &sql) const
{
    return Column(db(), sql);
}

void ProjectFixture::addChar(int charId, const QString &label, const QString &refFileName,
                             double nominal, int active)
{
    m_chars.append();
    m_chars.fieldByName("GROUPID").setAsInteger(1);
    m_chars.fieldByName("CHARID").setAsInteger(charId);
    m_chars.fieldByName("FEATURE").setAsString("F" + label);
    m_chars.fieldByName("LABEL").setAsString(label);
    m_chars.fieldByName("REF_FILENAME").setAsString(refFileName);
    if (!std::isnan(nominal))
        m_chars.fieldByName("NOMINAL").setAsFloat(nominal);
    m_chars.fieldByName("DECIMALS").setAsInteger(4);
    m_chars.fieldByName("ACTIVE").setAsInteger(active);
    m_chars.post();
}

void ProjectFixture::setHeader(const QString &name, const QString &fileName, const QString &params)
{
    if (m_header.isEmpty())
        m_header.append();
    else
        m_header.edit();
    m_header.fieldByName("PROJECTNAME").setAsString(name);
    m_header.fieldByName("FILENAME").setAsString(fileName);
    m_header.fieldByName("PARAMS").setAsString(params);
    m_header.fieldByName("FILETYPE").setAsInteger(1);
    m_header.fieldByName("GENERATOR").setAsString("Tevora");
    m_header.post();
}

void ProjectFixture::gotoChar(const QString &label, const QString &refFileName)
{
    const bool found = refFileName.isEmpty()
                           ? m_chars.locate("LABEL", {label})
                           : m_chars.locate("LABEL;REF_FILENAME", {label, refFileName});
    ASSERT_TRUE(found) << label.toStdString();
}

} // namespace tev::test
