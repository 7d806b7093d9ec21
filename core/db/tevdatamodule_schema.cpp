// The schema of the data module: three fixed steps, each looking at the catalogue before it
// creates a table, trigger or column, so that they can run any number of times. Each step stamps
// its own version in table DB.

#include "core/db/tevdatamodule.h"

#include "core/db/tevschemasql.h"
#include "platform/error.h"

#include <QLoggingCategory>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcSchema, "tevora.data.schema")

using Kind = TTevSchemaSql::ColumnKind;

// The floating-point columns, widened from Firebird's 32-bit float where an older database has it.
const QStringList FloatColumns{"NOMINAL", "LSL", "USL", "LREAS", "UREAS"};

} // namespace

void TTevDataModule::UpgradeDatabase(const TProductVersion &productVersion)
{
    Q_UNUSED(productVersion); // the stamps are fixed per step
    if (!Connected())
        return;
    FWriteStamps.reset();
    const TTevSchemaSql schema(FDatabase->driverId());
    CreateSchema(schema);
    ReadDBVersion();
    AddConfiguration(schema);
    AddDBKey(schema);
}

bool TTevDataModule::CatalogueHasRow(const TTevSchemaSql::CatalogueQuery &check,
                                     const QStringList &names) const
{
    SqlBindings bindings;
    for (qsizetype i = 0; i < check.params.size(); ++i)
        bindings.emplace_back(check.params[i], names.value(i));
    QSqlQuery query = Run(check.sql, bindings);
    return query.next();
}

bool TTevDataModule::TableExists(const TTevSchemaSql &schema, const QString &table) const
{
    return CatalogueHasRow(schema.TableExists(), {table});
}

bool TTevDataModule::TriggerExists(const TTevSchemaSql &schema, const QString &trigger) const
{
    return CatalogueHasRow(schema.TriggerExists(), {trigger});
}

bool TTevDataModule::ColumnExists(const TTevSchemaSql &schema, const QString &table,
                                  const QString &column) const
{
    return CatalogueHasRow(schema.ColumnExists(), {table, column});
}

void TTevDataModule::AddColumn(const TTevSchemaSql &schema, const QString &table,
                               const QString &column, TTevSchemaSql::ColumnKind kind, int size,
                               bool notNull, const QString &defaultText)
{
    if (!ColumnExists(schema, table, column))
        Run(schema.AddColumn(table, column, kind, size, notNull, defaultText));
}

void TTevDataModule::CreateTableIfMissing(const TTevSchemaSql &schema, const QString &table,
                                          const QString &statement)
{
    if (!TableExists(schema, table))
        Run(statement);
}

TProductVersion TTevDataModule::ReadDBVersion()
{
    TProductVersion result{0, 0, 0, 0};
    try {
        auto read = [this]() {
            return Run(
                QStringLiteral("select VER_MAJOR, VER_MINOR, VER_RELEASE, VER_BUILD from DB"));
        };
        QSqlQuery query = read();
        if (!query.next()) {
            query.finish();
            // The version row of an empty table takes the column defaults.
            Run(QStringLiteral("insert into DB default values"));
            query = read();
            if (!query.next())
                return result;
        }
        result.Major = query.value(0).toUInt();
        result.Minor = query.value(1).toUInt();
        result.Release = query.value(2).toUInt();
        result.Build = query.value(3).toUInt();
    } catch (const Error &e) {
        qCInfo(lcSchema) << "Cannot read the schema version:" << e.message();
    }
    return result;
}

void TTevDataModule::WriteDBVersion(const TProductVersion &version)
{
    Run(TTevSchemaSql::WriteDBVersion(), {{"VER_MAJOR", static_cast<int>(version.Major)},
                                          {"VER_MINOR", static_cast<int>(version.Minor)},
                                          {"VER_RELEASE", static_cast<int>(version.Release)},
                                          {"VER_BUILD", static_cast<int>(version.Build)}});
}

