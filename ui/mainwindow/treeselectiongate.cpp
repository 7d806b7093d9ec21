#include "ui/mainwindow/treeselectiongate.h"

#include <QSet>
#include <QTimer>

namespace tev {

namespace {

QSet<QPersistentModelIndex> RowsOf(const QModelIndexList &indexes)
{
    QSet<QPersistentModelIndex> rows;
    for (const QModelIndex &index : indexes)
        rows.insert(index.siblingAtColumn(0));
    return rows;
}

} // namespace

TTreeSelectionGate::TTreeSelectionGate(QAbstractItemModel *model, QObject *parent)
    : QItemSelectionModel(model, parent)
{}

QItemSelection TTreeSelectionGate::AmongSiblings(const QItemSelection &selection,
                                                 QItemSelectionModel::SelectionFlags command) const
{
    if (command & QItemSelectionModel::Clear || !hasSelection() ||
        !(command & (QItemSelectionModel::Select | QItemSelectionModel::Toggle)))
        return selection;
    const QModelIndex parent = selectedIndexes().constFirst().parent();
    QItemSelection kept;
    for (const QItemSelectionRange &range : selection)
        if (range.parent() == parent)
            kept.append(range);
    return kept;
}

bool TTreeSelectionGate::WouldChange(const QItemSelection &selection,
                                     QItemSelectionModel::SelectionFlags command) const
{
    const QSet<QPersistentModelIndex> before = RowsOf(selectedIndexes());
    QSet<QPersistentModelIndex> after =
        command & QItemSelectionModel::Clear ? QSet<QPersistentModelIndex>() : before;
    for (const QModelIndex &index : selection.indexes()) {
        const QPersistentModelIndex row = index.siblingAtColumn(0);
        if (command & QItemSelectionModel::Toggle) {
            if (!after.remove(row))
                after.insert(row);
        } else if (command & QItemSelectionModel::Deselect) {
            after.remove(row);
        } else if (command & QItemSelectionModel::Select) {
            after.insert(row);
        }
    }
    return after != before;
}

bool TTreeSelectionGate::MayChange(const QModelIndex &target)
{
    if (m_approved || !m_changing)
        return true;
    if (m_decided && m_decidedTarget == QPersistentModelIndex(target))
        return m_decision;
    const bool allow = m_changing(target);
    m_decided = true;
    m_decidedTarget = target;
    m_decision = allow;
    QTimer::singleShot(0, this, [this] {
        m_decided = false;
        m_decidedTarget = QPersistentModelIndex();
    });
    return allow;
}

void TTreeSelectionGate::RestoreCurrent()
{
    if (m_previousCurrent.isValid() && currentIndex() != QModelIndex(m_previousCurrent))
        QItemSelectionModel::setCurrentIndex(m_previousCurrent, QItemSelectionModel::NoUpdate);
}

void TTreeSelectionGate::select(const QItemSelection &selection,
                                QItemSelectionModel::SelectionFlags command)
{
    const QItemSelection kept = AmongSiblings(selection, command);
    if (command != QItemSelectionModel::NoUpdate && WouldChange(kept, command)) {
        const QModelIndex target = kept.isEmpty() ? QModelIndex() : kept.indexes().constLast();
        if (!MayChange(target)) {
            RestoreCurrent();
            return;
        }
    }
    QItemSelectionModel::select(kept, command);
}

void TTreeSelectionGate::setCurrentIndex(const QModelIndex &index,
                                         QItemSelectionModel::SelectionFlags command)
{
    m_previousCurrent = currentIndex();
    if (command != QItemSelectionModel::NoUpdate && !m_approved) {
        const QItemSelection kept = AmongSiblings(QItemSelection(index, index), command);
        if (WouldChange(kept, command)) {
            if (!MayChange(index))
                return;
            // The base selects through select(); the change is approved once.
            m_approved = true;
            struct Reset
            {
                bool &flag;
                ~Reset() { flag = false; }
            } reset{m_approved};
            QItemSelectionModel::setCurrentIndex(index, command);
            return;
        }
    }
    QItemSelectionModel::setCurrentIndex(index, command);
}

} // namespace tev
