#pragma once

// TTevPreviewDlg: the image point editor. A modeless window, kept above the main window, in
// which the user places the measuring point of the current characteristic on its group's
// picture: a click with the point tool down stores the picture coordinates in IMAGEX and IMAGEY
// of every characteristic (that the filter shows) with the same point name. It also changes the
// group's picture.
//
// While the window is shown, the characteristic dataset logs its changes: "Save Changes" keeps
// them, "Undo all Changes" reverts them, and closing the window asks. The editor writes nothing
// to the database or the file; that is the project's save. An operation that writes the
// characteristics to the database settles the log first (ResolveChangeLog) and merges what it
// wrote afterwards (CommitChangeLog), so that the log never reverts in memory what the database
// already holds. When the project is closed or another one opened while the log runs, the log is
// merged without a question (the window asks before it closes a project): a log of the closed
// project must never revert or remove the records of the next one.

#include "core/app/tevapp.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QCloseEvent;

namespace tev {

class DataSetModel;
class MemDataSet;
class SpeedButton;
class TBulletShape;
class TCaptionPanel;
class TPanelSplitter;
class TPicture;
class TPictureBox;
class TvyxDBGrid;

class TTevPreviewDlg : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kToolsHeight = 50;
    static constexpr int kCharsWidth = 200;
    static constexpr int kMinCharsWidth = 25;

    // Created hidden, with the main window as owner: it stays above that window and goes with it.
    explicit TTevPreviewDlg(QWidget *AOwner);
    ~TTevPreviewDlg() override;

    TTevApp *App() const { return FApp; }
    void SetApp(TTevApp *App);
    // The grid's data source, shared with the main window; the group-name label follows it too.
    DataSetModel *DataSource() const;
    void SetDataSource(DataSetModel *Value);

    QWidget *PnlTools() const { return FPnlTools; }
    TvyxDBGrid *Grid() const { return FGrid; }
    bool BulletMode() const { return FBulletMode; }

    // Shows the picture (a copy), or none; then places the marker.
    void UpdatePicture(const TPicture *APicture);
    // The point placement of a click at Pos in the picture panel's coordinates. Does nothing
    // unless the point tool is down and a picture is shown.
    void PlacePointAt(QPoint Pos);

    // With logged changes and the window shown: asks "Save changes?"; Yes (or Enter) keeps the
    // changes, No reverts them. False when the user cancelled the question: the operation that
    // asked must not run.
    bool ResolveChangeLog();
    // Makes what the log holds part of the unlogged state (an operation wrote it to the
    // database).
    void CommitChangeLog();

public Q_SLOTS:
    void Execute();
    void UpdateCharPointPosition();
    void BulletBtnClick();
    void OpenBtnClick();
    // A click on the picture at the mouse cursor's current position.
    void CharImageClick();
    void SaveBtnClick();
    void UndoBtnClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void FormResize();
    // False when the closing is cancelled.
    bool FormClose();
    MemDataSet *ClientDataSet() const;
    void StartLog();
    void MergeLog();
    void CancelLog();
    void UpdateGroupName();
    // The open sequence the log belongs to: its file name, empty for no project.
    QString LogOwner() const;
    void CheckLogOwner();

    bool FBulletMode = false;
    QPointer<QWidget> FOwnerForm;
    bool FSizeInitialized = false;
    QPointer<TTevApp> FApp;
    QPointer<DataSetModel> FDataSource;
    // The project's change state when the log started or was last merged: "Undo all Changes"
    // returns to it.
    quint32 FStateAtLogStart = 0;
    QString FLogOwner;

    QWidget *FPnlTools = nullptr;
    SpeedButton *OpenBtn = nullptr;
    SpeedButton *SaveBtn = nullptr;
    SpeedButton *BulletBtn = nullptr;
    SpeedButton *UndoBtn = nullptr;
    QWidget *PnlChars = nullptr;
    QLabel *DBTextGroupName = nullptr;
    TvyxDBGrid *FGrid = nullptr;
    TPanelSplitter *Splitter = nullptr;
    TCaptionPanel *PnlCharImage = nullptr;
    TPictureBox *CharImage = nullptr;
    TBulletShape *Bullet = nullptr;
};

} // namespace tev
