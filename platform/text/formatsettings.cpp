#include "platform/text/formatsettings.h"

#include <QLocale>

namespace tev {

namespace {
QChar g_decimalSeparator = QLatin1Char('.');
}

QChar DecimalSeparator()
{
    return g_decimalSeparator;
}

void SetDecimalSeparator(QChar separator)
{
    g_decimalSeparator = separator;
}

void InitFormatSettings()
{
    const QString point = QLocale::system().decimalPoint();
    g_decimalSeparator = point.isEmpty() ? QLatin1Char('.') : point.front();
}

} // namespace tev
