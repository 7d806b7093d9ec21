#include "ui/appdialogs/kelvendorsdlg.h"

#include "core/lang/languages.h"
#include "core/lib/paths.h"
#include "core/lib/textroutines.h"
#include "platform/error.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/fonts.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"

#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcVendors, "tevora.vendors")

namespace tev {

namespace {

constexpr int kColumns = 3;
constexpr int kGridMargin = 10;

} // namespace

QStringList DefaultVendorLines()
{
    return {
        QStringLiteral("Africa;Kelmetra Service Europe;service@kel-eu.example"),
        QStringLiteral("America (Canada);Kelmetra North America;sales@kel-na.example"),
        QStringLiteral("America (USA);Kelmetra North America;sales@kel-na.example"),
        QStringLiteral("America (Other);Kelmetra Latin America;ventas@kel-latam.example"),
        QStringLiteral("Asia (China);Kelmetra Asia Pacific;china@kel-apac.example"),
        QStringLiteral("Asia (Other);Kelmetra Asia Pacific;info@kel-apac.example"),
        QStringLiteral("Europe (Germany);Kelmetra Service Europe;service@kel-eu.example"),
        QStringLiteral("Europe (Other);Vyx;") + QLatin1String(kSupportMailAddress),
    };
}

void LoadVendorList(const QString &FileName, TStringList &List)
{
    List.Clear();
    List.SetCaseSensitive(false);
    List.SetDuplicates(TStringList::TDuplicates::dupIgnore);
    List.SetSorted(true);
    if (QFileInfo::exists(FileName)) {
        TStringList lines;
        lines.LoadFromFile(FileName);
        for (int i = 0; i < lines.Count(); ++i)
            List.Add(lines[i]);
        return;
    }
    for (const QString &line : DefaultVendorLines())
        List.Add(line);
    try {
        if (!CheckDir(QFileInfo(FileName).path()))
            throw Error(QStringLiteral("Cannot create the folder of \"%1\".").arg(FileName));
        List.SaveToFile(FileName);
    } catch (const Error &e) {
        qCWarning(lcVendors) << "The vendor list is shown but not stored:" << e.message();
    }
}

TKelVendorsDlg::TKelVendorsDlg(QWidget *owner)
    : TvyxCustomDlg(owner)
    , Grid(new QTableWidget(body()))
{
    setObjectName(QStringLiteral("KelVendorsDlg"));
    setWindowTitle(QStringLiteral("Vendors"));
    setFont(dialogFont(FontFace::SegoeUI, 13));
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setColumnCount(kColumns);
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    // The addresses take what the first two columns leave.
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grid->setShowGrid(true);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->viewport()->installEventFilter(this);
    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(kGridMargin, kGridMargin, kGridMargin, kGridMargin);
    layout->addWidget(Grid);
    resize(kClientWidth, kClientHeight);
    FormCreate();
}

void TKelVendorsDlg::ShowVendors(const TStringList &Lines)
{
    Grid->clearContents();
    Grid->setRowCount(Lines.Count());
    for (int row = 0; row < Lines.Count(); ++row)
        for (int column = 0; column < kColumns; ++column) {
            auto *cell = new QTableWidgetItem(SubString(Lines[row], column, QLatin1Char(';')));
            // A long address does not fit its column.
            cell->setToolTip(cell->text());
            Grid->setItem(row, column, cell);
        }
    if (Lines.Count() > 0)
        Grid->setCurrentCell(0, 0);
    FitColumns();
}

void TKelVendorsDlg::FitColumns()
{
    // Every text shows whole. A column keeps its design width unless its longest text needs
    // more; the room the address column needs beyond the dialog's width is taken first from
    // the company's and the region's design width where their texts leave it free, and only
    // then does the dialog widen, as far as the screen allows.
    QHeaderView *header = Grid->horizontalHeader();
    header->setStretchLastSection(false);
    Grid->resizeColumnsToContents();
    int needs[kColumns];
    int widths[kColumns];
    int total = 0;
    for (int column = 0; column < kColumns; ++column) {
        needs[column] = Grid->columnWidth(column);
        widths[column] = std::max(int(kColumnWidth), needs[column]);
        total += widths[column];
    }
    int frame = 2 * Grid->frameWidth();
    if (Grid->rowCount() * kRowHeight >
        kClientHeight - TvyxCustomDlg::kPanelHeight - 2 * kGridMargin - frame)
        frame += Grid->verticalScrollBar()->sizeHint().width();
    const int room = kClientWidth - 2 * kGridMargin - frame;
    for (int column = kColumns - 2; column >= 0 && total > room; --column) {
        const int given = std::min(total - room, widths[column] - needs[column]);
        widths[column] -= given;
        total -= given;
    }
    for (int column = 0; column < kColumns; ++column)
        Grid->setColumnWidth(column, widths[column]);
    header->setStretchLastSection(true);
    int width = std::max(int(kClientWidth), total + frame + 2 * kGridMargin);
    if (const QScreen *screen = this->screen())
        width = std::min(width, screen->availableGeometry().width());
    resize(width, height());
}

void TKelVendorsDlg::GridDblClick()
{
    setModalResult(mrOk);
}

bool TKelVendorsDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        GridDblClick();
        return true;
    }
    return TvyxCustomDlg::eventFilter(watched, event);
}

bool ExecuteVendorsDlg(const QString &Caption, const QString &FileName, QString &Company,
                       QString &EMail, TMsgDlgButtons Buttons)
{
    TKelVendorsDlg dialog(mainForm());
    dialog.setWindowTitle(Caption);
    TStringList lines;
    LoadVendorList(FileName, lines);
    dialog.ShowVendors(lines);
    dialog.cancelBtn()->setVisible((Buttons & buttonSet({mbCancel})) != 0);
    dialog.okBtn()->setVisible((Buttons & buttonSet({mbOK})) != 0);
    dialog.okBtn()->setText(LangStr(kTextOK));
    dialog.cancelBtn()->setText(LangStr(kTextCancel));
    dialog.panel()->relayout();
    if (runModal(dialog) != mrOk)
        return false;
    const int row = dialog.Grid->currentRow();
    if (row >= 0) {
        Company = dialog.Grid->item(row, 1)->text();
        EMail = dialog.Grid->item(row, 2)->text();
    }
    return true;
}

void ShowSupportContacts(const QString &FileName)
{
    QString company;
    QString eMail;
    ExecuteVendorsDlg(LangStr(kTextSupportContacts), FileName, company, eMail, buttonSet({mbOK}));
}

} // namespace tev
