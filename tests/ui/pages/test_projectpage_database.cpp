// The project page on a work project in the embedded database: every header value goes from its
// control through the project into the database and, with the save, into the file.

#include "pagesfixture.h"

#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "ui/kit/speedbutton.h"
#include "ui/pages/radiogroup.h"
#include "ui/pickers/pickers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <functional>

using namespace tev;
using namespace tev::test;

namespace {

class ProjectInDatabase : public PagesFixture
{
protected:
    void SetUp() override
    {
        openWork();
        window->show();
        charsPage->hide();
        QApplication::processEvents();
    }

    // The project's header as the database holds it.
    QString storedHeader() const
    {
        return query(QStringLiteral("select PARAMS from PROJECTS where FILENAME = '%1'")
                         .arg(project().RelativeFileName()))
            .value(0);
    }

public:
    template <typename T> T *control(const char *name) { return child<T>(projectPage, name); }

    QRadioButton *radio(const QString &text)
    {
        for (QRadioButton *button : projectPage->findChildren<QRadioButton *>())
            if (button->text() == text)
                return button;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    void write(const QString &relative, const QByteArray &bytes)
    {
        const QString name = tree->file(relative);
        QDir().mkpath(QFileInfo(name).path());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(ProjectInDatabase, ShowsTheHeaderAndRefreshingWritesNothing)
{
    EXPECT_EQ(control<QLineEdit>("EditProjectName")->text(), QStringLiteral("W1"));
    EXPECT_EQ(control<QLineEdit>("EditPRJVersion")->text(), QStringLiteral("2.1"));
    EXPECT_EQ(control<QComboBox>("ComboPRJUnit")->currentText(), QStringLiteral("mm"));
    EXPECT_EQ(control<QComboBox>("ComboPRJDecimals")->currentText(), QStringLiteral("2"));
    EXPECT_EQ(control<TRadioGroup>("RadioPRJLimits")->ItemIndex(), 1);
    EXPECT_EQ(control<QLineEdit>("EditPRJFormatFile")->text(), QStringLiteral("HOUSING.FMT"));
    for (QWidget *w : projectPage->findChildren<QWidget *>())
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    const QString header = storedHeader();
    const QByteArray file = fileBytes();
    projectPage->UpdateProjectPage();
    refresh();
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_EQ(storedHeader(), header);
    EXPECT_EQ(fileBytes(), file);
}

// One header value changed through its control, as a user changes it.
class HeaderRoundTrip;

struct HeaderCase
{
    const char *name;
    std::function<void(HeaderRoundTrip &)> change;
    const char *line; // the header line the file and the database then hold
};

class HeaderRoundTrip : public ProjectInDatabase, public ::testing::WithParamInterface<HeaderCase>
{
public:
    void input(const char *button, const QString &text)
    {
        DialogAnswers answers(text);
        control<SpeedButton>(button)->click();
        EXPECT_EQ(answers.prompts.size(), 1);
    }
    void comboDown(const char *name)
    {
        auto *combo = control<QComboBox>(name);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
    }
    void comboUp(const char *name)
    {
        auto *combo = control<QComboBox>(name);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);
    }
    void pick(const char *button, const QString &relative)
    {
        PickerAnswerGuard picker([&](const PickerRequest &request) {
            EXPECT_EQ(request.kind, PickerRequest::Open);
            // The open sequence's folder, or the proposed file in it.
            EXPECT_TRUE(request.folder.startsWith(tree->file(QStringLiteral("Work"))))
                << request.folder.toStdString();
            return QStringList({tree->file(relative)});
        });
        DialogAnswers answers;
        control<SpeedButton>(button)->click();
        EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join('|').toStdString();
    }
};

TEST_P(HeaderRoundTrip, ReachesTheDatabaseAndTheFileAfterSave)
{
    const HeaderCase &c = GetParam();
    const QString line = QString::fromUtf8(c.line);
    // The database and the project hold the header as "$KEY=value" lines.
    const QString stored =
        QString(line).replace(line.indexOf(QLatin1Char(' ')), 1, QLatin1Char('='));
    // The project's name has a column of its own.
    const bool name = line.startsWith(QLatin1String("$PROJECTNAME "));
    const auto inDatabase = [&] {
        return name ? query(QStringLiteral("select PROJECTNAME from PROJECTS where FILENAME = "
                                           "'Work/W1.seq'"))
                              .value(0) == line.mid(13)
                    : storedHeader().contains(stored);
    };
    ASSERT_FALSE(fileBytes().contains(line.toLatin1()));
    c.change(*this);
    QApplication::processEvents();
    EXPECT_TRUE(project().ChangeState() & ChangeStateBits::HeaderChange) << project().ChangeState();
    EXPECT_TRUE(inDatabase()) << storedHeader().toStdString();
    project().Save();
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_TRUE(fileBytes().contains(line.toLatin1() + "\r\n")) << fileBytes().toStdString();
    EXPECT_TRUE(inDatabase());
    // Opened again from the database and the file, the project has the value.
    project().Close();
    charsPage->ClearRecentCharImage();
    project().OpenFile(tree->file(QStringLiteral("Work/W1.seq")));
    ASSERT_TRUE(project().ExistsInDatabase());
    refresh();
    if (name)
        EXPECT_EQ(project().ProjectName(), line.mid(13));
    else
        EXPECT_TRUE(project().Header().contains(stored)) << project().Header().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderRoundTrip,
    ::testing::Values(
        HeaderCase{"ProjectName",
                   [](HeaderRoundTrip &t) { t.input("BtnPRJProjectName", "Pump 2"); },
                   "$PROJECTNAME Pump 2"},
        HeaderCase{"Version", [](HeaderRoundTrip &t) { t.input("BtnPRJVersion", "3.2b"); },
                   "$VERSION 3.2b"},
        HeaderCase{"ShortDesc",
                   [](HeaderRoundTrip &t) { t.input("BtnPRJShortDesc", "Cover side"); },
                   "$SHORTDESC Cover side"},
        HeaderCase{"LongDesc",
                   [](HeaderRoundTrip &t) { t.input("BtnPRJLongDesc", "First line\nSecond line"); },
                   "$LONGDESC First line\\r\\nSecond line"},
        HeaderCase{"Units", [](HeaderRoundTrip &t) { t.comboUp("ComboPRJUnit"); }, "$UNITS 0"},
        HeaderCase{"Decimals", [](HeaderRoundTrip &t) { t.comboDown("ComboPRJDecimals"); },
                   "$NDECIMALS 3"},
        HeaderCase{"Limits", [](HeaderRoundTrip &t) { t.radio("Absolute")->click(); }, "$LIMITS 0"},
        HeaderCase{
            "RoutineChanges",
            [](HeaderRoundTrip &t) { t.control<QCheckBox>("ChkPRJRoutineChanges")->click(); },
            "$TYPE 1"},
        HeaderCase{"LogProfiles",
                   [](HeaderRoundTrip &t) { t.control<QCheckBox>("ChkPRJLogProfile")->click(); },
                   "$LOGPROFILES 1"},
        HeaderCase{"FormatFile",
                   [](HeaderRoundTrip &t) { t.pick("BtnPRJFormatFile", "Masters/SHAFT.fmt"); },
                   "$FORMAT SHAFT.fmt"},
        HeaderCase{"UserFields",
                   [](HeaderRoundTrip &t) {
                       t.write(QStringLiteral("Work/LINE.UIF"), "FIELD1\r\n");
                       t.pick("BtnPRJUserFields", "Work/LINE.UIF");
                   },
                   "$PICKLIST LINE.UIF"},
        HeaderCase{"CoverPicked",
                   [](HeaderRoundTrip &t) { t.pick("BtnPRJCoverImage", "Masters/cover.png"); },
                   "$COVERLABEL cover.png"},
        HeaderCase{"CoverTyped",
                   [](HeaderRoundTrip &t) {
                       auto *edit = t.control<QLineEdit>("EditPRJCoverImage");
                       edit->setFocus();
                       edit->selectAll();
                       QTest::keyClicks(edit, "face.kelb");
                       t.control<QWidget>("EditPRJVersion")->setFocus();
                   },
                   "$COVERLABEL face.kelb"}),
    [](const auto &info) { return std::string(info.param.name); });

struct LimitCase
{
    const char *name;
    const char *button;
    int limit;
};

class InputLimits : public ProjectInDatabase, public ::testing::WithParamInterface<LimitCase>
{
};

TEST_P(InputLimits, TypingStopsAtTheLimit)
{
    const LimitCase &c = GetParam();
    DialogAnswers answers(QString(c.limit + 5, QLatin1Char('x')));
    answers.typeInput();
    child<SpeedButton>(projectPage, c.button)->click();
    ASSERT_EQ(answers.typed.size(), 1);
    EXPECT_EQ(answers.typed.first(), QString(c.limit, QLatin1Char('x')));
}

INSTANTIATE_TEST_SUITE_P(Cases, InputLimits,
                         ::testing::Values(LimitCase{"ProjectName", "BtnPRJProjectName", 100},
                                           LimitCase{"Version", "BtnPRJVersion", 25},
                                           LimitCase{"ShortDesc", "BtnPRJShortDesc", 100},
                                           LimitCase{"LongDesc", "BtnPRJLongDesc", 400}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectInDatabase, AProjectNameOfTheLimitIsKept)
{
    const QString name(100, QLatin1Char('N'));
    DialogAnswers answers(name);
    answers.typeInput();
    child<SpeedButton>(projectPage, "BtnPRJProjectName")->click();
    EXPECT_EQ(project().ProjectName(), name);
    EXPECT_EQ(control<QLineEdit>("EditProjectName")->text(), name);
    EXPECT_EQ(query("select PROJECTNAME from PROJECTS where FILENAME = 'Work/W1.seq'"),
              QStringList({name}));
}

TEST_F(ProjectInDatabase, CancelledInputChangesNothing)
{
    const QString header = storedHeader();
    DialogAnswers cancel;
    for (const char *button :
         {"BtnPRJProjectName", "BtnPRJVersion", "BtnPRJShortDesc", "BtnPRJLongDesc"})
        child<SpeedButton>(projectPage, button)->click();
    EXPECT_EQ(cancel.prompts.size(), 4);
    PickerAnswerGuard none([](const PickerRequest &) { return QStringList(); });
    for (const char *button : {"BtnPRJFormatFile", "BtnPRJUserFields", "BtnPRJCoverImage"})
        child<SpeedButton>(projectPage, button)->click();
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_EQ(storedHeader(), header);
}

// A picked file the project cannot take: a message, and nothing changes.
struct RefusedFile
{
    const char *name;
    const char *button;
    const char *picked;
    const char *message;
};

class RefusedFiles : public ProjectInDatabase, public ::testing::WithParamInterface<RefusedFile>
{
};

TEST_P(RefusedFiles, LeaveTheHeaderAlone)
{
    const RefusedFile &c = GetParam();
    write(QStringLiteral("Masters/Long name.fmt"), "format");
    write(QStringLiteral("Other/HOUSING.FMT"), "another format");
    const QString header = storedHeader();
    PickerAnswerGuard picker(
        [&](const PickerRequest &) { return QStringList({tree->file(QLatin1String(c.picked))}); });
    DialogAnswers answers;
    child<SpeedButton>(projectPage, c.button)->click();
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(answers.messages.first().startsWith(
        QString::fromUtf8(c.message).replace(QLatin1Char('\r'), QLatin1Char('\n'))))
        << answers.messages.first().toStdString();
    EXPECT_EQ(storedHeader(), header);
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_EQ(control<QLineEdit>("EditPRJFormatFile")->text(), QStringLiteral("HOUSING.FMT"));
    EXPECT_FALSE(QFile::exists(tree->file(QStringLiteral("Work/Long name.fmt"))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedFiles,
    ::testing::Values(
        RefusedFile{"NotEightThree", "BtnPRJFormatFile", "Masters/Long name.fmt",
                    "Invalid file name.\r\rFilename must comply with DOS 8.3 convention."},
        RefusedFile{"DifferentFileOfTheName", "BtnPRJFormatFile", "Other/HOUSING.FMT",
                    "The project folder already holds a different file named \"HOUSING.FMT\""},
        RefusedFile{"CoverOfAnotherPicture", "BtnPRJCoverImage", "Other/HOUSING.FMT",
                    "The project folder already holds a different file named \"HOUSING.FMT\""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectInDatabase, TheSameFileFromElsewhereIsTakenWithoutACopy)
{
    // The project folder holds a file of that name with the same contents.
    write(QStringLiteral("Work/LINE.UIF"), "FIELD1\r\n");
    write(QStringLiteral("Other/LINE.UIF"), "FIELD1\r\n");
    PickerAnswerGuard picker([&](const PickerRequest &) {
        return QStringList({tree->file(QStringLiteral("Other/LINE.UIF"))});
    });
    DialogAnswers answers;
    control<SpeedButton>("BtnPRJUserFields")->click();
    EXPECT_TRUE(answers.messages.isEmpty());
    EXPECT_EQ(project().Picklist(), QStringLiteral("LINE.UIF"));
    EXPECT_EQ(control<QLineEdit>("EditPRJUserFields")->text(), QStringLiteral("LINE.UIF"));
}

struct TypedCover
{
    const char *name;
    const char *typed;
    bool accepted;
};

class TypedCoverName : public ProjectInDatabase, public ::testing::WithParamInterface<TypedCover>
{
};

TEST_P(TypedCoverName, BareNamesOnly)
{
    const TypedCover &c = GetParam();
    auto *edit = control<QLineEdit>("EditPRJCoverImage");
    const QString before = project().ImageFileName();
    DialogAnswers answers;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(c.typed));
    control<QWidget>("EditPRJVersion")->setFocus();
    QApplication::processEvents();
    if (c.accepted) {
        EXPECT_TRUE(answers.messages.isEmpty());
        EXPECT_EQ(project().ImageFileName(), QString::fromUtf8(c.typed));
    } else {
        EXPECT_EQ(answers.messages,
                  QStringList({QStringLiteral("Invalid file name.\n\nFilename must comply with DOS "
                                              "8.3 convention.")}));
        EXPECT_EQ(project().ImageFileName(), before);
        EXPECT_EQ(edit->text(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedCoverName,
                         ::testing::Values(TypedCover{"Bare", "bore.png", true},
                                           TypedCover{"Missing", "later.png", true},
                                           TypedCover{"Parent", "../cover.png", false},
                                           TypedCover{"Folder", "Masters/cover.png", false},
                                           TypedCover{"Dots", "..", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectInDatabase, AHeaderChangeSettlesTheEditorsLogFirst)
{
    charsPage->show();
    gotoLabel(QStringLiteral("H1"));
    preview->Execute();
    preview->resize(610, 450);
    QApplication::processEvents();
    preview->BulletBtnClick();
    const QString before =
        project().DataSetChars().fieldByName(QStringLiteral("IMAGEX")).asString();
    preview->PlacePointAt({100, 150});
    ASSERT_NE(project().DataSetChars().fieldByName(QStringLiteral("IMAGEX")).asString(), before);

    // Cancelled: the header stays, the log too.
    {
        DialogAnswers answers(QStringLiteral("4.0"));
        answers.answerMessages({mrCancel});
        control<SpeedButton>("BtnPRJVersion")->click();
        EXPECT_EQ(answers.messages, QStringList({QStringLiteral("Save changes?")}));
        EXPECT_EQ(project().Version(), QStringLiteral("2.1"));
        EXPECT_GT(project().DataSetChars().changeCount(), 0);
    }
    // No: the points go back, then the header changes and reaches the database.
    {
        DialogAnswers answers(QStringLiteral("4.0"));
        answers.answerMessages({mrNo});
        control<SpeedButton>("BtnPRJVersion")->click();
        EXPECT_EQ(project().Version(), QStringLiteral("4.0"));
        EXPECT_EQ(project().DataSetChars().fieldByName(QStringLiteral("IMAGEX")).asString(),
                  before);
        EXPECT_EQ(stored("IMAGEX").value(0), before);
        EXPECT_TRUE(storedHeader().contains(QStringLiteral("$VERSION=4.0")));
    }
    DialogAnswers none;
    preview->close();
    EXPECT_TRUE(none.messages.isEmpty());
}

} // namespace
