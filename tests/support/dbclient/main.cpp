// A small client of a shared database for tests that need several clients at once as separate
// processes. It opens the data module of an application root (whose connection file names the
// server) and answers commands read from standard input, one result line per command:
//
//   save <file> <marker> <count>   replace the project's records in memory (<count>
//                                  characteristics, every NOMINAL = <marker>) and write them
//   resave <file>                  write the records in memory again, unchanged
//   loop <file> <first> <count> <n> [files=<k>] [master=<m>]
//                                  n saves with markers first, first+1, ...; with files=k the
//                                  i-th save goes to <file><i mod k>; with master=m the rows are
//                                  rows of master m; a save that meets a conflict is tried once
//                                  more with the same records
//   read <file>                    read the stored project into fresh records: "read <rows>
//                                  <marker>" (marker -1 when the rows differ)
//   propagate <master> <marker> <count> <n>
//                                  n propagations of the master's characteristics (NOMINAL =
//                                  marker, marker+1, ...) into the projects that reference it
//   project <root> <file>          read the stored project into the client's open project (the
//                                  program's project model) with sequence folder <root>:
//                                  "opened <rows>" or "not stored"
//   answer <none|keep|overwrite>   how the open project's question about a project that another
//                                  client saved since is answered (none: nobody is asked)
//   rename <name>                  the open project's name, written at once as an edit is:
//                                  "done", "kept" (the user kept the other save, nothing
//                                  stored) or "failed ..."
//   nominal <value>                every characteristic's NOMINAL of the open project, in memory
//   projectsave                    saves the open project: "saved" or "failed ..."
//   upgrade                        bring the database to the program's schema: "upgraded"
//   quit
//
// The open project's answers end with " asked=<n>", the questions asked during the command.
// A write answers "saved <marker>" or "failed <kind> <marker> <kept|changed> <message>", where
// kind is conflict, locktimeout, lost or other, and kept tells that the records in memory are
// exactly what the save was given. A loop ends with "done runs=.. saved=.. conflicts=..
// locktimeouts=.. lost=.. other=.. retried=.. changed=..".

#include "core/db/databaseerror.h"
#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "core/project/tevproject.h"
#include "platform/dataset/memdataset.h"

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

using namespace tev;

namespace {

struct Project
{
    Project()
    {
        CreateProjectDataSet(header);
        CreateCharDataSet(chars);
    }
    MemDataSet header;
    MemDataSet chars;
    int marker = 0;
    int count = 0;
};

const char *KindName(DatabaseFailure failure)
{
    switch (failure) {
    case DatabaseFailure::Conflict:
        return "conflict";
    case DatabaseFailure::LockTimeout:
        return "locktimeout";
    case DatabaseFailure::ConnectionLost:
        return "lost";
    default:
        return "other";
    }
}

class Client
{
public:
    explicit Client(const QString &root)
        : m_data(root)
    {}

    bool connected() const { return m_data.Connected(); }
    void setLockWait(int seconds) { m_data.Database()->setLockWaitSeconds(seconds); }
    void upgrade() { m_data.UpgradeDatabase(TProductVersion{1, 0, 0, 0}); }

    // Fills the records of a work project: the master's rows (REF_FILENAME of the master given)
    // and, for a work project, rows of its own.
    void fill(Project &p, const QString &file, int marker, int count, const QString &master = {})
    {
        p.header.emptyDataSet();
        p.header.append();
        p.header.fieldByName("PROJECTNAME").setAsString("P " + file);
        p.header.fieldByName("FILENAME").setAsString(file);
        p.header.fieldByName("FILETYPE").setAsInteger(1);
        p.header.fieldByName("PARAMS").setAsString(QString("MARKER=%1").arg(marker));
        p.header.post();
        p.chars.emptyDataSet();
        for (int i = 1; i <= count; ++i) {
            p.chars.append();
            p.chars.fieldByName("GROUPID").setAsInteger(1 + i / 50);
            p.chars.fieldByName("CHARID").setAsInteger(i);
            p.chars.fieldByName("LABEL").setAsString(QString("L%1").arg(i, 5, 10, QChar('0')));
            p.chars.fieldByName("FEATURE").setAsString(QString("F%1-%2").arg(marker).arg(i));
            p.chars.fieldByName("NOMINAL").setAsFloat(marker);
            p.chars.fieldByName("DECIMALS").setAsInteger(3);
            p.chars.fieldByName("ACTIVE").setAsInteger(1);
            p.chars.fieldByName("REF_FILENAME").setAsString(master);
            p.chars.fieldByName("STATE").setAsInteger(8);
            p.chars.post();
        }
        p.marker = marker;
        p.count = count;
    }

