#include "core/project/changestate.h"

#include <utility>

namespace tev {

namespace {

// One list for the values and their texts.
constexpr std::pair<quint32, const char *> kStateTexts[] = {
    {0, "OK"},
    {ChangeStateBits::NewProject, "New project"},
    {ChangeStateBits::HeaderChange, "Header change"},
    {ChangeStateBits::NewCharacteristics, "New characteristic(s)"},
    {ChangeStateBits::UnknownCharacteristics, "File has unknown characteristic(s)"},
    {ChangeStateBits::LimitChange, "Spec. change"},
    {ChangeStateBits::CharacteristicsChanged, "Characteristic(s) changed"},
};

} // namespace

QString ChangeStateToText(quint32 State)
{
    for (const auto &[value, text] : kStateTexts) {
        if (value == State)
            return QString::fromLatin1(text);
    }
    return QStringLiteral("Changed");
}

QString ChangeStateSummary(quint32 State)
{
    if (State == 0)
        return QStringLiteral("OK");
    if (State & ChangeStateBits::NewProject)
        return QStringLiteral("New project");
    QString text;
    if (State & ChangeStateBits::HeaderChange)
        text += QLatin1String("Header changed, ");
    if (State & ChangeStateBits::CharacteristicMask)
        text += QLatin1String("characteristic(s) changed, ");
    if (text.endsWith(QLatin1String(", ")))
        text.chop(2);
    return text;
}

quint32 ChangeStateFromText(const QString &Text)
{
    for (quint32 value = 1; value <= 128; value <<= 1) {
        if (ChangeStateToText(value) == Text)
            return value;
    }
    return 0;
}

} // namespace tev
