// The window's open of a large sequence: a click on its node in the tree until the
// characteristics grid has painted its rows, beside OpenFile alone of the same file on a project
// without a window. Two kinds of file at 10,000 and 100,000 characteristics: a master, which
// lives in its file only ("file"), and a work sequence of the same rows stored in the database
// ("stored"). (A work sequence without its row would be saved when the click moves away.)
//
// Limits held against the figures: the click within 1.5 times OpenFile alone ("ratio"), the
// process's peak during the click within 6 times the file's size above what it held before
// ("click_peak_per_file"), and OpenFile of the stored project within 2 times OpenFile of the
// same file without its row (BM_StoredOpen's "ratio").
//
// The program's window runs offscreen on an application root of its own with an embedded
// database, as the whole-program tests start it. The large files are Work/Line1.seq of the
// tests' sequence tree with its routine grown: its rows repeated under new labels, in groups of
// 50, with the dependency files beside them as the original has them.

#include "core/app/tevapp.h"
#include "core/db/firebirdembedded.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "platform/memory/largeblocks.h"
#include "platform/text/tencoding.h"
#include "support/app/appenvironment.h"
#include "support/app/firebirdtestenv.h"
#include "support/app/sequencetree.h"
#include "support/tempfolder.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/kit/mainform.h"
#include "ui/mainwindow/tevmainform.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"

#include "bench/support/alternating.h"
#include "bench/support/peakmemory.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace tev;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString LargeName(int n, bool stored)
{
    return QStringLiteral("Work/%1%2.seq").arg(stored ? "Stored" : "Large").arg(n);
}

// Line1.seq with n routine rows: the original rows in turn, each with a label of its own and
// the group of its fifty; a master's file when the generator is "Ombrix".
QByteArray GrowLine1(const QString &line1, int n, const QString &projectName,
                     const QString &generator)
{
    QFile file(line1);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(line1));
    const QStringList lines = TEncoding::Windows1252()->GetString(file.readAll()).split(kCrLf);
    const qsizetype routine = lines.indexOf(QStringLiteral("$ROUTINE"));
    if (routine < 0 || routine + 2 >= lines.size())
        qFatal("no routine in %s", qPrintable(line1));
    const QStringList columns = lines[routine + 1].split(QLatin1Char('\t'));
    const qsizetype label = columns.indexOf(QStringLiteral("LABEL"));
    const qsizetype group = columns.indexOf(QStringLiteral("GROUPNAME"));
    QStringList rows;
    for (qsizetype i = routine + 2; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            rows << lines[i];

    QString text;
    for (qsizetype i = 0; i <= routine + 1; ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String("$PROJECTNAME ")))
            text += QStringLiteral("$PROJECTNAME ") + projectName;
        else if (line.startsWith(QLatin1String("$GENERATOR ")))
            text += QStringLiteral("$GENERATOR ") + generator;
        else
            text += line;
        text += kCrLf;
    }
    for (int i = 0; i < n; ++i) {
        QStringList fields = rows[i % rows.size()].split(QLatin1Char('\t'));
        fields[label] = QStringLiteral("H%1").arg(i + 1);
        fields[group] = QStringLiteral("Group %1").arg(i / 50 + 1);
        text += fields.join(QLatin1Char('\t')) + kCrLf;
    }
    return TEncoding::Windows1252()->GetBytes(text);
}

// The program's window on its own application root, with the large files in its sequence folder,
// and a project without a window on the same database for OpenFile alone.
class Program
{
public:
    Program()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_registry.path());
        {
            TTevApp app(nullptr, m_env.exeName());
            app.SetSEQDir(m_seq.root());
            app.WriteSettings();
        }
        for (const int n : {10000, 100000})
            for (const bool stored : {false, true}) {
                QFile f(m_seq.file(LargeName(n, stored)));
                if (!f.open(QIODevice::WriteOnly))
                    qFatal("cannot write the large sequence");
                f.write(GrowLine1(m_seq.file(test::SequenceTree::Line1), n,
                                  QStringLiteral("Large %1").arg(n),
                                  stored ? QStringLiteral("Tevora") : QStringLiteral("Ombrix")));
            }
        m_form = std::make_unique<TTevMainForm>(m_env.exeName());
        setMainForm(m_form.get());
        m_form->resize(1280, 721);
        m_form->show();
        m_form->PageCtrl()->setCurrentWidget(m_form->CharsPage());
        QCoreApplication::processEvents();

        TTevProject &windowProject = m_form->App()->Project();
        m_alone = std::make_unique<TTevProject>(nullptr, &m_form->App()->Data());
        m_alone->SetRootDir(windowProject.RootDir());
        m_alone->SetFileEncoding(windowProject.FileEncoding());
        // The stored files are imported once, as an import from the tree would.
        const auto import = QObject::connect(
            m_alone.get(), &TTevProject::OnUnknownFile,
            [](const QString &, const QString &, TTevFileType, bool *create) { *create = true; });
        for (const int n : {10000, 100000}) {
            m_alone->OpenFile(m_seq.file(LargeName(n, true)));
            if (!m_alone->ExistsInDatabase())
                qFatal("the large sequence was not imported");
            m_alone->Close();
        }
        QObject::disconnect(import);
    }
    ~Program()
    {
        m_alone.reset();
        setMainForm(nullptr);
        m_form.reset();
    }

    QString file(int n, bool stored) const { return m_seq.file(LargeName(n, stored)); }
    TvyxDBGrid &grid() const { return *m_form->CharsPage()->GridChars(); }

    // A click on a node of the tree, as the user makes it; the events it leaves are handled.
    void click(const QString &relative)
    {
        TvyxDirectoryTreeView *tree = m_form->Tree();
        QTreeWidgetItem *node = tree->topNode();
        for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            tree->expandNode(node);
            node = TvyxDirectoryTreeView::FindChildNode(node, part);
            if (!node)
                qFatal("no node %s", qPrintable(relative));
        }
        tree->doItemsLayout();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
        QCoreApplication::processEvents();
    }

    // The click on a large file, until the grid has painted its rows.
    void clickLarge(int n, bool stored)
    {
        click(LargeName(n, stored));
        grid().viewport()->repaint();
        if (grid().DataSource()->rowCount() != n)
            qFatal("the grid shows %d rows, not %d", grid().DataSource()->rowCount(), n);
    }
    // A folder's node: the project is closed.
    void clickFolder() { click(QStringLiteral("Masters")); }

    void openAlone(int n, bool stored)
    {
        m_alone->OpenFile(file(n, stored));
        if (m_alone->DataSetChars().recordCount() != n)
            qFatal("OpenFile read %d records, not %d", m_alone->DataSetChars().recordCount(), n);
    }
    void closeAlone() { m_alone->Close(); }

