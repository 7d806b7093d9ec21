// The table-driven runner: one test per .pas fixture under tests/scripts, named after its file.
#include <gtest/gtest.h>

#include "fixturefile.h"
#include "platform/script/scriptstack.h"
#include "platform/text/formatsettings.h"

namespace {

using tev::test::ScriptFixture;

class ScriptFixtureTest : public ::testing::TestWithParam<ScriptFixture>
{
};

TEST_P(ScriptFixtureTest, RunsAsItsCommentsExpect)
{
    const ScriptFixture &f = GetParam();
#ifdef TEV_SCRIPT_STACK_ASAN
    // The sanitizer's frames are several times larger and its script stack smaller: there the
    // depth ends in EStackOverflow earlier, which the recursion tests of this build check.
    if (f.name == QLatin1String("limits_recursion_5000"))
        GTEST_SKIP() << "five thousand levels exceed the sanitizer build's script stack";
#endif
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    QStringList actual = tev::test::runScriptFixture(f);
    QStringList expected = tev::test::expectedResult(f);
    // Trailing spaces cannot be written in a comment; they do not count.
    for (QStringList *lines : {&actual, &expected})
        for (QString &l : *lines)
            while (l.endsWith(QLatin1Char(' ')))
                l.chop(1);
    EXPECT_EQ(actual.join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString())
        << "fixture " << f.path.toStdString();
}

std::string fixtureName(const ::testing::TestParamInfo<ScriptFixture> &info)
{
    QString n = info.param.name;
    for (QChar &c : n)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    return n.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptFixtureTest,
                         ::testing::ValuesIn(tev::test::loadScriptFixtures().toVector()),
                         fixtureName);

} // namespace
