#include "core/db/fieldmerge.h"

#include "core/lib/fieldroutines.h"
#include "platform/dataset/dataset.h"

#include <QStringList>
#include <cmath>

namespace tev {

FieldMerge::FieldMerge(const DataSet &Src, DataSet &Dst, const QString &IgnoreFields)
{
    const QStringList ignore = IgnoreFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < Src.fieldCount(); ++i) {
        const Field &f = Src.field(i);
        if (ignore.contains(f.fieldName(), Qt::CaseInsensitive))
            continue;
        if (Field *d = Dst.findField(f.fieldName()))
            m_pairs.push_back({&f, d});
    }
    m_state = Dst.findField(QStringLiteral("STATE"));
    if (!m_state)
        m_state = Dst.findField(QStringLiteral("TEMPSTATE"));
}

void FieldMerge::Merge(int Bit, int &Bits, int Decimals) const
{
    int local = 0;
    for (const Pair &p : m_pairs) {
        bool equal;
        if (p.dst->isFloat()) {
            // NULL is NaN and equals nothing, not even another NULL.
            const double a = GetFieldDouble(p.dst, Decimals);
            const double b = GetFieldDouble(p.src, Decimals);
            equal = !std::isnan(a) && !std::isnan(b) && a == b;
        } else {
            const QVariant fv = p.src->value();
            const QVariant dv = p.dst->value();
            equal = (!fv.isValid() && !dv.isValid()) || fv == dv ||
                    p.src->asString() == p.dst->asString();
        }
        if (!equal) {
            p.dst->setValue(p.src->value());
            local |= Bit;
        }
    }
    if (m_state)
        m_state->setAsInteger(local);
    Bits |= local;
}

FieldCopy::FieldCopy(const DataSet &Src, DataSet &Dst)
{
    for (int i = 0; i < Dst.fieldCount(); ++i) {
        Field &dest = Dst.field(i);
        if (const Field *source = Src.findField(dest.fieldName()))
            m_pairs.emplace_back(source, &dest);
    }
}

void FieldCopy::Copy() const
{
    for (const auto &[source, dest] : m_pairs)
        dest->setValue(source->value());
}

} // namespace tev
