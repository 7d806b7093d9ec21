#include "ui/kit/progressbar.h"

namespace tev {

ProgressBar::ProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    setTextVisible(false);
    updateShown();
}

void ProgressBar::setMin(int value)
{
    m_min = value;
    updateShown();
}

void ProgressBar::setMax(int value)
{
    m_max = value;
    updateShown();
}

void ProgressBar::setPosition(int value)
{
    m_position = std::clamp(value, m_min, std::max(m_min, m_max));
    updateShown();
}

void ProgressBar::setBarStyle(Style style)
{
    m_style = style;
    updateShown();
}

void ProgressBar::stepIt()
{
    const qint64 span = qint64(m_max) - m_min;
    qint64 next = qint64(m_position) + m_step;
    if (span <= 0)
        next = m_min;
    else if (next > m_max)
        next = m_min + (next - m_min) % span; // past the end: start over
    else if (next < m_min)
        next = m_max - (m_min - next) % span;
    m_position = int(next);
    updateShown();
}

void ProgressBar::updateShown()
{
    if (m_style == Marquee) {
        setRange(0, 0); // Qt's busy indicator
        return;
    }
    setRange(m_min, std::max(m_min, m_max));
    if (m_position < m_min)
        reset();
    else
        setValue(std::min(m_position, m_max));
}

} // namespace tev
