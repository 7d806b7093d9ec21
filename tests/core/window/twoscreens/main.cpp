#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// These tests need two monitors: the offscreen platform is given a second screen to the right of
// the first through its configuration file. This main takes the place of the shared one.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("screens.json");
    QFile file(config);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"screens": [)"
               R"({"name": "First", "x": 0, "y": 0, "width": 1920, "height": 1080},)"
               R"({"name": "Second", "x": 1920, "y": 0, "width": 1280, "height": 1024}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