    // Whether the records hold exactly what fill gave them.
    static bool kept(MemDataSet &chars, int marker, int count)
    {
        if (chars.recordCount() != count)
            return false;
        for (chars.first(); !chars.eof(); chars.next()) {
            const int i = chars.fieldByName("CHARID").asInteger();
            if (chars.fieldByName("NOMINAL").asFloat() != marker ||
                chars.fieldByName("FEATURE").asString() != QString("F%1-%2").arg(marker).arg(i) ||
                chars.fieldByName("STATE").asInteger() != 8)
                return false;
        }
        return true;
    }

    // One write; returns the failure, or nothing when it was stored.
    std::string write(Project &p, const QString &file, DatabaseFailure *failure)
    {
        try {
            m_data.WriteProject(file, p.header, p.chars, TTevDBUpdateMode::dbumSaveAll);
            // A stored save clears the "unknown" bit; the next save starts from the same marks.
            for (p.chars.first(); !p.chars.eof(); p.chars.next()) {
                p.chars.edit();
                p.chars.fieldByName("STATE").setAsInteger(8);
                p.chars.post();
            }
            return "saved " + std::to_string(p.marker);
        } catch (const DatabaseError &e) {
            *failure = e.failure();
            return describe(KindName(e.failure()), p, e.message());
        } catch (const Error &e) {
            *failure = DatabaseFailure::Other;
            return describe("other", p, e.message());
        }
    }

    std::string propagate(const QString &master, int marker, int count, DatabaseFailure *failure)
    {
        Project p;
        fill(p, master, marker, count, master);
        try {
            m_data.UpdateDependingProjects(master, p.chars, false);
            return "saved " + std::to_string(marker);
        } catch (const DatabaseError &e) {
            *failure = e.failure();
            return describe(KindName(e.failure()), p, e.message());
        } catch (const Error &e) {
            *failure = DatabaseFailure::Other;
            return describe("other", p, e.message());
        }
    }

    std::string read(const QString &file)
    {
        Project p;
        try {
            if (!m_data.ReadProject(file, p.header, p.chars))
                return "not stored";
        } catch (const DatabaseError &e) {
            return std::string("failed ") + KindName(e.failure()) + " " +
                   e.message().section('\n', 0, 0).toStdString();
        } catch (const Error &e) {
            return "failed other " + e.message().section('\n', 0, 0).toStdString();
        }
        QSet<int> markers;
        for (p.chars.first(); !p.chars.eof(); p.chars.next())
            markers.insert(qRound(p.chars.fieldByName("NOMINAL").asFloat()));
        return "read " + std::to_string(p.chars.recordCount()) + " " +
               std::to_string(markers.size() == 1 ? *markers.begin() : -1);
    }

    Project &project(const QString &file)
    {
        auto &p = m_projects[file];
        if (!p)
            p = std::make_unique<Project>();
        return *p;
    }

    // The program's project model on this client's database, as the window holds it.
    std::string openProject(const QString &root, const QString &file)
    {
        m_open = std::make_unique<TTevProject>(nullptr, &m_data);
        m_open->SetRootDir(root);
        QObject::connect(m_open.get(), &TTevProject::OnStaleWrite, [this](TStaleAnswer *answer) {
            ++m_asked;
            *answer = m_answer;
        });
        return m_open->LoadFromDB(root + '/' + file)
                   ? "opened " + std::to_string(m_open->DataSetChars().recordCount())
                   : std::string("not stored");
    }
    void setAnswer(TStaleAnswer answer) { m_answer = answer; }

    // Runs a change of the open project; written tells whether a write happened without error.
    std::string change(const std::function<void(TTevProject &)> &step, const char *written)
    {
        if (!m_open)
            return "no project";
        m_asked = 0;
        std::string result;
        try {
            step(*m_open);
            result = m_asked > 0 && m_answer == TStaleAnswer::Keep ? "kept" : written;
        } catch (const StaleWriteError &e) {
            result = std::string("failed stale ") + (e.declined() ? "declined " : "notasked ") +
                     e.message().section('\n', 0, 0).toStdString();
        } catch (const DatabaseError &e) {
            result = std::string("failed ") + KindName(e.failure()) + " " +
                     e.message().section('\n', 0, 0).toStdString();
        } catch (const Error &e) {
            result = "failed other " + e.message().section('\n', 0, 0).toStdString();
        }
        return result + " asked=" + std::to_string(m_asked);
    }

private:
    static std::string describe(const char *kind, Project &p, const QString &message)
    {
        const bool ok = kept(p.chars, p.marker, p.count);
        return std::string("failed ") + kind + " " + std::to_string(p.marker) +
               (ok ? " kept " : " changed ") + message.section('\n', 0, 0).toStdString();
    }

