#pragma once

// TTevMainForm: the program's one window. It owns the application object (and through it the
// settings, the database module and the one open project), the two data sources bound to the
// project's datasets, the pages, the image point editor and the script host.
//
// Design. The window reaches the data only through TTevApp and refreshes only through the
// project's events: OnChange runs UpdateView, OnStateChanged runs UpdateProjectState. Its files
// are split by road: this one holds the frame's life cycle and refresh routines; _components
// builds the regions, _menus the menus and actions, _layout keeps the layout in the per-user
// registry, _tree the tree road and drawing, _changes the save question, _commands the tool
// bar's commands, _references and _sql their pages, _scripts the script hooks.
//
// Unsaved changes are never dropped without a word: closing the window, moving the tree
// selection, F5, New, the settings and "Send to Sensor" resolve them first (ResolveChanges).
// "No" leaves the database as the last open or save left it: the header edits and moves that
// were written at once are written back. A write that finds the project saved by another user
// since asks whether to overwrite (ProjectStaleWrite).
// The tree's selection model asks the window before the selection moves, so that Cancel keeps
// the selection where it was.
//
// Every component carries its designed name as object name, so that scripts and tests find it
// by name; every handler is a public slot under its designed name.

#include "core/project/storedstamp.h"
#include "core/sequence/filetype.h"
#include "ui/mainwindow/projectbaseline.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidgetItem;

namespace tev {

class DataSetModel;
class DataSet;
class MemDataSet;
class TColumn;
class TDBNavigator;
class TDBText;
class TLedShape;
class TTevApp;
class TTevCharsPage;
class TTevPreviewDlg;
class TTevProject;
class TTevProjectPage;
class TTevRowSet;
class TTreeSelectionGate;
class TvyxDBGrid;
class TvyxDirectoryTreeView;
class TvyxPanel;
class TvyxScripter;

class TTevMainForm : public QMainWindow
{
    Q_OBJECT

public:
    // The registry key of the window's layout (placement, panel widths, the last SQL text).
    static constexpr char kRegistryKey[] = "Software\\Vyx\\Tevora";
    // The script file loaded from the script folder at start.
    static constexpr char kScriptFileName[] = "TevMain.pas";

    // Builds the components, then runs FormCreate. ExeName is the executable's file name, from
    // which the application object takes its folders and version.
    explicit TTevMainForm(const QString &ExeName, QWidget *parent = nullptr);
    // Runs FormDestroy when the window did not run it yet.
    ~TTevMainForm() override;

    TTevApp *App() const { return FApp.get(); }
    // The script host; it exists from FormCreate on, with or without a script.
    TvyxScripter *Scripter() const { return FScripter; }
    // Exposes the window's class to a script host under the name "TTevMainForm".
    static void InitFormScripter(TvyxScripter *AScripter);
    // The open project of the application object.
    TTevProject &Project() const;

    // Caption, database status line and LED.
    void TranslateForm();
    // The status line and LED show the connection's state: connected, lost (a statement found
    // it gone), or not connected with the engine's reason; they follow every change of it.
    void UpdateDatabaseStatus();

    // Components the program start, the pages' owner and the tests reach directly.
    TvyxDirectoryTreeView *Tree() const { return FTree; }
    QTabWidget *PageCtrl() const { return FPageCtrl; }
    TTevProjectPage *ProjectPage() const { return FProjectPage; }
    TTevCharsPage *CharsPage() const { return FCharsPage; }
    TTevPreviewDlg *PreviewDlg() const { return FPreviewDlg; }
    DataSetModel *DatSrcProject() const { return FDatSrcProject; }
    DataSetModel *DatSrcChars() const { return FDatSrcChars; }
    QMenu *ToolsMenu() const { return FMITools; }

public Q_SLOTS:
    // Frame.
    void FormCreate();
    void FormDestroy();
    void TreeChanging(QTreeWidgetItem *Node, bool &AllowChange);
    void TreeChange(QTreeWidgetItem *Node);
    void LEDDatabaseMouseUp();
    void PageCtrlChange();
    void FileExit1Execute();
    void MIFileExitClick();

