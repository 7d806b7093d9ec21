#pragma once

#include <QLabel>
#include <QPointer>

namespace tev {

class DataSetModel;

// A data-aware text: shows the display text of one field of the data source's current record,
// and nothing when there is no record or no such field.
class TDBText : public QLabel
{
    Q_OBJECT
public:
    explicit TDBText(QWidget *parent = nullptr);

    DataSetModel *DataSource() const { return m_source; }
    void SetDataSource(DataSetModel *source);
    QString DataField() const { return m_field; }
    void SetDataField(const QString &field);

    // Reads the text again from the data source.
    void Refresh();

private:
    QPointer<DataSetModel> m_source;
    QString m_field;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace tev
