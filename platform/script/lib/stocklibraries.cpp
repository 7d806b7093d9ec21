#include "platform/script/lib/stocklibraries.h"

#include <mutex>

#include "platform/script/scriptengine.h"
#include "platform/script/scriptlibrary.h"

namespace tev::script {

namespace {

// A stock library: its contents come from one definer function.
class StockLibrary : public ScriptLibrary
{
public:
    StockLibrary(ScriptEngine &engine, std::function<void(ScriptEngine &)> definer)
        : ScriptLibrary(engine)
        , m_definer(std::move(definer))
    {}
    void Init() override { m_definer(engine()); }

private:
    std::function<void(ScriptEngine &)> m_definer;
};

void add(const char *name, std::function<void(ScriptEngine &)> definer)
{
    LibraryList::Add(QLatin1String(name), [definer](ScriptEngine &e) {
        return std::make_unique<StockLibrary>(e, definer);
    });
}

} // namespace

void registerStockLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        add("System", defineSystemLibrary);
        add("Classes", defineClassesLibrary);
        add("SysUtils", defineSysUtilsLibrary);
        add("StrUtils", defineStrUtilsLibrary);
        add("DateUtils", defineDateUtilsLibrary);
        add("Math", defineMathLibrary);
        add("IniFiles", defineIniFilesLibrary);
        add("Dialogs", defineDialogsLibrary);
        // The user-interface units: their constants and the common VCL names on Qt objects.
        for (const char *ui :
             {"Forms", "FileCtrl", "DB", "Controls", "StdCtrls", "ExtCtrls", "ComCtrls", "Menus",
              "Graphics", "Grids", "ImgList", "DBCtrls", "DBGrids", "UITypes"}) {
            const QString name = QLatin1String(ui);
            add(ui, [name](ScriptEngine &e) { defineUiLibrary(e, name); });
        }
    });
}

} // namespace tev::script
