#pragma once

// Text that a dataset keeps in a cheaper form and builds only when it is read. A large routine
// holds each characteristic's name=value lines this way: the row of the file as the file holds
// it, shared by all records of one read, instead of a text of ten times the row per record.
//
// A field never shows the difference: every read of the value gives the built text, and a value
// stored through a field is plain text again.

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <memory>

namespace tev {

class DeferredTextSource
{
public:
    virtual ~DeferredTextSource();
    // The text of one entry; row and extra are what the source handed out for it.
    virtual QString text(quint32 row, quint32 extra) const = 0;
};

struct DeferredText
{
    std::shared_ptr<const DeferredTextSource> source;
    quint32 row = 0;
    quint32 extra = 0;

    QString text() const { return source ? source->text(row, extra) : QString(); }
};

bool IsDeferredText(const QVariant &value);
// The value as a reader sees it: deferred text built, every other value as it is.
QVariant PlainValue(const QVariant &value);

} // namespace tev

Q_DECLARE_TYPEINFO(tev::DeferredText, Q_RELOCATABLE_TYPE);
Q_DECLARE_METATYPE(tev::DeferredText)
