// The window's layout in the current user's registry: placement, the widths of the tree panel
// and of the characteristics page's side panels, the detail editor's visibility, and the last
// SQL text.

#include "ui/mainwindow/tevmainform.h"

#include "core/window/windowplacement.h"
#include "platform/crash/exceptionhandlers.h"
#include "ui/mainwindow/registryinifile.h"
#include "ui/pages/tevcharspage.h"

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
        FCharsPage->SetCharFilterWidth(ini.ReadInteger(
            kWindow, QStringLiteral("PnlCharFilterWidth"), FCharsPage->CharFilterWidth()));
        FCharsPage->SetCharDetailsWidth(ini.ReadInteger(
            kWindow, QStringLiteral("PnlCharDetailsWidth"), FCharsPage->CharDetailsWidth()));
        FCharsPage->SetCharParamsEditorVisible(
            ini.ReadBool(kWindow, QStringLiteral("CharParamsEditorVisible"),
                         FCharsPage->CharParamsEditorVisible()));
        FMemoSQL->setPlainText(ini.ReadString(kRecent, QStringLiteral("SQL"), QString()));
    } catch (...) {
        HandleCurrentException();
    }
    ApplyTreeWidth();
}

void TTevMainForm::SaveLayout()
{
    const QString key = QString::fromLatin1(kRegistryKey);
    WriteWindowPlacementToRegistry(this, key);
    TRegistryIniFile ini(key);
    ini.WriteInteger(kWindow, QStringLiteral("PnlTreeWidth"), FTreeWidth);
    ini.WriteInteger(kWindow, QStringLiteral("PnlCharFilterWidth"), FCharsPage->CharFilterWidth());
    ini.WriteInteger(kWindow, QStringLiteral("PnlCharDetailsWidth"),
                     FCharsPage->CharDetailsWidth());
    ini.WriteBool(kWindow, QStringLiteral("CharParamsEditorVisible"),
                  FCharsPage->CharParamsEditorVisible());
    ini.WriteString(kRecent, QStringLiteral("SQL"), FMemoSQL->toPlainText());
    ini.UpdateFile();
}

void TTevMainForm::ApplyTreeWidth()
{
    const int total = FSplitterTree->width() - FSplitterTree->handleWidth();
    FSplitterTree->setSizes({FTreeWidth, std::max(1, total - FTreeWidth)});
}

} // namespace tev
