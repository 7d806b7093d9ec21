#include "core/db/firebirdembedded.h"

#include "core/db/embeddedusemarker.h"
#include "platform/error.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QThread>

#include <ibase.h>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcEmbedded, "tevora.data.embedded")

bool g_prepared = false;

void SetIfUnset(const char *name, const QString &value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, QFile::encodeName(value));
}

QString StatusText(const ISC_STATUS *status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *cursor = status;
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

// Validations that may change the file, at most, before the next step of a repair: each enters
// or re-marks what it finds, and orphans are freed by a pass that finds nothing else.
constexpr int ValidationPasses = 3;

// The engine's service manager in this process, for the repair action that gfix runs too.
class ServiceManager
{
public:
    explicit ServiceManager(const QString &userName)
    {
        QByteArray spb;
        spb.append(char(isc_spb_version)).append(char(isc_spb_current_version));
        const QByteArray user = userName.toUtf8().left(255);
        spb.append(char(isc_spb_user_name)).append(char(user.size())).append(user);
        ISC_STATUS_ARRAY status{};
        char name[] = "service_mgr";
        if (isc_service_attach(status, 0, name, &m_handle, ushort(spb.size()), spb.constData()))
            throw Error(QStringLiteral("Cannot reach the database engine's services: %1")
                            .arg(StatusText(status)));
    }
    ~ServiceManager()
    {
        ISC_STATUS_ARRAY status{};
        isc_service_detach(status, &m_handle);
    }
    ServiceManager(const ServiceManager &) = delete;
    ServiceManager &operator=(const ServiceManager &) = delete;

    // Runs the repair action with these options (isc_spb_rpr_...) on the file and returns what
    // the engine reports. A validation that finds something reports its summary as the action's
    // failure; any other failure throws.
    QStringList repair(const QString &fileName, quint32 options)
    {
        QByteArray request;
        request.append(char(isc_action_svc_repair));
        const QByteArray file = QFile::encodeName(fileName);
        request.append(char(isc_spb_dbname))
            .append(char(file.size() & 0xff))
            .append(char(file.size() >> 8))
            .append(file);
        request.append(char(isc_spb_options));
        for (int i = 0; i < 4; ++i)
            request.append(char((options >> (8 * i)) & 0xff));
        // The summary comes as the failure of the start and once more of a query; the start's
        // may hold only its title line, when the engine has not put in the counts yet.
        QStringList summary;
        const auto takeSummary = [&](const ISC_STATUS *status) {
            const QString text = StatusText(status);
            if (!text.contains(QLatin1String("Summary of validation errors")))
                throw Error(
                    QStringLiteral("Cannot check the database \"%1\": %2").arg(fileName, text));
            const QStringList lines = text.split(QLatin1Char('\n'));
            if (lines.size() > summary.size())
                summary = lines;
        };
        ISC_STATUS_ARRAY status{};
        if (isc_service_start(status, &m_handle, nullptr, ushort(request.size()),
                              request.constData()))
            takeSummary(status);
        // The action may still run when the start returns, the more so on a busy machine: an
        // empty line then only says that nothing is written yet. Reading on until the engine
        // says the action has ended keeps its summary from being lost with the attachment.
        QStringList lines;
        const char items[] = {isc_info_svc_line, isc_info_svc_running};
        // Once it has ended, one more query: its summary may come with that one.
        int ended = 0;
        for (int failures = 0; failures < 3;) {
            char answer[4096];
            if (isc_service_query(status, &m_handle, nullptr, 0, nullptr, sizeof items, items,
                                  sizeof answer, answer)) {
                takeSummary(status);
                ++failures;
                continue;
            }
            failures = 0;
            bool running = false;
            bool wrote = false;
            for (const char *item = answer; item < answer + sizeof answer;) {
                if (*item == isc_info_svc_line) {
                    const int length = int(uchar(item[1])) | int(uchar(item[2])) << 8;
                    if (length > int(answer + sizeof answer - item) - 3)
                        break;
                    if (length > 0)
                        lines << QString::fromUtf8(item + 3, length);
                    wrote = wrote || length > 0;
                    item += 3 + length;
                } else if (*item == isc_info_svc_running) {
                    if (item + 5 > answer + sizeof answer)
                        break;
                    running = isc_vax_integer(item + 1, 4) != 0;
                    item += 5;
                } else {
                    break;
                }
            }
            if (!running && !wrote && ++ended == 2)
                break;
            if (running && !wrote)
                QThread::msleep(20);
        }
        return lines + summary;
    }

private:
    isc_svc_handle m_handle = 0;
};

// The counts of a validation's report: lines such as "Number of index page errors : 1".
FirebirdValidation ValidationOf(const QStringList &lines)
{
    static const QRegularExpression count(
        QStringLiteral("Number of .* (errors|warnings)\\s*:\\s*(\\d+)"));
    FirebirdValidation result;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = count.match(line);
        if (!match.hasMatch())
            continue;
        (match.captured(1) == QLatin1String("errors") ? result.errors : result.warnings) +=
            match.captured(2).toInt();
        result.summary << line.simplified();
    }
    return result;
}

