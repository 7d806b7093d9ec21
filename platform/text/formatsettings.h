#pragma once

#include <QChar>

namespace tev {

// The program-wide decimal separator that number texts use. It is our own value, taken from the
// user's locale once at start (InitFormatSettings), and never the C or Qt locale, so that other
// libraries cannot change how Tevora reads and writes numbers. Main thread only.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);

// Sets the separator from the user's locale (QLocale::system()). Called once at start.
void InitFormatSettings();

// Replaces the program-wide decimal separator for one scope and puts the previous one back when
// the scope ends, also when it ends by an exception.
class DecimalSeparatorGuard
{
public:
    explicit DecimalSeparatorGuard(QChar separator) : m_previous(DecimalSeparator())
    {
        SetDecimalSeparator(separator);
    }
    ~DecimalSeparatorGuard() { SetDecimalSeparator(m_previous); }
    DecimalSeparatorGuard(const DecimalSeparatorGuard &) = delete;
    DecimalSeparatorGuard &operator=(const DecimalSeparatorGuard &) = delete;

private:
    QChar m_previous;
};

} // namespace tev
