#pragma once

// TTevProjectPage: the "Project" page of the main window. It shows the header values of the open
// sequence and lets the user change them one at a time; every change goes to the project's
// property, and the window refreshes the page through UpdateProjectPage when the project reports
// it. Outside the database the page is display-only.
//
// Copying values into the controls never writes them back: only signals of user actions
// (activated, clicked) reach the handlers.

#include "core/app/tevapp.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QStyleOptionViewItem;

namespace tev {

class DataSetModel;
class SpeedButton;
class TCaptionPanel;
class TPictureBox;
class TRadioGroup;
class TTevPreviewDlg;
class TTevProject;

class TTevProjectPage : public QWidget
{
    Q_OBJECT

public:
    // Input limits of the header values.
    static constexpr int kMaxProjectName = 100;
    static constexpr int kMaxVersion = 25;
    static constexpr int kMaxShortDesc = 100;
    static constexpr int kMaxLongDesc = 400;

    explicit TTevProjectPage(QWidget *parent = nullptr);
    ~TTevProjectPage() override;

    void SetApp(TTevApp *App);
    // The window's data sources; the page only reads them (PROJECTNAME of the project record).
    void SetDataSources(DataSetModel *DatSrcProject, DataSetModel *DatSrcChars);

    // The image point editor, whose change log is settled before a header change writes the
    // project to the database.
    void SetPreviewDlg(TTevPreviewDlg *PreviewDlg);

    // The full name of the cover picture on show; empty for none.
    QString RecentPrjImage() const { return FRecentPrjImage; }

    // Owner drawing of the unit and decimals lists.
    void ComboDrawItem(QPainter &Canvas, const QStyleOptionViewItem &Option,
                       const QString &Text) const;

public Q_SLOTS:
    void UpdateProjectPage();
    void UpdateCoverImage();
    // The "File State:" display.
    void SetProjectState(const QString &Text, const QColor &Color);

    void BtnPRJProjectNameClick();
    void BtnPRJVersionClick();
    void BtnPRJShortDescClick();
    void BtnPRJLongDescClick();
    void BtnPRJUserFieldsClick();
    void BtnPRJFormatFileClick();
    void BtnPRJCoverImageClick();
    void EditPRJCoverImageExit();
    void ComboPRJUnitSelect();
    void ComboPRJDecimalsSelect();
    void RadioPRJLimitsClick();
    void ChkPRJRoutineChangesClick();
    void ChkPRJLogProfileClick();

    // Picks a file that goes with the sequence (Filter as "*.fmt|*.fmt") into Edit; true when a
    // valid file was taken.
    bool SelectDependFile(QLineEdit *Edit, const QString &Filter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TTevProject *Project() const;
    bool InDatabase() const;
    // Runs a header change after the editor's change log was settled; nothing when the user
    // cancelled that question.
    void ChangeHeader(const std::function<void(TTevProject &)> &Change);
    void UpdateProjectName();
    void ShowCover(const QString &FileName);

    QPointer<TTevApp> FApp;
    QPointer<DataSetModel> FDatSrcProject;
    QPointer<TTevPreviewDlg> FPreviewDlg;
    QString FRecentPrjImage;

    QLineEdit *EditProjectName = nullptr;
    SpeedButton *BtnPRJProjectName = nullptr;
    QLineEdit *EditPRJVersion = nullptr;
    SpeedButton *BtnPRJVersion = nullptr;
    QLineEdit *EditPRJShortDesc = nullptr;
    SpeedButton *BtnPRJShortDesc = nullptr;
    QPlainTextEdit *MemoPRJLongDesc = nullptr;
    SpeedButton *BtnPRJLongDesc = nullptr;
    QComboBox *ComboPRJUnit = nullptr;
    QComboBox *ComboPRJDecimals = nullptr;
    TRadioGroup *RadioPRJLimits = nullptr;
    QLineEdit *EditPRJUserFields = nullptr;
    SpeedButton *BtnPRJUserFields = nullptr;
    QLineEdit *EditPRJFormatFile = nullptr;
    SpeedButton *BtnPRJFormatFile = nullptr;
    QLineEdit *EditPRJCoverImage = nullptr;
    SpeedButton *BtnPRJCoverImage = nullptr;
    QCheckBox *ChkPRJRoutineChanges = nullptr;
    QCheckBox *ChkPRJLogProfile = nullptr;
    QLabel *EditProjectState = nullptr;
    // What the page's scroll area shows: every control of the page.
    QWidget *PnlPrjContent = nullptr;
    TCaptionPanel *PnlPrjImage = nullptr;
    TPictureBox *PrjImage = nullptr;
};

// Sets the enabled state of every control inside Container, at every depth.
void EnableControlTree(QWidget *Container, bool Enabled);

} // namespace tev
