// The main window's menus and actions, including the hidden ones that scripts show and attach
// handlers to.

#include "ui/mainwindow/tevmainform.h"

#include "ui/images/keldmimages.h"
#include "ui/mainwindow/reportedslot.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace tev {

namespace {

QAction *NewAction(QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction *NewItem(QMenu *menu, const char *name, const QString &caption, bool visible = true)
{
    QAction *item = NewAction(menu, name, caption);
    item->setVisible(visible);
    menu->addAction(item);
    return item;
}

// The menu's own item carries the designed name, so that scripts show or hide the menu as
// they would any item.
QMenu *NewMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    auto *menu = new QMenu(caption, bar);
    menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Popup"));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    bar->addMenu(menu);
    return menu;
}

// The standard edit actions act on the edit that has the focus; they carry no shortcut, so
// that the grids and edits keep their own keys.
void EditFocused(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit *>(focus) || qobject_cast<QPlainTextEdit *>(focus) ||
        qobject_cast<QTextEdit *>(focus))
        QMetaObject::invokeMethod(focus, slot);
}

} // namespace

void TTevMainForm::CreateActions()
{
    const auto icon = [](const char *name) {
        return ImageCollection::icon(QString::fromLatin1(name));
    };

    FFileNew1 = NewAction(this, "FileNew1", QStringLiteral("&New"));
    FFileNew1->setToolTip(QStringLiteral("New Project"));
    FFileNew1->setIcon(icon("New negativ"));
    FFileNew1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(FFileNew1, &QAction::triggered, this, reported([this] { ToolBtnNewClick(); }));

    FFileOpen1 = NewAction(this, "FileOpen1", QStringLiteral("Ö&ffnen"));
    FFileOpen1->setIcon(icon("Large Icons\\Open negative"));
    FFileOpen1->setVisible(false);

    FFileClose1 = NewAction(this, "FileClose1", QStringLiteral("&Schließen"));

    FFileSave1 = NewAction(this, "FileSave1", QStringLiteral("&Speichern"));
    FFileSave1->setToolTip(QStringLiteral("Save"));
    FFileSave1->setIcon(icon("Large Icons\\Save negative"));
    FFileSave1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(FFileSave1, &QAction::triggered, this, reported([this] { FileSave1Execute(); }));

    FFileSaveAs1 = NewAction(this, "FileSaveAs1", QStringLiteral("Speichern &unter..."));

    FFileDelete1 = NewAction(this, "FileDelete1", QStringLiteral("Delete"));
    FFileDelete1->setIcon(icon("Large Icons\\Trash negative"));
    connect(FFileDelete1, &QAction::triggered, this, reported([this] { FileDelete1Execute(); }));

    FFileExit1 = NewAction(this, "FileExit1", QStringLiteral("&Beenden"));
    FFileExit1->setToolTip(QStringLiteral("Exit"));
    FFileExit1->setIcon(icon("Large Icons\\CloseX negative"));
    connect(FFileExit1, &QAction::triggered, this, reported([this] { FileExit1Execute(); }));

    QAction *cut = NewAction(this, "EditCut1", QStringLiteral("&Ausschneiden"));
    connect(cut, &QAction::triggered, this, [] { EditFocused("cut"); });
    QAction *copy = NewAction(this, "EditCopy1", QStringLiteral("&Kopieren"));
    connect(copy, &QAction::triggered, this, [] { EditFocused("copy"); });
    QAction *paste = NewAction(this, "EditPaste1", QStringLiteral("&Einfügen"));
    connect(paste, &QAction::triggered, this, [] { EditFocused("paste"); });

    // The window actions of a multi-document frame: this window has no document windows, so
    // they have nothing to arrange.
    NewAction(this, "WindowCascade1", QStringLiteral("Ü&berlappend"));
    NewAction(this, "WindowTileHorizontal1", QStringLiteral("Hori&zontal anordnen"));
    NewAction(this, "WindowTileVertical1", QStringLiteral("&Vertikal anordnen"));
    NewAction(this, "WindowMinimizeAll1", QStringLiteral("&Alle verkleinern"));
    NewAction(this, "WindowArrangeAll1", QStringLiteral("Alle an&ordnen"));

    FHelpAbout1 = NewAction(this, "HelpAbout1", QStringLiteral("&Info..."));
    FFileSettings1 = NewAction(this, "FileSettings1", QStringLiteral("Settings..."));

    // Shortcuts work wherever the focus is in the window.
    addActions({FFileNew1, FFileSave1});
}