    // Tree.
    void TreeCollapsed(QTreeWidgetItem *Node);
    void TreeExpanded(QTreeWidgetItem *Node);
    void TreeKeyDown(int Key);
    void TreeMouseDown(QTreeWidgetItem *Node);
    void PnlTreeResize();

    // Commands.
    void ToolBtnNewClick();
    void SEQ1Click();
    void MSEQ1Click();
    void FileDelete1Execute();
    void FileSave1Execute();
    void ToolBntExportClick();
    void MISettingsClick();
    void MIHelpAboutClick();

    // References page.
    void AddReferenceBtnClick();
    void RemoveMasterBtnClick();
    void UpdateReferencesBtnClick();

    // SQL page.
    void BtnExecSQLClick();
    void ComboTablesSelect();

    // Handlers that the window attaches to nothing; scripts may call or attach them.
    void AddClientBtnClick();
    void RemoveClientBtnClick();
    void DBTextModCharCountClick();
    void DeleteClientBtnClick();
    void DBTextStateClick();
    void ComboFileContextChange();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Components (_components.cpp, _menus.cpp).
    void CreateComponents();
    QWidget *CreateTopBar();
    QWidget *CreateTreePanel();
    QWidget *CreateWorkspace();
    QWidget *CreateInfoBar();
    QWidget *CreateReferencesPage();
    QWidget *CreateFilePage();
    QWidget *CreateSQLPage();
    void CreateActions();
    void CreateMenus();
    // The Tools menu is visible while any of its items is.
    void UpdateToolsMenu();
    void CreateToolButtons();
    void ApplyImages();

    // Frame (this file).
    void FormKeyDown(QKeyEvent &Event);
    void UpdateTreeRoot();
    void UpdateView();
    void UpdateProjectState();
    void ProjectUnknownFile(const QString &FileName, const QString &Generator,
                            TTevFileType FileType, bool *DoCreate);
    void UpdateEnabledStates();
    void UpdateFileSymbol();
    void BindDataSources();
    void UnbindDataSources();
    void ToggleServiceMode();
    void UpdateServiceTabs();

    // Layout in the registry (_layout.cpp).
    void LoadLayout();
    void SaveLayout();
    void ApplyTreeWidth();

    // Tree (_tree.cpp).
    void SetupTree();
    bool TreeSelectionMayChange(QTreeWidgetItem *Node);
    void SelectTreeNode(QTreeWidgetItem *Node);
    QList<QTreeWidgetItem *> SelectedNodes() const;
    // The node of a full path, without reading the disk; null when the tree has none.
    QTreeWidgetItem *NodeOfPath(const QString &FullPath) const;
    void ReselectOpenFile();
    // Keys and mouse presses of the tree; true when the event was used up.
    bool TreeEvent(QObject *watched, QEvent *event);

    // Unsaved changes (_changes.cpp).
    bool ResolveChanges();
    // Saves and reports a failure with what it stored; false when nothing was saved.
    bool SaveProjectReported();
    // The image point editor's unsaved points, before the project is saved or closed; false
    // when the user cancelled.
    bool SettleEditor();
    bool SaveProject();
    // The user's "No" to saving: what was written at once goes back.
    void RevertStoredReported();
    void ProjectStaleWrite(TStaleAnswer *Answer);
    // Remembers the open project as it is now (after it was opened or saved).
    void TakeBaseline();

    // Commands (_commands.cpp).
    void NewProject(TTevFileType FileType);
    void ShowFileProblems(const QString &Title, const QStringList &Skipped,
                          const QStringList &Failed);

    // References (_references.cpp).
    void UpdateReferencesQuery();
    void UpdateReferencesButtons();
    QString FileTypeGetText(const QVariant &Value) const;
    // Which depending files were and were not written again when Update Reference failed.
    void ReportUpdateFailure(const QString &Message, const QString &Root,
                             const QStringList &Expected, const QStringList &Rewritten);

    // File page.
    void UpdateFileText();

    // SQL (_sql.cpp).
    void OpenSQLResult(const QString &SQL);
    void CloseSQLResult();
    QString MemoFieldGetText(const QVariant &Value) const;

    // Scripts (_scripts.cpp).
    void InitScripter();
    void CallScriptRoutine(const QString &Name, const QVariantList &Params);
    void CallScriptProc(const QString &Name);

