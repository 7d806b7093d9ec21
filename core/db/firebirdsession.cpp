#include "core/db/firebirdsession.h"

#include "core/db/connectionstate.h"
#include "core/db/databaseerror.h"
#include "core/db/statementwatch.h"
#include "core/db/tevconnection.h"

#include <QSqlDriver>
#include <QVariant>
#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>

#include <ibase.h>

namespace tev {

namespace {

static_assert(std::is_same_v<isc_db_handle, unsigned int>);
static_assert(std::is_same_v<isc_tr_handle, unsigned int>);

// A BLOB is written in pieces of this many bytes (a segment holds at most 64 KB).
constexpr int BlobSegment = 32768;
// The longest text a parameter can carry.
constexpr int MaxTextBytes = 32765;
// Output columns of types read here as text (dates, times, booleans): their longest text.
constexpr int OtherAsTextBytes = 64;

isc_db_handle AttachmentOf(const QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QIBASE") || !db.driver() || !db.isOpen())
        return 0;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<isc_db_handle>())
        return 0;
    return *static_cast<const isc_db_handle *>(handle.constData());
}

// The statement with each ":NAME" outside quotes replaced by "?"; names receives the names in
// order.
QString PositionalSql(const QString &sql, QStringList &names)
{
    QString out;
    out.reserve(sql.size());
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() &&
                   (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            qsizetype end = i + 1;
            while (end < sql.size() &&
                   (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('_') ||
                    sql[end] == QLatin1Char('$')))
                ++end;
            names << sql.mid(i + 1, end - i - 1);
            out += QLatin1Char('?');
            i = end - 1;
            continue;
        }
        out += c;
    }
    return out;
}

QByteArray TextBytes(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.toString().toUtf8();
}

// Room for the descriptors of count values.
std::vector<char> NewDescriptors(int count)
{
    std::vector<char> buffer(XSQLDA_LENGTH(std::max(count, 1)), 0);
    auto *da = reinterpret_cast<XSQLDA *>(buffer.data());
    da->version = SQLDA_VERSION1;
    da->sqln = short(std::max(count, 1));
    return buffer;
}

} // namespace

// One statement prepared in the session's transaction. Parameters are bound in the types the
// engine asks for, changed where the client may: integers as 64-bit integers, numbers with
// decimals as doubles, texts as VARCHAR of their UTF-8 bytes, BLOBs as the id of a new BLOB.
class FirebirdSession::Statement : public PreparedSql
{
public:
    // context: the statement as the caller wrote it, for errors.
    Statement(FirebirdSession &session, const QString &sql, const QString &context)
        : m_session(session)
        , m_sql(context)
    {
        ISC_STATUS_ARRAY status{};
        StatementWatch watch(m_session.m_db);
        isc_db_handle attachment = m_session.m_attachment;
        if (isc_dsql_allocate_statement(status, &attachment, &m_handle))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        const QByteArray text = sql.toUtf8();
        isc_tr_handle transaction = m_session.m_transaction;
        if (isc_dsql_prepare(status, &transaction, &m_handle, 0, text.constData(), SQL_DIALECT_V6,
                             nullptr))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        describe(m_in, m_inSlots, true, watch);
        describe(m_out, m_outSlots, false, watch);
        for (int i = 0; i < outputs()->sqld; ++i)
            prepareOutput(outputs()->sqlvar[i], m_outSlots[size_t(i)]);
    }

