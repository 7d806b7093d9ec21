// Scenes of the main window in its main states, on an application root of its own with an
// embedded database, a per-user registry and a sequence folder in temporary folders.

#include "gallery.h"

#include "core/app/tevapp.h"
#include "core/lib/knownfolders.h"
#include "core/project/tevproject.h"
#include "platform/dataset/dataset.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/mainwindow/tevmainform.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

namespace {

using namespace tev;
using tev::gallery::Gallery;

// What a run of the program touches, kept in one temporary folder for the scenes.
class WindowEnvironment
{
public:
    WindowEnvironment()
    {
        QDir root(m_dir.path());
        for (const char *folder :
             {"root/Config", "root/bin", "common/appdata", "common/documents", "home", "registry"})
            root.mkpath(QString::fromLatin1(folder));
        // The engine reads its lock folder once per process, before its first call, so the
        // folder lives as long as the process.
        static QTemporaryDir firebird;
        if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK")) {
            qputenv("FIREBIRD_LOCK", QFile::encodeName(firebird.filePath(QStringLiteral("lock"))));
            qputenv("FIREBIRD_TMP", QFile::encodeName(firebird.filePath(QStringLiteral("tmp"))));
        }
        QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/../FB"),
                    root.filePath(QStringLiteral("root/FB")));
        QFile exe(exeName());
        if (exe.open(QIODevice::WriteOnly))
            exe.write(QByteArray("\x7f"
                                 "ELF") +
                      "TevoraFileVersion=1.0.0.0" + '\0');
        qputenv(kCommonAppDataVariable, QFile::encodeName(root.filePath("common/appdata")));
        qputenv(kCommonDocumentsVariable, QFile::encodeName(root.filePath("common/documents")));
        qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           root.filePath(QStringLiteral("registry")));
    }

    QString exeName() const { return m_dir.filePath(QStringLiteral("root/bin/tevora")); }
    QString sequenceCopy() const { return m_dir.filePath(QStringLiteral("seq")); }

    // Copies the shared sequence tree of the tests (masters, work sequences, a monitor file)
    // into the environment; false when it cannot be found beside the tree folder or the build.
    bool copySequenceTree(const QString &treeFolder) const
    {
        QString source;
        for (const QString &candidate :
             {QFileInfo(treeFolder).absoluteFilePath() + QStringLiteral("/../seqtree"),
              QCoreApplication::applicationDirPath() +
                  QStringLiteral("/../../tests/fixtures/seqtree")})
            if (QFileInfo(candidate).isDir()) {
                source = QDir(candidate).canonicalPath();
                break;
            }
        if (source.isEmpty())
            return false;
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString relative = QDir(source).relativeFilePath(from);
            if (relative.endsWith(QLatin1String(".py")))
                continue;
            const QString to = QDir(sequenceCopy()).filePath(relative);
            QDir().mkpath(QFileInfo(to).path());
            if (!QFile::copy(from, to))
                return false;
            QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
        }
        return true;
    }

    void setSequenceFolder(const QString &folder) const
    {
        TTevApp app(nullptr, exeName());
        app.SetSEQDir(folder);
        app.WriteSettings();
    }

private:
    QTemporaryDir m_dir;
};

void emptyWindow(Gallery &g)
{
    WindowEnvironment env;
    env.setSequenceFolder(QFileInfo(g.treeFolder()).absoluteFilePath());
    TTevMainForm form(env.exeName());
    form.Tree()->expandAll();
    g.save(form, QStringLiteral("mainwindow-empty"));
}

