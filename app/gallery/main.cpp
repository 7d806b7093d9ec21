// The gallery: opens every dialog of the UI kit in fixed states and saves a picture of each, so
// that their look can be reviewed without a display. CI runs it offscreen as a smoke test.
//
//   tevora_gallery [--out FOLDER] [--tree FOLDER]
//
// Without --out the pictures go to a temporary folder that is removed at the end. The exit code
// is 0 only when every picture was saved and an exception thrown in an event handler reached
// the error dialog with a report that names the throwing function.

#include "platform/crash/crashexception.h"
#include "platform/crash/exceptionhandlers.h"
#include "platform/crash/guardedapplication.h"
#include "platform/error.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/crashreportwindow.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxcustomdlg.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/dialogs/vyxprogressdlg.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/colors.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"
#include "ui/kit/style.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVBoxLayout>
#include <cstdio>

namespace {

using namespace tev;

class Gallery
{
public:
    explicit Gallery(const QString &folder)
        : m_folder(folder)
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
        routine();
    }

    QString folder() const { return m_folder; }
    bool ok() const { return m_ok; }
    void fail(const char *what)
    {
        std::printf("FAILED %s\n", what);
        m_ok = false;
    }

private:
    QString m_folder;
    bool m_ok = true;
};

// An object whose event handler fails, as a handler of the program would: the exception leaves
// the handler and reaches the application's guard.
class FailingReader : public QObject
{
public:
    [[gnu::noinline]] static void readRoutineTable()
    {
        throw Error(QStringLiteral("Cannot read line 12 of \"shaft 1.seq\".\n"
                                   "The line has 3 fields instead of 9; the file was left "
                                   "unchanged."));
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            readRoutineTable();
        return QObject::event(event);
    }
};

void messageBoxes(Gallery &g)
{
    g.modal(QStringLiteral("message-one-line"), mrYes, [] {
        KelMessageDlg(QStringLiteral("Save the changes to \"shaft 1.seq\"?"),
                      buttonSet({mbYes, mbNo}), QString());
    });
    g.modal(QStringLiteral("message-multi-line"), mrOk, [] {
        KelMessageDlg(QStringLiteral("The master sequence \"base.seq\" has changed since the work "
                                     "sequences were made from it. Every work sequence that "
                                     "depends on it will be updated and written again.\n\n"
                                     "Go on?"),
                      buttonSet({mbOK, mbCancel}), QStringLiteral("Warning"));
    });
}

void inputBoxes(Gallery &g)
{
    g.modal(QStringLiteral("input-edit"), mrOk, [] {
        QString value = QStringLiteral("Line 4 gauge");
        VyxInputQuery(QString(), QStringLiteral("Project name"), value, 25);
    });
    g.modal(QStringLiteral("input-memo"), mrOk, [] {
        QString value = QStringLiteral("Measured on the second shift.\nProbe changed at 14:20.");
        VyxInputQuery(QString(), QStringLiteral("Remarks"), value, 400);
    });
}

void baseDialog(Gallery &g)
{
    TvyxCustomDlg dialog;
    auto *layout = new QVBoxLayout(dialog.body());
    layout->addWidget(new QLabel(QStringLiteral("A dialog derived from the base dialog puts its "
                                                "own controls here."),
                                 dialog.body()));
    layout->addStretch();
    dialog.resize(400, 200);
    g.save(dialog, QStringLiteral("base-dialog"));
}

void progress(Gallery &g)
{
    ShowProgress(1, 12, 1, QStringLiteral("Preparing..."));
    for (int i = 0; i < 7; ++i)
        StepProgress(QStringLiteral("/data/Sequences/Line 1/shaft %1.seq").arg(i + 1), -1);
    ShowProgress(0, 4, 1, QStringLiteral("Copying dependency files"));
    StepProgress(QStringLiteral("fixture.kelb"), -1);
    ShowProgress(0, 100, 25, QStringLiteral("Writing the work sequence"));
    progressDialog()->SetPosition(75, QStringLiteral("Writing the work sequence"), -1);
    g.save(*progressDialog(), QStringLiteral("progress-three-bars"));
    progressDialog()->InitMarquee(QStringLiteral("Waiting for the database"));
    g.save(*progressDialog(), QStringLiteral("progress-marquee"));
    HideProgress();
}

void errorDialog(Gallery &g)
{
    bool reached = false;
    RegisterExceptionHandler([&](CrashException &exception, bool &handled) {
        reached = true;
        if (!exception.BugReport().contains(QLatin1String("readRoutineTable")))
            g.fail("the report does not name the throwing function");
        QFile report(QDir(g.folder()).filePath(QStringLiteral("error-report.txt")));
        if (report.open(QIODevice::WriteOnly))
            report.write(exception.BugReport().toUtf8());
        ModalRunnerGuard guard([&](QDialog &dialog) {
            if (auto *window = qobject_cast<CrashReportWindow *>(&dialog)) {
                g.save(*window, QStringLiteral("error-details"));
                return int(mrClose);
            }
            g.save(dialog, QStringLiteral("error-dialog"));
            static_cast<TVYXExceptionDlg &>(dialog).DetailsBtnClick();
            return int(mrOk);
        });
        ShowExceptionDialog(exception);
        handled = true;
    });
    FailingReader reader;
    QEvent event(QEvent::User);
    QApplication::sendEvent(&reader, &event);
    clearExceptionHandlers();
    if (!reached)
        g.fail("the exception did not reach the handler");
}

void directoryTree(Gallery &g, const QString &treeFolder)
{
    QWidget frame;
    auto *layout = new QVBoxLayout(&frame);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *tree = new TvyxDirectoryTreeView(&frame);
    layout->addWidget(tree);
    tree->setFileMask(QStringLiteral("*seq"));
    tree->setShowFiles(true);
    tree->setStateImages({QIcon(),
                          ImageCollection::icon(QStringLiteral("Tree Icons\\Kel dark_red")),
                          ImageCollection::icon(QStringLiteral("Tree Icons\\Ombrix"))});
    const QString current = QDir::currentPath();
    tree->setRoot(treeFolder);
    QDir::setCurrent(current);
    for (const char *path : {"A", "A/B/C", "Lines/Line 1"})
        tree->FindNode(QString::fromLatin1(path));
    frame.resize(340, 380);
    g.save(frame, QStringLiteral("directory-tree"));
}

void icons(Gallery &g)
{
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    QPalette p = sheet.palette();
    p.setColor(QPalette::Window, colorFromValue(kColorButtonPanel));
    sheet.setPalette(p);
    auto *grid = new QGridLayout(&sheet);
    for (int i = 0; i < ImageCollection::count(); ++i) {
        auto *button = new SpeedButton(&sheet);
        button->setFixedSize(40, 40);
        button->setGlyph(ImageCollection::pixmap(ImageCollection::name(i), 32));
        button->setToolTip(ImageCollection::name(i));
        grid->addWidget(button, i / 5, i % 5);
    }
    g.save(sheet, QStringLiteral("icons"));
}

} // namespace

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

    Gallery gallery(out);
    messageBoxes(gallery);
    inputBoxes(gallery);
    baseDialog(gallery);
    progress(gallery);
    errorDialog(gallery);
    directoryTree(gallery, QDir(treeFolder).absolutePath());
    icons(gallery);
    return gallery.ok() ? 0 : 1;
}
