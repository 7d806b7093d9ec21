#pragma once

#include <QObject>

namespace tev {

// Keeps the user's hands off the program for one scope: while it lives, every mouse, key, wheel
// and close event of any window is dropped, so that a long operation that processes events at
// every step (and cannot be undone half-way) is never interrupted or overtaken by another
// command. Painting and timers go on.
class UserInputBlocker : public QObject
{
    Q_OBJECT
public:
    UserInputBlocker();
    ~UserInputBlocker() override;
    UserInputBlocker(const UserInputBlocker &) = delete;
    UserInputBlocker &operator=(const UserInputBlocker &) = delete;

    // How many events were dropped so far.
    int dropped() const { return m_dropped; }
    // Whether a blocker lives: a question now could not be answered.
    static bool Active() { return s_active > 0; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_dropped = 0;
    static inline int s_active = 0;
};

} // namespace tev
