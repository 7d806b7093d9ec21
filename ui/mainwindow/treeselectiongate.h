#pragma once

#include <QItemSelectionModel>
#include <functional>

namespace tev {

// The selection model of the sequence tree. Before a change would alter which nodes are
// selected, it asks its owner, who may refuse (the save question's Cancel); a refused change
// leaves the selection and the current node where they were. It also keeps a multiple
// selection among siblings: nodes added to a selection must share the parent of those already
// selected. A view moves its current node before it selects (a mouse press); a refused
// selection puts the current node back.
class TTreeSelectionGate : public QItemSelectionModel
{
    Q_OBJECT
public:
    // Receives the node that would become current (or be selected); returns whether the change
    // may happen.
    using Changing = std::function<bool(const QModelIndex &target)>;

    explicit TTreeSelectionGate(QAbstractItemModel *model, QObject *parent = nullptr);

    void SetOnChanging(Changing handler) { m_changing = std::move(handler); }

    using QItemSelectionModel::select;
    void select(const QItemSelection &selection,
                QItemSelectionModel::SelectionFlags command) override;
    void setCurrentIndex(const QModelIndex &index,
                         QItemSelectionModel::SelectionFlags command) override;

private:
    QItemSelection AmongSiblings(const QItemSelection &selection,
                                 QItemSelectionModel::SelectionFlags command) const;
    bool WouldChange(const QItemSelection &selection,
                     QItemSelectionModel::SelectionFlags command) const;
    bool MayChange(const QModelIndex &target);
    void RestoreCurrent();

    Changing m_changing;
    bool m_approved = false;
    // The answer for a target holds for the rest of the event that asked: a view selects in
    // several steps, and the user is asked once.
    QPersistentModelIndex m_decidedTarget;
    bool m_decided = false;
    bool m_decision = false;
    QPersistentModelIndex m_previousCurrent;
};

} // namespace tev
