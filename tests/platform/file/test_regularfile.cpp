#include "platform/file/regularfile.h"
#include "support/tempfolder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tev {
namespace {

// A reader that checked a name must read the file it checked: with FinalLink::Refuse a link put
// in the file's place is not opened, whatever it leads to.
TEST(OpenRegularFile, AFinalLinkIsFollowedOrRefusedAsAsked)
{
    test::TempFolder dir;
    {
        QFile file(dir.file("real.fmt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write("format"), 6);
    }
    ASSERT_TRUE(QFile::link(dir.file("real.fmt"), dir.file("link.fmt")));

    QFile file;
    EXPECT_EQ(OpenRegularFile(file, dir.file("link.fmt")), "");
    EXPECT_EQ(file.readAll(), "format");
    EXPECT_EQ(OpenRegularFile(file, dir.file("real.fmt"), FinalLink::Refuse), "");
    EXPECT_EQ(file.readAll(), "format");
    EXPECT_EQ(OpenRegularFile(file, dir.file("link.fmt"), FinalLink::Refuse),
              "it is a symbolic link");
}

} // namespace
} // namespace tev