void TTevDataModule::CreateSchema(const TTevSchemaSql &schema)
{
    CreateTableIfMissing(schema, QStringLiteral("DB"), schema.CreateTableDB());
    CreateTableIfMissing(schema, QStringLiteral("PROJECTS"), schema.CreateTableProjects());
    AddColumn(schema, QStringLiteral("PROJECTS"), QStringLiteral("STATE"), Kind::Integer, 0, false,
              QStringLiteral("0"));
    AddColumn(schema, QStringLiteral("PROJECTS"), QStringLiteral("REF_STATE"), Kind::Integer, 0,
              false, QStringLiteral("0"));
    CreateTableIfMissing(schema, QStringLiteral("REFPROJECTS"), schema.CreateTableRefProjects());
    CreateTableIfMissing(schema, QStringLiteral("CHARACTERISTICS"),
                         schema.CreateTableCharacteristics());
    AddColumn(schema, QStringLiteral("CHARACTERISTICS"), QStringLiteral("TEMPSTATE"), Kind::Integer,
              0, false, QString());
    if (schema.isFirebird())
        WidenFloatColumns(schema);
    if (!TriggerExists(schema, QStringLiteral("DEL_PROJECTS")))
        Run(schema.CreateTriggerDelProjects());
    AddWriteStamps(schema);
    WriteDBVersion({0, 1, 0, 0});
}

void TTevDataModule::AddWriteStamps(const TTevSchemaSql &schema)
{
    // Rows stored before have no stamp until they are next written; the trigger then stamps the
    // writes of older programs too, so that they count as changes.
    AddColumn(schema, QStringLiteral("PROJECTS"), QStringLiteral("WRITESTAMP"), Kind::WriteStamp, 0,
              false, QString());
    if (schema.isFirebird()) {
        if (!CatalogueHasRow(schema.SequenceExists(), {QStringLiteral("GEN_WRITESTAMP")}))
            Run(schema.CreateWriteStampSequence());
        if (!TriggerExists(schema, QStringLiteral("STAMP_PROJECTS")))
            Run(schema.CreateTriggerStampProjects());
    }
    FWriteStamps = true;
}

void TTevDataModule::WidenFloatColumns(const TTevSchemaSql &schema)
{
    // Firebird's float keeps about seven digits: a limit of 1234.5678 would come back as
    // 1234.5677 and be written into files. Widening keeps every stored value.
    for (const QString &column : FloatColumns) {
        if (CatalogueHasRow(schema.ColumnIsSingleFloat(),
                            {QStringLiteral("CHARACTERISTICS"), column}))
            Run(schema.WidenFloatColumn(QStringLiteral("CHARACTERISTICS"), column));
    }
}

void TTevDataModule::AddConfiguration(const TTevSchemaSql &schema)
{
    AddColumn(schema, QStringLiteral("PROJECTS"), QStringLiteral("IMAGE"), Kind::String, 500, false,
              QString());
    CreateTableIfMissing(schema, QStringLiteral("CONFIGURATION"),
                         schema.CreateTableConfiguration());
    WriteDBVersion({0, 1, 8, 0});
}

void TTevDataModule::AddDBKey(const TTevSchemaSql &schema)
{
    try {
        if (!ColumnExists(schema, QStringLiteral("DB"), QStringLiteral("ID"))) {
            Run(QStringLiteral("delete from DB"));
            AddColumn(schema, QStringLiteral("DB"), QStringLiteral("ID"), Kind::Integer, 0, true,
                      QStringLiteral("0"));
            Run(QStringLiteral("alter table DB add constraint PK_DB primary key (ID)"));
            Run(QStringLiteral("insert into DB (ID) values (0)"));
        }
        WriteDBVersion({1, 0, 0, 0});
    } catch (const Error &e) {
        qCWarning(lcSchema) << "Cannot add the key of table DB:" << e.message();
    }
}

} // namespace tev
