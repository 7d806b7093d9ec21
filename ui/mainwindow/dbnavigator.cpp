#include "ui/mainwindow/dbnavigator.h"

#include "platform/dataset/dataset.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/mainwindow/reportedslot.h"
#include "ui/models/datasetmodel.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace tev {

namespace {

struct ButtonLook
{
    const char *objectName;
    const char *glyph;
    int hintIndex;
};

constexpr std::array<ButtonLook, TDBNavigator::ButtonCount> kButtons{{
    {"BtnInsert", "+", 4},
    {"BtnDelete", "\u2212", 5},
    {"BtnEdit", "\u25B2", 6},
    {"BtnPost", "\u2713", 7},
    {"BtnCancel", "\u2715", 8},
    {"BtnRefresh", "\u21BB", 9},
}};

} // namespace

QStringList TDBNavigator::Hints()
{
    return {QStringLiteral("First"),
            QStringLiteral("Prior"),
            QStringLiteral("Next"),
            QStringLiteral("Last"),
            QStringLiteral("Insert Record"),
            QStringLiteral("Delete Record"),
            QStringLiteral("Edit Record"),
            QStringLiteral("Apply"),
            QStringLiteral("Cancel"),
            QStringLiteral("Refresh"),
            QStringLiteral("Aktualisierung durchführen"),
            QStringLiteral("Aktualisierungen abbrechen")};
}

TDBNavigator::TDBNavigator(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    const QStringList hints = Hints();
    for (int i = 0; i < ButtonCount; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[size_t(i)].objectName));
        button->setText(QString::fromUtf8(kButtons[size_t(i)].glyph));
        button->setToolTip(hints.value(kButtons[size_t(i)].hintIndex));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(40, 40);
        QFont font = button->font();
        font.setPixelSize(18);
        button->setFont(font);
        layout->addWidget(button);
        m_buttons[size_t(i)] = button;
        const auto which = Button(i);
        connect(button, &QToolButton::clicked, this, reported([this, which] { BtnClick(which); }));
    }
    UpdateButtons();
}

void TDBNavigator::SetDataSource(DataSetModel *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &QAbstractItemModel::modelReset, this, &TDBNavigator::UpdateButtons);
        connect(source, &DataSetModel::currentRowChanged, this, &TDBNavigator::UpdateButtons);
    }
    UpdateButtons();
}

void TDBNavigator::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    UpdateButtons();
}

void TDBNavigator::BtnClick(Button which)
{
    DataSet *data = m_source ? m_source->dataSet() : nullptr;
    if (which == nbRefresh) {
        if (m_onRefresh)
            m_onRefresh();
        UpdateButtons();
        return;
    }
    if (!data || !data->active() || m_readOnly)
        return;
    // The model is read again in every case, also when the dataset refused.
    struct Reread
    {
        TDBNavigator *self;
        ~Reread()
        {
            if (self->m_source)
                self->m_source->refresh();
            self->UpdateButtons();
        }
    } reread{this};
    switch (which) {
    case nbInsert:
        data->append();
        break;
    case nbDelete:
        if (!data->isEmpty() && KelConfirm(QStringLiteral("Delete record?")) == mrOk)
            data->deleteRecord();
        break;
    case nbEdit:
        data->edit();
        break;
    case nbPost:
        data->post();
        break;
    case nbCancel:
        data->cancel();
        break;
    default:
        break;
    }
}

void TDBNavigator::UpdateButtons()
{
    const DataSet *data = m_source ? m_source->dataSet() : nullptr;
    const bool active = data && data->active();
    const bool editing = active && data->editing();
    const bool modify = active && !m_readOnly;
    m_buttons[nbInsert]->setEnabled(modify && !editing);
    m_buttons[nbDelete]->setEnabled(modify && !editing && !data->isEmpty());
    m_buttons[nbEdit]->setEnabled(modify && !editing && !data->isEmpty());
    m_buttons[nbPost]->setEnabled(modify && editing);
    m_buttons[nbCancel]->setEnabled(modify && editing);
    m_buttons[nbRefresh]->setEnabled(active && !editing);
}

} // namespace tev
