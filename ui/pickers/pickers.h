#pragma once

// The one way the program asks the user for files and folders. Every picker call goes through
// here, so that tests can answer it (PickerAnswerGuard) and so that filters are written once, in
// the form the program's dialogs use: "Description|pattern|Description|pattern", patterns of one
// entry separated by ";" ("SEQ (*.seq)|*.seq", "All files|*.*").
//
// Open and save pickers are Qt's file dialogs. The folder picker is Qt's as well, unless a root
// is given: Qt's folder dialog cannot keep the user inside a folder, so a rooted pick uses our own
// picker on the directory tree control (TTevFolderPickerDlg), with a "New Folder" button.
// Every picker returns empty (or an empty list) when the user cancels. Folders come back without
// a trailing delimiter.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tev {

// folder may name a folder to start in or a file to preselect.
QStringList PickOpenFiles(QWidget *parent, const QString &title, const QString &folder,
                          const QString &filter, bool multiSelect = false);
QString PickOpenFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter);
// defaultSuffix is appended to a typed name without extension ("fdb" or ".fdb").
QString PickSaveFile(QWidget *parent, const QString &title, const QString &folderOrFile,
                     const QString &filter, const QString &defaultSuffix);
// With a root the user cannot leave it; startFolder is preselected when it lies inside. The title
// is shown above the folders in our picker, as the window title in Qt's.
QString PickFolder(QWidget *parent, const QString &title, const QString &startFolder,
                   const QString &rootFolder = {});

// What a picker call asked for, as a test's handler sees it. filter is as the caller wrote it;
// folder is the start folder (or file) of the call.
struct PickerRequest
{
    enum Kind { Open, Save, Folder } kind;
    QString title, folder, filter, root;
    bool multiSelect = false;
};

// While a guard lives, every picker call is answered by the handler (tests, the gallery); an
// empty list means Cancel. Guards nest: the previous handler comes back when a guard ends.
class PickerAnswerGuard
{
public:
    explicit PickerAnswerGuard(std::function<QStringList(const PickerRequest &)> handler);
    ~PickerAnswerGuard();
    PickerAnswerGuard(const PickerAnswerGuard &) = delete;
    PickerAnswerGuard &operator=(const PickerAnswerGuard &) = delete;

private:
    std::function<QStringList(const PickerRequest &)> m_previous;
};

// The program's filter text as Qt's name filters, one per entry: "Description (patterns)".
// "*.*" matches every name, as it does on the platform the filters were written for.
QStringList QtNameFilters(const QString &filter);

} // namespace tev
