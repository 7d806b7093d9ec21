#include "ui/pages/radiogroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tev {

TRadioGroup::TRadioGroup(const QString &Caption, const QStringList &Items, QWidget *parent)
    : QGroupBox(Caption, parent)
    , FButtons(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < Items.size(); ++i) {
        auto *button = new QRadioButton(Items[i], this);
        FButtons->addButton(button, i);
        layout->addWidget(button);
    }
    connect(FButtons, &QButtonGroup::idClicked, this, &TRadioGroup::Clicked);
}

int TRadioGroup::ItemIndex() const
{
    return FButtons->checkedId();
}

void TRadioGroup::SetItemIndex(int Index)
{
    if (QAbstractButton *button = FButtons->button(Index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is chosen only with exclusivity off.
    FButtons->setExclusive(false);
    for (QAbstractButton *button : FButtons->buttons())
        button->setChecked(false);
    FButtons->setExclusive(true);
}

int TRadioGroup::Count() const
{
    return int(FButtons->buttons().size());
}

} // namespace tev