void TTevMainForm::CreateMenus()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu"));
    setMenuBar(bar);

    FMIFile = NewMenu(bar, "MIFile", QStringLiteral("&File"));
    // The item shows the shortcut that the action FileNew1 answers and runs what it runs; two
    // owners of one key would leave it to neither.
    QAction *newProject = NewItem(FMIFile, "MIFileNew", QStringLiteral("New Project...\tCtrl+N"));
    connect(newProject, &QAction::triggered, this, reported([this] { ToolBtnNewClick(); }));
    FMIFile->addSeparator();
    QAction *settings = NewItem(FMIFile, "MISettings", QStringLiteral("Settings..."));
    connect(settings, &QAction::triggered, this, reported([this] { MISettingsClick(); }));
    NewItem(FMIFile, "MIFileClose", QStringLiteral("&Close"), false);
    FMIFile->addSeparator();
    QAction *exit = NewItem(FMIFile, "MIFileExit", QStringLiteral("&Exit"));
    connect(exit, &QAction::triggered, this, reported([this] { MIFileExitClick(); }));

    FMIWindow = NewMenu(bar, "MIWindow", QStringLiteral("&View"));
    FMIWindow->menuAction()->setVisible(false);
    NewItem(FMIWindow, "WindowCascadeItem", QStringLiteral("Ü&berlappend"), false);
    NewItem(FMIWindow, "WindowTileItem", QStringLiteral("Hori&zontal anordnen"), false);
    NewItem(FMIWindow, "WindowTileItem2", QStringLiteral("&Vertikal anordnen"), false);
    NewItem(FMIWindow, "WindowMinimizeItem", QStringLiteral("&Alle verkleinern"), false);
    NewItem(FMIWindow, "WindowArrangeItem", QStringLiteral("Alle an&ordnen"), false);

    FMITools = NewMenu(bar, "MITools", QStringLiteral("Tools"));
    FMITools->menuAction()->setVisible(false);
    for (int i = 1; i <= 5; ++i)
        NewItem(FMITools, qPrintable(QStringLiteral("MIScript%1").arg(i)),
                QStringLiteral("Script %1").arg(i), false);
    FMITools->addSeparator();
    auto *service = new QMenu(QStringLiteral("Service"), FMITools);
    service->setObjectName(QStringLiteral("MIServicePopup"));
    service->menuAction()->setObjectName(QStringLiteral("MIService"));
    service->menuAction()->setVisible(false);
    FMITools->addMenu(service);
    NewItem(service, "MICreateSampleFiles", QStringLiteral("Create Sample Files..."));
    // Scripts show the items; the menu follows them, so that an item a script shows can be
    // reached.
    for (QAction *item : FMITools->actions())
        if (!item->isSeparator())
            connect(item, &QAction::visibleChanged, this, &TTevMainForm::UpdateToolsMenu);

    FMIHelp = NewMenu(bar, "MIHelp", QStringLiteral("?"));
    FMIHelp->menuAction()->setToolTip(QStringLiteral("Hilfethemen"));
    QAction *about = NewItem(FMIHelp, "MIHelpAbout", QStringLiteral("Info..."));
    connect(about, &QAction::triggered, this, reported([this] { MIHelpAboutClick(); }));

    // The popup menu of the tree's file types; it belongs to no control.
    FTreeDropDown = new QMenu(this);
    FTreeDropDown->setObjectName(QStringLiteral("TreeDropDown"));
    QAction *seq = NewItem(FTreeDropDown, "SEQ1", QStringLiteral("SEQ"));
    connect(seq, &QAction::triggered, this, reported([this] { SEQ1Click(); }));
    QAction *mseq = NewItem(FTreeDropDown, "MSEQ1", QStringLiteral("MSEQ"));
    connect(mseq, &QAction::triggered, this, reported([this] { MSEQ1Click(); }));
}

void TTevMainForm::UpdateToolsMenu()
{
    const QList<QAction *> items = FMITools->actions();
    FMITools->menuAction()->setVisible(std::any_of(items.cbegin(), items.cend(), [](QAction *item) {
        return !item->isSeparator() && item->isVisible();
    }));
}

} // namespace tev
