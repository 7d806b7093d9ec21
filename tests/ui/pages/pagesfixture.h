#pragma once

// A real application object on an embedded Firebird database in temporary folders, the window's
// two data sources bound to its project, and the two pages and the image point editor wired as
// the main window wires them, so that tests drive the pages as a user would.

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "support/app/appenvironment.h"
#include "support/app/sequencetree.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QImage>
#include <QVariant>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tev::test {

// One characteristic of a routine table.
struct CharDef
{
    QString label;
    QString point; // POINTNAME, the FEATURE field
    QString group;
    QVariant nominal = QVariant();
    QVariant lsl = QVariant();
    QVariant usl = QVariant();
    QString image = QString();
    QVariant x = QVariant();
    QVariant y = QVariant();
    QString type = QStringLiteral("DIA");
};

// The text of a sequence file: "$" header lines, "$ROUTINE", the column line and the rows.
QString SequenceText(const QStringList &header, const std::vector<CharDef> &chars);

class PagesFixture : public ::testing::Test
{
protected:
    PagesFixture();
    ~PagesFixture() override;

    TTevProject &project() const { return app->Project(); }
    // The sequence folder (the project's root).
    QString seqDir() const;
    QString writeFile(const QString &relative, const QString &text) const;
    QString writePicture(const QString &relative, QSize size, const QColor &color) const;
    // Reads a sequence file into the project as opening does (without the database part), then
    // refreshes the pages as the window does on the project's change.
    void readFile(const QString &fileName);
    // Creates the work project "Work/W1.seq" in the database from the shared tree's masters
    // Housing (groups Bore, Face) and Shaft (Diameter, Runout), saves it and shows it, as the
    // window does after a click on the new file. The tree becomes the sequence folder.
    void openWork();
    // The window's refresh (UpdateView and UpdateEnabledStates) of these pages.
    void refresh();
    // The characteristics in routine order as "GROUP/LABEL", the filter's view unchanged.
    QStringList routine();
    // The database's rows of the open project in CHARID order, one column as text.
    QStringList stored(const QString &column) const;
    // The first column of every row of a query on the project database.
    QStringList query(const QString &sql) const;
    // The bytes of the open project's sequence file.
    QByteArray fileBytes() const;
    // Moves the characteristic dataset to the record with that label.
    void gotoLabel(const QString &label);

    template <typename T> T *child(QWidget *parent, const char *name) const
    {
        T *found = parent->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    AppEnvironment env;
    std::unique_ptr<SequenceTree> tree;
    std::unique_ptr<TTevApp> app;
    std::unique_ptr<QWidget> window;
    DataSetModel *datSrcProject = nullptr;
    DataSetModel *datSrcChars = nullptr;
    TTevProjectPage *projectPage = nullptr;
    TTevCharsPage *charsPage = nullptr;
    TTevPreviewDlg *preview = nullptr;
};

} // namespace tev::test
