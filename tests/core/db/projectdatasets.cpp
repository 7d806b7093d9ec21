#include "projectdatasets.h"

#include <cmath>

namespace tev::test {

std::unique_ptr<MemDataSet> MakeHeaderDataSet()
{
    auto header = std::make_unique<MemDataSet>();
    header->addField("PROJECTID", FieldType::Integer);
    header->addField("PROJECTNAME", FieldType::String, 100);
    header->addField("FILENAME", FieldType::String, 250);
    header->addField("PARAMS", FieldType::Memo);
    header->addField("STATE", FieldType::Integer);
    header->addField("FILETYPE", FieldType::Integer);
    header->addField("IMAGE", FieldType::String, 500);
    header->addField("GENERATOR", FieldType::String, 100);
    header->createDataSet();
    return header;
}

std::unique_ptr<MemDataSet> MakeCharsDataSet()
{
    auto chars = std::make_unique<MemDataSet>();
    chars->addField("PROJECTID", FieldType::Integer);
    chars->addField("GROUPID", FieldType::Integer);
    chars->addField("CHARID", FieldType::Integer);
    chars->addField("TEMPID", FieldType::Integer);
    chars->addField("PROJECTNAME", FieldType::String, 100);
    chars->addField("GROUPNAME", FieldType::String, 100);
    chars->addField("FEATURE", FieldType::String, 100);
    chars->addField("LABEL", FieldType::String, 100);
    chars->addField("CHARTYPE", FieldType::String, 10);
    for (const char *name : {"NOMINAL", "LSL", "USL", "LREAS", "UREAS"})
        chars->addField(name, FieldType::Double);
    chars->addField("IMAGE", FieldType::String, 500);
    chars->addField("IMAGEX", FieldType::Integer);
    chars->addField("IMAGEY", FieldType::Integer);
    chars->addField("DECIMALS", FieldType::Integer);
    chars->addField("REF_FILENAME", FieldType::String, 250);
    chars->addField("REF_PROJECTNAME", FieldType::String, 100);
    chars->addField("REF_GROUPNAME", FieldType::String, 100);
    chars->addField("ACTIVE", FieldType::Integer);
    chars->addField("PARAMS", FieldType::Memo);
    chars->addField("SEQNAME", FieldType::String, 100);
    chars->addField("STATE", FieldType::Integer);
    chars->addIndex("IDX_LABEL", "LABEL");
    chars->addIndex("IDX_GROUPID_CHARID", "GROUPID;CHARID");
    chars->createDataSet();
    chars->setIndexName("IDX_GROUPID_CHARID");
    return chars;
}

void AddChar(MemDataSet &chars, int charId, const QString &label, const QString &refFileName,
             double nominal, int active)
{
    chars.append();
    chars.fieldByName("GROUPID").setAsInteger(1);
    chars.fieldByName("CHARID").setAsInteger(charId);
    chars.fieldByName("LABEL").setAsString(label);
    chars.fieldByName("REF_FILENAME").setAsString(refFileName);
    if (!std::isnan(nominal))
        chars.fieldByName("NOMINAL").setAsFloat(nominal);
    chars.fieldByName("DECIMALS").setAsInteger(4);
    chars.fieldByName("ACTIVE").setAsInteger(active);
    chars.post();
}

} // namespace tev::test
