#include "fixturefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include "platform/script/scriptengine.h"

namespace tev::test {

QList<ScriptFixture> loadScriptFixtures()
{
    QList<ScriptFixture> out;
    const QString root = QStringLiteral(TEVORA_SOURCE_DIR "/tests/scripts");
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.pas")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    static const QRegularExpression directive(QStringLiteral(
        "^//\\s*(expect|compile error|runtime error|option|steps|fpc|call)(?::\\s?(.*))?$"));
    for (const QString &path : files) {
        // Script units used by other fixtures live in "units" folders and are no fixtures.
        if (path.contains(QLatin1String("/units/")))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ScriptFixture f;
        f.path = path;
        f.name = QDir(root).relativeFilePath(path).chopped(4).replace(QLatin1Char('/'),
                                                                      QLatin1Char('_'));
        f.source = QString::fromUtf8(file.readAll());
        for (const QString &line : f.source.split(QLatin1Char('\n'))) {
            // The comment starts at the first "//" outside a string literal.
            bool inString = false;
            qsizetype comment = -1;
            for (qsizetype i = 0; i + 1 < line.size(); ++i) {
                if (line.at(i) == QLatin1Char('\''))
                    inString = !inString;
                else if (!inString && line.at(i) == QLatin1Char('/') &&
                         line.at(i + 1) == QLatin1Char('/')) {
                    comment = i;
                    break;
                }
            }
            if (comment < 0)
                continue;
            const auto m = directive.match(line.mid(comment).trimmed());
            if (!m.hasMatch())
                continue;
            const QString key = m.captured(1), value = m.captured(2);
            if (key == QLatin1String("expect"))
                f.expectedOutput << value;
            else if (key == QLatin1String("compile error"))
                f.compileError = value.trimmed();
            else if (key == QLatin1String("runtime error"))
                f.runtimeError = value.trimmed();
            else if (key == QLatin1String("option") && value.trimmed() == QLatin1String("explicit"))
                f.optionExplicit = true;
            else if (key == QLatin1String("steps"))
                f.steps = value.trimmed().toLongLong();
            else if (key == QLatin1String("fpc"))
                f.fpc = true;
            else if (key == QLatin1String("call"))
                f.calls << value.trimmed();
        }
        out << f;
    }
    return out;
}

QStringList expectedResult(const ScriptFixture &f)
{
    QStringList r = f.expectedOutput;
    if (!f.compileError.isEmpty())
        r << QStringLiteral("compile error: ") + f.compileError;
    if (!f.runtimeError.isEmpty())
        r << QStringLiteral("runtime error: ") + f.runtimeError;
    return r;
}

QStringList runScriptFixture(const ScriptFixture &f)
{
    using namespace tev::script;
    ScriptEngine engine;
    QString output;
    engine.OnOutput = [&](const QString &t) { output += t; };
    engine.OptionExplicit = f.optionExplicit;
    engine.SetStepLimit(f.steps);
    engine.Options.SearchPath << QFileInfo(f.path).absolutePath() + QStringLiteral("/units");
    engine.SetSourceText(f.source);
    QString failure;
    try {
        engine.Execute();
        for (const QString &call : f.calls)
            engine.ExecuteSubroutine(call);
    } catch (const CompileError &e) {
        failure = QStringLiteral("compile error: %1 @ %2:%3")
                      .arg(e.message())
                      .arg(e.line())
                      .arg(e.column());
    } catch (const ScriptError &e) {
        failure = QStringLiteral("runtime error: %1: %2 @ %3:%4")
                      .arg(e.className(), e.message())
                      .arg(e.line())
                      .arg(e.column());
    }
    QStringList r;
    if (!output.isEmpty()) {
        if (output.endsWith(QLatin1Char('\n')))
            output.chop(1);
        r = output.split(QLatin1Char('\n'));
    }
    if (!failure.isEmpty())
        r << failure;
    return r;
}

} // namespace tev::test
