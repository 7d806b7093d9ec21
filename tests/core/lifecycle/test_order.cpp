#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "lifecyclefixture.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QDir>

using namespace tev;
using namespace tev::test;

namespace {

// Line 2 in the database: Bore (H1-H3), Face (H4-H6), Diameter (S1, S2), Runout (S3, S4).
class Order : public LifecycleTest
{
protected:
    Order()
    {
        createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    }

    MemDataSet &chars() { return m_project.DataSetChars(); }
    void go(const QString &label) { ASSERT_TRUE(chars().locate("LABEL", {label})); }
    QString current() { return chars().fieldByName("LABEL").asString(); }
    // The routine as "GROUPID GROUPNAME CHARID LABEL".
    QStringList numbers()
    {
        QStringList result;
        const MemDataSet::Bookmark mark = chars().bookmark();
        for (chars().first(); !chars().eof(); chars().next())
            result << QString("%1 %2 %3 %4")
                          .arg(chars().fieldByName("GROUPID").asInteger())
                          .arg(chars().fieldByName("GROUPNAME").asString())
                          .arg(chars().fieldByName("CHARID").asInteger())
                          .arg(chars().fieldByName("LABEL").asString());
        if (chars().bookmarkValid(mark))
            chars().gotoBookmark(mark);
        return result;
    }
    // The stored rows in the same form.
    QStringList stored() const
    {
        return column("select GROUPID || ' ' || GROUPNAME || ' ' || CHARID || ' ' || LABEL from "
                      "CHARACTERISTICS order by GROUPID, CHARID");
    }
    void set(const QString &label, const QString &field, const QVariant &value)
    {
        go(label);
        chars().edit();
        chars().fieldByName(field).setValue(value);
        chars().post();
    }
    bool noTempIds()
    {
        MemDataSet &ds = chars();
        const MemDataSet::Bookmark mark = ds.bookmark();
        const bool filtered = ds.filtered();
        ds.setFiltered(false);
        bool none = true;
        for (ds.first(); !ds.eof(); ds.next())
            none = none && ds.fieldByName("TEMPID").isNull();
        ds.setFiltered(filtered);
        if (ds.bookmarkValid(mark))
            ds.gotoBookmark(mark);
        return none;
    }
};

} // namespace

TEST_F(Order, RenumberKeepsSeparateRunsOfOneNameApart)
{
    m_project.BeginUpdate();
    for (const char *label : {"H4", "H5", "H6", "S1", "S2", "S3", "S4"}) {
        go(label);
        chars().deleteRecord();
    }
    set("H1", "GROUPID", 3);
    set("H1", "CHARID", 5);
    set("H2", "GROUPNAME", "B");
    set("H2", "GROUPID", 7);
    set("H2", "CHARID", 2);
    set("H3", "GROUPNAME", "Bore");
    set("H3", "GROUPID", 9);
    set("H3", "CHARID", 8);
    m_project.EndUpdate();
    m_project.RenumberChars();
    EXPECT_EQ(numbers(), QStringList({"3 Bore 1 H1", "4 B 2 H2", "5 Bore 3 H3"}));
    EXPECT_EQ(stored(), QStringList({"3 Bore 1 H1", "4 B 2 H2", "5 Bore 3 H3"}));
    EXPECT_TRUE(noTempIds());
    EXPECT_FALSE(m_project.IsUpdating());
}

TEST_F(Order, MoveCharacteristic)
{
    // Up on the first characteristic of the view changes nothing.
    const QStringList before = numbers();
    go("H1");
    m_project.MoveCharacteristic(true);
    EXPECT_EQ(numbers(), before);
    EXPECT_EQ(m_project.ChangeState(), 0u);

    // Up on the first of Face: it joins Bore and keeps its number.
    go("H4");
    m_project.MoveCharacteristic(true);
    EXPECT_EQ(current(), "H4");
    EXPECT_EQ(numbers().mid(0, 5), QStringList({"1 Bore 1 H1", "1 Bore 2 H2", "1 Bore 3 H3",
                                                "1 Bore 4 H4", "2 Face 5 H5"}));
    EXPECT_EQ(stored().mid(0, 5), numbers().mid(0, 5));
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::CharacteristicsChanged);

    // Down within a group exchanges the numbers; the moved one stays current.
    go("H1");
    m_project.MoveCharacteristic(false);
    EXPECT_EQ(current(), "H1");
    EXPECT_EQ(numbers().mid(0, 2), QStringList({"1 Bore 1 H2", "1 Bore 2 H1"}));
    EXPECT_EQ(stored().mid(0, 2), QStringList({"1 Bore 1 H2", "1 Bore 2 H1"}));
    EXPECT_FALSE(m_project.IsUpdating());
}

