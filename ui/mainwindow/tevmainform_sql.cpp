// The SQL page of the service mode: free statements against the program's database. Whether a
// statement returns rows is the driver's answer, so "with" queries and any letter case work;
// other statements report how many rows they changed. The rows of "select * from" one of the
// program's five tables can be edited through the navigator and the grid; any other result is
// read-only.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/db/sqlstatement.h"
#include "core/db/statementwatch.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/db/tevrowset.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/mainwindow/dbnavigator.h"
#include "ui/models/datasetmodel.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tev {

namespace {

// The widest a result column starts, in characters.
constexpr int kMaxSQLDisplayWidth = 50;

// The statement whose rows may be edited: all columns of one of the program's tables.
QString EditableTable(const QString &sql)
{
    static const QRegularExpression pattern(
        QStringLiteral("^select\\s+\\*\\s+from\\s+(CHARACTERISTICS|CONFIGURATION|DB|PROJECTS|"
                       "REFPROJECTS)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(sql);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

FieldType ResultFieldType(const QSqlField &field)
{
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Double;
    default:
        return FieldType::Memo;
    }
}

// The rows of a statement that ran already, read into a dataset of their own.
std::unique_ptr<MemDataSet> ReadResult(QSqlQuery &query)
{
    auto rows = std::make_unique<MemDataSet>();
    const QSqlRecord record = query.record();
    std::vector<FieldType> types;
    for (int i = 0; i < record.count(); ++i) {
        QString name = record.fieldName(i).toUpper();
        for (int n = 1; rows->findField(name); ++n)
            name = record.fieldName(i).toUpper() + QStringLiteral("_%1").arg(n);
        types.push_back(ResultFieldType(record.field(i)));
        rows->addField(name, types.back());
    }
    rows->createDataSet();
    while (query.next()) {
        rows->append();
        for (int i = 0; i < record.count(); ++i) {
            const QVariant value = query.value(i);
            if (value.isNull())
                continue;
            rows->field(i).setValue(
                types[size_t(i)] == FieldType::Memo ? TextValue(value).toString() : value);
        }
        rows->post();
    }
    rows->first();
    return rows;
}

} // namespace

void TTevMainForm::ComboTablesSelect()
{
    FMemoSQL->setPlainText(QStringLiteral("select * from ") + FComboTables->currentText());
}

void TTevMainForm::BtnExecSQLClick()
{
    OpenSQLResult(FMemoSQL->toPlainText().trimmed());
}

void TTevMainForm::CloseSQLResult()
{
    FDatSrcSQL->setDataSet(nullptr);
    FQuSQL.reset();
    FDBNavigator1->SetReadOnly(true);
    FGridSQL->SetReadOnly(true);
    FGridSQL->SetOptions(FGridSQL->Options() & ~TDBGridOptions(dgEditing));
    FDBNavigator1->UpdateButtons();
}

void TTevMainForm::OpenSQLResult(const QString &SQL)
{
    CloseSQLResult();
    FLSQLResult->clear();
    FSQLText = SQL;
    if (SQL.isEmpty())
        return;
    TTevConnection *connection = FApp->Data().Database();
    if (!connection || (!FApp->Data().Connected() && !connection->lost()))
        throw Error(QStringLiteral("The database is not connected."));
    // A connection found lost is opened again first, as for every other operation.
    connection->recover();
    const QSqlDatabase db = connection->database();

    const QString table = EditableTable(SQL);
    if (!table.isEmpty()) {
        QStringList keys;
        const QSqlIndex primary = db.primaryIndex(table);
        for (int i = 0; i < primary.count(); ++i)
            keys << primary.fieldName(i).toUpper();
        auto rows = std::make_unique<TTevRowSet>(db, keys.isEmpty() ? QString() : table, keys);
        rows->open(SQL);
        FQuSQL = std::move(rows);
        FDBNavigator1->SetReadOnly(keys.isEmpty());
        FGridSQL->SetReadOnly(keys.isEmpty());
        if (!keys.isEmpty())
            FGridSQL->SetOptions(FGridSQL->Options() | dgEditing);
    } else {
        QSqlQuery query = RunSql(db, SQL);
        if (!query.isSelect()) {
            FLSQLResult->setText(
                QStringLiteral("%1 row(s) affected.").arg(std::max(0, query.numRowsAffected())));
            return;
        }
        StatementWatch fetch(db);
        FQuSQL = ReadResult(query);
    }
    for (int i = 0; i < FQuSQL->fieldCount(); ++i) {
        Field &field = FQuSQL->field(i);
        field.setDisplayWidth(std::min(field.displayWidth(), kMaxSQLDisplayWidth));
        if (field.dataType() == FieldType::Memo)
            field.setOnGetText([this](const Field &f) { return MemoFieldGetText(f.value()); });
    }
    FDatSrcSQL->setDataSet(FQuSQL.get());
    FLSQLResult->setText(QStringLiteral("%1 row(s).").arg(FQuSQL->recordCount()));
    FDBNavigator1->UpdateButtons();
}

QString TTevMainForm::MemoFieldGetText(const QVariant &Value) const
{
    return Value.toString();
}

} // namespace tev
