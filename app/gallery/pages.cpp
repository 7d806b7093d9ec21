// Scenes of the project and characteristics pages and of the image point editor, on a real
// project: an application object on an embedded database in a temporary application root, and
// sequence files with pictures in its sequence folder.

#include "gallery.h"

#include "core/app/tevapp.h"
#include "core/db/firebirdembedded.h"
#include "core/lib/knownfolders.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "platform/dataset/memdataset.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {

using namespace tev;
using tev::gallery::Gallery;

class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_saved(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_saved) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_saved;
};

// The engine's lock and sort folders are read once per process: one pair for the whole run.
QString FirebirdScratch()
{
    static QTemporaryDir scratch;
    return scratch.path();
}

// An application root of its own, so that no scene touches the build's database, the user's
// home or machine-wide folders.
class GalleryApp
{
public:
    GalleryApp()
        : m_appData("TEVORA_COMMON_APPDATA", QFile::encodeName(path("common/appdata")))
        , m_documents("TEVORA_COMMON_DOCUMENTS", QFile::encodeName(path("common/documents")))
        , m_home("HOME", QFile::encodeName(path("home")))
        , m_dataHome("XDG_DATA_HOME", QFile::encodeName(path("home/.local/share")))
        , m_configHome("XDG_CONFIG_HOME", QFile::encodeName(path("home/.config")))
    {
        const QString buildFirebird = QCoreApplication::applicationDirPath() + "/../FB";
        if (!FirebirdEnvironmentPrepared()) {
            qputenv("FIREBIRD_LOCK", QFile::encodeName(FirebirdScratch() + "/lock"));
            qputenv("FIREBIRD_TMP", QFile::encodeName(FirebirdScratch() + "/tmp"));
            PrepareFirebirdEnvironment(buildFirebird);
        }
        QDir root(m_root.path());
        root.mkpath("Config");
        root.mkpath("bin");
        root.mkpath("seq");
        QFile::link(buildFirebird, root.filePath("FB"));
        QFile exe(root.filePath("bin/tevora"));
        if (exe.open(QIODevice::WriteOnly))
            exe.write(QByteArray("TevoraFileVersion=" TEVORA_VERSION) + '\0');
        exe.close();
        app = std::make_unique<TTevApp>(nullptr, exe.fileName());
        app->SetSEQDir(seqDir());
    }

    ~GalleryApp() { app.reset(); }

    QString path(const char *relative) const { return m_root.filePath(relative); }
    QString seqDir() const { return path("seq"); }
    TTevProject &project() const { return app->Project(); }

private:
    QTemporaryDir m_root;
    ScopedEnv m_appData;
    ScopedEnv m_documents;
    ScopedEnv m_home;
    ScopedEnv m_dataHome;
    ScopedEnv m_configHome;

public:
    std::unique_ptr<TTevApp> app;
};

struct Row
{
    const char *label, *point, *type, *group;
    const char *nominal, *lsl, *usl;
    const char *image;
    int x, y;
};

QString SequenceText(const QStringList &header, const std::vector<Row> &rows)
{
    const auto column = [](const char *name) {
        for (size_t i = 0; i < kSequenceColumns.size(); ++i)
            if (kSequenceColumns[i].name == name)
                return int(i);
        return 0;
    };
    QStringList lines = header;
    lines << "$ROUTINE" << SequenceColumnLine();
    for (const Row &r : rows) {
        QStringList fields(int(kSequenceColumns.size()));
        fields[column("LABEL")] = r.label;
        fields[column("POINTNAME")] = r.point;
        fields[column("FEATURE")] = r.type;
        fields[column("GROUPNAME")] = r.group;
        fields[column("NOM_VALUE")] = r.nominal;
        fields[column("MIN_VALUE")] = r.lsl;
        fields[column("MAX_VALUE")] = r.usl;
        fields[column("BMP_IMAGE")] = r.image;
        fields[column("BMP_COL")] = QString::number(r.x);
        fields[column("BMP_ROW")] = QString::number(r.y);
        fields[column("ALGORITHM")] = "ALG1";
        lines << fields.join('\t') + '\t';
    }
    return lines.join("\r\n") + "\r\n";
}

