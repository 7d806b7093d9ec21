// TFDQuery on the program's embedded Firebird database and TFDMemTable, as scripts use them, and
// the program's objects (App, its settings and project, the project's datasets) in scripts.
#include "scripting/host/tfdmemtable.h"
#include "scripting/host/tfdquery.h"
#include "scripting/host/tvyxscripter.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "platform/script/scripterror.h"
#include "platform/text/formatsettings.h"
#include "support/app/appenvironment.h"

#include "platform/text/qstringprinter.h"
#include <QDir>
#include <QFile>
#include <QSqlDatabase>

#include <gtest/gtest.h>
#include <memory>

using namespace tev;

namespace {

class ScriptData : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = std::make_unique<TTevApp>(nullptr, env.exeName());
        ASSERT_TRUE(app->DatabaseConnected());
        scripter = new TvyxScripter(&owner);
        scripter->OnOutput = [this](const QString &t) { output += t; };
        scripter->AddObject(QStringLiteral("App"), app.get());
    }

    QString run(const QString &source)
    {
        output.clear();
        scripter->SetSourceText(source);
        scripter->Execute();
        return output;
    }

    tev::test::AppEnvironment env;
    std::unique_ptr<TTevApp> app;
    QObject owner;
    TvyxScripter *scripter = nullptr;
    QString output;
    DecimalSeparatorGuard dot{QLatin1Char('.')};
};

const char kGauges[] =
    "var Q: TFDQuery;\n"
    "begin\n"
    "  Q := TFDQuery.Create(nil);\n"
    "  try\n"
    "    Q.SQL.Text := 'create table GAUGES (ID integer not null primary key, NAME varchar(40),'\n"
    "      + ' LIMIT_MM double precision)';\n"
    "    Q.ExecSQL;\n"
    "    Q.SQL.Clear;\n"
    "    Q.SQL.Add('insert into GAUGES (ID, NAME, LIMIT_MM)');\n"
    "    Q.SQL.Add('values (:ID, :NAME, :LIMIT)');\n"
    "    WriteLn(Q.ParamCount);\n"
    "    Q.ParamByName('id').AsInteger := 1;\n"
    "    Q.ParamByName('NAME').AsString := 'Bohrung Ø 12';\n"
    "    Q.ParamByName('LIMIT').AsFloat := 0.25;\n"
    "    Q.ExecSQL;\n"
    "    WriteLn(Q.RowsAffected);\n"
    "    Q.ParamByName('ID').AsInteger := 2;\n"
    "    Q.ParamByName('NAME').AsString := 'Nut';\n"
    "    Q.ParamByName('LIMIT').Clear;\n"
    "    Q.ExecSQL;\n"
    "  finally\n"
    "    Q.Free;\n"
    "  end;\n"
    "end.\n";

TEST_F(ScriptData, AQueryExecutesAndOpensWithParametersOnTheProgramsConnection)
{
    EXPECT_EQ(run(QString::fromUtf8(kGauges)), QStringLiteral("3\n1\n"));
    EXPECT_EQ(run(QStringLiteral(
                  "var Q: TFDQuery;\nbegin\n  Q := TFDQuery.Create(nil);\n"
                  "  Q.SQL.Text := 'select ID, NAME, LIMIT_MM from GAUGES where ID >= :MINID "
                  "order by ID';\n"
                  "  Q.ParamByName('MINID').Value := 1;\n"
                  "  WriteLn(Q.Active);\n"
                  "  Q.Open;\n"
                  "  WriteLn(Q.Active, ' ', Q.RecordCount, ' ', Q.FieldCount);\n"
                  "  while not Q.Eof do begin\n"
                  "    WriteLn(Q.FieldByName('ID').AsInteger, ' ', Q.FieldByName('name').AsString,"
                  " ' ', Q.FieldByName('LIMIT_MM').AsFloat, ' ', Q.FieldByName('LIMIT_MM').IsNull,"
                  " ' ', VarIsNull(Q.FieldByName('LIMIT_MM').Value));\n"
                  "    Q.Next;\n  end;\n"
                  "  Q.Close;\n"
                  "  Q.ParamByName('MINID').AsInteger := 2;\n" // the value survives the close
                  "  Q.Active := True;\n"
                  "  WriteLn(Q.RecordCount, ' ', Q.FieldByName('NAME').AsString, ' ', "
                  "Q.FindField('NOPE') = nil);\n"
                  "  Q.Free;\nend.\n")),
              QStringLiteral("FALSE\nTRUE 2 3\n1 Bohrung Ø 12 0.25 FALSE FALSE\n"
                             "2 Nut 0 TRUE TRUE\n1 Nut TRUE\n"));
}