private:
    test::TempFolder m_registry;
    test::AppEnvironment m_env;
    test::SequenceTree m_seq;
    std::unique_ptr<TTevMainForm> m_form;
    std::unique_ptr<TTevProject> m_alone;
};

std::unique_ptr<Program> TheProgram;

Program &program()
{
    if (!TheProgram)
        TheProgram = std::make_unique<Program>();
    return *TheProgram;
}

// Peak memory of one run of an operation above what the process held before it.
template <typename Operation> double PeakAbove(Operation operation)
{
    tevbench::ResetPeak();
    const qint64 before = tevbench::StatusBytes("VmRSS:");
    operation();
    return double(tevbench::StatusBytes("VmHWM:") - before);
}

// Arguments: the number of characteristics; 1 for the stored project.
void BM_TreeClickToGrid(benchmark::State &state)
{
    Program &p = program();
    const int n = int(state.range(0));
    const bool stored = state.range(1) != 0;
    const double fileSize = double(QFileInfo(p.file(n, stored)).size());

    // One measured run of each, from a closed project; they also warm the caches.
    p.clickFolder();
    const double clickPeak = PeakAbove([&] { p.clickLarge(n, stored); });
    p.clickFolder();
    const double openPeak = PeakAbove([&] { p.openAlone(n, stored); });
    p.closeAlone();

    tevbench::RunAlternately(
        state, {{"click", [&] { p.clickLarge(n, stored); }, [&] { p.clickFolder(); }},
                {"openfile", [&] { p.openAlone(n, stored); }, [&] { p.closeAlone(); }}});
    p.clickFolder();
    p.closeAlone();
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["click_peak_MB"] = clickPeak / 1e6;
    state.counters["click_peak_per_file"] = clickPeak / fileSize;
    state.counters["openfile_peak_MB"] = openPeak / 1e6;
    state.counters["openfile_peak_per_file"] = openPeak / fileSize;
}

// OpenFile alone of the stored project beside OpenFile of the same rows as a master's file.
void BM_StoredOpen(benchmark::State &state)
{
    Program &p = program();
    const int n = int(state.range(0));
    tevbench::RunAlternately(state,
                             {{"stored", [&] { p.openAlone(n, true); }, [&] { p.closeAlone(); }},
                              {"file", [&] { p.openAlone(n, false); }, [&] { p.closeAlone(); }}});
    p.closeAlone();
}

} // namespace

BENCHMARK(BM_TreeClickToGrid)
    ->ArgsProduct({{10000}, {0, 1}})
    ->ArgNames({"n", "stored"})
    ->Iterations(9)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeClickToGrid)
    ->ArgsProduct({{100000}, {0, 1}})
    ->ArgNames({"n", "stored"})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoredOpen)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("n")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The process set up as the program start sets it: offscreen, its allocator returning large
// blocks, Firebird's lock folder of its own, Qt's test-mode folders.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    KeepLargeBlocksReturnable();
    QApplication app(argc, argv);
    const QTemporaryDir firebird;
    qputenv("FIREBIRD_LOCK", QFile::encodeName(firebird.filePath(QStringLiteral("lock"))));
    qputenv("FIREBIRD_TMP", QFile::encodeName(firebird.filePath(QStringLiteral("tmp"))));
    PrepareFirebirdEnvironment(test::BuildFirebirdFolder());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    TheProgram.reset();
    benchmark::Shutdown();
    return 0;
}
