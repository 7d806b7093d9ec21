#include "appfixture.h"
#include "core/lang/languages.h"
#include "core/lib/versions.h"
#include "ui/appdialogs/kelaboutbox.h"
#include "ui/appdialogs/kelvendorsdlg.h"
#include "ui/appdialogs/linklabel.h"
#include "ui/kit/speedbutton.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

namespace tev {
namespace {

using test::Drive;

class AboutBox : public test::AppDialogTest
{
protected:
    // Lets a box that closed itself go.
    static void processDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(AboutBox, ShowsProductVersionAndLinks)
{
    QPointer<TKelAboutBox> box = ShowAboutBox(&app());
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "Info");
    EXPECT_TRUE(box->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box->size(), QSize(456, 350));
    EXPECT_EQ(box->Image1->geometry(), QRect(20, 20, 208, 46));
    EXPECT_FALSE(box->Image1->pixmap().isNull());
    EXPECT_FALSE(box->ProgramIcon->pixmap().isNull());
    EXPECT_EQ(box->Panel2->geometry(), QRect(15, 80, 426, 230));
    EXPECT_EQ(box->Panel2->palette().color(QPalette::Window), QColor(20, 20, 20));
    EXPECT_EQ(box->LProductName->text(), "Product Name:");
    EXPECT_EQ(box->LProductNameText->text(), "Tevora");
    EXPECT_TRUE(box->LProductNameText->font().bold());
    EXPECT_EQ(box->LVersion->text(), "Version:");
    // The version of the running program's file, without the build number.
    const TProductVersion version = GetAppVersion(QCoreApplication::applicationFilePath());
    EXPECT_EQ(box->LVersionText->text(),
              QString("%1.%2.%3").arg(version.Major).arg(version.Minor).arg(version.Release));
    EXPECT_EQ(box->LVersionText->text().count('.'), 2);
    EXPECT_TRUE(box->LinkVYX->font().underline());
    EXPECT_EQ(box->LinkVYX->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(box->LSupport->text(), "Support");
    EXPECT_TRUE(box->LSupport->wordWrap());
    EXPECT_EQ(box->CloseBtn->text(), "Close");
    EXPECT_EQ(box->CloseBtn->geometry(), QRect(184, 315, 90, 22));
    for (QLabel *label : {box->LProductName, box->LVersionText, box->LblVYX})
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    box->close();
}

TEST_F(AboutBox, EscapeAndCloseCloseAndFreeIt)
{
    QPointer<TKelAboutBox> first = ShowAboutBox(&app());
    QPointer<TKelAboutBox> second = ShowAboutBox(&app());
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.data(), second.data());
    test::pressKey(first->LVersionText, Qt::Key_Escape);
    QTest::mouseClick(second->CloseBtn, Qt::LeftButton);
    processDeletes();
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
}

TEST_F(AboutBox, OtherKeysLeaveItOpen)
{
    QPointer<TKelAboutBox> box = ShowAboutBox(&app());
    test::pressKey(box, Qt::Key_Return);
    test::pressKey(box, Qt::Key_Cancel);
    processDeletes();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    box->close();
}

TEST_F(AboutBox, WebLinkOpensTheAddressShown)
{
    QPointer<TKelAboutBox> box = ShowAboutBox(&app());
    QStringList opened;
    box->OpenLink = [&](const QString &url) { opened << url; };
    QTest::mouseClick(box->LinkVYX, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened, QStringList{box->LinkVYX->text()});
    EXPECT_TRUE(box->LinkVYX->text().startsWith("https://"));
    box->close();
}

TEST_F(AboutBox, SupportLinkShowsTheSupportContacts)
{
    QPointer<TKelAboutBox> box = ShowAboutBox(&app());
    QString caption;
    int rows = 0;
    Drive<TKelVendorsDlg> drive([&](TKelVendorsDlg &d) {
        caption = d.windowTitle();
        rows = d.Grid->rowCount();
        d.OKBtnClick();
    });
    QTest::mouseClick(box->LSupport, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(drive.runs(), 1);
    EXPECT_EQ(caption, LangStr(kTextSupportContacts));
    EXPECT_EQ(rows, 8);
    EXPECT_TRUE(QFileInfo::exists(app().VendorFileName()));
    box->close();
}

} // namespace
} // namespace tev
