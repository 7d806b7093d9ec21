// The gallery program: runs every registered scene and saves its pictures.
//
//   tevora_gallery [--out FOLDER] [--tree FOLDER] [--only PREFIX]
//
// Without --out the pictures go to a temporary folder that is removed at the end. The exit code
// is 0 only when every picture was saved and every scene's own checks passed (the error dialog's
// scene, for one, checks that an exception thrown in an event handler reached the error dialog
// with a report that names the throwing function).

#include "gallery.h"

#include "platform/crash/guardedapplication.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/style.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <map>
#include <string>

namespace tev::gallery {

namespace {

std::map<std::string, Scene> &scenes()
{
    static std::map<std::string, Scene> all;
    return all;
}

} // namespace

bool registerScene(const char *name, Scene scene)
{
    return scenes().emplace(name, std::move(scene)).second;
}

} // namespace tev::gallery

int main(int argc, char *argv[])
{
    tev::GuardedApplication<QApplication> app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tevora_gallery"));
    tev::trySetStyle(app, QString::fromLatin1(tev::kStyleName));
    tev::TKelDMImages images(&app);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the pictures."),
                      QStringLiteral("folder")});
    parser.addOption({QStringLiteral("tree"), QStringLiteral("Folder to show in the tree."),
                      QStringLiteral("folder")});
    parser.addOption({QStringLiteral("only"),
                      QStringLiteral("Run only the scenes whose name starts with this."),
                      QStringLiteral("prefix")});
    parser.process(app);

    QTemporaryDir temporary;
    QString out = parser.value(QStringLiteral("out"));
    if (out.isEmpty())
        out = temporary.path();
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "tevora_gallery: cannot create %s\n", qPrintable(out));
        return 2;
    }
    QString treeFolder = parser.value(QStringLiteral("tree"));
    if (treeFolder.isEmpty())
        treeFolder = QDir::currentPath();
    const std::string only = parser.value(QStringLiteral("only")).toStdString();

    tev::gallery::Gallery gallery(out, treeFolder);
    for (const auto &[name, scene] : tev::gallery::scenes()) {
        if (name.compare(0, only.size(), only) == 0)
            scene(gallery);
    }
    return gallery.ok() ? 0 : 1;
}