TEST_F(ScriptData, QueryErrorsReachTheScriptAsExceptions)
{
    const struct
    {
        const char *statement;
        const char *message; // a part of the message the script sees
    } cases[] = {
        {"Q.SQL.Text := 'select * from NO_SUCH_TABLE'; Q.Open;", "NO_SUCH_TABLE"},
        {"Q.SQL.Text := 'select 1 from RDB$DATABASE'; Q.ParamByName('X');",
         "Parameter 'X' not found"},
        {"Q.SQL.Text := 'select 1 as ONE from RDB$DATABASE'; Q.Open; Q.FieldByName('TWO');",
         "Field 'TWO' not found"},
        {"Q.Next;", "closed dataset"},
        {"Q.Open;", "no SQL statement"},
        {"Q.ConnectionName := 'Elsewhere'; Q.SQL.Text := 'select 1 from RDB$DATABASE'; Q.Open;",
         "The connection 'Elsewhere' does not exist"},
        {"Q.SQL.Text := 'select 1 from RDB$DATABASE'; Q.Open; Q.Edit;", "cannot be changed"},
    };
    for (const auto &c : cases) {
        const QString source =
            QStringLiteral("var Q: TFDQuery;\nbegin\n  Q := TFDQuery.Create(nil);\n  try\n    ") +
            QString::fromUtf8(c.statement) +
            QStringLiteral("\n    WriteLn('no error');\n  except\n"
                           "    on E: Exception do WriteLn(E.Message);\n  end;\n  Q.Free;\nend.\n");
        const QString out = run(source);
        EXPECT_NE(out.indexOf(QString::fromUtf8(c.message)), -1)
            << c.statement << " gave " << out.toStdString();
    }
}

TEST_F(ScriptData, ParametersAreNamedOutsideTextsAndComments)
{
    EXPECT_EQ(TFDQuery::ParamNames(QStringLiteral(
                  "select ':NOT', \"A:B\" from T -- :COMMENT\n"
                  "where X = :X and Y = :y /* :BLOCK */ and Z = :x and W = CAST(:W_2 AS INT)"
                  " and V::int = 1")),
              (QStringList{QStringLiteral("X"), QStringLiteral("y"), QStringLiteral("W_2")}));
}