// A simple part drawing: a stepped shaft with its measuring stations.
void DrawShaft(const QString &fileName, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(236, 240, 244));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 90), 3));
    p.setBrush(QColor(170, 185, 200));
    const int cy = size.height() / 2;
    p.drawRect(30, cy - 50, 120, 100);
    p.drawRect(150, cy - 80, 180, 160);
    p.drawRect(330, cy - 35, 140, 70);
    p.setPen(QPen(QColor(40, 60, 90), 1, Qt::DashDotLine));
    p.drawLine(10, cy, size.width() - 10, cy);
    p.end();
    image.save(fileName);
}

void WriteText(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toLatin1());
}

struct PagesWindow
{
    explicit PagesWindow(GalleryApp &ga)
    {
        datSrcProject = new DataSetModel(&ga.project().DataSetProject(), &window);
        datSrcChars = new DataSetModel(&ga.project().DataSetChars(), &window);
        auto *layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        projectPage = new TTevProjectPage(&window);
        charsPage = new TTevCharsPage(&window);
        layout->addWidget(projectPage);
        layout->addWidget(charsPage);
        preview = new TTevPreviewDlg(&window);
        preview->SetApp(ga.app.get());
        preview->SetDataSource(datSrcChars);
        projectPage->SetApp(ga.app.get());
        projectPage->SetDataSources(datSrcProject, datSrcChars);
        projectPage->SetPreviewDlg(preview);
        charsPage->SetApp(ga.app.get());
        charsPage->SetDataSources(datSrcProject, datSrcChars);
        charsPage->SetPreviewDlg(preview);
    }

    void refresh(TTevProject &project)
    {
        const bool inDB = project.ExistsInDatabase();
        charsPage->GridChars()->SetReadOnly(project.Generator() != "Tevora");
        charsPage->SetEditingEnabled(inDB);
        preview->PnlTools()->setEnabled(inDB);
        projectPage->UpdateProjectPage();
        projectPage->UpdateCoverImage();
        charsPage->UpdateCharImage();
        charsPage->FillFilterLists();
        projectPage->SetProjectState(project.ChangeState() == 0 ? "OK" : "Changed",
                                     project.ChangeState() == 0 ? QColor(0, 128, 0)
                                                                : QColor(240, 112, 0));
    }

    QWidget window;
    DataSetModel *datSrcProject;
    DataSetModel *datSrcChars;
    TTevProjectPage *projectPage;
    TTevCharsPage *charsPage;
    TTevPreviewDlg *preview;
};

const std::vector<Row> kRows = {
    {"D1", "P1", "DIA", "Journal", "25.000", "24.980", "25.020", "shaft.png", 90, 150},
    {"R1", "P1", "RUN", "Journal", "0", "", "0.010", "shaft.png", 90, 150},
    {"D2", "P2", "DIA", "Journal", "40.000", "39.975", "40.025", "shaft.png", 240, 150},
    {"L1", "P3", "LEN", "Collar", "120.00", "119.90", "120.10", "shaft.png", 400, 150},
    {"D3", "P4", "DIA", "Collar", "18.000", "17.990", "18.010", "shaft.png", 400, 150},
    {"O'1", "P5", "POS", "O'Brien", "0", "-0.05", "0.05", "", 0, 0},
};

const QStringList kHeader = {
    "$GENERATOR Ombrix",
    "$PROJECTNAME Drive shaft DS-40",
    "$VERSION 3.2",
    "$SHORTDESC Final inspection",
    "$LONGDESC Measured after grinding.\\r\\nProbe set B.",
    "$UNITS 1",
    "$NDECIMALS 3",
    "$LIMITS 0",
    "$PICKLIST SHAFT.UIF",
    "$FORMAT SHAFT.FMT",
    "$COVERLABEL shaft.png",
    "$TYPE 1",
    "$LOGPROFILES 0",
};

