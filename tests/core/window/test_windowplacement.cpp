#include "core/window/windowplacement.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <gtest/gtest.h>

#include <optional>

namespace tev {
namespace {

const QString kKey = QStringLiteral("Software\\Vyx\\Tevora");

QString MakeIni(const test::TempFolder &dir, const QByteArray &contents = QByteArray())
{
    const QString path = dir.file("placement.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path;
}

QPoint PrimaryOrigin()
{
    return QGuiApplication::primaryScreen()->geometry().topLeft();
}

TEST(WindowPlacement, IniRoundTrip)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir, "[Other]\nKeep=1\n");
    QWidget form;
    form.move(PrimaryOrigin() + QPoint(120, 80));
    form.resize(400, 300);
    WriteWindowPlacementToRegistry(&form, ini);

    const TIniFile file(ini);
    EXPECT_EQ(file.ReadSection("Window"),
              QStringList({"Left", "Top", "Height", "Width", "WindowState", "Monitor"}));
    EXPECT_EQ(file.ReadString("Window", "Left", ""), "120");
    EXPECT_EQ(file.ReadString("Window", "Top", ""), "80");
    EXPECT_EQ(file.ReadString("Window", "Height", ""), "300");
    EXPECT_EQ(file.ReadString("Window", "Width", ""), "400");
    EXPECT_EQ(file.ReadString("Window", "WindowState", ""), "0");
    EXPECT_EQ(file.ReadString("Window", "Monitor", ""), "0");
    EXPECT_EQ(file.ReadString("Other", "Keep", ""), "1");

    QWidget restored;
    ReadWindowPlacementFromRegistry(&restored, ini);
    EXPECT_EQ(restored.pos(), PrimaryOrigin() + QPoint(120, 80));
    EXPECT_EQ(restored.size(), QSize(400, 300));
    EXPECT_TRUE(restored.testAttribute(Qt::WA_Moved));
    EXPECT_FALSE(restored.isMaximized());
}

// QSettings is pointed at a temporary XDG_CONFIG_HOME, the way the program finds it outside
// Qt's test mode; everything is restored afterwards.
class RegistryInTemporaryConfig
{
public:
    RegistryInTemporaryConfig()
    {
        if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
            m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        QStandardPaths::setTestModeEnabled(false);
        // QSettings keeps the folder it found first; make it this one in any case.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    ~RegistryInTemporaryConfig()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (m_saved)
            qputenv("XDG_CONFIG_HOME", *m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString SettingsFile() const { return m_dir.file("Vyx/Tevora.conf"); }

private:
    test::TempFolder m_dir;
    std::optional<QByteArray> m_saved;
};

TEST(WindowPlacement, RegistryRoundTrip)
{
    RegistryInTemporaryConfig registry;
    QWidget form;
    form.move(PrimaryOrigin() + QPoint(33, 44));
    form.resize(321, 234);
    WriteWindowPlacementToRegistry(&form, kKey);
    ASSERT_TRUE(QFile::exists(registry.SettingsFile()));
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Vyx", "Tevora");
        EXPECT_EQ(settings.fileName(), registry.SettingsFile());
        EXPECT_EQ(settings.value("Software/Vyx/Tevora/Window/Left").toInt(), 33);
        EXPECT_EQ(settings.value("Software/Vyx/Tevora/Window/Width").toInt(), 321);
    }
    QWidget restored;
    ReadWindowPlacementFromRegistry(&restored, kKey);
    EXPECT_EQ(restored.pos(), PrimaryOrigin() + QPoint(33, 44));
    EXPECT_EQ(restored.size(), QSize(321, 234));
}

TEST(WindowPlacement, RegistryReadsNumbersHeldAsText)
{
    RegistryInTemporaryConfig registry;
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Vyx", "Tevora");
        // Key names match without regard to case, as in the registry.
        settings.setValue("Software/Vyx/Tevora/window/Left", QStringLiteral("70"));
        settings.setValue("Software/Vyx/Tevora/window/Top", QStringLiteral("not a number"));
        settings.setValue("Software/Vyx/Tevora/window/Width", QStringLiteral("$1F4"));
    }
    QWidget form;
    form.move(PrimaryOrigin() + QPoint(5, 6));
    form.resize(200, 100);
    ReadWindowPlacementFromRegistry(&form, kKey);
    EXPECT_EQ(form.pos(), PrimaryOrigin() + QPoint(70, 6));
    EXPECT_EQ(form.size(), QSize(500, 100));
}

TEST(WindowPlacement, KeyNamingNoFileGoesToRegistry)
{
    RegistryInTemporaryConfig registry;
    test::TempFolder dir;
    const QString missing = dir.file("missing.ini");
    QWidget form;
    WriteWindowPlacementToRegistry(&form, missing);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(QFile::exists(registry.SettingsFile()));
}

TEST(WindowPlacement, RegistryThatCannotBeWrittenIsAnError)
{
    RegistryInTemporaryConfig registry;
    // A folder where the settings file belongs can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(registry.SettingsFile()));
    QWidget form;
    try {
        WriteWindowPlacementToRegistry(&form, kKey);
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(registry.SettingsFile())) << e.message().toStdString();
    }
}

