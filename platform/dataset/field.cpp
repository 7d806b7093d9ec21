#include "platform/dataset/field.h"

#include "platform/dataset/dataset.h"
#include "platform/error.h"
#include "platform/text/formatsettings.h"

#include <cmath>

namespace tev {

namespace {

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return QStringLiteral("integer");
    case FieldType::Double:
        return QStringLiteral("floating-point");
    case FieldType::String:
    case FieldType::Memo:
        return QStringLiteral("text");
    }
    return {};
}

bool isNumberVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

Field::Field(const QString &name, FieldType type, int size, bool required)
    : m_name(name)
    , m_type(type)
    , m_size(size)
    , m_required(required)
    , m_displayLabel(name)
    , m_displayWidth(type == FieldType::String ? size : 10)
    , m_alignment(type == FieldType::Integer || type == FieldType::Double ? Qt::AlignRight
                                                                          : Qt::AlignLeft)
{}

Field::~Field() = default;

QVariant Field::convert(const QVariant &value) const
{
    return convertTo(m_type, m_name, value);
}

QVariant Field::convertTo(FieldType type, const QString &name, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    // A value that already has the stored type passes as it is.
    const int typeId = value.typeId();
    if ((type == FieldType::Integer && typeId == QMetaType::Int) ||
        (type == FieldType::Double && typeId == QMetaType::Double))
        return value;
    if ((type == FieldType::String || type == FieldType::Memo) && typeId == QMetaType::QString)
        return static_cast<const QString *>(value.constData())->isEmpty() ? QVariant() : value;
    auto mismatch = [&]() {
        return Error(QStringLiteral("'%1' is not a valid %2 value for field '%3'")
                         .arg(value.toString(), typeName(type), name));
    };
    switch (type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString text = value.toString();
        if (isNumberVariant(value) && value.typeId() == QMetaType::Double)
            text = QString::number(value.toDouble(), 'g', 15);
        if (text.isEmpty())
            return {};
        return text;
    }
    case FieldType::Integer: {
        if (isNumberVariant(value)) {
            if (value.typeId() == QMetaType::Double) {
                const double d = value.toDouble();
                if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 2147483647.0)
                    throw mismatch();
                return int(d);
            }
            bool ok = false;
            const qlonglong v = value.toLongLong(&ok);
            if (!ok || v < INT_MIN || v > INT_MAX)
                throw mismatch();
            return int(v);
        }
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok)
            throw mismatch();
        return v;
    }
    case FieldType::Double: {
        if (isNumberVariant(value))
            return value.toDouble();
        QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        text.replace(DecimalSeparator(), QLatin1Char('.'));
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok)
            throw mismatch();
        return v;
    }
    }
    return {};
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (m_type == FieldType::Integer)
        return v.toInt();
    return convertTo(FieldType::Integer, m_name, v).toInt();
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0.0;
    if (m_type == FieldType::Double || m_type == FieldType::Integer)
        return v.toDouble();
    return convertTo(FieldType::Double, m_name, v).toDouble();
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return {};
    if (m_type == FieldType::Double) {
        QString text = QString::number(v.toDouble(), 'g', 15);
        text.replace(QLatin1Char('.'), DecimalSeparator());
        return text;
    }
    return v.toString();
}

QString Field::displayText() const
{
    if (m_onGetText)
        return m_onGetText(*this);
    return asString();
}

void Field::setText(const QString &text)
{
    if (m_onSetText)
        m_onSetText(*this, text);
    else
        setValue(text);
}

} // namespace tev
