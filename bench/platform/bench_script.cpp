// The script engine, each operation measured alternately with its limit in one process
// (bench/support/alternating.h):
//   BM_ScriptEngine   a loop-heavy routine (integer arithmetic, building a text, calls) run by the
//                     engine, beside the same routine compiled by Free Pascal with -O2;
//   BM_ScriptCalls    5,000 script calls made 5,000 deep, beside the same calls made 50 deep;
//   BM_ScriptAppend   S := S + X building a text of 50,000 lines, beside building 25,000 lines
//                     twice: the ratio stays near 1 while an append costs time in proportion to
//                     what it appends, and would near 2 if each append copied the whole text.
#include "bench/support/alternating.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/script/scriptengine.h"

namespace {

using tev::script::ScriptEngine;
using tev::script::Value;

// The routines that the engine and Free Pascal both run.
const char *const routines = R"(
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
)";

// The native program stays running: each line it reads runs Work once and answers with the result
// and the microseconds Work took by the program's own clock. So the figure holds no process start.
const char *const nativeMain = R"(
var
  Line: string;
  Answer: Integer;
  Started, Ended: timespec;
begin
  while not Eof(Input) do
  begin
    ReadLn(Line);
    clock_gettime(CLOCK_MONOTONIC, @Started);
    Answer := Work;
    clock_gettime(CLOCK_MONOTONIC, @Ended);
    WriteLn(Answer, ' ',
      (Ended.tv_sec - Started.tv_sec) * 1000000 + (Ended.tv_nsec - Started.tv_nsec) div 1000);
    Flush(Output);
  end;
end.
)";

// The routine compiled by fpc -Mdelphi -O2 and started, waiting for requests; empty with the
// reason when that cannot be done.
class NativeProgram
{
public:
    QString start()
    {
        const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
        if (fpc.isEmpty())
            return QStringLiteral("fpc is not installed");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        const QString source = m_dir.filePath(QStringLiteral("bench.pas"));
        QFile out(source);
        if (!out.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write the program");
        out.write("program Bench;\nuses SysUtils, Linux, UnixType;\n");
        out.write(routines);
        out.write(nativeMain);
        out.close();
        QProcess compile;
        compile.start(fpc, {QStringLiteral("-Mdelphi"), QStringLiteral("-O2"),
                            QStringLiteral("-FE") + m_dir.path(), source});
        if (!compile.waitForFinished(120000) || compile.exitCode() != 0)
            return QStringLiteral("fpc failed: ") + QString::fromLocal8Bit(compile.readAll());
        m_process.start(m_dir.filePath(QStringLiteral("bench")), {});
        if (!m_process.waitForStarted(10000))
            return QStringLiteral("the program does not start");
        return {};
    }

    // Runs Work once; returns its result and the microseconds the program measured.
    std::pair<qint64, qint64> run()
    {
        m_process.write("run\n");
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(60000))
                return {-1, 0};
        const QList<QByteArray> answer = m_process.readLine().trimmed().split(' ');
        return {answer.value(0).toLongLong(), answer.value(1).toLongLong()};
    }

    ~NativeProgram()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

void BM_ScriptEngine(benchmark::State &state)
{
    NativeProgram native;
    if (const QString reason = native.start(); !reason.isEmpty()) {
        state.SkipWithError(reason.toStdString().c_str());
        return;
    }
    ScriptEngine engine;
    engine.OnOutput = [](const QString &) {};
    engine.SetSourceText(QStringLiteral("uses SysUtils;\n") + QString::fromLatin1(routines) +
                         QStringLiteral("begin\nend.\n"));
    engine.Compile();
    qint64 scriptResult = 0, nativeResult = 0;
    std::vector<double> nativeOwnMs;
    tevbench::RunAlternately(
        state,
        {{"script",
          [&] { scriptResult = engine.ExecuteSubroutine(QStringLiteral("Work")).toInteger(); },
          {}},
         {"native",
          [&] {
              const auto [result, micros] = native.run();
              nativeResult = result;
              nativeOwnMs.push_back(double(micros) / 1000);
          },
          {}}});
    state.counters["native_own_ms"] = tevbench::Median(nativeOwnMs);
    state.counters["result"] = double(scriptResult);
    if (scriptResult != nativeResult)
        state.SkipWithError("the engine and the native program disagree");
}
BENCHMARK(BM_ScriptEngine)->UseManualTime()->Unit(benchmark::kMillisecond);

// Script calls 5,000 deep (a recursive walk, which moves to the script stack when it finds the
// thread's own stack running low) beside the same 5,000 calls 50 deep a hundred times (always on
// the thread's own stack). The ratio is the price of deep recursion per call.
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
    ScriptEngine engine;
    engine.SetSourceText(QString::fromLatin1(calls));
    engine.Compile();
    auto repeated = [&engine](int count, int depth) {
        benchmark::DoNotOptimize(
            engine.ExecuteSubroutine(QStringLiteral("Repeated"), {Value(count), Value(depth)}));
    };
    tevbench::RunAlternately(state, {{"depth5000", [&] { repeated(1, 5000); }, {}},
                                     {"depth50", [&] { repeated(100, 50); }, {}}});
}
BENCHMARK(BM_ScriptCalls)->UseManualTime()->Unit(benchmark::kMillisecond);

// An export built line by line, as scripts write one.
const char *const append = R"(
uses SysUtils;

function Build(Lines: Integer): Integer;
var
  I: Integer;
  S: string;
begin
  S := '';
  for I := 1 to Lines do
    S := S + 'H' + IntToStr(I) + #9 + 'Bore' + #9 + '12.500' + #13#10;
  Result := Length(S);
end;
)";

void BM_ScriptAppend(benchmark::State &state)
{
    ScriptEngine engine;
    engine.SetSourceText(QString::fromLatin1(append));
    engine.Compile();
    auto build = [&engine](int lines) {
        benchmark::DoNotOptimize(engine.ExecuteSubroutine(QStringLiteral("Build"), {Value(lines)}));
    };
    tevbench::RunAlternately(state, {{"lines50000", [&] { build(50000); }, {}},
                                     {"lines25000_twice",
                                      [&] {
                                          build(25000);
                                          build(25000);
                                      },
                                      {}}});
    // The time of one appended line at either size.
    state.counters["us_per_line_50000"] = state.counters["lines50000_ms"] * 1000 / 50000;
    state.counters["us_per_line_25000"] = state.counters["lines25000_twice_ms"] * 1000 / 50000;
}
BENCHMARK(BM_ScriptAppend)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
