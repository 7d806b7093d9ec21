#include "core/project/projectdatasets.h"

#include "core/lib/fieldroutines.h"
#include "core/project/changestate.h"
#include "core/sequence/filetype.h"
#include "platform/dataset/memdataset.h"

namespace tev {

namespace {

constexpr int kLargestInteger = 2147483647;

QString IntegerFieldGetText(const Field &field)
{
    if (field.isNull() || field.asInteger() == kLargestInteger)
        return {};
    return QString::number(field.asInteger());
}

QString FloatFieldGetText(const Field &field)
{
    const Field *decimals = field.dataSet().findField(QStringLiteral("DECIMALS"));
    return FieldToDoubleStr(field, decimals ? decimals->asInteger() : 0, QChar());
}

QString ProjectIdGetText(const Field &field)
{
    return field.asInteger() < 1 ? QString() : QString::number(field.asInteger());
}

QString CharStateGetText(const Field &field)
{
    return ChangeStateToText(quint32(field.asInteger()));
}

void ProjectAfterOpen(MemDataSet &dataSet)
{
    Field &state = dataSet.fieldByName(QStringLiteral("STATE"));
    state.setOnGetText([](const Field &f) {
        return f.isNull() ? QString() : ChangeStateToText(quint32(f.asInteger()));
    });
    state.setOnSetText([](Field &f, const QString &text) {
        f.setAsInteger(0);
        f.setAsInteger(int(ChangeStateFromText(text)));
    });
    dataSet.fieldByName(QStringLiteral("FILETYPE")).setOnGetText([](const Field &f) {
        return FileTypeToText(FileTypeFromInt(f.asInteger()));
    });
}

struct FieldDef
{
    const char *name;
    FieldType type;
    int size;
    bool required;
};

struct DisplayDef
{
    const char *name;
    const char *label;
    int width;
    bool visible;
    Field::GetTextHandler handler;
};

void SetupCharFields(MemDataSet &dataSet)
{
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field &f = dataSet.field(i);
        f.setDisplayLabel(f.fieldName());
        f.setVisible(true);
        switch (f.dataType()) {
        case FieldType::Integer:
            f.setDisplayWidth(int(f.fieldName().size()));
            f.setOnGetText(IntegerFieldGetText);
            break;
        case FieldType::Double:
            f.setAlignment(Qt::AlignRight);
            f.setDisplayWidth(7);
            f.setOnGetText(FloatFieldGetText);
            break;
        default:
            f.setDisplayWidth(f.size() / 5);
            f.setOnGetText(nullptr);
            break;
        }
    }
    const DisplayDef overrides[] = {
        {"PROJECTID", "PROJECTID", 5, true, ProjectIdGetText},
        {"GROUPID", "GROUPID", 0, false, nullptr},
        {"CHARID", "ID", 5, true, nullptr},
        {"STATE", "STATE", 20, true, CharStateGetText},
        {"PARAMS", "PARAMS", 0, false, nullptr},
        {"IMAGE", "IMAGE", 15, true, nullptr},
        {"IMAGEX", "IMAGEX", 0, false, nullptr},
        {"IMAGEY", "IMAGEY", 0, false, nullptr},
        {"FEATURE", "POINTNAME", 10, true, nullptr},
        {"CHARTYPE", "FEATURE", 10, true, nullptr},
    };
    for (const DisplayDef &d : overrides) {
        Field &f = dataSet.fieldByName(QLatin1String(d.name));
        f.setDisplayLabel(QLatin1String(d.label));
        f.setDisplayWidth(d.width);
        f.setVisible(d.visible);
        f.setOnGetText(d.handler);
    }
    dataSet.fieldByName(QStringLiteral("STATE")).setAlignment(Qt::AlignLeft);
}

} // namespace

void CreateProjectDataSet(MemDataSet &DataSet)
{
    const FieldDef fields[] = {
        {"PROJECTID", FieldType::Integer, 0, false},
        {"PROJECTNAME", FieldType::String, 100, false},
        {"FILENAME", FieldType::String, 250, false},
        {"PARAMS", FieldType::Memo, 0, false},
        {"STATE", FieldType::Integer, 0, false},
        {"FILETYPE", FieldType::Integer, 0, false},
        {"GENERATOR", FieldType::String, 100, false},
        {"IMAGE", FieldType::String, 500, false},
    };
    for (const FieldDef &f : fields)
        DataSet.addField(QLatin1String(f.name), f.type, f.size, f.required);
    DataSet.addIndex(QStringLiteral("IDX_PROJECTID"), QStringLiteral("PROJECTID"));
    DataSet.setIndexName(QStringLiteral("IDX_PROJECTID"));
    DataSet.createDataSet();
    DataSet.setAfterOpen(ProjectAfterOpen);
}

void CreateCharDataSet(MemDataSet &DataSet)
{
    const FieldDef fields[] = {
        {"PROJECTID", FieldType::Integer, 0, false},
        {"GROUPID", FieldType::Integer, 0, false},
        {"CHARID", FieldType::Integer, 0, true},
        {"TEMPID", FieldType::Integer, 0, false},
        {"PROJECTNAME", FieldType::String, 100, false},
        {"GROUPNAME", FieldType::String, 100, false},
        {"FEATURE", FieldType::String, 100, true},
        {"LABEL", FieldType::String, 100, true},
        {"CHARTYPE", FieldType::String, 10, false},
        {"NOMINAL", FieldType::Double, 0, false},
        {"LSL", FieldType::Double, 0, false},
        {"USL", FieldType::Double, 0, false},
        {"LREAS", FieldType::Double, 0, false},
        {"UREAS", FieldType::Double, 0, false},
        {"IMAGE", FieldType::String, 500, false},
        {"IMAGEX", FieldType::Integer, 0, false},
        {"IMAGEY", FieldType::Integer, 0, false},
        {"DECIMALS", FieldType::Integer, 0, false},
        {"REF_FILENAME", FieldType::String, 250, false},
        {"REF_PROJECTNAME", FieldType::String, 100, false},
        {"REF_GROUPNAME", FieldType::String, 100, false},
        {"ACTIVE", FieldType::Integer, 0, false},
        {"PARAMS", FieldType::Memo, 0, false},
        {"STATE", FieldType::Integer, 0, false},
        {"SEQNAME", FieldType::String, 100, false},
    };
    for (const FieldDef &f : fields)
        DataSet.addField(QLatin1String(f.name), f.type, f.size, f.required);
    const std::pair<const char *, const char *> indexes[] = {
        {"IDX_GROUPID_CHARID", "GROUPID; CHARID"},
        {"IDX_CHARID", "CHARID"},
        {"IDX_LABEL", "LABEL"},
        {"IDX_FILTER_GROUPNAME", "GROUPID; CHARID"},
        {"IDX_FILTER_REF_FILENAME", "REF_FILENAME; CHARID"},
    };
    for (const auto &[name, fieldList] : indexes)
        DataSet.addIndex(QLatin1String(name), QLatin1String(fieldList));
    DataSet.setIndexName(QStringLiteral("IDX_GROUPID_CHARID"));
    SetupCharFields(DataSet);
    DataSet.createDataSet();
}

} // namespace tev
