#include "ui/appdialogs/pagelayout.h"

#include "ui/kit/fonts.h"
#include "ui/kit/speedbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tev {

namespace {

constexpr int kButtonWidth = 30;
constexpr int kLabelColumnWidth = 190;

} // namespace

PageBuilder::PageBuilder(const QString &objectName, const QString &heading, bool scrolled)
    : m_page(new QWidget)
    , m_rows(new QWidget)
    , m_grid(new QGridLayout(m_rows))
{
    m_page->setObjectName(objectName);
    auto *layout = new QVBoxLayout(m_page);
    layout->setContentsMargins(20, 10, 20, 10);
    auto *title = new QLabel(heading, m_page);
    title->setObjectName(objectName + QStringLiteral("Heading"));
    title->setFont(dialogFont(FontFace::SegoeUI, kHeadingPixels));
    layout->addWidget(title);
    if (scrolled) {
        auto *scroll = new QScrollArea(m_page);
        scroll->setObjectName(objectName + QStringLiteral("Scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(m_rows);
        layout->addWidget(scroll, 1);
    } else {
        m_rows->setParent(m_page);
        layout->addWidget(m_rows, 1);
    }
    m_grid->setContentsMargins(0, 5, 0, 0);
    m_grid->setColumnMinimumWidth(0, kLabelColumnWidth);
    m_grid->setColumnStretch(1, 1);
    m_grid->setVerticalSpacing(8);
}

void PageBuilder::addGroup(const QString &caption)
{
    if (m_row > 0)
        m_grid->setRowMinimumHeight(m_row++, 12);
    auto *label = new QLabel(caption, m_rows);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    m_grid->addWidget(label, m_row++, 0, 1, 3);
    auto *line = new QFrame(m_rows);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    m_grid->addWidget(line, m_row++, 0, 1, 3);
}

QLabel *PageBuilder::addLabel(const QString &text, QWidget *control)
{
    auto *label = new QLabel(text, m_rows);
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    m_grid->addWidget(label, m_row, 0);
    return label;
}

QLineEdit *PageBuilder::addEdit(const QString &label, const QString &name,
                                const QString &buttonName, SpeedButton **button)
{
    auto *edit = new QLineEdit(m_rows);
    edit->setObjectName(name);
    addLabel(label, edit);
    if (buttonName.isEmpty()) {
        m_grid->addWidget(edit, m_row, 1, 1, 2);
    } else {
        m_grid->addWidget(edit, m_row, 1);
        auto *btn = new SpeedButton(QStringLiteral("..."), m_rows);
        btn->setObjectName(buttonName);
        btn->setFixedWidth(kButtonWidth);
        m_grid->addWidget(btn, m_row, 2);
        if (button)
            *button = btn;
    }
    ++m_row;
    return edit;
}

QComboBox *PageBuilder::addCombo(const QString &label, const QString &name)
{
    auto *combo = new QComboBox(m_rows);
    combo->setObjectName(name);
    addLabel(label, combo);
    m_grid->addWidget(combo, m_row++, 1, 1, 2);
    return combo;
}

QCheckBox *PageBuilder::addCheck(const QString &caption, const QString &name)
{
    auto *check = new QCheckBox(caption, m_rows);
    check->setObjectName(name);
    m_grid->addWidget(check, m_row++, 1, 1, 2);
    return check;
}

void PageBuilder::addWidget(QWidget *widget)
{
    widget->setParent(m_rows);
    m_grid->addWidget(widget, m_row++, 1, 1, 2);
}

void PageBuilder::finish()
{
    m_grid->setRowStretch(m_row, 1);
}

void PageBuilder::setRowSpacing(int pixels)
{
    m_grid->setVerticalSpacing(pixels);
}

} // namespace tev
