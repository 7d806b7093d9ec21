#include "scripting/host/tfdquery.h"

#include "core/db/sqlstatement.h"
#include "core/db/tevrowset.h"
#include "platform/error.h"
#include "scripting/host/tfdfield.h"

#include <QSqlDatabase>

namespace tev {

TFDQuery::TFDQuery(QObject *AOwner)
    : TFDDataSet(AOwner)
{}

TFDQuery::~TFDQuery()
{
    ResetFields(); // the field views go before the result they look at
}

QStringList TFDQuery::ParamNames(const QString &Sql)
{
    QStringList names;
    const qsizetype n = Sql.size();
    auto isNameChar = [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A text or a quoted name; a doubled quote stays inside it.
            for (++i; i < n; ++i) {
                if (Sql.at(i) == c) {
                    if (i + 1 < n && Sql.at(i + 1) == c)
                        ++i;
                    else
                        break;
                }
            }
        } else if (c == QLatin1Char('-') && i + 1 < n && Sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && Sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && Sql.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = Sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < n && Sql.at(i + 1) == QLatin1Char(':')) {
                ++i; // a type cast, no parameter
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && isNameChar(Sql.at(j)))
                ++j;
            if (j > i + 1) {
                const QString name = Sql.mid(i + 1, j - i - 1);
                if (!names.contains(name, Qt::CaseInsensitive))
                    names << name;
            }
            i = j - 1;
        }
    }
    return names;
}

void TFDQuery::SyncParams()
{
    const QString sql = SQL().Text();
    if (FParsed && sql == FParsedSql)
        return;
    FParsed = true;
    FParsedSql = sql;
    // Parameters that keep their name keep their value, as when a script edits the statement.
    std::vector<TFDParam *> params;
    for (const QString &name : ParamNames(sql)) {
        TFDParam *kept = nullptr;
        for (TFDParam *&p : FParams) {
            if (p && p->Name().compare(name, Qt::CaseInsensitive) == 0) {
                kept = p;
                p = nullptr;
            }
        }
        params.push_back(kept ? kept : new TFDParam(name, this));
    }
    for (TFDParam *gone : FParams)
        if (gone)
            std::unique_ptr<TFDParam> doomed(gone);
    FParams = std::move(params);
}

int TFDQuery::ParamCount()
{
    SyncParams();
    return int(FParams.size());
}

QObject *TFDQuery::FindParam(const QString &Name)
{
    SyncParams();
    for (TFDParam *p : FParams)
        if (p->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

QObject *TFDQuery::ParamByName(const QString &Name)
{
    if (QObject *p = FindParam(Name))
        return p;
    throw Error(QStringLiteral("Parameter '%1' not found").arg(Name));
}

SqlBindings TFDQuery::Bindings()
{
    SyncParams();
    SqlBindings bindings;
    for (TFDParam *p : FParams)
        bindings.emplace_back(p->Name(), p->BindValue());
    return bindings;
}

QSqlDatabase TFDQuery::Connection() const
{
    if (!QSqlDatabase::contains(FConnectionName))
        throw Error(QStringLiteral("The connection '%1' does not exist").arg(FConnectionName));
    QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
    if (!db.isOpen())
        throw Error(QStringLiteral("The connection '%1' is not open").arg(FConnectionName));
    return db;
}

DataSet *TFDQuery::CurrentDataSet() const
{
    return FResult.get();
}

void TFDQuery::DoOpen()
{
    if (Active())
        return;
    const QString sql = SQL().Text().trimmed();
    if (sql.isEmpty())
        throw Error(QStringLiteral("The query has no SQL statement"));
    auto result = std::make_unique<TTevRowSet>(Connection());
    result->open(sql, Bindings());
    ResetFields();
    FResult = std::move(result);
}

void TFDQuery::DoClose()
{
    ResetFields();
    FResult.reset();
}

void TFDQuery::ExecSQL()
{
    const QString sql = SQL().Text().trimmed();
    if (sql.isEmpty())
        throw Error(QStringLiteral("The query has no SQL statement"));
    DoClose();
    QSqlQuery query = RunSql(Connection(), sql, Bindings());
    FRowsAffected = query.numRowsAffected();
    query.finish();
}

} // namespace tev
