#pragma once

#include <QDebug>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for the Qt values the UI tests compare.
template <typename T> inline std::string qtDebugText(const T &value)
{
    QString text;
    QDebug(&text).nospace() << value;
    return text.toStdString();
}
inline void PrintTo(const QString &v, std::ostream *os)
{
    *os << qtDebugText(v);
}
inline void PrintTo(const QStringList &v, std::ostream *os)
{
    *os << qtDebugText(v);
}
inline void PrintTo(const QRect &v, std::ostream *os)
{
    *os << qtDebugText(v);
}
inline void PrintTo(const QSize &v, std::ostream *os)
{
    *os << qtDebugText(v);
}
inline void PrintTo(const QPoint &v, std::ostream *os)
{
    *os << qtDebugText(v);
}
