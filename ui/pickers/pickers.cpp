#include "ui/pickers/pickers.h"

#include "ui/kit/modalrunner.h"
#include "ui/pickers/tevfolderpickerdlg.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tev {

namespace {

using Handler = std::function<QStringList(const PickerRequest &)>;

Handler &currentHandler()
{
    static Handler handler;
    return handler;
}

QString withoutTrailingDelimiter(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// Starts the dialog in folder, or in the folder of the file it names with that file preselected.
void setStart(QFileDialog &dialog, const QString &folderOrFile)
{
    if (folderOrFile.isEmpty())
        return;
    const QFileInfo info(folderOrFile);
    if (info.isDir() || folderOrFile.endsWith(QLatin1Char('/'))) {
        dialog.setDirectory(folderOrFile);
        return;
    }
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
}

QStringList runFileDialog(QWidget *parent, const PickerRequest &request,
                          const QString &defaultSuffix = {})
{
    QFileDialog dialog(parent, request.title);
    if (request.kind == PickerRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        QString suffix = defaultSuffix;
        if (suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    }
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    setStart(dialog, request.folder);
    if (runModal(dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString runFolderDialog(QWidget *parent, const PickerRequest &request)
{
    if (!request.root.isEmpty()) {
        TTevFolderPickerDlg picker(parent, request.title, request.root, request.folder);
        return runModal(picker) == QDialog::Accepted ? picker.SelectedFolder() : QString();
    }
    QFileDialog dialog(parent, request.title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Asks the test's handler when there is one, else the user.
QStringList pick(QWidget *parent, const PickerRequest &request, const QString &defaultSuffix = {})
{
    QStringList answer;
    if (const Handler &handler = currentHandler())
        answer = handler(request);
    else if (request.kind == PickerRequest::Folder)
        answer = QStringList{runFolderDialog(parent, request)};
    else
        answer = runFileDialog(parent, request, defaultSuffix);
    answer.removeAll(QString());
    if (request.kind == PickerRequest::Folder)
        for (QString &folder : answer)
            folder = withoutTrailingDelimiter(folder);
    return answer;
}

QString firstOf(const QStringList &list)
{
    return list.isEmpty() ? QString() : list.constFirst();
}

} // namespace

QStringList PickOpenFiles(QWidget *parent, const QString &title, const QString &folder,
                          const QString &filter, bool multiSelect)
{
    QStringList files =
        pick(parent, {PickerRequest::Open, title, folder, filter, QString(), multiSelect});
    if (!multiSelect && files.size() > 1)
        files = files.mid(0, 1);
    return files;
}

QString PickOpenFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter)
{
    return firstOf(PickOpenFiles(parent, title, folder, filter, false));
}

QString PickSaveFile(QWidget *parent, const QString &title, const QString &folderOrFile,
                     const QString &filter, const QString &defaultSuffix)
{
    return firstOf(pick(parent,
                        {PickerRequest::Save, title, folderOrFile, filter, QString(), false},
                        defaultSuffix));
}

QString PickFolder(QWidget *parent, const QString &title, const QString &startFolder,
                   const QString &rootFolder)
{
    return firstOf(
        pick(parent, {PickerRequest::Folder, title, startFolder, QString(), rootFolder, false}));
}

PickerAnswerGuard::PickerAnswerGuard(std::function<QStringList(const PickerRequest &)> handler)
    : m_previous(std::exchange(currentHandler(), std::move(handler)))
{}

PickerAnswerGuard::~PickerAnswerGuard()
{
    currentHandler() = std::move(m_previous);
}

QStringList QtNameFilters(const QString &filter)
{
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patternText = i + 1 < parts.size() ? parts.at(i + 1) : parts.at(i);
        QStringList patterns;
        for (const QString &p : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            continue;
        const QString joined = patterns.join(QLatin1Char(' '));
        // Qt reads the patterns from the last parenthesised group; a description that already
        // ends with them is shown as it is.
        if (description.endsWith(QLatin1Char('(') + joined + QLatin1Char(')')))
            result << description;
        else if (description.isEmpty())
            result << joined + QStringLiteral(" (") + joined + QLatin1Char(')');
        else
            result << description + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return result;
}

} // namespace tev
