#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// The engine's tests need no widgets: a core application with Qt's test-mode folders.
int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