void serviceMode(Gallery &g)
{
    WindowEnvironment env;
    env.setSequenceFolder(QFileInfo(g.treeFolder()).absoluteFilePath());
    TTevMainForm form(env.exeName());
    QKeyEvent serviceKey(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(form.Tree(), &serviceKey);
    auto *memo = form.findChild<QPlainTextEdit *>(QStringLiteral("MemoSQL"));
    memo->setPlainText(QStringLiteral("select * from CONFIGURATION"));
    form.PageCtrl()->setCurrentIndex(4);
    try {
        form.BtnExecSQLClick();
    } catch (const std::exception &error) {
        g.fail(error.what());
    }
    g.save(form, QStringLiteral("mainwindow-service-sql"));
}

// Selects a node of the tree as a click does, which opens its file.
void openInTree(TTevMainForm &form, const QString &relative)
{
    QTreeWidgetItem *node = form.Tree()->FindNode(relative);
    if (node)
        form.Tree()->setCurrentItem(node);
    QCoreApplication::processEvents();
}

// The window on a copy of the shared sequence tree; false (and a failed scene) without it.
bool startOnSequenceTree(Gallery &g, WindowEnvironment &env, std::unique_ptr<TTevMainForm> &form)
{
    if (!env.copySequenceTree(g.treeFolder())) {
        g.fail("mainwindow: the shared sequence tree was not found");
        return false;
    }
    env.setSequenceFolder(env.sequenceCopy());
    form = std::make_unique<TTevMainForm>(env.exeName());
    return true;
}

void masterOpen(Gallery &g)
{
    WindowEnvironment env;
    std::unique_ptr<TTevMainForm> form;
    if (!startOnSequenceTree(g, env, form))
        return;
    // A work sequence in the database, so that the master lists what is built on it.
    TTevProject &project = form->App()->Project();
    if (project.New(QStringLiteral("Work/Line3.seq"), QStringLiteral("Line 3"),
                    TTevFileType::pftSEQ, QStringLiteral("Masters/Housing.seq"), {}, {}))
        project.Save();
    project.Close();
    form->Tree()->RefreshNodes();
    openInTree(*form, QStringLiteral("Masters/Housing.seq"));
    g.save(*form, QStringLiteral("mainwindow-master-project"));
    form->PageCtrl()->setCurrentIndex(2);
    g.save(*form, QStringLiteral("mainwindow-master-references"));
}

// The work project "Work/Line3.seq" made from the master "Masters/Housing.seq" (and
// referencing the further masters), saved and closed; false (and a failed scene) when it cannot
// be made.
bool makeWorkProject(Gallery &g, TTevMainForm &form, const QStringList &furtherMasters = {})
{
    TTevProject &project = form.App()->Project();
    if (!project.New(QStringLiteral("Work/Line3.seq"), QStringLiteral("Line 3"),
                     TTevFileType::pftSEQ, QStringLiteral("Masters/Housing.seq"), {}, {})) {
        g.fail("mainwindow: the work project could not be created");
        return false;
    }
    for (const QString &master : furtherMasters)
        project.AddMasterProject(master);
    project.Save();
    project.Close();
    form.Tree()->RefreshNodes();
    return true;
}

void workOpen(Gallery &g)
{
    WindowEnvironment env;
    std::unique_ptr<TTevMainForm> form;
    if (!startOnSequenceTree(g, env, form) ||
        !makeWorkProject(g, *form, {QStringLiteral("Masters/Shaft.seq")}))
        return;
    openInTree(*form, QStringLiteral("Work/Line3.seq"));
    const char *names[] = {"mainwindow-work-project", "mainwindow-work-characteristics",
                           "mainwindow-work-references", "mainwindow-work-file"};
    for (int page = 0; page < 4; ++page) {
        form->PageCtrl()->setCurrentIndex(page);
        if (page == 1)
            form->App()->Project().DataSetChars().next();
        g.save(*form, QString::fromLatin1(names[page]));
    }
}

// The window at the client area of a 1366 x 768 laptop screen and smaller, every page with a
// work project open (the service page included); a page that needs more room scrolls.
void laptopSizes(Gallery &g)
{
    WindowEnvironment env;
    std::unique_ptr<TTevMainForm> form;
    if (!startOnSequenceTree(g, env, form) || !makeWorkProject(g, *form))
        return;
    QKeyEvent serviceKey(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(form->Tree(), &serviceKey);
    openInTree(*form, QStringLiteral("Work/Line3.seq"));
    const char *pages[] = {"project", "characteristics", "references", "file", "sql"};
    for (const QSize size : {QSize(1280, 721), QSize(1024, 600)}) {
        form->resize(size);
        const QString prefix =
            QStringLiteral("mainwindow-laptop-%1x%2-").arg(size.width()).arg(size.height());
        for (int page = 0; page < 5; ++page) {
            form->PageCtrl()->setCurrentIndex(page);
            g.save(*form, prefix + QString::fromLatin1(pages[page]));
        }
    }
}

TEVORA_GALLERY_SCENE("40-mainwindow-1-empty", emptyWindow);
TEVORA_GALLERY_SCENE("40-mainwindow-2-master", masterOpen);
TEVORA_GALLERY_SCENE("40-mainwindow-3-work", workOpen);
TEVORA_GALLERY_SCENE("40-mainwindow-4-laptop", laptopSizes);
TEVORA_GALLERY_SCENE("40-mainwindow-9-service", serviceMode);

} // namespace
