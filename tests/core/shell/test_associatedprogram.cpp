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

TEST(GetAssociatedProgram, ProgramPathBeyondTheLimitGivesEmpty)
{
    test::DesktopFixture desktop;
    const QString fits = desktop.AddApplication("tevtext", {"text/plain"});
    const int room = kMaxAssociatedProgramLength - int(fits.size());
    ASSERT_GT(room, 2);
    // The same program one folder deeper, the folder's name taking the path just past the limit.
    const QString tooLong =
        desktop.AddApplication("tevtext", {"text/plain"}, QString(room, QLatin1Char('d')));
    ASSERT_EQ(tooLong.size(), kMaxAssociatedProgramLength + 1);
    EXPECT_EQ(GetAssociatedProgram("txt").toStdString(), "");

    const QString atLimit =
        desktop.AddApplication("tevtext", {"text/plain"}, QString(room - 1, QLatin1Char('d')));
    ASSERT_EQ(atLimit.size(), kMaxAssociatedProgramLength);
    EXPECT_EQ(GetAssociatedProgram("txt").toStdString(), atLimit.toStdString());
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
