// VYXWin and VYXMail called from scripts, with real widgets, pictures, sockets and mail objects.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTcpServer>
#include <QWidget>

#include "core/shell/associatedprogram.h"
#include "core/shell/shellexec.h"
#include "core/shell/systemnames.h"
#include "libraryhost.h"
#include "platform/script/scripterror.h"
#include "scripting/mail/sslnames.h"
#include "support/tempfolder.h"

using tev::script::Value;

namespace {

TEST(VYXWin, SystemNamesAndAssociationsAreTheRoutineLibrarys)
{
    tev::test::LibraryHost host;
    EXPECT_EQ(host.eval(QStringLiteral("GetComputerName")).toString(), tev::GetComputerName());
    EXPECT_EQ(host.eval(QStringLiteral("GetWindowsUserName")).toString(),
              tev::GetWindowsUserName());
    EXPECT_EQ(host.eval(QStringLiteral("GetAssociatedProgram('.tevoranothing')")).toString(),
              tev::GetAssociatedProgram(QStringLiteral(".tevoranothing")));
}

TEST(VYXWin, ShellExecPassesEmptyTextsAndReturnsTheResultCode)
{
    tev::test::LibraryHost host;
    const Value missing = host.eval(QStringLiteral("ShellExec(0, 'open', '', '', '', 1)"));
    EXPECT_EQ(missing.toInteger(), tev::kShellErrFileNotFound);
    EXPECT_EQ(
        host.eval(QStringLiteral("ShellExec($100000000, 'open', '/no/such/file', '', '', 1)"))
            .toInteger(),
        tev::ShellExec(0, QStringLiteral("open"), QStringLiteral("/no/such/file"), {}, {}, 1));
}

TEST(VYXWin, PingTCPPortReachesAListeningLoopbackPort)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    tev::test::LibraryHost host;
    EXPECT_TRUE(host.eval(QStringLiteral("PingTCPPort('127.0.0.1', %1)").arg(port)).toBoolean());
    // The port is cut to 16 bits.
    EXPECT_TRUE(
        host.eval(QStringLiteral("PingTCPPort('127.0.0.1', %1)").arg(port + 65536)).toBoolean());
    server.close();
    EXPECT_FALSE(host.eval(QStringLiteral("PingTCPPort('127.0.0.1', %1)").arg(port)).toBoolean());
}

TEST(VYXWin, GraphicToBitmapConvertsTheHostsPicture)
{
    auto picture = std::make_shared<tev::TPicture>();
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    picture->SetGraphic(image, "png");
    tev::test::LibraryHost host;
    host.engine.SetSourceText(QStringLiteral("procedure Convert(P: TObject);\nbegin\n"
                                             "  GraphicToBitmap(P);\nend;\n"));
    const Value p =
        host.engine.NewObject(host.engine.FindClass(QStringLiteral("TObject")),
                              std::make_unique<tev::scripting::TPictureObject>(picture));
    host.engine.ExecuteSubroutine(QStringLiteral("Convert"), std::vector<Value>{p});
    EXPECT_TRUE(picture->GraphicIsBitmap());
    EXPECT_EQ(picture->Width(), 4);
    EXPECT_THROW(
        host.engine.ExecuteSubroutine(QStringLiteral("Convert"), std::vector<Value>{Value::nil()}),
        tev::script::ScriptError);
}

TEST(VYXWin, WindowPlacementGoesToTheStoreTheKeyNames)
{
    tev::test::TempFolder dir;
    const QString ini = dir.file(QStringLiteral("placement.ini"));
    QFile(ini).open(QIODevice::WriteOnly);
    QWidget form;
    form.setGeometry(40, 50, 320, 200);
    tev::test::LibraryHost host;
    host.engine.AddObject(QStringLiteral("Form"), &form);
    host.run(
        QStringLiteral("begin\n  WriteWindowPlacementToRegistry(Form, '%1');\nend.\n").arg(ini));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(written.contains(QStringLiteral("[Window]")));
    EXPECT_TRUE(written.contains(QStringLiteral("Width=320")));
    form.resize(100, 100);
    host.run(
        QStringLiteral("begin\n  ReadWindowPlacementFromRegistry(Form, '%1');\nend.\n").arg(ini));
    EXPECT_EQ(form.size(), QSize(320, 200));
    // A form that is no window is the script's error, not a crash.
    EXPECT_THROW(host.eval(QStringLiteral("ReadWindowPlacementFromRegistry(nil, '%1')").arg(ini)),
                 tev::script::ScriptError);
    EXPECT_THROW(
        host.eval(
            QStringLiteral("WriteWindowPlacementToRegistry(TStringList.Create, '%1')").arg(ini)),
        tev::script::ScriptError);
}

