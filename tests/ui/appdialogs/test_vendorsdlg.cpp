#include "appfixture.h"
#include "core/lang/languages.h"
#include "platform/error.h"
#include "ui/appdialogs/kelvendorsdlg.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/speedbutton.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace tev {
namespace {

using test::Drive;

// The grid's rows as "region;company;address" lines.
QStringList rows(const QTableWidget &grid)
{
    QStringList lines;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << (grid.item(r, c) ? grid.item(r, c)->text() : "<none>");
        lines << cells.join(';');
    }
    return lines;
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(name).path());
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class Vendors : public ::testing::Test
{
protected:
    QString fileName() const { return m_folder.file("ProgramData/Vyx/Tevora/Config/Vendors"); }

    test::TempFolder m_folder;
    test::LanguageGuard m_language;
};

TEST_F(Vendors, MissingFileIsWrittenWithTheDefaultListAndShownSorted)
{
    QStringList shown;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        shown = rows(*d.Grid);
        d.CancelBtnClick();
    });
    QString company = "unchanged", eMail = "unchanged";
    EXPECT_FALSE(
        ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbOK, mbCancel})));
    QStringList expected = DefaultVendorLines();
    std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    ASSERT_EQ(shown.size(), 8);
    EXPECT_EQ(shown, expected);
    // The last region names the maker's own support address.
    EXPECT_EQ(shown.last(), QString("Europe (Other);Vyx;") + kSupportMailAddress);
    QFile file(fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()), expected.join("\r\n") + "\r\n");
    EXPECT_EQ(company, "unchanged");
    EXPECT_EQ(eMail, "unchanged");
}

TEST_F(Vendors, FileIsShownSortedWithRepeatedLinesOnceAndNeverRewritten)
{
    const QByteArray contents = "Europe;Zeta GmbH;z@zeta.example\r\n"
                                "asia;Alpha Ltd;a@alpha.example\r\n"
                                "EUROPE;ZETA GMBH;Z@ZETA.EXAMPLE\r\n"
                                "Africa;Only Company\r\n";
    writeFile(fileName(), contents);
    QStringList shown;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        shown = rows(*d.Grid);
        d.CancelBtnClick();
    });
    QString company, eMail;
    ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbOK, mbCancel}));
    EXPECT_EQ(shown, QStringList({"Africa;Only Company;", "asia;Alpha Ltd;a@alpha.example",
                                  "Europe;Zeta GmbH;z@zeta.example"}));
    QFile file(fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), contents);
}

TEST_F(Vendors, AFolderThatCannotBeWrittenStillShowsTheDefaults)
{
    // A file stands where the folder of the vendor list would have to be made.
    writeFile(m_folder.file("blocked"), "x");
    const QString name = m_folder.file("blocked/Config/Vendors");
    int count = 0;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        count = d.Grid->rowCount();
        d.OKBtnClick();
    });
    QString company, eMail;
    EXPECT_TRUE(ExecuteVendorsDlg("Vendors", name, company, eMail, buttonSet({mbOK})));
    EXPECT_EQ(count, 8);
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(Vendors, AnUnreadableFileIsAnError)
{
    QDir().mkpath(fileName()); // a folder where the file should be
    Drive<TKelVendorsDlg> drive([](TKelVendorsDlg &d) { d.OKBtnClick(); });
    QString company, eMail;
    EXPECT_THROW(ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbOK})),
                 Error);
    EXPECT_EQ(drive.runs(), 0);
}

TEST_F(Vendors, GridAndButtons)
{
    SetCurrentLanguage(kLangGerman);
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        EXPECT_EQ(d.windowTitle(), "Choose a vendor");
        EXPECT_EQ(d.size(), QSize(600, 400));
        EXPECT_EQ(d.Grid->geometry(), QRect(10, 10, 580, 400 - 45 - 20));
        EXPECT_EQ(d.Grid->columnCount(), 3);
        EXPECT_EQ(d.Grid->rowCount(), 8); // no empty row after the last line
        EXPECT_FALSE(d.Grid->horizontalHeader()->isVisible());
        EXPECT_FALSE(d.Grid->verticalHeader()->isVisible());
        EXPECT_EQ(d.Grid->columnWidth(0), 190);
        EXPECT_EQ(d.Grid->rowHeight(0), 25);
        EXPECT_EQ(d.Grid->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(d.Grid->currentRow(), 0);
        EXPECT_EQ(d.okBtn()->text(), LoadLangString(kTextOK, kLangGerman));
        EXPECT_EQ(d.cancelBtn()->text(), "Abbrechen");
        EXPECT_EQ(d.okBtn()->x(), 430);
        EXPECT_EQ(d.cancelBtn()->x(), 510);
        d.CancelBtnClick();
    });
    QString company, eMail;
    ExecuteVendorsDlg("Choose a vendor", fileName(), company, eMail, buttonSet({mbOK, mbCancel}));
}

