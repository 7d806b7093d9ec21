// Header values that hold line breaks: each stays on its one line of the file and of the stored
// header, and reads back as it was.
#include "core/lib/qstringprinter.h"
#include "core/sequence/filetype.h"
#include "core/sequence/sequencefile.h"
#include "lifecyclefixture.h"

#include <QRegularExpression>
#include <QSet>

#include <functional>

using namespace tev;
using namespace tev::test;

namespace {

using HeaderLineBreaks = LifecycleTest;

struct Property
{
    const char *name;
    std::function<void(TTevProject &, const QString &)> set;
    std::function<QString(const TTevProject &)> get;
};

const Property kProperties[] = {
    {"ProjectName", &TTevProject::SetProjectName, &TTevProject::ProjectName},
    {"ShortDesc", &TTevProject::SetShortDesc, &TTevProject::ShortDesc},
    {"Version", &TTevProject::SetVersion, &TTevProject::Version},
    {"LongDesc", &TTevProject::SetLongDesc, &TTevProject::LongDesc},
    {"ImageFileName", &TTevProject::SetImageFileName, &TTevProject::ImageFileName},
};

const std::pair<const char *, QString> kValues[] = {
    {"CR LF", QStringLiteral("first\r\nsecond")},
    {"LF", QStringLiteral("first\nsecond")},
    {"CR", QStringLiteral("first\rsecond")},
    {"a header line", QStringLiteral("x\r\n$GENERATOR Ombrix")},
};

// What is wrong with the header of a file: a line before "$ROUTINE" that is no keyword line, or
// a keyword written twice. Empty when nothing is.
QString headerFault(const QStringList &lines)
{
    QSet<QString> keywords;
    for (const QString &line : lines) {
        if (line == QLatin1String("$ROUTINE"))
            return {};
        if (!line.startsWith(QLatin1Char('$')))
            return QStringLiteral("not a keyword line: ") + line;
        const QString keyword = line.section(QLatin1Char(' '), 0, 0);
        if (keywords.contains(keyword))
            return QStringLiteral("written twice: ") + keyword;
        keywords.insert(keyword);
    }
    return QStringLiteral("no $ROUTINE");
}

} // namespace

TEST_F(HeaderLineBreaks, EveryValueIsOneLineAndReadsBackTheSame)
{
    int n = 0;
    for (const Property &property : kProperties) {
        for (const auto &[kind, value] : kValues) {
            const std::string label = std::string(property.name) + ", " + kind;
            const QString relative = QStringLiteral("Work/Case%1.seq").arg(++n);
            createWork(relative, QStringLiteral("Case"), {SequenceTree::Housing});
            property.set(m_project, value);
            m_project.Save();

            const QStringList lines = LoadSequenceLines(m_tree.file(relative), nullptr);
            EXPECT_EQ(headerFault(lines), QString()) << label;
            EXPECT_EQ(lines.filter(QRegularExpression("^\\$GENERATOR ")),
                      QStringList({"$GENERATOR Tevora"}))
                << label;
            for (const QString &line : m_project.Header().split(QStringLiteral("\r\n")))
                EXPECT_TRUE(line.startsWith(QLatin1Char('$')))
                    << label << ": " << line.toStdString();

            m_project.OpenFile(m_tree.file(relative));
            EXPECT_EQ(property.get(m_project), value) << label;
            EXPECT_EQ(m_project.FileType(), TTevFileType::pftSEQ) << label;
            EXPECT_EQ(m_project.Generator(), QStringLiteral("Tevora")) << label;
            EXPECT_TRUE(m_project.ExistsInDatabase()) << label;
            EXPECT_EQ(m_project.ChangeState(), 0u) << label;
        }
    }
}

// A name with a line break that another client stored in the database reaches the file as one
// line too.
TEST_F(HeaderLineBreaks, ANameStoredByAnotherClientKeepsTheFileWhole)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    exec("update PROJECTS set PROJECTNAME = 'x' || ascii_char(13) || ascii_char(10) || "
         "'$GENERATOR Ombrix' || ascii_char(10) || 'y'");
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    const QString stored = QStringLiteral("x\r\n$GENERATOR Ombrix\ny");
    ASSERT_EQ(m_project.ProjectName(), stored);
    m_project.Save();

    const QStringList lines = LoadSequenceLines(m_tree.file(SequenceTree::Line1), nullptr);
    EXPECT_EQ(headerFault(lines), QString());
    EXPECT_TRUE(lines.contains("$PROJECTNAME x\\r\\n$GENERATOR Ombrix\\ny"));
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(m_project.ProjectName(), stored);
    EXPECT_EQ(m_project.Generator(), QStringLiteral("Tevora"));
    EXPECT_TRUE(m_project.ExistsInDatabase());
    EXPECT_EQ(m_project.ChangeState(), 0u);
}
