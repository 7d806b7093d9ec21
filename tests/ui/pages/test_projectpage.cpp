#include "pagesfixture.h"

#include "ui/pages/captionpanel.h"
#include "ui/pages/picturebox.h"
#include "ui/pages/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>

using namespace tev;
using namespace tev::test;

namespace {

const QStringList kMasterHeader = {
    QStringLiteral("$GENERATOR Ombrix"),
    QStringLiteral("$PROJECTNAME Shaft"),
    QStringLiteral("$VERSION 2.1"),
    QStringLiteral("$SHORTDESC Main shaft"),
    QStringLiteral("$LONGDESC First\\r\\nSecond"),
    QStringLiteral("$UNITS 1"),
    QStringLiteral("$NDECIMALS 3"),
    QStringLiteral("$LIMITS 1"),
    QStringLiteral("$PICKLIST USER.UIF"),
    QStringLiteral("$FORMAT SHAFT.FMT"),
    QStringLiteral("$COVERLABEL cover.png"),
    QStringLiteral("$TYPE 1"),
    QStringLiteral("$LOGPROFILES 1"),
};

class ProjectPage : public PagesFixture
{
};

TEST_F(ProjectPage, MasterFileShowsItsHeaderAndIsDisplayOnly)
{
    readFile(writeFile(QStringLiteral("master.seq"),
                       SequenceText(kMasterHeader, {{QStringLiteral("C1"), QStringLiteral("P1"),
                                                     QStringLiteral("G1")}})));
    QWidget *page = projectPage;
    EXPECT_EQ(child<QLineEdit>(page, "EditProjectName")->text(), QStringLiteral("Shaft"));
    EXPECT_EQ(child<QLineEdit>(page, "EditPRJVersion")->text(), QStringLiteral("2.1"));
    EXPECT_EQ(child<QLineEdit>(page, "EditPRJShortDesc")->text(), QStringLiteral("Main shaft"));
    EXPECT_EQ(child<QPlainTextEdit>(page, "MemoPRJLongDesc")->toPlainText(),
              QStringLiteral("First\nSecond"));
    EXPECT_EQ(child<QComboBox>(page, "ComboPRJUnit")->currentText(), QStringLiteral("mm"));
    EXPECT_EQ(child<QComboBox>(page, "ComboPRJDecimals")->currentText(), QStringLiteral("3"));
    EXPECT_EQ(child<TRadioGroup>(page, "RadioPRJLimits")->ItemIndex(), 1);
    EXPECT_EQ(child<QLineEdit>(page, "EditPRJUserFields")->text(), QStringLiteral("USER.UIF"));
    EXPECT_EQ(child<QLineEdit>(page, "EditPRJFormatFile")->text(), QStringLiteral("SHAFT.FMT"));
    EXPECT_EQ(child<QLineEdit>(page, "EditPRJCoverImage")->text(), QStringLiteral("cover.png"));
    EXPECT_TRUE(child<QCheckBox>(page, "ChkPRJRoutineChanges")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "ChkPRJLogProfile")->isChecked());

    // Outside the database every control of the page is disabled, at every depth; the page
    // itself still scrolls.
    const QList<QWidget *> controls =
        child<QWidget>(page, "PnlPrjContent")->findChildren<QWidget *>();
    ASSERT_FALSE(controls.isEmpty());
    for (QWidget *control : controls)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    for (const char *name : {"EditProjectName", "MemoPRJLongDesc", "ComboPRJUnit", "PnlPrjImage",
                             "ChkPRJLogProfile", "BtnPRJCoverImage"})
        EXPECT_TRUE(controls.contains(child<QWidget>(page, name))) << name;
    EXPECT_TRUE(child<QScrollArea>(page, "PrjScroll")->isEnabled());
}

