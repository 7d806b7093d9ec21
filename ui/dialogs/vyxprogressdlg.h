#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QTimer;

namespace tev {

class ButtonPanel;
class ProgressBar;
class SpeedButton;

// The progress window of a long operation that runs on the main thread: a stack of captioned
// bars, the newest at the bottom. Each step repaints the window and processes all pending
// events, so the Cancel button and the Cancel key work while the operation runs. It is not
// modal; the operation asks at every step whether to go on.
//
// Bar index -1 always means the newest bar. A cancel latches: from then on every step yields
// false, until the window is freed.
class TVYXProgressDlg : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 406;
    static constexpr int kPanelHeight = 45;
    static constexpr int kMarqueeIntervalMs = 200;

    explicit TVYXProgressDlg(QWidget *owner = nullptr);

    int Init(int min, int max, int step, const QString &caption);
    int InitMarquee(const QString &caption);

    bool StepIt();
    bool StepIt(int barIndex);
    bool StepIt(const QString &caption);
    bool StepIt(const QString &caption, int barIndex);
    bool SetPosition(int pos, const QString &caption, int barIndex);

    void FinishProgress(int barIndex);
    void FinishRecentProgress();
    void FinishAll() {} // nothing to do: the bars go with the window
    void CancelProgress();

    int BarCount() const { return int(m_bars.size()); }
    bool cancelled() const { return m_cancelled; }
    ProgressBar *GetBar(int index) const;
    QLabel *GetLabel(int index) const;
    ButtonPanel *pnlBottom() const { return m_pnlBottom; }
    SpeedButton *cancelBtn() const { return m_cancelBtn; }
    QTimer *marqueeTimer() const { return m_marqueeTimer; }

public Q_SLOTS:
    void CancelBtnClick();

private:
    int AddBar(int style);
    void UpdateLayout();
    int resolveIndex(int barIndex) const;
    // Runs change on the bar when the index is valid and not cancelled; repaints and processes
    // events in every case.
    template <typename Change> bool stepBar(int barIndex, Change &&change);
    void showAndProcess();
    void FormKeyDown(QKeyEvent &event);
    void MarqueeTimerTimer();

    ButtonPanel *m_pnlBottom;
    SpeedButton *m_cancelBtn;
    QTimer *m_marqueeTimer;
    QList<QPointer<ProgressBar>> m_bars;
    bool m_cancelled = false;
};

// The global progress window: ShowProgress creates it on first use (owned by the main form) and
// adds a bar, returning its index; StepProgress is the progress callback of long operations and
// yields whether to go on (false without a window); HideProgress frees the window.
int ShowProgress(int min, int max, int step, const QString &caption);
bool StepProgress(const QString &caption, int barIndex);
void HideProgress();
TVYXProgressDlg *progressDialog();

} // namespace tev