    ~Statement() override
    {
        ISC_STATUS_ARRAY status{};
        StatementWatch watch(m_session.m_db);
        isc_dsql_free_statement(status, &m_handle, DSQL_drop);
    }

    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int position, const QVariant &value, FieldType) override
    {
        if (position < 0 || position >= inputs()->sqld)
            throw Error(QStringLiteral("Parameter %1 out of range in %2")
                            .arg(position)
                            .arg(m_sql.section(QLatin1Char('\n'), 0, 0)));
        XSQLVAR &v = inputs()->sqlvar[position];
        Slot &slot = m_inSlots[size_t(position)];
        v.sqlind = &slot.null;
        if (!value.isValid() || value.isNull()) {
            slot.null = -1;
            slot.data.resize(
                std::max<size_t>(slot.data.size(), sizeof(short) + size_t(slot.length) + 8));
            v.sqltype = short(slot.type | 1);
            v.sqlscale = slot.scale;
            v.sqllen = slot.length;
            v.sqldata = slot.data.data();
            return;
        }
        slot.null = 0;
        switch (slot.type) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (slot.scale == 0) {
                setNumber<ISC_INT64>(v, slot, SQL_INT64, value.toLongLong());
                break;
            }
            [[fallthrough]]; // numbers with decimals go through double, as in Qt's driver
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            setNumber<double>(v, slot, SQL_DOUBLE, value.toDouble());
            break;
        case SQL_TEXT:
        case SQL_VARYING: {
            const QByteArray bytes = TextBytes(value);
            if (bytes.size() > MaxTextBytes)
                throw DatabaseError(DatabaseFailure::Other,
                                    QStringLiteral("A text of %1 bytes is too long for the "
                                                   "database.\n(%2)")
                                        .arg(bytes.size())
                                        .arg(m_sql.section(QLatin1Char('\n'), 0, 0)));
            slot.data.resize(sizeof(short) + size_t(bytes.size()));
            const short length = short(bytes.size());
            std::memcpy(slot.data.data(), &length, sizeof length);
            std::memcpy(slot.data.data() + sizeof length, bytes.constData(), size_t(bytes.size()));
            v.sqltype = SQL_VARYING | 1;
            v.sqllen = length;
            v.sqldata = slot.data.data();
            break;
        }
        case SQL_BLOB: {
            StatementWatch watch(m_session.m_db);
            const ISC_QUAD id = writeBlob(TextBytes(value), watch);
            slot.data.resize(sizeof id);
            std::memcpy(slot.data.data(), &id, sizeof id);
            v.sqltype = SQL_BLOB | 1;
            v.sqllen = sizeof id;
            v.sqldata = slot.data.data();
            break;
        }
        default:
            throw Error(QStringLiteral("A parameter of database type %1 cannot be written (%2).")
                            .arg(slot.type)
                            .arg(m_sql.section(QLatin1Char('\n'), 0, 0)));
        }
    }

    void execute() override
    {
        ISC_STATUS_ARRAY status{};
        isc_tr_handle transaction = m_session.m_transaction;
        StatementWatch watch(m_session.m_db);
        const ISC_STATUS failed = isc_dsql_execute(status, &transaction, &m_handle, SQL_DIALECT_V6,
                                                   inputs()->sqld > 0 ? inputs() : nullptr);
        const bool timedOut = watch.finish();
        if (failed)
            throw FirebirdStatementError(m_session.m_db, status, m_sql, timedOut);
    }

    // Runs the statement and fetches every row of its result.
    SqlRows fetchAll()
    {
        execute();
        SqlRows result;
        XSQLDA *out = outputs();
        for (int i = 0; i < out->sqld; ++i) {
            const XSQLVAR &v = out->sqlvar[i];
            const Slot &slot = m_outSlots[size_t(i)];
            result.columns.push_back(
                {QString::fromUtf8(v.aliasname, v.aliasname_length).simplified(), columnType(slot),
                 slot.type == SQL_VARYING || slot.type == SQL_TEXT ? slot.length : 0});
        }
        ISC_STATUS_ARRAY status{};
        StatementWatch watch(m_session.m_db);
        for (;;) {
            const ISC_STATUS rc = isc_dsql_fetch(status, &m_handle, SQL_DIALECT_V6, out);
            if (rc == 100)
                break;
            if (rc != 0)
                throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
            std::vector<QVariant> row(size_t(out->sqld));
            for (int i = 0; i < out->sqld; ++i)
                row[size_t(i)] = readValue(out->sqlvar[i], m_outSlots[size_t(i)], watch);
            result.rows.push_back(std::move(row));
        }
        if (out->sqld > 0)
            isc_dsql_free_statement(status, &m_handle, DSQL_close);
        return result;
    }