TEST(WindowPlacement, VanishedMonitorFallsBackToPrimary)
{
    test::TempFolder dir;
    const int count = int(QGuiApplication::screens().size());
    for (int monitor : {count, count + 4, -1}) {
        SCOPED_TRACE(monitor);
        const QString ini = MakeIni(
            dir, "[Window]\nLeft=100\nTop=50\nMonitor=" + QByteArray::number(monitor) + "\n");
        QWidget form;
        ReadWindowPlacementFromRegistry(&form, ini);
        EXPECT_EQ(form.pos(), PrimaryOrigin() + QPoint(100, 50));
    }
}

TEST(WindowPlacement, StoredStateRestores)
{
    struct Case
    {
        int state;
        bool maximised;
    };
    // Only the low byte counts; a minimised window comes back normal.
    const Case cases[] = {{0, false}, {1, false}, {2, true}, {0x102, true}, {3, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.state);
        test::TempFolder dir;
        const QString ini = MakeIni(dir, "[Window]\nLeft=10\nTop=20\nHeight=200\nWidth=300\n"
                                         "WindowState=" +
                                             QByteArray::number(c.state) + "\n");
        QWidget form;
        form.setWindowState(Qt::WindowMinimized);
        ReadWindowPlacementFromRegistry(&form, ini);
        form.show();
        EXPECT_EQ(form.isMaximized(), c.maximised);
        EXPECT_FALSE(form.isMinimized());
    }
}

TEST(WindowPlacement, MaximisedWindowWritesStateTwo)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir);
    QWidget form;
    form.showMaximized();
    WriteWindowPlacementToRegistry(&form, ini);
    EXPECT_EQ(TIniFile(ini).ReadInteger("Window", "WindowState", -1), 2);

    QWidget restored;
    ReadWindowPlacementFromRegistry(&restored, ini);
    restored.show();
    EXPECT_TRUE(restored.isMaximized());
}

TEST(WindowPlacement, NoSectionKeepsWindowAsItIs)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir, "[Other]\nLeft=500\n");
    QWidget form;
    form.resize(250, 150);
    form.setWindowState(Qt::WindowMaximized);
    ASSERT_FALSE(form.testAttribute(Qt::WA_Moved));
    const QPoint before = form.pos();
    ReadWindowPlacementFromRegistry(&form, ini);
    EXPECT_EQ(form.pos(), before);
    EXPECT_EQ(form.size(), QSize(250, 150));
    EXPECT_FALSE(form.testAttribute(Qt::WA_Moved));
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
}

TEST(WindowPlacement, MissingValuesKeepCurrentOnes)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir, "[Window]\nWidth=333\n");
    QWidget form;
    form.move(PrimaryOrigin() + QPoint(12, 34));
    form.resize(100, 90);
    ReadWindowPlacementFromRegistry(&form, ini);
    EXPECT_EQ(form.pos(), PrimaryOrigin() + QPoint(12, 34));
    EXPECT_EQ(form.size(), QSize(333, 90));
    EXPECT_TRUE(form.testAttribute(Qt::WA_Moved));
}

TEST(WindowPlacement, NoWindowIsAnError)
{
    test::TempFolder dir;
    const QString ini = MakeIni(dir);
    EXPECT_THROW(ReadWindowPlacementFromRegistry(nullptr, ini), Error);
    EXPECT_THROW(WriteWindowPlacementToRegistry(nullptr, ini), Error);
}

} // namespace
} // namespace tev
