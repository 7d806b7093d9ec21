#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

namespace tev {

// What an operation that copies or removes files did with them, so that no file is skipped or
// lost without a word. Entries of Skipped and Failed read "name: reason".
struct TFileReport
{
    Q_GADGET
    Q_PROPERTY(QStringList Copied MEMBER Copied)
    Q_PROPERTY(QStringList Skipped MEMBER Skipped)
    Q_PROPERTY(QStringList Failed MEMBER Failed)

public:
    QStringList Copied;  // the names copied or removed
    QStringList Skipped; // left alone on purpose (already there, the same file)
    QStringList Failed;  // could not be copied or removed, or refused

    bool Ok() const { return Failed.isEmpty(); }
    void Add(const TFileReport &Other)
    {
        Copied += Other.Copied;
        Skipped += Other.Skipped;
        Failed += Other.Failed;
    }
    // The skipped and failed files as lines, for a message.
    Q_INVOKABLE QString Summary() const;
};

} // namespace tev