TEST_F(Order, MoveGroupSwapsWithTheNeighbouringGroup)
{
    go("H5");
    m_project.MoveGroup(false);
    EXPECT_EQ(current(), "H5");
    EXPECT_EQ(numbers(),
              QStringList({"1 Bore 1 H1", "1 Bore 2 H2", "1 Bore 3 H3", "2 Diameter 4 S1",
                           "2 Diameter 5 S2", "3 Face 6 H4", "3 Face 7 H5", "3 Face 8 H6",
                           "4 Runout 9 S3", "4 Runout 10 S4"}));
    EXPECT_EQ(stored(), numbers());
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::CharacteristicsChanged);

    // The first group up and the last group down stay where they are.
    go("H1");
    const QStringList before = numbers();
    m_project.MoveGroup(true);
    go("S4");
    m_project.MoveGroup(false);
    EXPECT_EQ(numbers(), before);
}

// A gap in the group numbers (a characteristic moved into another group leaves one) does not
// make the move do nothing.
TEST_F(Order, MoveGroupOverAGapInTheNumbers)
{
    m_project.BeginUpdate();
    for (const char *label : {"S1", "S2"})
        set(label, "GROUPID", 7);
    for (const char *label : {"S3", "S4"})
        set(label, "GROUPID", 9);
    m_project.EndUpdate();
    go("S3");
    m_project.MoveGroup(true);
    EXPECT_EQ(current(), "S3");
    EXPECT_EQ(numbers().mid(6), QStringList({"3 Runout 7 S3", "3 Runout 8 S4", "4 Diameter 9 S1",
                                             "4 Diameter 10 S2"}));
}

TEST_F(Order, MoveFeatureToGroup)
{
    go("H1");
    m_project.MoveFeatureToGroup("Face", "F2", "Nowhere", -1);
    EXPECT_EQ(stored(), numbers());
    EXPECT_EQ(m_project.ChangeState(), 0u);
    m_project.MoveFeatureToGroup("Face", "F2", "Face", -1);
    EXPECT_EQ(m_project.ChangeState(), 0u);

    m_project.MoveFeatureToGroup("Face", "F2", "Bore", -1);
    EXPECT_EQ(current(), "H5");
    EXPECT_EQ(numbers().mid(0, 6), QStringList({"1 Bore 1 H1", "1 Bore 2 H2", "1 Bore 3 H3",
                                                "1 Bore 4 H5", "2 Face 5 H4", "2 Face 6 H6"}));
    EXPECT_EQ(stored(), numbers());
    EXPECT_TRUE(m_project.ChangeState() & ChangeStateBits::CharacteristicsChanged);
}

TEST_F(Order, ExchangeFeaturesSwapsTwoNeighbouringRuns)
{
    // One group "G'1" with the points A (1-3), F1 (4, 5), F2 (6-8) and B (9, 10).
    const QStringList points{"A", "A", "A", "F1", "F1", "F2", "F2", "F2", "B", "B"};
    m_project.BeginUpdate();
    int i = 0;
    for (const char *label : {"H1", "H2", "H3", "H4", "H5", "H6", "S1", "S2", "S3", "S4"}) {
        set(label, "GROUPNAME", "G'1");
        set(label, "GROUPID", 1);
        set(label, "FEATURE", points[i++]);
    }
    m_project.EndUpdate();
    m_project.SetCharFilter("CHARID > 2");
    auto byCharId = [&] {
        QStringList result;
        chars().setIndexName("IDX_CHARID");
        const bool filtered = chars().filtered();
        chars().setFiltered(false);
        for (chars().first(); !chars().eof(); chars().next())
            result << chars().fieldByName("FEATURE").asString() + ":" +
                          chars().fieldByName("LABEL").asString();
        chars().setFiltered(filtered);
        chars().setIndexName("IDX_GROUPID_CHARID");
        return result;
    };
    m_project.ExchangeFeatures("G'1", "F1", "F2");
    EXPECT_EQ(current(), "H4");
    EXPECT_EQ(byCharId(), QStringList({"A:H1", "A:H2", "A:H3", "F2:H6", "F2:S1", "F2:S2", "F1:H4",
                                       "F1:H5", "B:S3", "B:S4"}));
    EXPECT_EQ(chars().filter(), "CHARID > 2");
    EXPECT_TRUE(chars().filtered());
    EXPECT_TRUE(noTempIds());
    EXPECT_EQ(column("select LABEL from CHARACTERISTICS order by CHARID"),
              QStringList({"H1", "H2", "H3", "H6", "S1", "S2", "H4", "H5", "S3", "S4"}));
    EXPECT_TRUE(m_project.ChangeState() & ChangeStateBits::CharacteristicsChanged);

    // Runs that are not neighbours, or missing, are refused and change nothing.
    const QStringList before = byCharId();
    for (const auto &[f1, f2] : {std::pair{"A", "B"}, {"F1", "Z"}, {"F1", "F1"}, {"A", "F1"}}) {
        EXPECT_THROW(m_project.ExchangeFeatures("G'1", f1, f2), Error) << f1 << " " << f2;
        EXPECT_EQ(byCharId(), before);
        EXPECT_TRUE(noTempIds());
        EXPECT_EQ(chars().filter(), "CHARID > 2");
        EXPECT_EQ(chars().indexName(), "IDX_GROUPID_CHARID");
        EXPECT_FALSE(m_project.IsUpdating());
    }
}

