#pragma once

// A real application object on an embedded Firebird database in temporary folders, the window's
// two data sources bound to its project, and the two pages and the image point editor wired as
// the main window wires them, so that tests drive the pages as a user would.

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "support/app/appenvironment.h"
#include "support/app/sequencetree.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/modalresult.h"
#include "ui/kit/modalrunner.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pages/tevprojectpage.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVariant>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
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

// Answers the input box with a text (or cancels it without one) and the message boxes with the
// answers given (OK once they are used up), recording the prompts and the messages' texts.
class DialogAnswers
{
public:
    explicit DialogAnswers(std::optional<QString> input = std::nullopt)
        : m_guard([this, input](QDialog &dialog) {
            if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog)) {
                messages << box->msgLabel()->text();
                return m_messageAnswers.isEmpty() ? int(mrOk) : m_messageAnswers.takeFirst();
            }
            if (auto *query = qobject_cast<TvyxInputDlg *>(&dialog)) {
                prompts << query->msgLabel()->text();
                if (!input)
                    return int(mrCancel);
                if (m_typeInput) {
                    if (auto *edit = qobject_cast<QLineEdit *>(query->InputCtrl()))
                        edit->clear();
                    if (auto *memo = qobject_cast<QPlainTextEdit *>(query->InputCtrl()))
                        memo->clear();
                    QTest::keyClicks(query->InputCtrl(), *input);
                } else if (auto *edit = qobject_cast<QLineEdit *>(query->InputCtrl())) {
                    edit->setText(*input);
                } else if (auto *memo = qobject_cast<QPlainTextEdit *>(query->InputCtrl())) {
                    memo->setPlainText(*input);
                }
                typed << query->inputText();
                return int(mrOk);
            }
            ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
            return int(mrCancel);
        })
    {}

    // The answers to the next message boxes, in order (OK once used up).
    void answerMessages(QList<int> answers) { m_messageAnswers = std::move(answers); }

    // Types the input key by key, as a user does, instead of setting it.
    void typeInput() { m_typeInput = true; }

    QStringList messages;
    QStringList prompts;
    QStringList typed; // what the input box held when it was confirmed

private:
    bool m_typeInput = false;
    QList<int> m_messageAnswers;
    ModalRunnerGuard m_guard;
};

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
