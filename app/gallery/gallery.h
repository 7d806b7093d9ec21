#pragma once

// The gallery: opens the program's windows and dialogs in fixed states and saves a picture of
// each, so that their look can be reviewed without a display. Each area adds its scenes in a file
// of its own with TEVORA_GALLERY_SCENE; main() runs them in the order of their names.

#include "ui/kit/modalrunner.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QString>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <utility>

namespace tev::gallery {

class Gallery
{
public:
    Gallery(const QString &folder, const QString &treeFolder)
        : m_folder(folder)
        , m_treeFolder(treeFolder)
    {}

    bool save(QWidget &widget, const QString &name)
    {
        widget.show();
        QApplication::processEvents();
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        const bool ok = widget.grab().save(path);
        std::printf("%s %s\n", ok ? "saved " : "FAILED", qPrintable(path));
        m_ok = m_ok && ok;
        return ok;
    }

    // Runs a dialog routine: the modal run saves a picture and closes with the given result.
    template <typename Routine> void modal(const QString &name, int result, Routine &&routine)
    {
        ModalRunnerGuard guard([&](QDialog &dialog) {
            save(dialog, name);
            return result;
        });
        std::forward<Routine>(routine)();
    }

    QString folder() const { return m_folder; }
    // A folder of sequence files to show in trees (the fixture tree in CI).
    QString treeFolder() const { return m_treeFolder; }
    bool ok() const { return m_ok; }
    void fail(const char *what)
    {
        std::printf("FAILED %s\n", what);
        m_ok = false;
    }

private:
    QString m_folder;
    QString m_treeFolder;
    bool m_ok = true;
};

using Scene = std::function<void(Gallery &)>;

// Adds a scene at static initialisation; returns a dummy value to hang the registration on.
bool registerScene(const char *name, Scene scene);

} // namespace tev::gallery

#define TEVORA_GALLERY_CONCAT2(a, b) a##b
#define TEVORA_GALLERY_CONCAT(a, b) TEVORA_GALLERY_CONCAT2(a, b)
// TEVORA_GALLERY_SCENE("20-dialogs-settings", [](Gallery &g) { ... });
#define TEVORA_GALLERY_SCENE(name, ...)                                                            \
    static const bool TEVORA_GALLERY_CONCAT(galleryScene_, __LINE__) =                             \
        ::tev::gallery::registerScene(name, __VA_ARGS__)
