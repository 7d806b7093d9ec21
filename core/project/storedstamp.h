#pragma once

// Stale writes. Several clients may hold the same project: a client that writes it must not
// replace, without a word, what another client stored after this one last read or wrote it.
//
// The database gives a project's row a new write stamp with every write of the row, whoever
// makes it (a client of this program, a propagation of a master, or an older program that knows
// nothing of stamps). A client keeps the stamp it last read or wrote; a write that expects it
// compares it with the stored one, in the write's own transaction and at the cost of one row.
// A row stored before the database kept stamps has none until it is next written.

#include "platform/error.h"

#include <QtGlobal>
#include <optional>

namespace tev {

class TStoredStamp
{
public:
    enum class Kind {
        Any,     // checks nothing: the write replaces whatever is stored
        Missing, // the project had no row
        Stored,  // the project's row with this stamp (none for a row without one)
    };

    // Any.
    TStoredStamp() = default;
    static TStoredStamp Missing() { return TStoredStamp(Kind::Missing, std::nullopt); }
    static TStoredStamp Stored(std::optional<qint64> Value)
    {
        return TStoredStamp(Kind::Stored, Value);
    }

    Kind kind() const { return m_kind; }
    const std::optional<qint64> &value() const { return m_value; }
    bool checks() const { return m_kind != Kind::Any; }
    // Whether the stored project (RowExists, with its stamp) is still the one this was taken of.
    bool matches(bool RowExists, const std::optional<qint64> &Stamp) const
    {
        switch (m_kind) {
        case Kind::Any:
            return true;
        case Kind::Missing:
            return !RowExists;
        case Kind::Stored:
            return RowExists && Stamp == m_value;
        }
        return false;
    }

    bool operator==(const TStoredStamp &Other) const = default;

private:
    TStoredStamp(Kind Kind, std::optional<qint64> Value)
        : m_kind(Kind)
        , m_value(Value)
    {}

    Kind m_kind = Kind::Any;
    std::optional<qint64> m_value;
};

// A write refused because another client wrote the project after this client last read or wrote
// it. Nothing of the refused write was stored. Declined tells that the user was asked and chose
// to keep the other client's save.
class StaleWriteError : public Error
{
public:
    explicit StaleWriteError(const QString &Message, bool Declined = false)
        : Error(Message)
        , m_declined(Declined)
    {}
    bool declined() const noexcept { return m_declined; }

private:
    bool m_declined;
};

// What the owner of a project answered when a write found it changed by another client.
enum class TStaleAnswer {
    NotAsked,  // nobody was asked (a script runs): the write fails with StaleWriteError
    Overwrite, // write anyway
    Keep,      // store nothing and keep the changes in memory
};

} // namespace tev