TEST_F(Order, RenameGroup)
{
    // The group is taken from the old group's first characteristic, not the current record.
    go("H1");
    m_project.RenameGroup("Face", "Front");
    EXPECT_EQ(current(), "H1");
    EXPECT_EQ(numbers().mid(3, 3), QStringList({"2 Front 4 H4", "2 Front 5 H5", "2 Front 6 H6"}));

    // Into a name another group has: both join that group's number.
    m_project.RenameGroup("Runout", "Diameter");
    EXPECT_EQ(numbers().mid(6), QStringList({"3 Diameter 7 S1", "3 Diameter 8 S2",
                                             "3 Diameter 9 S3", "3 Diameter 10 S4"}));
    EXPECT_EQ(stored(), numbers());
    EXPECT_TRUE(m_project.ChangeState() & ChangeStateBits::CharacteristicsChanged);
    EXPECT_EQ(m_project.Groups(1), "Face"); // the group list is not changed

    const QStringList before = numbers();
    for (const QString &bad : {QString(), QString("  "), QString("a\tb"), QString("a\rb"),
                               QString("a\nb"), QString(101, 'x')}) {
        EXPECT_THROW(m_project.RenameGroup("Bore", bad), Error);
        EXPECT_EQ(numbers(), before);
    }
    m_project.RenameGroup("Bore", QString(100, 'x'));
    EXPECT_EQ(chars().fieldByName("GROUPNAME").asString(), QString(100, 'x'));
}

TEST_F(Order, ChangeGroupImage)
{
    go("H2");
    EXPECT_EQ(m_project.ChangeGroupImage("Bore", m_tree.file("Masters/Bore detail.png")), 2u);
    EXPECT_EQ(m_project.ChangeGroupImage("Bore", "Masters/missing.png"), 2u);
    EXPECT_EQ(m_project.ChangeState(), 0u);
    EXPECT_EQ(m_project.ChangeGroupImage("Bore", m_tree.file("Masters/shaft.png")), 0u);
    EXPECT_EQ(current(), "H2");
    EXPECT_EQ(column("select LABEL || ' ' || IMAGE from CHARACTERISTICS where CHARID <= 4 order "
                     "by CHARID"),
              QStringList({"H1 shaft.png", "H2 shaft.png", "H3 shaft.png", "H4 face.kelb"}));
    EXPECT_EQ(m_project.GetCharParam("BMP_IMAGE"), "shaft.png");
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::CharacteristicsChanged);

    m_project.Close();
    EXPECT_EQ(m_project.ChangeGroupImage("Bore", m_tree.file("Masters/shaft.png")), 1u);
}

TEST_F(Order, ToggleSelectedCharTwice)
{
    go("S2");
    m_project.ToggleSelectedChar();
    EXPECT_EQ(chars().fieldByName("ACTIVE").asInteger(), 0);
    EXPECT_EQ(column("select ACTIVE from CHARACTERISTICS where LABEL = 'S2'"), QStringList({"0"}));
    m_project.ToggleSelectedChar();
    EXPECT_EQ(chars().fieldByName("ACTIVE").asInteger(), 1);
    EXPECT_EQ(column("select ACTIVE from CHARACTERISTICS where LABEL = 'S2'"), QStringList({"1"}));
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::CharacteristicsChanged);
    EXPECT_EQ(chars().state(), DataSetState::Browse);
}

// The texts the operations build parse in the dataset's filter engine.
TEST_F(Order, FilterTexts)
{
    set("H1", "GROUPNAME", "O'Brien");
    for (const QString &filter :
         {QString("GROUPNAME = 'O''Brien'"), QString("(GROUPID = 1 ) or (GROUPID = 2)"),
          QString("(GROUPNAME = 'O''Brien') and (FEATURE = 'B1')"), QString("TEMPID > 0")}) {
        EXPECT_NO_THROW(m_project.SetCharFilter(filter)) << filter.toStdString();
        EXPECT_TRUE(chars().filtered());
    }
    m_project.SetCharFilter("(GROUPNAME = 'O''Brien') and (FEATURE = 'B1')");
    EXPECT_EQ(chars().recordCount(), 1);
    m_project.SetCharFilter("");
    EXPECT_FALSE(chars().filtered());
    EXPECT_EQ(chars().filter(), "");
    EXPECT_EQ(chars().recordCount(), 10);
    EXPECT_THROW(m_project.SetCharFilter("GROUPNAME = "), Error);
    EXPECT_FALSE(chars().filtered());
}

