#include "core/project/tevproject.h"
#include "projectfixture.h"

#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

class ProjectSeam : public ProjectFixture
{
protected:
    // A project model on the real module, with the work sequence of the fixtures read in.
    std::unique_ptr<TTevProject> openWork()
    {
        auto project = std::make_unique<TTevProject>(nullptr, &m_data);
        project->SetRootDir(TEVORA_FIXTURES_DIR "/sequence");
        project->ReadSequenceFile(TEVORA_FIXTURES_DIR "/sequence/work.seq");
        return project;
    }
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(ProjectSeam);

TEST_P(ProjectSeam, AProjectReadFromItsFileRoundTripsThroughTheDatabase)
{
    auto first = openWork();
    ProjectDatabase &seam = m_data;
    const QString name = first->RelativeFileName();
    ASSERT_FALSE(name.isEmpty());
    const int chars = first->DataSetChars().recordCount();
    ASSERT_GT(chars, 0);
    seam.WriteProject(name, first->DataSetProject(), first->DataSetChars(),
                      TTevDBUpdateMode::dbumSaveAll);
    EXPECT_EQ(column("select count(*) from CHARACTERISTICS").first().toInt(), chars);
    EXPECT_EQ(seam.GetProjectFileName(1), name);

    // The same file read again matches every stored row: nothing is new or changed.
    auto second = openWork();
    ASSERT_TRUE(seam.ReadProject(name, second->DataSetProject(), second->DataSetChars()));
    EXPECT_EQ(second->DataSetChars().recordCount(), chars);
    EXPECT_EQ(second->DataSetProject().fieldByName("STATE").asInteger() & (2 | 4), 0);
    MemDataSet &c = second->DataSetChars();
    for (c.first(); !c.eof(); c.next())
        EXPECT_EQ(c.fieldByName("STATE").asInteger(), 0)
            << c.fieldByName("LABEL").asString().toStdString();
    ASSERT_TRUE(c.locate("LABEL", {"C1"}));
    EXPECT_EQ(c.fieldByName("NOMINAL").asFloat(), 1.5);
}
