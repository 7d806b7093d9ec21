#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Every test program runs under an offscreen QApplication with Qt's test-mode folders, so no test
// touches the real home or system folders.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