TEST_F(Order, DistinctValues)
{
    set("H4", "GROUPNAME", "Bore");
    go("S1");
    m_project.SetCharFilter("GROUPNAME = 'Runout'");
    go("S4");
    EXPECT_EQ(m_project.GetDistinctCharFieldValues("GROUPNAME"),
              "Bore\r\nFace\r\nDiameter\r\nRunout\r\n");
    // A caller such as a script keeps its filter and its record.
    EXPECT_TRUE(chars().filtered());
    EXPECT_EQ(chars().filter(), "GROUPNAME = 'Runout'");
    EXPECT_EQ(chars().recordCount(), 2);
    EXPECT_EQ(current(), "S4");
    EXPECT_EQ(m_project.GetDistinctCharFieldValues("REF_FILENAME"),
              "Masters/Housing.seq\r\nMasters/Shaft.seq\r\n");
    EXPECT_TRUE(chars().filtered());
    EXPECT_EQ(current(), "S4");
    go("S3");
    chars().setIndexName("IDX_LABEL");
    EXPECT_THROW(m_project.GetDistinctCharFieldValues("LABEL"), Error);
    EXPECT_EQ(chars().indexName(), "IDX_LABEL");
    EXPECT_TRUE(chars().filtered());
    EXPECT_EQ(current(), "S3");
    // Without a filter none is switched on.
    m_project.SetCharFilter("");
    go("H5");
    m_project.GetDistinctCharFieldValues("GROUPNAME");
    EXPECT_FALSE(chars().filtered());
    EXPECT_EQ(chars().recordCount(), 10);
    EXPECT_EQ(current(), "H5");

    set("H1", "GROUPNAME", "");
    EXPECT_TRUE(m_project.GetDistinctCharFieldValues("GROUPNAME").startsWith("\r\nBore\r\n"));
    m_project.Close();
    EXPECT_EQ(m_project.GetDistinctCharFieldValues("GROUPNAME"), "");
}

// The 8.3 check looks at the file where it is named (below the sequence folder for a relative
// name), never in the process's current folder.
TEST_F(Order, ValidDependsFileName)
{
    writeBytes(m_tree.file("Masters/LONGNAME1.png"), "x");
    writeBytes(m_tree.file("Masters/a.b.png"), "x");
    writeBytes(m_tree.file("Masters/A+B.png"), "x");
    writeBytes(m_tree.file("Masters/NOEXT"), "x");
    writeBytes(m_tree.file("Masters/PIC.JPEG"), "x");
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_tree.file("Work")));
    const std::pair<QString, bool> cases[] = {
        {m_tree.file("Masters/bore.png"), true},
        {"Masters/bore.png", true},
        {"bore.png", false}, // in the current folder only
        {m_tree.file("Masters/Bore detail.png"), false},
        {m_tree.file("Masters/missing.png"), false},
        {m_tree.file("Masters/LONGNAME1.png"), false},
        {m_tree.file("Masters/a.b.png"), false},
        {m_tree.file("Masters/A+B.png"), false},
        {m_tree.file("Masters/NOEXT"), true},
        {m_tree.file("Masters/PIC.JPEG"), false},
        {m_tree.file("Masters"), false},
    };
    for (const auto &[name, valid] : cases)
        EXPECT_EQ(m_project.ValidDependsFileName(name), valid) << name.toStdString();
    QDir::setCurrent(cwd);
}

// An error of the database leaves the view as it was and the update flag clear.
TEST_F(Order, ADatabaseErrorRestoresTheView)
{
    m_project.SetCharFilter("CHARID > 1");
    go("H5");
    m_data.Database()->database().close();
    EXPECT_THROW(m_project.MoveGroup(false), Error);
    EXPECT_FALSE(m_project.IsUpdating());
    EXPECT_TRUE(noTempIds());
    EXPECT_EQ(chars().filter(), "CHARID > 1");
    EXPECT_EQ(chars().indexName(), "IDX_GROUPID_CHARID");
    EXPECT_EQ(current(), "H5");
    EXPECT_THROW(m_project.ToggleSelectedChar(), Error);
    EXPECT_EQ(chars().fieldByName("ACTIVE").asInteger(), 1);
    EXPECT_EQ(chars().state(), DataSetState::Browse);
}
