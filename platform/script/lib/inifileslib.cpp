// IniFiles: TIniFile on the foundation's ini file class.
#include "platform/ini/tinifile.h"
#include "platform/script/lib/classeslib.h"
#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"

namespace tev::script {

using namespace lib;

namespace {

class IniFileObject : public NativeObject
{
public:
    explicit IniFileObject(const QString &fileName)
        : ini(fileName)
    {}
    tev::TIniFile ini;
};

tev::TIniFile &ini(NativeCall &c)
{
    return c.CurrentNative<IniFileObject>().ini;
}

// Fills a script TStringList with lines.
void fill(NativeCall &c, int i, const QStringList &lines)
{
    auto *target = c.GetInputArgAsNative<StringListObject>(i);
    if (!target)
        raiseError(QStringLiteral("EAccessViolation"), QStringLiteral("Access to a nil object"));
    target->list.Clear();
    target->list.AddStrings(lines);
}

} // namespace

void defineIniFilesLibrary(ScriptEngine &e)
{
    ScriptClass *custom = e.DefineClass(QStringLiteral("TCustomIniFile"));
    ScriptClass *cls = e.DefineClass(QStringLiteral("TIniFile"), custom);
    e.DefineClass(QStringLiteral("TMemIniFile"), cls);
    cls->DefineMethod(
        QStringLiteral("Create"), 1, TypeKind::tkClass,
        [](NativeCall &c) {
            c.ReturnOutputArg(c.engine()->NewObject(c.CurrentClass(),
                                                    std::make_unique<IniFileObject>(str(c, 0))));
        },
        true);
    cls->DefineProperty(QStringLiteral("FileName"), 0,
                        [](NativeCall &c) { ret(c, ini(c).FileName()); });
    cls->DefineMethod(QStringLiteral("ReadString"), 3, TypeKind::tkString, [](NativeCall &c) {
        ret(c, ini(c).ReadString(str(c, 0), str(c, 1), str(c, 2)));
    });
    cls->DefineMethod(QStringLiteral("WriteString"), 3, TypeKind::tkNone,
                      [](NativeCall &c) { ini(c).WriteString(str(c, 0), str(c, 1), str(c, 2)); });
    cls->DefineMethod(QStringLiteral("ReadInteger"), 3, TypeKind::tkInteger, [](NativeCall &c) {
        ret(c, ini(c).ReadInteger(str(c, 0), str(c, 1), static_cast<int>(integer(c, 2))));
    });
    cls->DefineMethod(QStringLiteral("WriteInteger"), 3, TypeKind::tkNone, [](NativeCall &c) {
        ini(c).WriteInteger(str(c, 0), str(c, 1), static_cast<int>(integer(c, 2)));
    });
    cls->DefineMethod(QStringLiteral("ReadBool"), 3, TypeKind::tkVariant, [](NativeCall &c) {
        ret(c, ini(c).ReadBool(str(c, 0), str(c, 1), boolean(c, 2)));
    });
    cls->DefineMethod(QStringLiteral("WriteBool"), 3, TypeKind::tkNone,
                      [](NativeCall &c) { ini(c).WriteBool(str(c, 0), str(c, 1), boolean(c, 2)); });
    cls->DefineMethod(QStringLiteral("SectionExists"), 1, TypeKind::tkVariant,
                      [](NativeCall &c) { ret(c, ini(c).SectionExists(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("ValueExists"), 2, TypeKind::tkVariant,
                      [](NativeCall &c) { ret(c, ini(c).ValueExists(str(c, 0), str(c, 1))); });
    cls->DefineMethod(QStringLiteral("DeleteKey"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { ini(c).DeleteKey(str(c, 0), str(c, 1)); });
    cls->DefineMethod(QStringLiteral("EraseSection"), 1, TypeKind::tkNone,
                      [](NativeCall &c) { ini(c).EraseSection(str(c, 0)); });
    cls->DefineMethod(QStringLiteral("ReadSections"), 1, TypeKind::tkNone,
                      [](NativeCall &c) { fill(c, 0, ini(c).ReadSections()); });
    cls->DefineMethod(QStringLiteral("ReadSection"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { fill(c, 1, ini(c).ReadSection(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("ReadSectionValues"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { fill(c, 1, ini(c).ReadSectionValues(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("UpdateFile"), 0, TypeKind::tkNone,
                      [](NativeCall &c) { ini(c).UpdateFile(); });
}

} // namespace tev::script
