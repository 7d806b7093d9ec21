#pragma once

// TFDDataSet: a dataset as scripts use it. A cursor over records (First, Next, Prior, Last, Eof,
// Bof, RecordCount), the current record's fields by name (FieldByName, FindField, each a TField),
// and editing (Edit, Append, Post, Cancel, Delete) where the dataset allows it.
//
// It is the base of TFDQuery and TFDMemTable, and the script's view of a dataset the program
// owns (the project's DataSetProject and DataSetChars), which the script may read and edit but
// not open or close.

#include <QHash>
#include <QObject>
#include <QPointer>

namespace tev {

class DataSet;
class TField;

class TFDDataSet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Eof READ Eof)
    Q_PROPERTY(bool Bof READ Bof)
    Q_PROPERTY(int RecordCount READ RecordCount)
    Q_PROPERTY(int FieldCount READ FieldCount)

public:
    // A view of a dataset that the program owns and opens; it must outlive the view (make the
    // view a child of the dataset's owner).
    TFDDataSet(DataSet &ADataSet, QObject *AOwner);
    ~TFDDataSet() override;

    bool Active() const;
    void SetActive(bool Value);
    bool Eof() const;
    bool Bof() const;
    int RecordCount() const;
    int FieldCount() const;

    Q_INVOKABLE void Open();
    Q_INVOKABLE void Close();
    Q_INVOKABLE void First();
    Q_INVOKABLE void Next();
    Q_INVOKABLE void Prior();
    Q_INVOKABLE void Last();
    Q_INVOKABLE bool IsEmpty() const { return RecordCount() == 0; }
    Q_INVOKABLE void Edit();
    Q_INVOKABLE void Append();
    Q_INVOKABLE void Insert() { Append(); }
    Q_INVOKABLE void Post();
    Q_INVOKABLE void Cancel();
    Q_INVOKABLE void Delete();
    // The field of the current record; a name the dataset lacks throws tev::Error.
    Q_INVOKABLE QObject *FieldByName(const QString &FieldName);
    // The same, or nil when there is none.
    Q_INVOKABLE QObject *FindField(const QString &FieldName);

protected:
    explicit TFDDataSet(QObject *AOwner);
    // The dataset the cursor works on; null while there is none (a closed query).
    virtual DataSet *CurrentDataSet() const { return FBorrowed; }
    virtual void DoOpen();
    virtual void DoClose();
    // Drops the field views (their fields go with a reopened result).
    void ResetFields();
    DataSet &Checked() const;

private:
    DataSet *FBorrowed = nullptr;
    QHash<QString, QPointer<TField>> FFields; // upper-case name
};

} // namespace tev