TEST_F(ScriptData, AMemTableHoldsRecordsTheScriptDescribes)
{
    EXPECT_EQ(run(QStringLiteral(
                  "var T: TFDMemTable;\n    Sum: Double;\nbegin\n"
                  "  T := TFDMemTable.Create(nil);\n"
                  "  T.FieldDefs.Add('NAME', ftString, 10);\n"
                  "  T.FieldDefs.Add('VALUE', ftFloat);\n"
                  "  T.FieldDefs.Add('COUNT', ftInteger, 0, True);\n"
                  "  T.CreateDataSet;\n"
                  "  T.Append; T.FieldByName('NAME').AsString := 'a'; "
                  "T.FieldByName('VALUE').AsFloat := 1.5; T.FieldByName('COUNT').AsInteger := 1; "
                  "T.Post;\n"
                  "  T.Append; T.FieldByName('NAME').Value := 'b'; "
                  "T.FieldByName('COUNT').Value := 2; T.Post;\n"
                  "  WriteLn(T.RecordCount, ' ', T.FieldCount);\n"
                  "  T.First; T.Edit; T.FieldByName('VALUE').AsFloat := 2.5; T.Post;\n"
                  "  Sum := 0; T.First;\n"
                  "  while not T.Eof do begin Sum := Sum + T.FieldByName('VALUE').AsFloat; "
                  "T.Next; end;\n"
                  "  WriteLn(Sum, ' ', T.FieldByName('VALUE').IsNull);\n"
                  "  try\n    T.Append; T.FieldByName('NAME').AsString := 'far too long'; T.Post;\n"
                  "  except\n    on E: Exception do begin WriteLn('refused'); T.Cancel; end;\n"
                  "  end;\n"
                  "  T.Last; T.Delete; WriteLn(T.RecordCount);\n"
                  "  T.EmptyDataSet; WriteLn(T.RecordCount, ' ', T.IsEmpty);\n"
                  "  T.Close; WriteLn(T.Active); T.Open; WriteLn(T.Active, ' ', T.FieldCount);\n"
                  "  try\n    T.FieldDefs.Add('WHEN', ftUnknown);\n"
                  "  except\n    on E: Exception do WriteLn(E.Message);\n  end;\n"
                  "  T.Free;\nend.\n")),
              QStringLiteral("2 3\n2.5 TRUE\nrefused\n1\n0 TRUE\nFALSE\nTRUE 3\n"
                             "Field 'WHEN': the field type 0 is not supported\n"));
}

TEST_F(ScriptData, AFieldHeldAfterItsResultClosedIsAnErrorNotACrash)
{
    EXPECT_EQ(run(QStringLiteral(
                  "var Q: TFDQuery;\n    F: TField;\nbegin\n  Q := TFDQuery.Create(nil);\n"
                  "  Q.SQL.Text := 'select 1 as ONE from RDB$DATABASE';\n  Q.Open;\n"
                  "  F := Q.FieldByName('ONE');\n  WriteLn(F.AsInteger);\n  Q.Close;\n"
                  "  try\n    WriteLn(F.AsInteger);\n  except\n"
                  "    on E: EAccessViolation do WriteLn('gone');\n  end;\n  Q.Free;\nend.\n")),
              QStringLiteral("1\ngone\n"));
}

TEST_F(ScriptData, TheApplicationObjectShowsItsSettingsAndProject)
{
    const QString seq = env.file(QStringLiteral("work.seq"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEVORA_FIXTURES_DIR "/sequence/work.seq"), seq));
    app->Project().ReadSequenceFile(seq);
    app->Settings().SetDecimals(3);
    EXPECT_EQ(run(QStringLiteral(
                  "var Chars: TFDDataSet;\nbegin\n"
                  "  WriteLn(App.Settings.Decimals, ' ', App.Settings.Value('Decimals'), ' ', "
                  "App.DatabaseConnected);\n"
                  "  App.Settings.FormatFile := 'X.FMT';\n"
                  "  WriteLn(App.Project.ProjectName, ' ', App.Project.Generator, ' ', "
                  "App.Project.Empty);\n"
                  "  App.Project.ShortDesc := 'from the script';\n"
                  "  Chars := App.Project.DataSetChars;\n"
                  "  WriteLn(Chars.RecordCount, ' ', App.Project.DataSetProject.RecordCount);\n"
                  "  Chars.First;\n"
                  "  while not Chars.Eof do begin Write(Chars.FieldByName('LABEL').AsString, ' ');"
                  " Chars.Next; end;\n  WriteLn;\n"
                  "  WriteLn(Chars = App.Project.DataSetChars);\n"
                  "  try\n    Chars.Close;\n  except\n"
                  "    on E: Exception do WriteLn('the program closes it');\n  end;\n"
                  "end.\n")),
              QStringLiteral("3 3 TRUE\nWork 1 Tevora FALSE\n4 1\nC1 C2 C4 C3 \nTRUE\n"
                             "the program closes it\n"));
    EXPECT_EQ(app->Settings().FormatFile(), QStringLiteral("X.FMT"));
    EXPECT_EQ(app->Project().ShortDesc(), QStringLiteral("from the script"));
}

} // namespace
