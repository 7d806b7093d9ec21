#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QToolButton;

namespace tev {

class DataSetModel;

// A record navigator over a data source: a row of buttons that insert, delete, edit, post,
// cancel and refresh, each enabled as the data source's state allows. Datasets without
// notifications are read again after every button. Errors of the dataset pass to the caller of
// the button's handler, so that they reach the program's error dialog.
class TDBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Button { nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh, ButtonCount };

    explicit TDBNavigator(QWidget *parent = nullptr);

    DataSetModel *DataSource() const { return m_source; }
    void SetDataSource(DataSetModel *source);
    // A read-only data source only refreshes.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }
    // What the refresh button does: the owner opens its query again.
    void SetOnRefresh(std::function<void()> handler) { m_onRefresh = std::move(handler); }

    QToolButton *button(Button which) const { return m_buttons[which]; }
    void BtnClick(Button which);
    void UpdateButtons();

    // The hints of the buttons the navigator knows, in the data layer's order; only those of
    // the six buttons above are shown.
    static QStringList Hints();

private:
    QPointer<DataSetModel> m_source;
    std::array<QToolButton *, ButtonCount> m_buttons{};
    bool m_readOnly = true;
    std::function<void()> m_onRefresh;
};

} // namespace tev