// Every cell's text shows whole: the address column takes what its longest address needs, from
// the other columns' spare room first, then by a wider dialog.
TEST_F(Vendors, EveryTextShowsWhole)
{
    const QString longAddress =
        QStringLiteral("customer.support.department@a-rather-long-distributor-name.example");
    for (const bool defaults : {true, false}) {
        if (!defaults)
            writeFile(fileName(), ("Europe;Zeta GmbH;" + longAddress + "\r\n").toLatin1());
        int width = 0;
        QStringList cut;
        Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
            width = d.width();
            QTableWidget &grid = *d.Grid;
            for (int row = 0; row < grid.rowCount(); ++row)
                for (int column = 0; column < grid.columnCount(); ++column) {
                    const int shown =
                        std::min(grid.columnViewportPosition(column) + grid.columnWidth(column),
                                 grid.viewport()->width()) -
                        grid.columnViewportPosition(column);
                    const QModelIndex cell = grid.model()->index(row, column);
                    if (grid.sizeHintForIndex(cell).width() > shown)
                        cut << cell.data().toString();
                }
            EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
            d.CancelBtnClick();
        });
        QString company, eMail;
        ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbOK}));
        EXPECT_TRUE(cut.isEmpty()) << cut.join('|').toStdString();
        if (defaults)
            EXPECT_EQ(width, 600); // the default list fits the dialog's design width
        else
            EXPECT_GT(width, 600);
    }
}

struct ChooseCase
{
    const char *name;
    int how; // 0 OK button, 1 Enter, 2 double-click, 3 Cancel button, 4 key code 3, 5 Escape
    bool chosen;
    bool stillOpen;
};

void PrintTo(const ChooseCase &c, std::ostream *os)
{
    *os << c.name;
}

class VendorsChoose : public Vendors, public ::testing::WithParamInterface<ChooseCase>
{
};

TEST_P(VendorsChoose, ReturnsTheSelectedRow)
{
    const ChooseCase &c = GetParam();
    writeFile(fileName(), "A;Alpha Ltd;a@alpha.example\r\nB;Beta SA;b@beta.example\r\n");
    bool stillOpen = false;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        const QRect cell = d.Grid->visualRect(d.Grid->model()->index(1, 1));
        QTest::mouseClick(d.Grid->viewport(), Qt::LeftButton, {}, cell.center());
        switch (c.how) {
        case 0:
            QTest::mouseClick(d.okBtn(), Qt::LeftButton);
            break;
        case 1:
            test::pressKey(d.Grid, Qt::Key_Return);
            break;
        case 2:
            QTest::mouseDClick(d.Grid->viewport(), Qt::LeftButton, {}, cell.center());
            break;
        case 3:
            QTest::mouseClick(d.cancelBtn(), Qt::LeftButton);
            break;
        case 4:
            test::pressKey(d.Grid, Qt::Key_Cancel);
            break;
        case 5:
            test::pressKey(d.Grid, Qt::Key_Escape);
            break;
        }
        stillOpen = d.isVisible();
    });
    QString company = "before", eMail = "before";
    EXPECT_EQ(ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbOK, mbCancel})),
              c.chosen);
    EXPECT_EQ(stillOpen, c.stillOpen);
    EXPECT_EQ(company, c.chosen ? "Beta SA" : "before");
    EXPECT_EQ(eMail, c.chosen ? "b@beta.example" : "before");
}

INSTANTIATE_TEST_SUITE_P(Table, VendorsChoose,
                         ::testing::Values(ChooseCase{"OkButton", 0, true, false},
                                           ChooseCase{"Enter", 1, true, false},
                                           ChooseCase{"DoubleClick", 2, true, false},
                                           ChooseCase{"CancelButton", 3, false, false},
                                           ChooseCase{"CancelKey", 4, false, false},
                                           ChooseCase{"EscapeDoesNothing", 5, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Vendors, SupportContactsShowOnlyOk)
{
    SetCurrentLanguage(kLangEnglish);
    int runs = 0;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        ++runs;
        EXPECT_EQ(d.windowTitle(), LangStr(kTextSupportContacts));
        EXPECT_TRUE(d.okBtn()->isVisible());
        EXPECT_FALSE(d.cancelBtn()->isVisible());
        // Alone, OK stands at the right edge.
        EXPECT_EQ(d.okBtn()->geometry().right(), d.panel()->width() - 6);
        test::pressKey(d.Grid, Qt::Key_Return);
    });
    ShowSupportContacts(fileName());
    EXPECT_EQ(runs, 1);
}

TEST_F(Vendors, ButtonSetCountsOnlyOkAndCancel)
{
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        EXPECT_FALSE(d.okBtn()->isVisible());
        EXPECT_TRUE(d.cancelBtn()->isVisible());
        d.CancelBtnClick();
    });
    QString company, eMail;
    ExecuteVendorsDlg("Vendors", fileName(), company, eMail, buttonSet({mbYes, mbCancel, mbHelp}));
}

} // namespace
} // namespace tev
