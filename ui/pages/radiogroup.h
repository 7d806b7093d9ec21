#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace tev {

// A titled group of radio buttons with an item index. Setting the index by code is silent;
// Clicked reports only a user's choice.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString &Caption, const QStringList &Items, QWidget *parent = nullptr);

    int ItemIndex() const;
    // -1 clears the choice.
    void SetItemIndex(int Index);
    int Count() const;

Q_SIGNALS:
    void Clicked();

private:
    QButtonGroup *FButtons;
};

} // namespace tev