constexpr quint32 FullValidation = isc_spb_rpr_validate_db | isc_spb_rpr_full;

// Whether the validation found index pages it cannot mend itself.
bool IndexPagesFlawed(const FirebirdValidation &validation)
{
    return validation.summary.filter(QLatin1String("index page")).size() > 0;
}

// Builds every active index of the tables anew. A write cut off in an index can leave a page
// whose neighbours do not point back to it: validation reports it and cannot mend it, and while
// it is reported, validation frees no orphan pages either. Rebuilding the index writes it whole
// and leaves its old pages to the next validation.
void RebuildIndexes(const QString &fileName, const QString &userName)
{
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    const QByteArray user = userName.toUtf8().left(255);
    dpb.append(char(isc_dpb_user_name)).append(char(user.size())).append(user);
    const QByteArray file = QFile::encodeName(fileName);
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const auto fail = [&](const char *what) {
        const QString text = StatusText(status);
        ISC_STATUS_ARRAY ignored{};
        if (tr)
            isc_rollback_transaction(ignored, &tr);
        if (db)
            isc_detach_database(ignored, &db);
        throw Error(QStringLiteral("Cannot %1 the indexes of the database \"%2\": %3")
                        .arg(QLatin1String(what), fileName, text));
    };
    if (isc_attach_database(status, 0, file.constData(), &db, short(dpb.size()), dpb.constData()))
        fail("open");
    static const char rebuild[] =
        "execute block as declare name varchar(63); begin "
        "for select trim(rdb$index_name) from rdb$indices "
        "where coalesce(rdb$system_flag, 0) = 0 and coalesce(rdb$index_inactive, 0) = 0 "
        "into :name do "
        "execute statement 'alter index \"' || replace(name, '\"', '\"\"') || '\" active'; end";
    if (isc_start_transaction(status, &tr, 1, &db, 0, nullptr) ||
        isc_dsql_execute_immediate(status, &db, &tr, 0, rebuild, SQL_DIALECT_V6, nullptr) ||
        isc_commit_transaction(status, &tr))
        fail("rebuild");
    if (isc_detach_database(status, &db))
        fail("close");
}

} // namespace

void PrepareFirebirdEnvironment(const QString &vendorHome)
{
    if (g_prepared)
        return;
    g_prepared = true;
    // The engine refuses a plugin whose loaded path differs from the configured one, as happens
    // when the folder is reached through a symbolic link: use the canonical path.
    QString home = QFileInfo(vendorHome).canonicalFilePath();
    if (home.isEmpty())
        home = QDir::cleanPath(QDir(vendorHome).absolutePath());
    qputenv("FIREBIRD", QFile::encodeName(home));
    SetIfUnset("FIREBIRD_LOCK", home + QStringLiteral("/lock"));
    SetIfUnset("FIREBIRD_TMP", home + QStringLiteral("/tmp"));
    // The engine creates the lock folder itself but needs its parent; the sort folder must exist.
    QDir().mkpath(QFile::decodeName(qgetenv("FIREBIRD_TMP")));
}

bool FirebirdEnvironmentPrepared()
{
    return g_prepared;
}

