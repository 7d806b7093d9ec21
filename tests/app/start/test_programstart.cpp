#include "app/programstart.h"
#include "platform/crash/exceptionhandlers.h"
#include "platform/error.h"
#include "platform/instance/singleinstancelock.h"
#include "support/app/firebirdtestenv.h"
#include "support/tempfolder.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/style.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QStyle>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tev::test {
namespace {

const QString kProgram = QStringLiteral(TEVORA_BINARY_DIR "/bin/tevora");

// The built program copied into the application root (the root is the executable's folder's
// parent); empty when it cannot be copied.
QString CopyProgramInto(const TempAppRoot &root)
{
    const QString program = root.file(QStringLiteral("bin/tevora"));
    if (!QDir().mkpath(root.file(QStringLiteral("bin"))) || !QFile::copy(kProgram, program))
        return {};
    return program;
}

// The program as a process of its own, on an offscreen display, with every machine-wide and
// per-user folder in this test's temporary folders.
class ProgramProcess
{
public:
    ProgramProcess(const QString &program, const QString &lockFolder)
    {
        start(program, lockFolder);
    }
    // With the machine-wide application data laid out by prepare(folder) before the start.
    template <typename Prepare>
    ProgramProcess(const QString &program, const QString &lockFolder, Prepare prepare)
    {
        prepare(m_folders.file(QStringLiteral("appdata")));
        start(program, lockFolder);
    }
    ~ProgramProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QProcess &process() { return m_process; }
    QString home() const { return m_folders.file(QStringLiteral("home")); }

private:
    void start(const QString &program, const QString &lockFolder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QString::fromLatin1(kLockFolderVariable), lockFolder);
        env.insert(QStringLiteral("HOME"), m_folders.file(QStringLiteral("home")));
        env.insert(QStringLiteral("TEVORA_COMMON_APPDATA"),
                   m_folders.file(QStringLiteral("appdata")));
        env.insert(QStringLiteral("TEVORA_COMMON_DOCUMENTS"),
                   m_folders.file(QStringLiteral("documents")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folders.path());
        // The program says when the window answers requests to end (see kWindowAnswers).
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("tevora.start.requests.info=true"));
        m_process.setProcessEnvironment(env);
        m_process.start(program, {});
    }

    TempFolder m_folders;
    QProcess m_process;
};

// Waits, without a time limit that a loaded machine could miss, for a condition the process
// brings about; false when the process ended first.
template <typename Condition> bool waitFor(QProcess &process, Condition condition)
{
    QDeadlineTimer deadline(std::chrono::minutes(2));
    while (!condition()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        process.waitForReadyRead(100);
    }
    return true;
}

// What the program writes on stderr once a request to end closes its window.
constexpr char kWindowAnswers[] = "A request to end now closes the window.";

// How long a program that shows a box of its start may take to end on SIGTERM: before the
// window exists nothing is open that needs saving, so it ends at once.
constexpr int kEndOnRequestMs = 1000;

// Sends SIGTERM to a program that shows a box of its start and expects it gone by the deadline,
// ended by the signal.
void expectEndsOnRequest(QProcess &process)
{
    ASSERT_EQ(process.state(), QProcess::Running);
    ::kill(process.processId(), SIGTERM);
    EXPECT_TRUE(process.waitForFinished(kEndOnRequestMs))
        << "still running after SIGTERM while its box is shown";
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
}

