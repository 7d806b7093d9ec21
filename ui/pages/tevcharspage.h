#pragma once

// TTevCharsPage: the "Characteristics" page of the main window. From left to right: the filter
// lists (master files, groups) with the group tools, the move buttons, the characteristics grid
// with hand-drawn cells, and the details panel with the characteristic's picture, its measuring
// point and a read-only view of its parameters.
//
// The page follows the window's characteristic data source (DatSrcCharsDataChange) and is
// refreshed by the window through UpdateCharImage, FillFilterLists, UpdateGroupButtons and
// SetEditingEnabled. Every operation that writes the characteristics to the database first
// settles the image point editor's change log, so that "Undo all Changes" there never reverts in
// memory what the database already holds.

#include "core/app/tevapp.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QListWidget;
class QPainter;
class QStyleOptionViewItem;
class QTableWidget;

namespace tev {

class DataSetModel;
class SpeedButton;
class TCaptionPanel;
class TColumn;
class TBulletShape;
class TPanelSplitter;
class TPictureBox;
class TTevPreviewDlg;
class TTevProject;
class TvyxDBGrid;

class TTevCharsPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDefaultCharFilterWidth = 200;
    static constexpr int kMinCharFilterWidth = 25;
    static constexpr int kDefaultCharDetailsWidth = 250;
    static constexpr int kFilterItemHeight = 19;
    static constexpr int kGridRowHeight = 19;

    explicit TTevCharsPage(QWidget *parent = nullptr);
    ~TTevCharsPage() override;

    void SetApp(TTevApp *App);
    void SetDataSources(DataSetModel *DatSrcProject, DataSetModel *DatSrcChars);
    void SetPreviewDlg(TTevPreviewDlg *PreviewDlg);

    TvyxDBGrid *GridChars() const { return FGridChars; }

    // Layout the window keeps.
    int CharFilterWidth() const;
    void SetCharFilterWidth(int Width);
    int CharDetailsWidth() const;
    void SetCharDetailsWidth(int Width);
    bool CharParamsEditorVisible() const;
    void SetCharParamsEditorVisible(bool Visible);

    // The IMAGE value of the picture on show; empty for none.
    QString RecentCharImage() const { return FRecentCharImage; }

    // Owner drawing: a data cell of GridChars (Selected: the cell belongs to a selected row),
    // and an item of either filter list.
    void GridDrawColumnCell(QPainter &Canvas, const QRect &Rect, int Row, TColumn *Column,
                            bool Selected);
    void FilterBoxDrawItem(QListWidget *Control, QPainter &Canvas, int Index, const QRect &Rect,
                           bool Selected);
    // The whole text of a cell that is too narrow for it (a STATE text, a long label), for its
    // tool tip; empty when the text fits or the cell draws no text of its own.
    QString GridCellTip(int Row, TColumn *Column, const QRect &Rect) const;
    // The Down arrow on the last characteristic: true when the key is swallowed.
    bool GridCharsKeyDown(QKeyEvent *Key);

public Q_SLOTS:
    void UpdateCharImage();
    void FillFilterLists();
    void UpdateGroupButtons();
    // The editing state of the page: move buttons, the grid's read-only flag and editing, the
    // group tools.
    void SetEditingEnabled(bool InDB);
    void ClearRecentCharImage();

    void ApplyCharFilter();
    void UpdateCharBullet();
    void SelectGroupImage();

    void DatSrcCharsDataChange();
    void FilterBoxClick();
    void GroupFilterBoxKeyUp(int Key);
    void BtnGroupImageClick();
    void BtnGroupUpClick();
    void BtnGroupDownClick();
    void BtnRenameGroupClick();
    void BtnCharUpClick();
    void BtnCharDownClick();
    void BtnDisableCharClick();
    void CharImageClick();
    void ExpandCharDetailsBtnClick();
    void CollapseCharDetailsBtnClick();
    void PnlCharDetailsResize();
    // A mouse button released over the grid's cells at Pos (viewport coordinates).
    void GridCharsMouseUp(QPoint Pos);
    void GridCharsTopLeftChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TTevProject *Project() const;
    bool InDatabase() const;
    bool Updating() const;
    // The current characteristic's value of a field as text; empty without a record.
    QString CharField(const QString &FieldName) const;
    void SetupGridColumns();
    void ShowCharParams();
    void MoveGroup(bool Up);
    void SelectGroup(const QString &Name);
    // Settles the editor's change log before an operation that writes the characteristics to
    // the database; false when the user cancelled.
    bool BeginDatabaseWrite();
    void EndDatabaseWrite();

    QPointer<TTevApp> FApp;
    QPointer<DataSetModel> FDatSrcChars;
    QPointer<TTevPreviewDlg> FPreviewDlg;
    QString FRecentCharImage;
    bool FEditingEnabled = false;

    QWidget *PnlCharFilter = nullptr;
    TPanelSplitter *SplitterCharFilter = nullptr;
    QListWidget *RefFileFilterBox = nullptr;
    QWidget *PnlCharGroups = nullptr;
    QWidget *PnlGroupTools = nullptr;
    SpeedButton *BtnGroupImage = nullptr;
    SpeedButton *BtnGroupUp = nullptr;
    SpeedButton *BtnGroupDown = nullptr;
    SpeedButton *BtnRenameGroup = nullptr;
    QListWidget *GroupFilterBox = nullptr;
    QWidget *ToolBarFileChars = nullptr;
    SpeedButton *BtnEnableChar = nullptr;
    SpeedButton *BtnDisableChar = nullptr;
    SpeedButton *BtnCharUp = nullptr;
    SpeedButton *BtnCharDown = nullptr;
    TvyxDBGrid *FGridChars = nullptr;
    TPanelSplitter *SplitterCharDetails = nullptr;
    TCaptionPanel *PnlCharDetails = nullptr;
    TCaptionPanel *PnlCharImage = nullptr;
    TPictureBox *CharImage = nullptr;
    TBulletShape *Bullet = nullptr;
    QWidget *PnlCharParams = nullptr;
    SpeedButton *ExpandCharDetailsBtn = nullptr;
    SpeedButton *CollapseCharDetailsBtn = nullptr;
    QTableWidget *CharParamsEditor = nullptr;
};

} // namespace tev
