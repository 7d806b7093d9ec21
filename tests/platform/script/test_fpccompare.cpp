// Free Pascal as the reference: every fixture marked "// fpc" is compiled with fpc in Delphi mode
// and must print exactly what the engine prints.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "fixturefile.h"
#include "platform/text/formatsettings.h"
#include "support/tempfolder.h"

namespace {

using tev::test::ScriptFixture;

QList<ScriptFixture> fpcFixtures()
{
    QList<ScriptFixture> out;
    for (const ScriptFixture &f : tev::test::loadScriptFixtures())
        if (f.fpc)
            out << f;
    return out;
}

class FreePascalComparison : public ::testing::TestWithParam<ScriptFixture>
{
};

TEST_P(FreePascalComparison, PrintsWhatFreePascalPrints)
{
    const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
    if (fpc.isEmpty())
        GTEST_SKIP() << "fpc is not installed";
    const ScriptFixture &f = GetParam();
    tev::test::TempFolder dir;
    const QString source = dir.file(QStringLiteral("prog.pas"));
    {
        QFile out(source);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(f.source.toUtf8());
    }
    QProcess compile;
    compile.setWorkingDirectory(dir.path());
    compile.start(fpc, {QStringLiteral("-Mdelphi"), QStringLiteral("-vw-n-h-i-"),
                        QStringLiteral("-FE") + dir.path(), source});
    ASSERT_TRUE(compile.waitForFinished(120000));
    ASSERT_EQ(compile.exitCode(), 0) << compile.readAllStandardOutput().toStdString();
    QProcess run;
    run.start(dir.file(QStringLiteral("prog")), {});
    ASSERT_TRUE(run.waitForFinished(30000));
    QString expected = QString::fromUtf8(run.readAllStandardOutput());
    if (expected.endsWith(QLatin1Char('\n')))
        expected.chop(1);
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    const QStringList actual = tev::test::runScriptFixture(f);
    EXPECT_EQ(actual.join(QLatin1Char('\n')).toStdString(), expected.toStdString())
        << f.path.toStdString();
}

std::string fixtureName(const ::testing::TestParamInfo<ScriptFixture> &info)
{
    QString n = info.param.name;
    for (QChar &c : n)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    return n.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fpc, FreePascalComparison, ::testing::ValuesIn(fpcFixtures().toVector()),
                         fixtureName);

} // namespace
