#pragma once

// A script engine with the program's three libraries loaded, as the script host builds it, and
// ways to run a script expression or a main block against it.

#include <QStringList>

#include "platform/script/scriptengine.h"
#include "scripting/libraries/ap_vyxlib.h"
#include "scripting/libraries/ap_vyxmail.h"
#include "scripting/libraries/ap_vyxwin.h"

namespace tev::test {

struct LibraryHost
{
    script::ScriptEngine engine;
    QString output;

    explicit LibraryHost(const QStringList &libraries = {
                             QStringLiteral("Classes"), QStringLiteral("SysUtils"),
                             QStringLiteral("VYXLib"), QStringLiteral("VYXWin"),
                             QStringLiteral("VYXMail")})
    {
        scripting::RegisterVYXLibLibrary();
        scripting::RegisterVYXWinLibrary();
        scripting::RegisterVYXMailLibrary();
        engine.OnOutput = [this](const QString &t) { output += t; };
        for (const QString &name : libraries)
            engine.LoadLibrary(name);
    }

    // The value of one script expression.
    script::Value eval(const QString &expression)
    {
        engine.SetSourceText(
            QStringLiteral("function F: Variant;\nbegin\n  Result := %1;\nend;\n").arg(expression));
        return engine.ExecuteSubroutine(QStringLiteral("F"));
    }

    // What a whole script writes.
    QString run(const QString &source)
    {
        output.clear();
        engine.SetSourceText(source);
        engine.Execute();
        return output;
    }
};

} // namespace tev::test
