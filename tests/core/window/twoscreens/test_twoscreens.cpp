#include "core/window/windowplacement.h"
#include "platform/ini/tinifile.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace tev {
namespace {

QString MakeIni(const test::TempFolder &dir, const QByteArray &contents = QByteArray())
{
    const QString path = dir.file("placement.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path;
}

TEST(TwoScreens, PlatformHasTwoScreens)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    EXPECT_EQ(QGuiApplication::screens()[1]->geometry(), QRect(1920, 0, 1280, 1024));
}

TEST(TwoScreens, PositionIsStoredRelativeToTheSecondMonitor)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir);
    QWidget form;
    form.move(2020, 50);
    form.resize(640, 480);
    WriteWindowPlacementToRegistry(&form, ini);
    const TIniFile file(ini);
    EXPECT_EQ(file.ReadInteger("Window", "Left", -1), 100);
    EXPECT_EQ(file.ReadInteger("Window", "Top", -1), 50);
    EXPECT_EQ(file.ReadInteger("Window", "Monitor", -1), 1);
}

TEST(TwoScreens, StoredMonitorPlacesTheWindow)
{
    struct Case
    {
        int monitor;
        QPoint expected;
    };
    const Case cases[] = {{0, QPoint(100, 50)}, {1, QPoint(2020, 50)}, {2, QPoint(100, 50)}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.monitor);
        test::TempFolder dir;
        const QString ini = MakeIni(
            dir, "[Window]\nLeft=100\nTop=50\nMonitor=" + QByteArray::number(c.monitor) + "\n");
        QWidget form;
        ReadWindowPlacementFromRegistry(&form, ini);
        EXPECT_EQ(form.pos(), c.expected);
    }
}

TEST(TwoScreens, MissingValuesKeepTheWindowOnItsMonitor)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir, "[Window]\nWidth=500\n");
    QWidget form;
    form.move(2100, 70);
    form.resize(300, 200);
    ReadWindowPlacementFromRegistry(&form, ini);
    EXPECT_EQ(form.pos(), QPoint(2100, 70));
    EXPECT_EQ(form.size(), QSize(500, 200));
}

} // namespace
} // namespace tev