private:
    struct Slot
    {
        std::vector<char> data;
        short null = -1;
        // The type, scale and length the engine described.
        short type = 0;
        short scale = 0;
        short length = 0;
        short subType = 0;
    };

    XSQLDA *inputs() { return reinterpret_cast<XSQLDA *>(m_in.data()); }
    XSQLDA *outputs() { return reinterpret_cast<XSQLDA *>(m_out.data()); }

    void describe(std::vector<char> &buffer, std::vector<Slot> &slots, bool input,
                  StatementWatch &watch)
    {
        ISC_STATUS_ARRAY status{};
        for (int count = 8;;) {
            buffer = NewDescriptors(count);
            auto *da = reinterpret_cast<XSQLDA *>(buffer.data());
            const ISC_STATUS failed =
                input ? isc_dsql_describe_bind(status, &m_handle, SQL_DIALECT_V6, da)
                      : isc_dsql_describe(status, &m_handle, SQL_DIALECT_V6, da);
            if (failed)
                throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
            if (da->sqld <= da->sqln)
                break;
            count = da->sqld;
        }
        auto *da = reinterpret_cast<XSQLDA *>(buffer.data());
        slots.assign(size_t(da->sqld), Slot());
        for (int i = 0; i < da->sqld; ++i) {
            XSQLVAR &v = da->sqlvar[i];
            Slot &slot = slots[size_t(i)];
            slot.type = short(v.sqltype & ~1);
            slot.scale = v.sqlscale;
            slot.length = v.sqllen;
            slot.subType = v.sqlsubtype;
        }
    }

    template <typename T> void setNumber(XSQLVAR &v, Slot &slot, short type, T value)
    {
        slot.data.resize(sizeof value);
        std::memcpy(slot.data.data(), &value, sizeof value);
        v.sqltype = short(type | 1);
        v.sqlscale = 0;
        v.sqllen = sizeof value;
        v.sqldata = slot.data.data();
    }

    void prepareOutput(XSQLVAR &v, Slot &slot)
    {
        switch (slot.type) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
        case SQL_BLOB:
        case SQL_TEXT:
            slot.data.resize(size_t(std::max<short>(v.sqllen, 8)));
            break;
        case SQL_VARYING:
            slot.data.resize(sizeof(short) + size_t(v.sqllen));
            break;
        default:
            // The engine writes other types as text.
            v.sqltype = SQL_VARYING;
            v.sqllen = OtherAsTextBytes;
            slot.type = SQL_VARYING;
            slot.length = OtherAsTextBytes;
            slot.data.resize(sizeof(short) + OtherAsTextBytes);
            break;
        }
        v.sqltype = short(v.sqltype | 1);
        v.sqldata = slot.data.data();
        v.sqlind = &slot.null;
    }

    // The field type of a column, as for a result read through Qt's driver.
    static FieldType columnType(const Slot &slot)
    {
        switch (slot.type) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            return slot.scale == 0 ? FieldType::Integer : FieldType::Double;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return FieldType::Double;
        case SQL_BLOB:
            return FieldType::Memo;
        default:
            return FieldType::String;
        }
    }

    QVariant readValue(const XSQLVAR &v, const Slot &slot, StatementWatch &watch)
    {
        if (slot.null < 0)
            return QVariant();
        const char *data = slot.data.data();
        auto scaled = [&](double value) {
            for (int s = slot.scale; s < 0; ++s)
                value /= 10;
            return value;
        };
        switch (slot.type) {
        case SQL_SHORT: {
            short value;
            std::memcpy(&value, data, sizeof value);
            return slot.scale == 0 ? QVariant(int(value)) : QVariant(scaled(value));
        }
        case SQL_LONG: {
            ISC_LONG value;
            std::memcpy(&value, data, sizeof value);
            return slot.scale == 0 ? QVariant(int(value)) : QVariant(scaled(value));
        }
        case SQL_INT64: {
            ISC_INT64 value;
            std::memcpy(&value, data, sizeof value);
            return slot.scale == 0 ? QVariant(int(value)) : QVariant(scaled(double(value)));
        }
        case SQL_FLOAT: {
            float value;
            std::memcpy(&value, data, sizeof value);
            return double(value);
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double value;
            std::memcpy(&value, data, sizeof value);
            return value;
        }
        case SQL_TEXT:
            return QString::fromUtf8(data, v.sqllen);
        case SQL_VARYING: {
            short length;
            std::memcpy(&length, data, sizeof length);
            return QString::fromUtf8(data + sizeof length, length);
        }
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, data, sizeof id);
            return QString::fromUtf8(readBlob(id, watch));
        }
        }
        return QVariant();
    }

    ISC_QUAD writeBlob(const QByteArray &bytes, StatementWatch &watch)
    {
        ISC_STATUS_ARRAY status{};
        isc_db_handle attachment = m_session.m_attachment;
        isc_tr_handle transaction = m_session.m_transaction;
        isc_blob_handle blob = 0;
        ISC_QUAD id{};
        // Without parameters, as Qt's driver creates them, so that the stored BLOBs are the same.
        if (isc_create_blob2(status, &attachment, &transaction, &blob, &id, 0, nullptr))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        for (qsizetype at = 0; at < bytes.size(); at += BlobSegment) {
            const auto length = (unsigned short)std::min<qsizetype>(BlobSegment, bytes.size() - at);
            if (isc_put_segment(status, &blob, length, bytes.constData() + at)) {
                const DatabaseError error =
                    FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
                ISC_STATUS_ARRAY ignored{};
                isc_cancel_blob(ignored, &blob);
                throw error;
            }
        }
        if (isc_close_blob(status, &blob))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        return id;
    }

    QByteArray readBlob(ISC_QUAD id, StatementWatch &watch)
    {
        ISC_STATUS_ARRAY status{};
        isc_db_handle attachment = m_session.m_attachment;
        isc_tr_handle transaction = m_session.m_transaction;
        isc_blob_handle blob = 0;
        if (isc_open_blob2(status, &attachment, &transaction, &blob, &id, 0, nullptr))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        QByteArray bytes;
        char buffer[BlobSegment];
        for (;;) {
            unsigned short length = 0;
            const ISC_STATUS rc = isc_get_segment(status, &blob, &length, sizeof buffer, buffer);
            if (rc != 0 && status[1] != isc_segment) {
                if (status[1] == isc_segstr_eof)
                    break;
                const DatabaseError error =
                    FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
                ISC_STATUS_ARRAY ignored{};
                isc_close_blob(ignored, &blob);
                throw error;
            }
            bytes.append(buffer, length);
        }
        if (isc_close_blob(status, &blob))
            throw FirebirdStatementError(m_session.m_db, status, m_sql, watch.finish());
        return bytes;
    }

    FirebirdSession &m_session;
    QString m_sql;
    isc_stmt_handle m_handle = 0;
    std::vector<char> m_in;
    std::vector<char> m_out;
    std::vector<Slot> m_inSlots;
    std::vector<Slot> m_outSlots;
};

