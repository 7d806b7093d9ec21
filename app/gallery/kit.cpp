// Scenes of the UI kit: message and input boxes, the base dialog, progress, the error dialog,
// the directory tree and the icon sheet.

#include "gallery.h"

#include "platform/crash/crashexception.h"
#include "platform/crash/exceptionhandlers.h"
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
#include "ui/kit/speedbutton.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using namespace tev;
using tev::gallery::Gallery;

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
    g.modal(QStringLiteral("message-long-path"), mrOk, [] {
        KelShowMessage(QStringLiteral("The project could not be saved.\n\nI/O error during "
                                      "\"open\" operation for file \"/home/user/Documents/"
                                      "Kelmetra/SEQ/Production/Line-3/Station-12/"
                                      "HousingFinalInspection/Tevora.fdb\""));
    });
    g.modal(QStringLiteral("message-very-long"), mrOk, [] {
        QStringList lines{QStringLiteral("Some files of the new project could not be copied."),
                          QString(), QStringLiteral("Failed:")};
        for (int i = 1; i <= 60; ++i)
            lines << QStringLiteral("PART%1.TEM: not found in \"Masters\"").arg(i);
        KelShowMessage(lines.join(QLatin1Char('\n')));
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

void directoryTree(Gallery &g)
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
    tree->setRoot(QDir(g.treeFolder()).absolutePath());
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

TEVORA_GALLERY_SCENE("10-kit-message-boxes", messageBoxes);
TEVORA_GALLERY_SCENE("11-kit-input-boxes", inputBoxes);
TEVORA_GALLERY_SCENE("12-kit-base-dialog", baseDialog);
TEVORA_GALLERY_SCENE("13-kit-progress", progress);
TEVORA_GALLERY_SCENE("14-kit-error-dialog", errorDialog);
TEVORA_GALLERY_SCENE("15-kit-directory-tree", directoryTree);
TEVORA_GALLERY_SCENE("16-kit-icons", icons);