void CreateFirebirdDatabase(const QString &fileName, const QString &userName, const QString &server,
                            const QString &password)
{
    auto quoted = [](QString text) {
        return text.replace(QLatin1Char('\''), QStringLiteral("''"));
    };
    QString target;
    QString credentials = QStringLiteral("USER '%1'").arg(quoted(userName));
    if (server.isEmpty()) {
        const QFileInfo info(fileName);
        if (!QDir().mkpath(info.absolutePath()))
            throw Error(
                QStringLiteral("Cannot create the folder \"%1\".").arg(info.absolutePath()));
        target = info.absoluteFilePath();
    } else {
        target = server + QLatin1Char(':') + fileName;
        credentials += QStringLiteral(" PASSWORD '%1'").arg(quoted(password));
    }
    const QByteArray statement = QStringLiteral("CREATE DATABASE '%1' %2 PAGE_SIZE 8192 "
                                                "DEFAULT CHARACTER SET UTF8")
                                     .arg(quoted(target), credentials)
                                     .toUtf8();
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, statement.constData(), SQL_DIALECT_V6,
                                   nullptr)) {
        throw Error(QStringLiteral("Cannot create the database \"%1\": %2")
                        .arg(fileName, StatusText(status)));
    }
    if (isc_detach_database(status, &db))
        throw Error(QStringLiteral("Cannot close the new database \"%1\": %2")
                        .arg(fileName, StatusText(status)));
}

FirebirdValidation ValidateFirebirdDatabase(const QString &fileName, const QString &userName)
{
    return ValidationOf(
        ServiceManager(userName).repair(fileName, FullValidation | isc_spb_rpr_check_db));
}

FirebirdRepair RepairFirebirdDatabase(const QString &fileName, const QString &userName)
{
    FirebirdRepair repair;
    // Each action on an attachment of its own, so that nothing of one action's report is left
    // for the next to read.
    const auto run = [&](quint32 options) {
        return ServiceManager(userName).repair(fileName, options);
    };
    const auto validate = [&] {
        FirebirdValidation last;
        for (int pass = 0; pass < ValidationPasses; ++pass) {
            last = ValidationOf(run(FullValidation));
            if (repair.passes++ == 0)
                repair.found = last;
            if (last.clean())
                break;
        }
        return last;
    };
    repair.left = validate();
    if (!repair.left.clean()) {
        run(isc_spb_rpr_sweep_db);
        repair.swept = true;
        repair.left = validate();
    }
    if (IndexPagesFlawed(repair.left)) {
        RebuildIndexes(fileName, userName);
        repair.indexesRebuilt = true;
        repair.left = validate();
    }
    if (repair.left.errors > 0) {
        run(isc_spb_rpr_mend_db | isc_spb_rpr_full | isc_spb_rpr_ignore_checksum);
        repair.mended = true;
        repair.left = validate();
    }
    return repair;
}

std::unique_ptr<EmbeddedUseMarker> BeginEmbeddedUse(const QString &fileName,
                                                    const QString &userName)
{
    auto marker = std::make_unique<EmbeddedUseMarker>(fileName);
    if (marker->uncleanEnd() && QFileInfo::exists(fileName)) {
        qCWarning(lcEmbedded,
                  "The database \"%s\" was not closed when the program last ended; "
                  "it is validated and mended before it is opened.",
                  qPrintable(fileName));
        try {
            const FirebirdRepair repair = RepairFirebirdDatabase(fileName, userName);
            qCWarning(lcEmbedded,
                      "Found: %d errors, %d warnings (%s). After %d validations%s%s%s: %d errors, "
                      "%d warnings.",
                      repair.found.errors, repair.found.warnings,
                      qPrintable(repair.found.summary.join(QStringLiteral("; "))), repair.passes,
                      repair.swept ? ", a sweep" : "",
                      repair.indexesRebuilt ? ", rebuilt indexes" : "",
                      repair.mended ? " and a mend" : "", repair.left.errors, repair.left.warnings);
        } catch (const Error &e) {
            qCWarning(lcEmbedded, "The database could not be validated: %s",
                      qPrintable(e.message()));
        }
    }
    marker->markOpen();
    return marker;
}

} // namespace tev
