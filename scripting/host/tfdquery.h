#pragma once

// TFDQuery: an SQL statement on the program's named database connection ("Tevora"), for scripts.
//
// Surface: SQL (the statement's lines, a TStringList), ConnectionName, the parameters the
// statement names with ":NAME" (ParamByName, FindParam, ParamCount), Open for a result and
// ExecSQL for a statement without one (RowsAffected), Close, and the cursor and fields of
// TFDDataSet. A result is fetched whole when it opens and is read-only.

#include "core/db/sqlstatement.h"
#include "platform/script/lib/classeslib.h"
#include "scripting/host/tfddataset.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

namespace tev {

class TFDParam;
class TTevRowSet;

class TFDQuery : public TFDDataSet
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionName READ ConnectionName WRITE SetConnectionName)
    Q_PROPERTY(int ParamCount READ ParamCount)
    Q_PROPERTY(int RowsAffected READ RowsAffected)

public:
    static constexpr char DefaultConnectionName[] = "Tevora";

    Q_INVOKABLE explicit TFDQuery(QObject *AOwner = nullptr);
    ~TFDQuery() override;

    // The statement's lines. Scripts reach the same list as "SQL".
    TStringList &SQL() { return FSQL.list; }
    script::StringListObject &SQLObject() { return FSQL; }

    const QString &ConnectionName() const { return FConnectionName; }
    void SetConnectionName(const QString &Value) { FConnectionName = Value; }
    int ParamCount();
    int RowsAffected() const { return FRowsAffected; }

    // The parameter the statement names; a name it lacks throws tev::Error.
    Q_INVOKABLE QObject *ParamByName(const QString &Name);
    Q_INVOKABLE QObject *FindParam(const QString &Name);
    // Runs a statement without a result set; the number of rows it changed is RowsAffected.
    Q_INVOKABLE void ExecSQL();

    // The ":NAME" parameters of a statement, in order of first appearance, outside texts, quoted
    // names and comments.
    static QStringList ParamNames(const QString &Sql);

protected:
    DataSet *CurrentDataSet() const override;
    void DoOpen() override;
    void DoClose() override;

private:
    void SyncParams();
    SqlBindings Bindings();
    QSqlDatabase Connection() const;

    script::StringListObject FSQL;
    QString FConnectionName = QLatin1String(DefaultConnectionName);
    std::unique_ptr<TTevRowSet> FResult;
    QString FParsedSql;
    bool FParsed = false;
    std::vector<TFDParam *> FParams; // children, in order
    int FRowsAffected = -1;
};

} // namespace tev
