#include "core/shell/associatedprogram.h"
#include "desktopfixture.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(GetAssociatedProgram, SameProgramWithOrWithoutDot)
{
    test::DesktopFixture desktop;
    const QString program = desktop.AddApplication("tevtext", {"text/plain"});
    EXPECT_EQ(GetAssociatedProgram("txt").toStdString(), program.toStdString());
    EXPECT_EQ(GetAssociatedProgram(".txt").toStdString(), program.toStdString());
}

TEST(GetAssociatedProgram, EmptyWithoutAssociation)
{
    test::DesktopFixture desktop;
    desktop.AddApplication("tevtext", {"text/plain"});
    for (const char *extension : {"tevoraunknownext", ".tevoraunknownext", "", "."}) {
        SCOPED_TRACE(extension);
        EXPECT_EQ(GetAssociatedProgram(extension).toStdString(), "");
    }
}

TEST(GetAssociatedProgram, EntryWhoseProgramIsMissingGivesEmpty)
{
    test::DesktopFixture desktop;
    desktop.Write(desktop.Folder().file("data/applications/gone.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Gone\nExec=/nonexistent/gone %f\n");
    desktop.Write(desktop.Folder().file("config/mimeapps.list"),
                  "[Default Applications]\ntext/x-tevora-gone=gone.desktop\n");
    EXPECT_EQ(GetAssociatedProgram("kelb").toStdString(), "");
}

} // namespace
} // namespace tev