void openMaster(GalleryApp &ga, PagesWindow &w)
{
    DrawShaft(ga.seqDir() + "/shaft.png", {500, 300});
    WriteText(ga.seqDir() + "/ds40.seq", SequenceText(kHeader, kRows));
    ga.project().ReadSequenceFile(ga.seqDir() + "/ds40.seq");
    ga.project().DataSetChars().first();
    w.refresh(ga.project());
}

// A work sequence in the database, built on the master: the pages are editable.
void openWork(GalleryApp &ga, PagesWindow &w)
{
    DrawShaft(ga.seqDir() + "/shaft.png", {500, 300});
    WriteText(ga.seqDir() + "/ds40.seq", SequenceText(kHeader, kRows));
    QDir(ga.seqDir()).mkpath("Line 4");
    ga.project().New(ga.seqDir() + "/Line 4/DS40L4.seq", "DS-40 Line 4", TTevFileType::pftSEQ,
                     "ds40.seq", {}, {});
    ga.project().Save();
    // One characteristic is new, one was changed in its master.
    MemDataSet &chars = ga.project().DataSetChars();
    const auto state = [&](const char *label, int value) {
        chars.locate("LABEL", {label});
        chars.edit();
        chars.fieldByName("STATE").setAsInteger(value);
        chars.post();
    };
    state("R1", 8);
    state("L1", 4);
    chars.first();
    w.charsPage->ClearRecentCharImage();
    w.refresh(ga.project());
}

void projectPage(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openMaster(ga, w);
    w.charsPage->hide();
    w.window.resize(1000, 720);
    g.save(w.window, "pages-project-master");
}

void charsPage(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openMaster(ga, w);
    w.projectPage->hide();
    w.charsPage->SetCharParamsEditorVisible(true);
    w.window.resize(1280, 720);
    ga.project().DataSetChars().locate("LABEL", {"D2"});
    g.save(w.window, "pages-chars-master");
}

void editor(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openMaster(ga, w);
    w.projectPage->hide();
    w.window.setGeometry(0, 0, 1280, 720);
    w.window.show();
    ga.project().DataSetChars().locate("LABEL", {"D2"});
    w.preview->Execute();
    w.preview->BulletBtnClick();
    w.preview->resize(800, 560);
    w.charsPage->UpdateCharImage();
    g.save(*w.preview, "pages-editor");
    w.preview->BulletBtnClick();
    w.preview->close();
}

void projectPageWork(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openWork(ga, w);
    w.charsPage->hide();
    w.window.resize(1000, 720);
    g.save(w.window, "pages-project-work");
}

void charsPageWork(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openWork(ga, w);
    w.projectPage->hide();
    w.window.resize(1280, 720);
    w.window.show();
    ga.project().DataSetChars().locate("LABEL", {"D2"});
    g.save(w.window, "pages-chars-work");
    // The group "Journal" selected: its tools are on, the grid shows its characteristics.
    auto *groups = w.charsPage->findChild<QListWidget *>("GroupFilterBox");
    groups->setCurrentRow(1);
    g.save(w.window, "pages-chars-work-group");
}

void editorWork(Gallery &g)
{
    GalleryApp ga;
    PagesWindow w(ga);
    openWork(ga, w);
    w.projectPage->hide();
    w.window.setGeometry(0, 0, 1280, 720);
    w.window.show();
    ga.project().DataSetChars().locate("LABEL", {"L1"});
    w.preview->Execute();
    w.preview->BulletBtnClick();
    w.preview->resize(800, 560);
    w.charsPage->UpdateCharImage();
    g.save(*w.preview, "pages-editor-work");
    w.preview->BulletBtnClick();
    w.preview->SaveBtnClick();
    w.preview->close();
}

TEVORA_GALLERY_SCENE("40-pages-1-project", projectPage);
TEVORA_GALLERY_SCENE("40-pages-4-project-work", projectPageWork);
TEVORA_GALLERY_SCENE("40-pages-5-chars-work", charsPageWork);
TEVORA_GALLERY_SCENE("40-pages-6-editor-work", editorWork);
TEVORA_GALLERY_SCENE("40-pages-2-chars", charsPage);
TEVORA_GALLERY_SCENE("40-pages-3-editor", editor);

} // namespace
