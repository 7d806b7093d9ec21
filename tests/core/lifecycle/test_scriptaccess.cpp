// Scripts reach the project through its meta-object: no table per method.

#include "core/lib/qstringprinter.h"
#include "lifecyclefixture.h"
#include "platform/script/scriptengine.h"
#include "platform/text/formatsettings.h"

#include <QMetaMethod>
#include <QMetaProperty>

using namespace tev;
using namespace tev::test;
using tev::script::ScriptEngine;

namespace {

using ScriptAccess = LifecycleTest;

bool HasInvokable(const QMetaObject &meta, const char *name)
{
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod m = meta.method(i);
        if (m.methodType() == QMetaMethod::Method && m.name() == name)
            return true;
    }
    return false;
}

} // namespace

TEST_F(ScriptAccess, OperationsAndPropertiesAreInTheMetaObject)
{
    const QMetaObject &meta = TTevProject::staticMetaObject;
    for (const char *name : {"OpenFile",
                             "Close",
                             "Save",
                             "SaveHeader",
                             "New",
                             "Delete",
                             "LoadFromDB",
                             "AddMasterProject",
                             "RemoveMasterProject",
                             "UpdateReferences",
                             "ExportAll",
                             "RecoverDirectory",
                             "MoveCharacteristic",
                             "MoveGroup",
                             "MoveFeatureToGroup",
                             "ExchangeFeatures",
                             "RenameGroup",
                             "ChangeGroupImage",
                             "ToggleSelectedChar",
                             "SetCharFilter",
                             "GetDistinctCharFieldValues",
                             "RenumberChars",
                             "ValidDependsFileName",
                             "Groups",
                             "BeginUpdate",
                             "EndUpdate"})
        EXPECT_TRUE(HasInvokable(meta, name)) << name;
    for (const char *name : {"ProjectName",     "FileName",    "RelativeFileName",
                             "RootDir",         "ChangeState", "ExistsInDatabase",
                             "FileContextName", "Generator",   "ProjectId",
                             "Format",          "Picklist",    "ShortDesc",
                             "LongDesc",        "Version",     "Units",
                             "NDecimals",       "Depends",     "DataSetChars",
                             "DataSetProject",  "FileType",    "Empty",
                             "AutoUpdate"})
        EXPECT_GE(meta.indexOfProperty(name), 0) << name;
}

TEST_F(ScriptAccess, InvokedByNameWithConvertedArguments)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&m_project, "OpenFile",
                                          Q_ARG(QString, m_tree.file(SequenceTree::Housing))));
    EXPECT_EQ(m_project.property("ProjectName").toString(), QString::fromUtf8("Gehäuse 4711"));
    EXPECT_EQ(m_project.property("DataSetChars").value<MemDataSet *>(), &m_project.DataSetChars());

    // A file type passed as a number, as a script passes it.
    QVariant type(1);
    ASSERT_TRUE(type.convert(QMetaType::fromType<TTevFileType>()));
    bool created = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(
        &m_project, "New", Q_RETURN_ARG(bool, created), Q_ARG(QString, "Work/S.seq"),
        Q_ARG(QString, "S"), Q_ARG(tev::TTevFileType, type.value<TTevFileType>()),
        Q_ARG(QString, SequenceTree::Shaft), Q_ARG(QString, ""), Q_ARG(QString, "")));
    EXPECT_TRUE(created);
    EXPECT_EQ(m_project.property("FileType").value<TTevFileType>(), TTevFileType::pftSEQ);
}

TEST_F(ScriptAccess, AScriptOpensEditsAndSaves)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.Close();
    ScriptEngine engine;
    QString output;
    engine.OnOutput = [&](const QString &text) { output += text; };
    engine.DefineClassByRTTI(&TTevProject::staticMetaObject);
    engine.AddObject(QStringLiteral("Project"), &m_project);
    engine.AddConstant(QStringLiteral("Line1"), script::Value(m_tree.file(SequenceTree::Line1)));
    engine.SetSourceText(
        QStringLiteral("begin\n"
                       "  Project.OpenFile(Line1);\n"
                       "  WriteLn(Project.ProjectName, '|', Project.FileContextName, '|',\n"
                       "    Project.ExistsInDatabase, '|', Project.ProjectId);\n"
                       "  Project.ShortDesc := 'from a script';\n"
                       "  Project.RenameGroup('Bore', 'Bohrung');\n"
                       "  WriteLn(Project.GetDistinctCharFieldValues('GROUPNAME'));\n"
                       "  Project.Save;\n"
                       "  WriteLn(Project.ChangeState);\n"
                       "  Project.New('Work/S.seq', 'S', 1, 'Masters/Shaft.seq', '', '');\n"
                       "  WriteLn(Project.RelativeFileName, '|', Project.ChangeState);\n"
                       "  Project.UpdateReferences;\n"
                       "end.\n"));
    DecimalSeparatorGuard dot(QLatin1Char('.'));
    engine.Execute();
    EXPECT_EQ(output, "Line 1|Work Sequence (*.seq)|TRUE|1\nBohrung\r\nFace\r\n\n0\n"
                      "Work/S.seq|2\n");
    EXPECT_EQ(column("select GROUPNAME from CHARACTERISTICS where LABEL = 'H1'"),
              QStringList({"Bohrung"}));
    EXPECT_TRUE(QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1)))
                    .contains("$SHORTDESC from a script\r\n"));
}
