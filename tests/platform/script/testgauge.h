#pragma once

#include <QObject>
#include <QStringList>

#include "platform/error.h"

// A host object for binding tests: properties, invokable methods and a signal.
class TestGauge : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int reading READ reading WRITE setReading)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QString toolTip READ toolTip WRITE setToolTip)

public:
    explicit TestGauge(QObject *parent = nullptr)
        : QObject(parent)
    {}

    QString caption() const { return m_caption; }
    void setCaption(const QString &c) { m_caption = c; }
    int reading() const { return m_reading; }
    void setReading(int r) { m_reading = r; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool e) { m_enabled = e; }
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &t) { m_toolTip = t; }

    Q_INVOKABLE int scaled(int factor) const { return m_reading * factor; }
    Q_INVOKABLE QString describe(const QString &prefix, double value) const
    {
        return prefix + QString::number(value);
    }
    Q_INVOKABLE void fire() { Q_EMIT clicked(); }
    Q_INVOKABLE void calibrate() { throw tev::Error(QStringLiteral("Gauge not connected")); }

    QStringList log;

Q_SIGNALS:
    void clicked();

private:
    QString m_caption;
    int m_reading = 0;
    bool m_enabled = true;
    QString m_toolTip;
};
