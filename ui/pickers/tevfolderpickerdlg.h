#pragma once

#include "ui/kit/kelform.h"

class QKeyEvent;
class QLabel;
class QTreeWidgetItem;

namespace tev {

class ButtonPanel;
class SpeedButton;
class TvyxDirectoryTreeView;

// A folder picker that keeps the user inside one folder, its root: the caller's caption above the
// root's sub-folders on the directory tree control, a "New Folder" button that makes a folder below
// the selected one, and OK and Cancel. Unlike the tree of the main window it leaves the process's
// current folder alone. Enter confirms (when a folder is selected), Escape and the Cancel key
// cancel.
class TTevFolderPickerDlg : public KelForm
{
    Q_OBJECT
public:
    // Names that a new folder cannot have.
    static bool IsValidFolderName(const QString &name);

    TTevFolderPickerDlg(QWidget *parent, const QString &caption, const QString &rootFolder,
                        const QString &startFolder);

    // The selected folder without a trailing delimiter; empty when none is selected.
    QString SelectedFolder() const;
    // Selects the folder of that path, or the deepest existing one on it; a path outside the
    // root selects the root.
    void SelectFolder(const QString &path);

    TvyxDirectoryTreeView *Tree() const { return m_tree; }
    QLabel *Caption() const { return m_caption; }

public Q_SLOTS:
    void NewFolderBtnClick();
    void OKBtnClick();
    void CancelBtnClick();

private:
    void UpdateButtons();
    void FormKeyDown(QKeyEvent &event);

    QString m_root;
    QLabel *m_caption;
    TvyxDirectoryTreeView *m_tree;
    ButtonPanel *m_panel;
    SpeedButton *m_newFolderBtn;
    SpeedButton *m_okBtn;
    SpeedButton *m_cancelBtn;
};

} // namespace tev
