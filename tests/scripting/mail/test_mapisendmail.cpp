#include "envguard.h"
#include "scripting/mail/mapisendmail.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

using namespace std::chrono_literals;

namespace {

// A stand-in xdg-email, first on PATH: it records its arguments (NUL separated, since a body
// holds line breaks), then sleeps and exits as the test asks through the environment.
const char StandInScript[] = R"(#!/bin/sh
printf '%s\0' "$@" > "$TEV_XDG_RECORD"
if [ -n "$TEV_XDG_SLEEP" ]; then exec sleep "$TEV_XDG_SLEEP"; fi
exit "${TEV_XDG_EXIT:-0}"
)";

class MapiSendMailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(binDir()));
        QFile script(QDir(binDir()).filePath(QStringLiteral("xdg-email")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(StandInScript);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.set("PATH", QFile::encodeName(binDir()) + ":/usr/bin:/bin");
        env.set("TEV_XDG_RECORD", QFile::encodeName(recordFile()));
        env.unset("TEV_XDG_EXIT");
        env.unset("TEV_XDG_SLEEP");
    }

    QString binDir() const { return temp.file(QStringLiteral("bin")); }
    QString recordFile() const { return temp.file(QStringLiteral("args")); }

    // The arguments the stand-in received, or nothing when it did not run.
    std::optional<QStringList> recorded() const
    {
        QFile file(recordFile());
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QStringList args = QString::fromUtf8(file.readAll()).split(QChar(0));
        args.removeLast(); // after the last NUL
        return args;
    }

    QString makeFile(const QString &name)
    {
        QFile file(temp.file(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("report");
        return file.fileName();
    }

    tev::test::TempFolder temp;
    tev::test::EnvGuard env;
};

TEST_F(MapiSendMailTest, BlankRecipientsAreDroppedAndNoListGivesNoAttach)
{
    EXPECT_EQ(tev::MAPISendMail(0, QStringLiteral("S"), QStringLiteral("B"),
                                QStringLiteral(";x;;y;"), nullptr),
              tev::MapiSuccess);
    const QStringList expected{"--utf8", "--subject", "S", "--body", "B", "--to", "x", "--to", "y"};
    EXPECT_EQ(recorded(), expected);
}

TEST_F(MapiSendMailTest, RecipientRules)
{
    struct Case
    {
        const char *recipients;
        QStringList expected;
    };
    const Case cases[] = {
        {";x;;y;", {"x", "y"}},
        {";;;", {}},
        {"", {}},
        {"a@b.c", {"a@b.c"}},
        {" a@b.c ; ;c@d.e", {"a@b.c", "c@d.e"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tev::MapiRecipients(QString::fromUtf8(c.recipients)), c.expected) << c.recipients;
}

TEST_F(MapiSendMailTest, AttachmentsPassedWithFullPathsAndBlanksSkipped)
{
    const QString first = makeFile(QStringLiteral("bugreport.txt"));
    const QString second = makeFile(QStringLiteral("screen shot.png"));
    const QStringList attachments{first, QStringLiteral("  "), second, QString()};
    EXPECT_EQ(tev::MAPISendMail(0, QString(), QString(), QStringLiteral("support@vyx.example"),
                                &attachments),
              tev::MapiSuccess);
    // An empty subject and body are left out: xdg-email refuses empty values.
    const QStringList expected{"--utf8", "--attach",           first, "--attach", second,
                               "--to",   "support@vyx.example"};
    EXPECT_EQ(recorded(), expected);
}

TEST_F(MapiSendMailTest, TextsPassUnchangedAsUtf8)
{
    const QString subject = QStringLiteral("Tevora: bug report \u00e4\u20ac\u4e2d");
    const QString body = QStringLiteral("Dear Vyx support team,\r\n\r\nLine \u00df\r\n");
    ASSERT_EQ(tev::MAPISendMail(0, subject, body, QStringLiteral("x"), nullptr), tev::MapiSuccess);
    const auto args = recorded();
    ASSERT_TRUE(args);
    EXPECT_EQ(args->value(2), subject);
    EXPECT_EQ(args->value(4), body);
}

TEST_F(MapiSendMailTest, MissingAttachmentGives11AndHandsNothingOff)
{
    const QStringList attachments{makeFile(QStringLiteral("a.txt")),
                                  temp.file(QStringLiteral("missing.txt"))};
    EXPECT_EQ(
        tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), &attachments),
        tev::MapiAttachmentNotFound);
    EXPECT_FALSE(recorded());

    const QStringList folder{temp.path()};
    EXPECT_EQ(tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), &folder),
              tev::MapiAttachmentNotFound);
}

TEST_F(MapiSendMailTest, UnreadableAttachmentGives12)
{
    const QString path = makeFile(QStringLiteral("secret.txt"));
    QFile::setPermissions(path, QFile::WriteOwner);
    if (QFile probe(path); probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "permissions do not restrict this user (root)";
    const QStringList attachments{path};
    EXPECT_EQ(
        tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), &attachments),
        tev::MapiAttachmentOpenFailure);
    EXPECT_FALSE(recorded());
}

TEST_F(MapiSendMailTest, XdgEmailExitCodesMapToMapiResults)
{
    const std::pair<const char *, quint32> cases[] = {
        {"0", tev::MapiSuccess}, {"1", tev::MapiFailure}, {"2", tev::MapiFailure},
        {"3", tev::MapiFailure}, {"4", tev::MapiFailure}, {"5", tev::MapiFailure},
    };
    for (const auto &[exitCode, result] : cases) {
        env.set("TEV_XDG_EXIT", exitCode);
        EXPECT_EQ(
            tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), nullptr),
            result)
            << "exit code " << exitCode;
    }
}

TEST_F(MapiSendMailTest, MissingXdgEmailGives2)
{
    const QString empty = temp.file(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(empty));
    env.set("PATH", QFile::encodeName(empty));
    EXPECT_EQ(tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), nullptr),
              tev::MapiFailure);
}

TEST_F(MapiSendMailTest, WaitIsBoundedAndTimeoutIsAFailure)
{
    env.set("TEV_XDG_SLEEP", "20");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(
        tev::MAPISendMail(0, QStringLiteral("S"), QString(), QStringLiteral("x"), nullptr, 300ms),
        tev::MapiFailure);
    EXPECT_LT(timer.elapsed(), 10000);
}

// The real xdg-email in a bare session: no desktop, no mail client registered, no browser.
TEST_F(MapiSendMailTest, RealXdgEmailWithoutMailClientGives2)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/xdg-email")))
        GTEST_SKIP() << "xdg-utils is not installed";
    const QByteArray home = QFile::encodeName(temp.file(QStringLiteral("home")));
    ASSERT_TRUE(QDir().mkpath(QString::fromLocal8Bit(home)));
    env.set("PATH", "/usr/bin:/bin");
    env.set("HOME", home);
    env.set("XDG_CONFIG_HOME", home + "/.config");
    env.set("XDG_DATA_HOME", home + "/.local/share");
    env.set("XDG_CONFIG_DIRS", home + "/etc");
    env.set("XDG_DATA_DIRS", home + "/share");
    // A browser name that does not exist, so the fallback through browsers finds nothing either.
    env.set("BROWSER", "tevora-no-such-browser");
    for (const char *name :
         {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
          "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MAILER", "XDG_SESSION_DESKTOP"})
        env.unset(name);
    EXPECT_EQ(tev::MAPISendMail(0, QStringLiteral("Tevora: bug report"), QStringLiteral("Body"),
                                QStringLiteral("support@vyx.example"), nullptr, 20s),
              tev::MapiFailure);
}

} // namespace