TEST(ProgramStart, ASecondStartEndsAtOnceWithCodeZeroAndWithoutAWord)
{
    TempFolder lockFolder;
    SingleInstanceLock running(QString::fromLatin1(kInstanceName), lockFolder.path());
    ASSERT_FALSE(running.AlreadyRunning());

    ProgramProcess second(kProgram, lockFolder.path());
    ASSERT_TRUE(second.process().waitForFinished(120000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_EQ(second.process().readAllStandardOutput(), QByteArray());
    EXPECT_EQ(second.process().readAllStandardError(), QByteArray());
    EXPECT_FALSE(QFileInfo::exists(second.home() + QStringLiteral("/.config/Vyx/Tevora.conf")));
}

TEST(ProgramStart, ALockThatCannotBeMadeIsReportedAndNoWindowStarts)
{
    TempFolder folder;
    // A plain file where the lock folder should be: the lock file cannot be created below it.
    const QString notAFolder = folder.file(QStringLiteral("lock"));
    {
        QFile file(notAFolder);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ProgramProcess program(kProgram, notAFolder);
    QByteArray errors;
    EXPECT_TRUE(waitFor(program.process(), [&] {
        errors += program.process().readAllStandardError();
        return errors.contains("Tevora: ");
    })) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QFile::encodeName(notAFolder))) << errors.toStdString();
    // The report's dialog is up now (the process waits for its OK); the window never came.
    EXPECT_EQ(program.process().state(), QProcess::Running);
    EXPECT_FALSE(QFileInfo::exists(program.home() + QStringLiteral("/.config/Vyx/Tevora.conf")));
    // A logout or kill -TERM does not wait for the OK.
    expectEndsOnRequest(program.process());
}

// A "TevMain.pas" that other users could change is refused with a box while the window is being
// made; a request to end ends the program then too.
TEST(ProgramStart, ARequestToEndEndsTheProgramWhileTheRefusedScriptIsReported)
{
    TempAppRoot root;
    const QString program = CopyProgramInto(root);
    ASSERT_FALSE(program.isEmpty());
    TempFolder lockFolder;
    ProgramProcess started(program, lockFolder.path(), [](const QString &appData) {
        const QString scripts = appData + QStringLiteral("/Vyx/Tevora/script");
        ASSERT_TRUE(QDir().mkpath(scripts));
        QFile script(scripts + QStringLiteral("/TevMain.pas"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("begin end.");
        ASSERT_TRUE(script.setPermissions(script.permissions() | QFileDevice::WriteOther));
    });
    QByteArray errors;
    EXPECT_TRUE(waitFor(started.process(), [&] {
        errors += started.process().readAllStandardError();
        return errors.contains("The script was not loaded");
    })) << errors.toStdString();
    EXPECT_TRUE(errors.contains("can be changed by other users")) << errors.toStdString();
    expectEndsOnRequest(started.process());
    EXPECT_FALSE(QFileInfo::exists(started.home() + QStringLiteral("/.config/Vyx/Tevora.conf")));
}

// The built program, copied into an application root of its own (the root is the executable's
// folder's parent), starts its window on a new embedded database and ends cleanly when the
// session asks it to, writing its layout and connection file as a close by the user does.
TEST(ProgramStart, TheProgramStartsOnANewEmbeddedDatabaseAndEndsCleanlyOnRequest)
{
    TempAppRoot root;
    const QString program = CopyProgramInto(root);
    ASSERT_FALSE(program.isEmpty());
    TempFolder lockFolder;

    ProgramProcess first(program, lockFolder.path());
    const QString database = root.file(QStringLiteral("DB/Tevora.fdb"));
    QByteArray errors;
    EXPECT_TRUE(waitFor(first.process(), [&] {
        errors += first.process().readAllStandardError();
        return errors.contains(kWindowAnswers);
    })) << errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(database));
    // The first instance holds the lock: a second start is turned away.
    ProgramProcess second(program, lockFolder.path());
    ASSERT_TRUE(second.process().waitForFinished(120000));
    EXPECT_EQ(second.process().exitCode(), 0);

    ::kill(first.process().processId(), SIGTERM);
    ASSERT_TRUE(first.process().waitForFinished(120000));
    EXPECT_EQ(first.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.process().exitCode(), 0)
        << (errors + first.process().readAllStandardError()).toStdString();

    QSettings layout(first.home() + QStringLiteral("/.config/Vyx/Tevora.conf"),
                     QSettings::IniFormat);
    EXPECT_EQ(layout.value(QStringLiteral("Software/Vyx/Tevora/Window/PnlTreeWidth")).toInt(), 281)
        << layout.allKeys().join(QLatin1Char(' ')).toStdString();
    QSettings connection(root.file(QStringLiteral("Config/Config.ini")), QSettings::IniFormat);
    EXPECT_EQ(connection.value(QStringLiteral("Database/Database")).toString(), database);
    EXPECT_EQ(connection.value(QStringLiteral("Database/DriverId")).toString(),
              QStringLiteral("FB"));
}

class CrashHandling : public ::testing::Test
{
protected:
    ~CrashHandling() override { clearExceptionHandlers(); }

    // Records the error dialogs the program shows and closes each with OK.
    ModalRunnerGuard m_dialogs{[this](QDialog &dialog) {
        if (auto *box = qobject_cast<TVYXExceptionDlg *>(&dialog))
            m_messages << box->msgLabel()->text();
        return 1;
    }};
    QStringList m_messages;
};

TEST_F(CrashHandling, AnExceptionNothingElseHandledEndsInTheErrorDialogAndCountsAsHandled)
{
    InstallCrashHandling();
    bool handled = false;
    try {
        throw Error(QStringLiteral("The gauge answered nothing."));
    } catch (...) {
        handled = HandleCurrentException();
    }
    EXPECT_TRUE(handled);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages.first().contains(QStringLiteral("The gauge answered nothing.")))
        << m_messages.first().toStdString();
}

TEST_F(CrashHandling, AFailedStartIsReportedAndEndsWithANonZeroCode)
{
    InstallCrashHandling();
    testing::internal::CaptureStderr();
    const int code = ReportStartFailure(
        std::make_exception_ptr(std::runtime_error("the lock folder is read-only")));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_NE(errors.find("Tevora: the lock folder is read-only"), std::string::npos) << errors;
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages.first().contains(QStringLiteral("the lock folder is read-only")));
}

TEST(ProgramLook, TheApplicationGetsItsStyleNamesAndTitle)
{
    PrepareApplication(*qApp);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              slatePalette().color(QPalette::Window));
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Vyx"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Tevora"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("Tevora"));
}

} // namespace
} // namespace tev::test