TEST_F(ProjectPage, RefreshingWritesNothingBack)
{
    // A work file without database row: its values go into the controls, and nothing of that
    // comes back into the project, whatever the controls held before.
    QStringList header = kMasterHeader;
    header[0] = QStringLiteral("$GENERATOR Tevora");
    readFile(writeFile(QStringLiteral("work.seq"), SequenceText(header, {})));
    const QString params = project().Header();
    ASSERT_EQ(project().ChangeState(), 0u);

    header[5] = QStringLiteral("$UNITS 0");
    header[6] = QStringLiteral("$NDECIMALS 0");
    header[7] = QStringLiteral("$LIMITS 0");
    header[11] = QStringLiteral("$TYPE 0");
    header[12] = QStringLiteral("$LOGPROFILES 0");
    readFile(writeFile(QStringLiteral("work2.seq"), SequenceText(header, {})));
    const QString params2 = project().Header();
    EXPECT_EQ(child<QComboBox>(projectPage, "ComboPRJUnit")->currentIndex(), 0);
    EXPECT_FALSE(child<QCheckBox>(projectPage, "ChkPRJRoutineChanges")->isChecked());
    EXPECT_EQ(child<TRadioGroup>(projectPage, "RadioPRJLimits")->ItemIndex(), 0);
    projectPage->UpdateProjectPage();
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_EQ(project().Header(), params2);
    EXPECT_NE(params, params2);
}

struct CoverCase
{
    const char *name;
    const char *cover; // the header's cover name
    bool writePicture; // a real picture of that name
    bool writeGarbage; // a file of that name that is no picture
    bool shown;
};

class CoverImage : public PagesFixture, public ::testing::WithParamInterface<CoverCase>
{
};

TEST_P(CoverImage, ShowsThePictureOrTheCaption)
{
    const CoverCase &c = GetParam();
    const QString cover = QLatin1String(c.cover);
    if (c.writePicture)
        writePicture(cover, {120, 60}, Qt::red);
    if (c.writeGarbage)
        writeFile(cover, QStringLiteral("not a picture"));
    QStringList header = kMasterHeader;
    header[10] = QStringLiteral("$COVERLABEL ") + cover;
    readFile(writeFile(QStringLiteral("master.seq"), SequenceText(header, {})));
    auto *picture = child<TPictureBox>(projectPage, "PrjImage");
    auto *panel = child<TCaptionPanel>(projectPage, "PnlPrjImage");
    EXPECT_EQ(picture->HasPicture(), c.shown);
    EXPECT_EQ(panel->ShowCaption(), !c.shown);
    EXPECT_EQ(panel->Caption(), QStringLiteral("<Cover Image>"));
    if (c.shown) {
        EXPECT_EQ(picture->Picture().size(), QSize(120, 60));
    }
    EXPECT_EQ(projectPage->RecentPrjImage(),
              cover.isEmpty() ? QString() : seqDir() + QLatin1Char('/') + cover);
}

INSTANTIATE_TEST_SUITE_P(Cases, CoverImage,
                         ::testing::Values(CoverCase{"Picture", "cover.png", true, false, true},
                                           CoverCase{"Missing", "gone.png", false, false, false},
                                           CoverCase{"Unreadable", "bad.png", false, true, false},
                                           CoverCase{"None", "", false, false, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectPage, CoverIsReadOnlyOnceForTheSameName)
{
    const QString picture = writePicture(QStringLiteral("cover.png"), {40, 20}, Qt::blue);
    readFile(writeFile(QStringLiteral("master.seq"), SequenceText(kMasterHeader, {})));
    auto *box = child<TPictureBox>(projectPage, "PrjImage");
    ASSERT_TRUE(box->HasPicture());
    // A changed file of the same name is not read again until the name changes.
    QImage other(80, 80, QImage::Format_RGB32);
    other.fill(Qt::green);
    ASSERT_TRUE(other.save(picture));
    projectPage->UpdateCoverImage();
    EXPECT_EQ(box->Picture().size(), QSize(40, 20));
}

} // namespace