TEST(VYXMail, NameRoutinesAreTheMailUnits)
{
    struct Case
    {
        const char *expression;
        Value expected;
    };
    const Case cases[] = {
        {"GetSSLModesText", Value(tev::GetSSLModesText())},
        {"GetSSLVersionsText", Value(tev::GetSSLVersionsText())},
        {"VYXMail.GetTLSModes", Value(tev::GetTLSModes())},
        {"SSLVersionToText(DefaultSSLVersion)", Value(QStringLiteral("TLS 1.2"))},
        {"SSLVersionFromText('tlsv1.1')", Value(qint64(tev::SSLVersionFromText("tlsv1.1")))},
        {"SSLModeFromText(SSLModeToText(2))", Value(qint64(2))},
        {"TLSModeFromText(TLSModeToText(3))", Value(qint64(3))},
        // Modes are cut to 8 bits.
        {"TLSModeToText(259)", Value(tev::TLSModeToText(tev::TLSMode::Explicit))},
        {"SSLModeToText(257)", Value(tev::SSLModeToText(tev::SSLMode::Client))},
    };
    tev::test::LibraryHost host;
    for (const Case &c : cases) {
        const Value v = host.eval(QLatin1String(c.expression));
        EXPECT_EQ(v.type(), c.expected.type()) << c.expression;
        EXPECT_EQ(v.toString(), c.expected.toString()) << c.expression;
    }
}

TEST(VYXMail, ScriptsCreateFillAndFreeTheMailComponent)
{
    tev::test::LibraryHost host;
    EXPECT_EQ(host.run(QStringLiteral(
                  "var M: TvyxEMail;\nbegin\n  M := TvyxEMail.Create(nil);\n"
                  "  WriteLn(M.SSLVersion, ' ', SSLVersionToText(M.SSLVersion), ' ', M.Port);\n"
                  "  M.Host := 'mail.example';\n  M.Port := 587;\n"
                  "  M.RecipientEMail := 'a@b.c';\n  M.Subject := 'S';\n"
                  "  WriteLn(M.Host, ' ', M.Port, ' ', M.RecipientEMail, ' ', M.Subject);\n"
                  "  M.Free;\nend.\n")),
              QStringLiteral("3 TLS 1.0 25\nmail.example 587 a@b.c; S\n"));
    // A failing Send reaches the script as an exception it can handle.
    EXPECT_EQ(host.run(QStringLiteral(
                  "var M: TvyxEMail;\nbegin\n  M := TvyxEMail.Create(nil);\n"
                  "  M.Host := '127.0.0.1';\n  M.Port := 1;\n  M.SenderEMail := 'a@b.c';\n"
                  "  M.RecipientEMail := 'd@e.f';\n"
                  "  try\n    M.Send;\n    WriteLn('sent');\n  except\n    WriteLn('failed');\n"
                  "  end;\n  M.Destroy;\nend.\n")),
              QStringLiteral("failed\n"));
}

TEST(VYXMail, MAPISendMailTakesTheScriptsStringList)
{
    tev::test::LibraryHost host;
    // The attachment is checked before anything is handed to a mail client.
    EXPECT_EQ(host.run(QStringLiteral("var L: TStringList;\nbegin\n  L := TStringList.Create;\n"
                                      "  L.Add('/no/such/attachment');\n"
                                      "  WriteLn(MAPISendMail(0, 'S', 'B', 'a@b.c', L));\n"
                                      "  L.Free;\nend.\n")),
              QStringLiteral("11\n"));
    EXPECT_THROW(
        host.eval(QStringLiteral("MAPISendMail(0, 'S', 'B', 'a@b.c', TvyxEMail.Create(nil))")),
        tev::script::ScriptError);
}

} // namespace