    // Fields of the window.
    std::unique_ptr<TTevApp> FApp;
    TvyxScripter *FScripter = nullptr;
    QString FExeName;
    bool FUpdatingTree = true;
    bool FCreated = false;
    bool FDestroyed = false;
    bool FShown = false;
    int FRowsRemoving = 0;         // the tree is dropping nodes to refill them
    bool FReselectPending = false; // a refill took the open file's node
    // The open project as it was read, for the save question.
    TProjectBaseline FBaseline;

    // Data sources and queries.
    DataSetModel *FDatSrcProject = nullptr;
    DataSetModel *FDatSrcChars = nullptr;
    DataSetModel *FDatSrcReferences = nullptr;
    DataSetModel *FDatSrcSQL = nullptr;
    std::unique_ptr<TTevRowSet> FQuReferences;
    std::unique_ptr<DataSet> FQuSQL;
    QString FSQLText; // the statement whose result the SQL page shows

    // Top bar.
    QFrame *FPnlTop = nullptr;
    QToolBar *FToolBar = nullptr;
    QToolButton *FToolBtnClose = nullptr;
    QToolButton *FToolBtnNew = nullptr;
    QToolButton *FToolBtnSave = nullptr;
    QToolButton *FToolBtnDelete = nullptr;
    QToolButton *FToolBntExport = nullptr;
    QLabel *FImage1 = nullptr;

    // Tree.
    QSplitter *FSplitterTree = nullptr;
    QFrame *FPnlTree = nullptr;
    TvyxDirectoryTreeView *FTree = nullptr;
    TTreeSelectionGate *FTreeGate = nullptr;
    QMenu *FTreeDropDown = nullptr;

    // Work area.
    TvyxPanel *FPnlDetails = nullptr;
    QLabel *FFileSymbol = nullptr;
    QLabel *FLProjectName = nullptr;
    QLabel *FLGeneratedBy = nullptr;
    TDBText *FDBTextGenerator = nullptr;
    QTabWidget *FPageCtrl = nullptr;
    TTevProjectPage *FProjectPage = nullptr;
    TTevCharsPage *FCharsPage = nullptr;
    TTevPreviewDlg *FPreviewDlg = nullptr;
    QWidget *FTabReference = nullptr;
    QWidget *FTabSheet1 = nullptr;
    QWidget *FTabSQL = nullptr;

    // References page.
    QWidget *FToolbarMasterFiles = nullptr;
    QToolButton *FAddReferenceBtn = nullptr;
    QToolButton *FRemoveMasterBtn = nullptr;
    QToolButton *FUpdateReferencesBtn = nullptr;
    TvyxDBGrid *FDBGridRefProjects = nullptr;

    // File page.
    QPlainTextEdit *FMemoFile = nullptr;

    // SQL page.
    QToolButton *FBtnExecSQL = nullptr;
    TDBNavigator *FDBNavigator1 = nullptr;
    QComboBox *FComboTables = nullptr;
    QPlainTextEdit *FMemoSQL = nullptr;
    TvyxDBGrid *FGridSQL = nullptr;
    QLabel *FLSQLResult = nullptr;

    // Status line.
    QFrame *FPnlInfo = nullptr;
    TLedShape *FLEDDatabase = nullptr;
    QLabel *FLDatabaseStatus = nullptr;

    // Menus and actions.
    QMenu *FMIFile = nullptr;
    QMenu *FMIWindow = nullptr;
    QMenu *FMITools = nullptr;
    QMenu *FMIHelp = nullptr;
    QAction *FFileNew1 = nullptr;
    QAction *FFileOpen1 = nullptr;
    QAction *FFileClose1 = nullptr;
    QAction *FFileSave1 = nullptr;
    QAction *FFileSaveAs1 = nullptr;
    QAction *FFileDelete1 = nullptr;
    QAction *FFileExit1 = nullptr;
    QAction *FHelpAbout1 = nullptr;
    QAction *FFileSettings1 = nullptr;

    // The tree panel's width, kept from the splitter's moves.
    int FTreeWidth = 281;
};

} // namespace tev