    TTevDataModule m_data;
    QMap<QString, std::shared_ptr<Project>> m_projects;
    std::unique_ptr<TTevProject> m_open;
    TStaleAnswer m_answer = TStaleAnswer::NotAsked;
    int m_asked = 0;
};

void SetNominals(TTevProject &project, double value)
{
    MemDataSet &chars = project.DataSetChars();
    for (chars.first(); !chars.eof(); chars.next()) {
        chars.edit();
        chars.fieldByName("NOMINAL").setAsFloat(value);
        chars.post();
    }
}

struct Counts
{
    int runs = 0, saved = 0, conflicts = 0, lockTimeouts = 0, lost = 0, other = 0, retried = 0,
        changed = 0;
    void add(const std::string &result, DatabaseFailure failure)
    {
        ++runs;
        if (result.rfind("saved", 0) == 0) {
            ++saved;
            return;
        }
        // "failed <kind> <marker> <kept|changed> ..."
        if (QString::fromStdString(result).section(' ', 3, 3) == "changed")
            ++changed;
        switch (failure) {
        case DatabaseFailure::Conflict:
            ++conflicts;
            break;
        case DatabaseFailure::LockTimeout:
            ++lockTimeouts;
            break;
        case DatabaseFailure::ConnectionLost:
            ++lost;
            break;
        default:
            ++other;
        }
    }
    std::string text() const
    {
        return "done runs=" + std::to_string(runs) + " saved=" + std::to_string(saved) +
               " conflicts=" + std::to_string(conflicts) +
               " locktimeouts=" + std::to_string(lockTimeouts) + " lost=" + std::to_string(lost) +
               " other=" + std::to_string(other) + " retried=" + std::to_string(retried) +
               " changed=" + std::to_string(changed);
    }
};

void Answer(const std::string &line)
{
    std::cout << line << std::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: tevora_dbclient <application root> [<lock wait seconds>]\n";
        return 2;
    }
    Client client(QString::fromLocal8Bit(argv[1]));
    if (argc > 2)
        client.setLockWait(std::atoi(argv[2]));
    Answer(client.connected() ? "ready" : "not connected");

    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString command = words.first();
        DatabaseFailure failure = DatabaseFailure::Other;
        if (command == "quit") {
            break;
        } else if (command == "upgrade" && words.size() == 1) {
            client.upgrade();
            Answer("upgraded");
        } else if (command == "save" && words.size() == 4) {
            Project &p = client.project(words[1]);
            client.fill(p, words[1], words[2].toInt(), words[3].toInt());
            Answer(client.write(p, words[1], &failure));
        } else if (command == "resave" && words.size() == 2) {
            Answer(client.write(client.project(words[1]), words[1], &failure));
        } else if (command == "loop" && words.size() >= 5) {
            const int first = words[2].toInt();
            const int count = words[3].toInt();
            const int n = words[4].toInt();
            int files = 0;
            QString master;
            for (const QString &option : words.mid(5)) {
                if (option.startsWith("files="))
                    files = option.mid(6).toInt();
                else if (option.startsWith("master="))
                    master = option.mid(7);
            }
            Counts counts;
            for (int i = 0; i < n; ++i) {
                const QString file = files > 0 ? words[1] + QString::number(i % files) : words[1];
                Project &p = client.project(file);
                client.fill(p, file, first + i, count, master);
                std::string result = client.write(p, file, &failure);
                counts.add(result, failure);
                if (result.rfind("failed conflict", 0) == 0) {
                    // The user saves again what is still in memory.
                    ++counts.retried;
                    result = client.write(p, file, &failure);
                    counts.add(result, failure);
                }
                Answer(file.toStdString() + " " + result);
            }
            Answer(counts.text());
        } else if (command == "read" && words.size() == 2) {
            Answer(client.read(words[1]));
        } else if (command == "propagate" && words.size() == 5) {
            const int first = words[2].toInt();
            const int count = words[3].toInt();
            const int n = words[4].toInt();
            Counts counts;
            for (int i = 0; i < n; ++i) {
                const std::string result = client.propagate(words[1], first + i, count, &failure);
                counts.add(result, failure);
                Answer(result);
            }
            Answer(counts.text());
        } else if (command == "project" && words.size() == 3) {
            Answer(client.openProject(words[1], words[2]));
        } else if (command == "answer" && words.size() == 2) {
            const QString mode = words[1];
            client.setAnswer(mode == "keep"        ? TStaleAnswer::Keep
                             : mode == "overwrite" ? TStaleAnswer::Overwrite
                                                   : TStaleAnswer::NotAsked);
            Answer("answer " + mode.toStdString());
        } else if (command == "rename" && words.size() == 2) {
            const QString name = words[1];
            Answer(client.change([&](TTevProject &p) { p.SetProjectName(name); }, "done"));
        } else if (command == "nominal" && words.size() == 2) {
            const double value = words[1].toDouble();
            Answer(client.change([&](TTevProject &p) { SetNominals(p, value); }, "changed"));
        } else if (command == "projectsave" && words.size() == 1) {
            Answer(client.change([](TTevProject &p) { p.Save(); }, "saved"));
        } else {
            Answer("unknown command: " + line);
        }
    }
    return 0;
}
