#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;

namespace tev {

class SpeedButton;

// Builds one page of an application dialog: a large heading, then rows of a label and a control
// (with a "..." button where a picker goes), optionally in captioned groups with a separator line
// and inside a scroll box. Each label is named "Label" + its control's name and has the control
// as its buddy.
class PageBuilder
{
public:
    static constexpr int kHeadingPixels = 32;

    // With scrolled, the rows sit in a scroll box (object name objectName + "Scroll").
    PageBuilder(const QString &objectName, const QString &heading, bool scrolled = false);

    QWidget *page() const { return m_page; }

    // A group caption with a horizontal line below it.
    void addGroup(const QString &caption);
    QLineEdit *addEdit(const QString &label, const QString &name, const QString &buttonName = {},
                       SpeedButton **button = nullptr);
    QComboBox *addCombo(const QString &label, const QString &name);
    // A check box in the control column, below the row before it.
    QCheckBox *addCheck(const QString &caption, const QString &name);
    // Any widget in the control column.
    void addWidget(QWidget *widget);
    // Ends the rows; the space below stays empty.
    void finish();
    // The space between two rows (8 pixels unless set).
    void setRowSpacing(int pixels);

private:
    QLabel *addLabel(const QString &text, QWidget *control);

    QWidget *m_page;
    QWidget *m_rows;
    QGridLayout *m_grid;
    int m_row = 0;
};

} // namespace tev
