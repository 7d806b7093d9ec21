#pragma once

// One script fixture: a .pas file under tests/scripts/<area>/ whose comments carry what running
// it must give.
//
//   // expect: <text>                        one line of output, in order
//   // compile error: <message> @ <line>:<column>
//   // runtime error: <class>: <message> @ <line>:<column>
//   // option: explicit                      OptionExplicit on
//   // steps: <n>                            the engine's step limit
//   // fpc                                   Free Pascal (-Mdelphi) must print the same output
//   // call: <routine>                       run this routine after the main block

#include <QString>
#include <QStringList>
#include <ostream>

namespace tev::test {

struct ScriptFixture
{
    QString path;
    QString name; // <area>_<behaviour>
    QString source;
    QStringList expectedOutput;
    QString compileError; // "<message> @ <line>:<column>"
    QString runtimeError; // "<class>: <message> @ <line>:<column>"
    bool optionExplicit = false;
    bool fpc = false;
    qint64 steps = 0;
    QStringList calls;
};

QList<ScriptFixture> loadScriptFixtures();

// Test names print the fixture's path instead of its bytes.
inline void PrintTo(const ScriptFixture &f, std::ostream *os)
{
    *os << f.path.toStdString();
}

// Runs a fixture in a fresh engine; returns what happened in the fixture's own terms: the
// output lines, then one line "compile error: ..." or "runtime error: ..." when one occurred.
QStringList runScriptFixture(const ScriptFixture &f);
QStringList expectedResult(const ScriptFixture &f);

} // namespace tev::test
