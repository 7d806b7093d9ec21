#pragma once

#include <QProgressBar>

namespace tev {

// A progress bar that keeps the original control's model: Min, Max, Step and a position that
// one step advances by Step, starting over from Min once it passes Max. The position starts at
// 0 whatever the range, so that N steps through a range of 1 to N end on a full bar.
class ProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    enum Style { Normal = 0, Marquee = 1 }; // marquee: continuous movement, no position shown

    explicit ProgressBar(QWidget *parent = nullptr);

    int min() const { return m_min; }
    int max() const { return m_max; }
    int step() const { return m_step; }
    int position() const { return m_position; }
    Style barStyle() const { return m_style; }

    void setMin(int value);
    void setMax(int value);
    void setStep(int value) { m_step = value; }
    void setPosition(int value); // kept within Min and Max
    void setBarStyle(Style style);

    void stepIt();

private:
    void updateShown();

    int m_min = 0;
    int m_max = 100;
    int m_step = 10;
    int m_position = 0;
    Style m_style = Normal;
};

} // namespace tev
