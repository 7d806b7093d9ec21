#pragma once

// A small window that carries the main window's component names, for the script host's tests:
// the hidden "Tools" menu item MITools with the hidden items MIScript1 to MIScript5 and the
// hidden "Service" item, and a window of its own (as the image point editor) whose components
// are no components of the main window. A menu item is the menu's action, so Visible and Caption
// act on the item in the menu bar.

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

class TestMainForm : public QMainWindow
{
    Q_OBJECT

public:
    TestMainForm()
    {
        setObjectName(QStringLiteral("TevMainForm"));
        QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
        file->menuAction()->setObjectName(QStringLiteral("MIFile"));
        file->addAction(QStringLiteral("&Exit"))->setObjectName(QStringLiteral("MIFileExit"));

        QMenu *tools = menuBar()->addMenu(QStringLiteral("Tools"));
        tools->menuAction()->setObjectName(QStringLiteral("MITools"));
        tools->menuAction()->setVisible(false);
        for (int i = 1; i <= 5; ++i) {
            QAction *item = tools->addAction(QStringLiteral("Script %1").arg(i));
            item->setObjectName(QStringLiteral("MIScript%1").arg(i));
            item->setVisible(false);
        }
        tools->addSeparator();
        QMenu *service = tools->addMenu(QStringLiteral("Service"));
        service->menuAction()->setObjectName(QStringLiteral("MIService"));
        service->menuAction()->setVisible(false);
        service->addAction(QStringLiteral("Create Sample Files..."))
            ->setObjectName(QStringLiteral("MICreateSampleFiles"));

        auto *editor = new QDialog(this);
        editor->setObjectName(QStringLiteral("TevPreviewDlg"));
        auto *tool = new QAction(QStringLiteral("Tools of the editor"), editor);
        tool->setObjectName(QStringLiteral("PnlTools"));
    }

    QAction *item(const QString &name) const { return findChild<QAction *>(name); }
};
