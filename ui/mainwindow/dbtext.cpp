#include "ui/mainwindow/dbtext.h"

#include "ui/models/datasetmodel.h"

namespace tev {

TDBText::TDBText(QWidget *parent)
    : QLabel(parent)
{}

void TDBText::SetDataSource(DataSetModel *source)
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections << connect(source, &QAbstractItemModel::modelReset, this, &TDBText::Refresh)
                      << connect(source, &QAbstractItemModel::dataChanged, this, &TDBText::Refresh)
                      << connect(source, &QAbstractItemModel::layoutChanged, this,
                                 &TDBText::Refresh)
                      << connect(source, &DataSetModel::currentRowChanged, this, &TDBText::Refresh);
    }
    Refresh();
}

void TDBText::SetDataField(const QString &field)
{
    m_field = field;
    Refresh();
}

void TDBText::Refresh()
{
    QString text;
    if (m_source) {
        const int column = m_source->fieldColumn(m_field);
        const int row = m_source->currentRow();
        if (column >= 0 && row >= 0)
            text = m_source->data(m_source->index(row, column)).toString();
    }
    setText(text);
}

} // namespace tev