bool FirebirdSession::available(const QSqlDatabase &db)
{
    if (AttachmentOf(db) == 0)
        return false;
    const ConnectionState *state = ConnectionState::of(db);
    return !state || (!state->lost() && state->transactionDepth() == 0);
}

std::unique_ptr<FirebirdSession> FirebirdSession::begin(TTevConnection &connection, SqlTrace trace)
{
    connection.recover();
    if (!available(connection.database()))
        return nullptr;
    try {
        return std::make_unique<FirebirdSession>(connection.database(), trace);
    } catch (const DatabaseError &e) {
        // Found gone only now: nothing has been done yet, so once more on a new connection;
        // not after a server that did not answer, which would only be waited for again.
        if (e.failure() != DatabaseFailure::ConnectionLost || !e.retryable())
            throw;
    }
    connection.recover();
    if (!available(connection.database()))
        return nullptr;
    return std::make_unique<FirebirdSession>(connection.database(), std::move(trace));
}

FirebirdSession::FirebirdSession(QSqlDatabase db, SqlTrace trace)
    : m_db(std::move(db))
    , m_trace(std::move(trace))
    , m_state(ConnectionState::of(m_db))
    , m_attachment(AttachmentOf(m_db))
{
    if (m_attachment == 0)
        throw DatabaseError(DatabaseFailure::Other,
                            QStringLiteral("The connection is not an open Firebird connection."));
    ISC_STATUS_ARRAY status{};
    isc_db_handle attachment = m_attachment;
    isc_tr_handle transaction = 0;
    StatementWatch watch(m_db);
    if (isc_start_transaction(status, &transaction, 1, &attachment, 0, nullptr))
        throw FirebirdStatementError(m_db, status, QStringLiteral("Cannot start a transaction"),
                                     watch.finish());
    m_transaction = transaction;
    if (m_state)
        m_state->enterTransaction();
}

FirebirdSession::~FirebirdSession()
{
    end(false);
}

void FirebirdSession::commit()
{
    end(true);
}

void FirebirdSession::end(bool commit)
{
    if (m_transaction == 0)
        return;
    m_statements.clear();
    ISC_STATUS_ARRAY status{};
    isc_tr_handle transaction = m_transaction;
    std::optional<DatabaseError> error;
    StatementWatch watch(m_db);
    if (commit && isc_commit_transaction(status, &transaction))
        error =
            FirebirdStatementError(m_db, status, QStringLiteral("Cannot commit"), watch.finish());
    if (!commit || error) {
        ISC_STATUS_ARRAY rollback{};
        // A connection that is gone cannot roll back; its handle is let go.
        if (isc_rollback_transaction(rollback, &transaction))
            fb_disconnect_transaction(rollback, &transaction);
    }
    m_transaction = 0;
    if (m_state)
        m_state->leaveTransaction();
    if (error)
        throw *error;
}

SqlRows FirebirdSession::select(const QString &sql, const SqlBindings &bindings)
{
    return prepareNamed(sql, bindings)->fetchAll();
}

void FirebirdSession::run(const QString &sql, const SqlBindings &bindings)
{
    prepareNamed(sql, bindings)->execute();
}

PreparedSql &FirebirdSession::prepared(const QString &sql)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end())
        it = m_statements.insert(sql, std::make_shared<Statement>(*this, sql, sql));
    return **it;
}

std::unique_ptr<FirebirdSession::Statement>
FirebirdSession::prepareNamed(const QString &sql, const SqlBindings &bindings)
{
    if (m_trace)
        m_trace(sql);
    if (m_transaction == 0)
        throw Error(QStringLiteral("The transaction has ended."));
    QStringList names;
    auto statement = std::make_unique<Statement>(*this, PositionalSql(sql, names), sql);
    for (int i = 0; i < names.size(); ++i) {
        const auto it = std::find_if(bindings.begin(), bindings.end(), [&](const auto &b) {
            return b.first.compare(names[i], Qt::CaseInsensitive) == 0;
        });
        statement->bind(i, it != bindings.end() ? it->second : QVariant(), FieldType::String);
    }
    return statement;
}

} // namespace tev
