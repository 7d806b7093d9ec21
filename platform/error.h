#pragma once

#include <QString>
#include <stdexcept>

namespace tev {

// The one exception type our own code throws for an error that passes to the caller. It carries
// the user-facing message as a QString so that no text is lost to a narrow encoding.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace tev
