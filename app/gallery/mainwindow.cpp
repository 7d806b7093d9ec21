// Scenes of the main window in its main states, on an application root of its own with an
// embedded database, a per-user registry and a sequence folder in temporary folders.

#include "gallery.h"

#include "core/app/tevapp.h"
#include "core/lib/knownfolders.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/mainwindow/tevmainform.h"

#include <QCoreApplication>
#include <QDir>
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

TEVORA_GALLERY_SCENE("40-mainwindow-1-empty", emptyWindow);
TEVORA_GALLERY_SCENE("40-mainwindow-9-service", serviceMode);

} // namespace
