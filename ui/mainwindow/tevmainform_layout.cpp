// The window's layout in the current user's registry: placement, the widths of the tree panel
// and of the characteristics page's side panels, the detail editor's visibility, and the last
// SQL text.

#include "ui/mainwindow/tevmainform.h"

#include "core/window/windowplacement.h"
#include "platform/crash/exceptionhandlers.h"
#include "ui/mainwindow/registryinifile.h"

#include <QPlainTextEdit>
#include <QSplitter>

namespace tev {

namespace {

const QString kWindow = QStringLiteral("Window");
const QString kRecent = QStringLiteral("Recent");

} // namespace

void TTevMainForm::LoadLayout()
{
    const QString key = QString::fromLatin1(kRegistryKey);
    // A store that cannot be read is reported; the window starts with its design layout.
    try {
        ReadWindowPlacementFromRegistry(this, key);
        const TRegistryIniFile ini(key);
        FTreeWidth = ini.ReadInteger(kWindow, QStringLiteral("PnlTreeWidth"), FTreeWidth);
        FCharFilterWidth =
            ini.ReadInteger(kWindow, QStringLiteral("PnlCharFilterWidth"), FCharFilterWidth);
        FCharDetailsWidth =
            ini.ReadInteger(kWindow, QStringLiteral("PnlCharDetailsWidth"), FCharDetailsWidth);
        FCharParamsEditorVisible = ini.ReadBool(kWindow, QStringLiteral("CharParamsEditorVisible"),
                                                FCharParamsEditorVisible);
        FMemoSQL->setPlainText(ini.ReadString(kRecent, QStringLiteral("SQL"), QString()));
    } catch (...) {
        HandleCurrentException();
    }
    ApplyTreeWidth();
    ApplyCharsLayout();
}

void TTevMainForm::SaveLayout()
{
    const QString key = QString::fromLatin1(kRegistryKey);
    WriteWindowPlacementToRegistry(this, key);
    ReadCharsLayout();
    TRegistryIniFile ini(key);
    ini.WriteInteger(kWindow, QStringLiteral("PnlTreeWidth"), FTreeWidth);
    ini.WriteInteger(kWindow, QStringLiteral("PnlCharFilterWidth"), FCharFilterWidth);
    ini.WriteInteger(kWindow, QStringLiteral("PnlCharDetailsWidth"), FCharDetailsWidth);
    ini.WriteBool(kWindow, QStringLiteral("CharParamsEditorVisible"), FCharParamsEditorVisible);
    ini.WriteString(kRecent, QStringLiteral("SQL"), FMemoSQL->toPlainText());
    ini.UpdateFile();
}

void TTevMainForm::ApplyTreeWidth()
{
    const int total = FSplitterTree->width() - FSplitterTree->handleWidth();
    FSplitterTree->setSizes({FTreeWidth, std::max(1, total - FTreeWidth)});
}

void TTevMainForm::ApplyCharsLayout()
{
    // The characteristics page keeps these once it is embedded.
}

void TTevMainForm::ReadCharsLayout()
{}

} // namespace tev
