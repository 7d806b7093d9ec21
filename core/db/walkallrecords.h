#pragma once

#include "platform/dataset/memdataset.h"

#include <QDebug>

namespace tev {

// Switches a dataset's filter off and clears it for a walk over every record; at the end of the
// scope, also after an error, a remembered non-empty filter is set and switched on again, the
// given index (if any) selected and the cursor put on the first record.
class WalkAllRecords
{
public:
    explicit WalkAllRecords(MemDataSet &dataSet)
        : m_dataSet(dataSet)
    {}
    void start(const QString &indexName = {})
    {
        m_filter = m_dataSet.filter();
        m_dataSet.setFiltered(false);
        m_dataSet.setFilter(QString());
        if (!indexName.isEmpty())
            m_dataSet.setIndexName(indexName);
        m_dataSet.first();
    }
    void restoreIndex(const QString &indexName) { m_restoreIndex = indexName; }
    ~WalkAllRecords()
    {
        try {
            if (m_dataSet.editing())
                m_dataSet.cancel();
            if (!m_filter.isEmpty()) {
                m_dataSet.setFilter(m_filter);
                m_dataSet.setFiltered(true);
            }
            if (!m_restoreIndex.isEmpty())
                m_dataSet.setIndexName(m_restoreIndex);
            m_dataSet.first();
        } catch (const std::exception &e) {
            qWarning("Cannot restore the dataset: %s", e.what());
        }
    }
    WalkAllRecords(const WalkAllRecords &) = delete;
    WalkAllRecords &operator=(const WalkAllRecords &) = delete;

private:
    MemDataSet &m_dataSet;
    QString m_filter;
    QString m_restoreIndex;
};

} // namespace tev
