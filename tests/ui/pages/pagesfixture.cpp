#include "pagesfixture.h"

#include "core/db/tevdatamodule.h"
#include "core/sequence/sequencecolumns.h"
#include "platform/dataset/memdataset.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QSqlError>
#include <QSqlQuery>

namespace tev::test {

namespace {

int columnIndex(const char *name)
{
    for (size_t i = 0; i < kSequenceColumns.size(); ++i)
        if (kSequenceColumns[i].name == name)
            return int(i);
    ADD_FAILURE() << "no sequence column " << name;
    return 0;
}

QString text(const QVariant &value)
{
    return value.isValid() ? value.toString() : QString();
}

} // namespace

QString SequenceText(const QStringList &header, const std::vector<CharDef> &chars)
{
    QStringList lines;
    for (const QString &line : header)
        lines << line;
    lines << QStringLiteral("$ROUTINE") << SequenceColumnLine();
    for (const CharDef &c : chars) {
        QStringList fields(int(kSequenceColumns.size()));
        fields[columnIndex("LABEL")] = c.label;
        fields[columnIndex("POINTNAME")] = c.point;
        fields[columnIndex("FEATURE")] = c.type;
        fields[columnIndex("GROUPNAME")] = c.group;
        fields[columnIndex("NOM_VALUE")] = text(c.nominal);
        fields[columnIndex("MIN_VALUE")] = text(c.lsl);
        fields[columnIndex("MAX_VALUE")] = text(c.usl);
        fields[columnIndex("BMP_IMAGE")] = c.image;
        fields[columnIndex("BMP_COL")] = text(c.x);
        fields[columnIndex("BMP_ROW")] = text(c.y);
        lines << fields.join(QLatin1Char('\t')) + QLatin1Char('\t');
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

PagesFixture::PagesFixture()
{
    app = std::make_unique<TTevApp>(nullptr, env.exeName());
    QDir().mkpath(env.file(QStringLiteral("seq")));
    app->SetSEQDir(env.file(QStringLiteral("seq")));

    window = std::make_unique<QWidget>();
    window->resize(1280, 720);
    auto *layout = new QHBoxLayout(window.get());
    datSrcProject = new DataSetModel(&project().DataSetProject(), window.get());
    datSrcChars = new DataSetModel(&project().DataSetChars(), window.get());
    projectPage = new TTevProjectPage(window.get());
    charsPage = new TTevCharsPage(window.get());
    layout->addWidget(projectPage);
    layout->addWidget(charsPage);
    preview = new TTevPreviewDlg(window.get());
    preview->SetApp(app.get());
    preview->SetDataSource(datSrcChars);
    projectPage->SetApp(app.get());
    projectPage->SetDataSources(datSrcProject, datSrcChars);
    projectPage->SetPreviewDlg(preview);
    charsPage->SetApp(app.get());
    charsPage->SetDataSources(datSrcProject, datSrcChars);
    charsPage->SetPreviewDlg(preview);
    QObject::connect(&project(), &TTevProject::OnChange, window.get(), [this] { refresh(); });
    QObject::connect(&project(), &TTevProject::OnStateChanged, window.get(), [this] {
        charsPage->SetEditingEnabled(project().ExistsInDatabase());
        preview->PnlTools()->setEnabled(project().ExistsInDatabase());
    });
}

PagesFixture::~PagesFixture()
{
    // The window and its models go before the project they are bound to.
    window.reset();
    app.reset();
}

QString PagesFixture::seqDir() const
{
    return env.file(QStringLiteral("seq"));
}

QString PagesFixture::writeFile(const QString &relative, const QString &content) const
{
    const QString name = QDir(seqDir()).filePath(relative);
    QDir().mkpath(QFileInfo(name).path());
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    file.write(content.toLatin1());
    return name;
}

QString PagesFixture::writePicture(const QString &relative, QSize size, const QColor &color) const
{
    const QString name = QDir(seqDir()).filePath(relative);
    QDir().mkpath(QFileInfo(name).path());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(name)) << name.toStdString();
    return name;
}

void PagesFixture::readFile(const QString &fileName)
{
    charsPage->ClearRecentCharImage();
    project().ReadSequenceFile(fileName);
    project().DataSetChars().first();
    refresh();
}

void PagesFixture::openWork()
{
    tree = std::make_unique<SequenceTree>();
    app->SetSEQDir(tree->root());
    ASSERT_TRUE(app->Data().Connected());
    ASSERT_TRUE(project().New(tree->file(QStringLiteral("Work/W1.seq")), QStringLiteral("W1"),
                              TTevFileType::pftSEQ, SequenceTree::Housing, {}, {}));
    project().AddMasterProject(SequenceTree::Shaft);
    project().Save();
    ASSERT_TRUE(project().ExistsInDatabase());
    charsPage->ClearRecentCharImage();
    project().DataSetChars().first();
    refresh();
}

QStringList PagesFixture::routine()
{
    MemDataSet &chars = project().DataSetChars();
    QStringList result;
    const MemDataSet::Bookmark mark = chars.bookmark();
    for (chars.first(); !chars.eof(); chars.next())
        result << chars.fieldByName(QStringLiteral("GROUPNAME")).asString() + QLatin1Char('/') +
                      chars.fieldByName(QStringLiteral("LABEL")).asString();
    if (chars.bookmarkValid(mark))
        chars.gotoBookmark(mark);
    return result;
}

QStringList PagesFixture::query(const QString &sql) const
{
    QSqlQuery q(app->Data().Database()->database());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    QStringList result;
    while (q.next())
        result << q.value(0).toString();
    return result;
}

QStringList PagesFixture::stored(const QString &column) const
{
    return query(QStringLiteral("select c.%1 from CHARACTERISTICS c join PROJECTS p on "
                                "p.PROJECTID = c.PROJECTID where p.FILENAME = '%2' order by "
                                "c.CHARID")
                     .arg(column, project().RelativeFileName()));
}

QByteArray PagesFixture::fileBytes() const
{
    QFile file(project().FileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PagesFixture::refresh()
{
    const bool inDB = project().ExistsInDatabase();
    charsPage->GridChars()->SetReadOnly(project().Generator() != QLatin1String("Tevora"));
    charsPage->SetEditingEnabled(inDB);
    preview->PnlTools()->setEnabled(inDB);
    projectPage->UpdateProjectPage();
    projectPage->UpdateCoverImage();
    charsPage->UpdateCharImage();
    charsPage->FillFilterLists();
}

void PagesFixture::gotoLabel(const QString &label)
{
    ASSERT_TRUE(project().DataSetChars().locate(QStringLiteral("LABEL"), {label}))
        << label.toStdString();
}

} // namespace tev::test
