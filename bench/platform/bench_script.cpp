// The script engine against native code: one loop-heavy program (integer arithmetic, string
// building, calls) run by the engine and, compiled with fpc -O2, as a native program.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/script/scriptengine.h"

namespace {

const char *const program = R"(program Bench;
uses SysUtils;

function Fib(N: Integer): Integer;
begin
  if N < 2 then
    Result := N
  else
    Result := Fib(N - 1) + Fib(N - 2);
end;

function Work: Integer;
var
  I, Sum: Integer;
  S: string;
begin
  Sum := 0;
  for I := 1 to 2000000 do
    Sum := (Sum + I * 7) mod 1000003;
  S := '';
  for I := 1 to 50000 do
    S := S + IntToStr(I mod 10);
  Result := Sum + Length(S) + Fib(22);
end;

begin
  WriteLn(Work);
end.
)";

void BM_ScriptEngine(benchmark::State &state)
{
    tev::script::ScriptEngine engine;
    engine.OnOutput = [](const QString &) {};
    engine.SetSourceText(QString::fromLatin1(program));
    engine.Compile();
    qint64 result = 0;
    for (auto _ : state)
        result = engine.ExecuteSubroutine(QStringLiteral("Work")).toInteger();
    state.counters["result"] = static_cast<double>(result);
}
BENCHMARK(BM_ScriptEngine)->Unit(benchmark::kMillisecond);

// The same 5,000 script calls made 50 deep a hundred times (always on the thread's own stack) and
// once 5,000 deep (a recursive walk, which moves to the script stack when it finds the thread's
// own stack running low). The ratio is the price of deep recursion per call.
const char *const calls = R"(
function Deep(N: Integer): Integer;
begin
  if N = 0 then
    Result := 0
  else
    Result := Deep(N - 1) + 1;
end;

function Repeated(Count, Depth: Integer): Integer;
var
  I: Integer;
begin
  Result := 0;
  for I := 1 to Count do
    Result := Result + Deep(Depth - 1);
end;
)";

void BM_ScriptCalls(benchmark::State &state)
{
    tev::script::ScriptEngine engine;
    engine.SetSourceText(QString::fromLatin1(calls));
    engine.Compile();
    const qint64 depth = state.range(0);
    const std::vector<tev::script::Value> args{tev::script::Value(5000 / depth),
                                               tev::script::Value(depth)};
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.ExecuteSubroutine(QStringLiteral("Repeated"), args));
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_ScriptCalls)->ArgName("depth")->Arg(50)->Arg(5000)->Unit(benchmark::kMicrosecond);

// The same program compiled by Free Pascal with -O2; each iteration runs the executable once,
// so the figure includes the start of a small process (about a millisecond).
void BM_FreePascalO2(benchmark::State &state)
{
    const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
    QTemporaryDir dir;
    if (fpc.isEmpty() || !dir.isValid()) {
        state.SkipWithError("fpc is not installed");
        return;
    }
    const QString source = dir.filePath(QStringLiteral("bench.pas"));
    QFile out(source);
    if (!out.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the program");
        return;
    }
    out.write(program);
    out.close();
    QProcess compile;
    compile.start(fpc, {QStringLiteral("-Mdelphi"), QStringLiteral("-O2"),
                        QStringLiteral("-FE") + dir.path(), source});
    if (!compile.waitForFinished(120000) || compile.exitCode() != 0) {
        state.SkipWithError("fpc failed");
        return;
    }
    const QString exe = dir.filePath(QStringLiteral("bench"));
    for (auto _ : state) {
        QProcess run;
        run.start(exe, {});
        run.waitForFinished(60000);
        benchmark::DoNotOptimize(run.readAllStandardOutput());
    }
}
BENCHMARK(BM_FreePascalO2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
