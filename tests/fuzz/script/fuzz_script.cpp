// libFuzzer target: any bytes as a script through the lexer, the parser and a bounded run.
// Nothing may crash, hang or leak; errors of the script are the expected outcome.
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

#include "platform/script/scriptengine.h"

namespace {

// Bounds one input's run; the engine's own limits bound nesting, call depth and sizes.
constexpr qint64 FuzzStepLimit = 20000;
constexpr size_t MaxInputSize = 64 * 1024;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Scripts may create files (TIniFile, ForceDirectories): they land in a folder of our own.
    static QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > MaxInputSize)
        return 0;
    tev::script::ScriptEngine engine;
    engine.SetStepLimit(FuzzStepLimit);
    engine.OnOutput = [](const QString &) {};
    engine.SetSourceText(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    try {
        engine.Execute();
    } catch (const tev::Error &) {
    }
    return 0;
}
