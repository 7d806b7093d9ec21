#include "ui/dialogs/vyxprogressdlg.h"

#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/kelform.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/mainform.h"
#include "ui/kit/progressbar.h"
#include "ui/kit/speedbutton.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <memory>

namespace tev {

namespace {

constexpr int kTopPadding = 5;
constexpr int kLabelTopMargin = 15;
constexpr int kBarTopMargin = 10;
constexpr int kBarHeight = 25;
constexpr int kSideMargin = 10;

QPointer<TVYXProgressDlg> &globalDialog()
{
    static QPointer<TVYXProgressDlg> dialog;
    return dialog;
}

// Frees a widget at once, so that a search by its name no longer finds it.
void freeNow(QObject *object)
{
    std::unique_ptr<QObject> doomed(object);
}

} // namespace

TVYXProgressDlg::TVYXProgressDlg(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_pnlBottom(new ButtonPanel(this))
    , m_marqueeTimer(new QTimer(this))
{
    // The window manager's lists and the task bar name the window as they name the program's other
    // windows.
    setWindowTitle(applicationTitle());
    const QFont font = dialogFont(FontFace::Tahoma, 13);
    setFont(font);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_pnlBottom->setObjectName(QStringLiteral("PnlBottom"));
    m_pnlBottom->setColor(colorFromValue(kColorButtonPanel));
    m_pnlBottom->hide();
    m_cancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), font, m_pnlBottom);
    m_pnlBottom->addRightAligned(m_cancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    connect(m_cancelBtn, &SpeedButton::clicked, this, &TVYXProgressDlg::CancelBtnClick);
    m_marqueeTimer->setObjectName(QStringLiteral("MarqueeTimer"));
    m_marqueeTimer->setInterval(kMarqueeIntervalMs);
    connect(m_marqueeTimer, &QTimer::timeout, this, &TVYXProgressDlg::MarqueeTimerTimer);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
    UpdateLayout();
}

ProgressBar *TVYXProgressDlg::GetBar(int index) const
{
    return findChild<ProgressBar *>(QStringLiteral("ProgressBar%1").arg(index),
                                    Qt::FindDirectChildrenOnly);
}

QLabel *TVYXProgressDlg::GetLabel(int index) const
{
    return findChild<QLabel *>(QStringLiteral("Label%1").arg(index), Qt::FindDirectChildrenOnly);
}

int TVYXProgressDlg::AddBar(int style)
{
    const int n = BarCount();
    auto *bar = new ProgressBar(this);
    m_bars.append(bar);
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label%1").arg(n));
    label->setTextFormat(Qt::PlainText);
    bar->setObjectName(QStringLiteral("ProgressBar%1").arg(n));
    bar->setBarStyle(style == ProgressBar::Marquee ? ProgressBar::Marquee : ProgressBar::Normal);
    label->show();
    bar->show();
    UpdateLayout();
    return n;
}

void TVYXProgressDlg::UpdateLayout()
{
    // Label and bar pairs stack from the top; each label's height follows its font.
    int bottom = kTopPadding;
    int largestBottom = 0;
    bool recentNormal = false;
    bool recentMarquee = false;
    const int width = kClientWidth - 2 * kSideMargin;
    for (int i = 0; i < BarCount(); ++i) {
        ProgressBar *bar = m_bars[i];
        if (!bar)
            continue;
        int top = bottom + kLabelTopMargin;
        if (QLabel *label = GetLabel(i)) {
            const int h = label->fontMetrics().height();
            label->setGeometry(kSideMargin, top, width, h);
            top += h;
        }
        top += kBarTopMargin;
        bar->setGeometry(kSideMargin, top, width, kBarHeight);
        bottom = top + kBarHeight;
        largestBottom = std::max(largestBottom, bottom);
        recentNormal = bar->barStyle() == ProgressBar::Normal;
        recentMarquee = bar->barStyle() == ProgressBar::Marquee;
    }
    m_pnlBottom->setVisible(recentNormal);
    int clientHeight = largestBottom + 5;
    if (recentNormal)
        clientHeight += kPanelHeight;
    setFixedSize(kClientWidth, clientHeight);
    m_pnlBottom->setGeometry(0, clientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    m_pnlBottom->relayout();
    if (recentMarquee)
        m_marqueeTimer->start();
    else
        m_marqueeTimer->stop();
}

void TVYXProgressDlg::showAndProcess()
{
    if (isHidden()) {
        centerOn(*this, parentWidget()); // at its height of now
        show();
    }
    raise();
    repaint();
    QCoreApplication::processEvents();
}

int TVYXProgressDlg::Init(int min, int max, int step, const QString &caption)
{
    const int n = AddBar(ProgressBar::Normal);
    GetLabel(n)->setText(caption);
    ProgressBar *bar = GetBar(n);
    bar->setMin(min);
    bar->setMax(max);
    bar->setStep(step);
    showAndProcess();
    return n;
}

int TVYXProgressDlg::InitMarquee(const QString &caption)
{
    const int n = AddBar(ProgressBar::Marquee);
    GetLabel(n)->setText(caption);
    showAndProcess();
    return n;
}

int TVYXProgressDlg::resolveIndex(int barIndex) const
{
    return barIndex == -1 ? BarCount() - 1 : barIndex;
}

template <typename Change> bool TVYXProgressDlg::stepBar(int barIndex, Change &&change)
{
    const int index = resolveIndex(barIndex);
    // Indexes below -1, and -1 without a bar, never touch a bar.
    const bool valid = index >= 0 && index < BarCount() && !m_cancelled && m_bars[index];
    if (valid) {
        change(*m_bars[index], GetLabel(index));
        raise();
    }
    repaint();
    QCoreApplication::processEvents();
    return valid;
}

bool TVYXProgressDlg::StepIt()
{
    return stepBar(-1, [](ProgressBar &bar, QLabel *) { bar.stepIt(); });
}

bool TVYXProgressDlg::StepIt(int barIndex)
{
    return stepBar(barIndex, [](ProgressBar &bar, QLabel *) { bar.stepIt(); });
}

bool TVYXProgressDlg::StepIt(const QString &caption)
{
    return StepIt(caption, -1);
}

bool TVYXProgressDlg::StepIt(const QString &caption, int barIndex)
{
    return stepBar(barIndex, [&caption](ProgressBar &bar, QLabel *label) {
        if (label)
            label->setText(caption);
        bar.stepIt();
    });
}

bool TVYXProgressDlg::SetPosition(int pos, const QString &caption, int barIndex)
{
    return stepBar(barIndex, [&](ProgressBar &bar, QLabel *label) {
        if (label)
            label->setText(caption);
        bar.setPosition(pos);
    });
}

void TVYXProgressDlg::FinishProgress(int barIndex)
{
    if (BarCount() > 0 && barIndex == BarCount() - 1)
        FinishRecentProgress();
}

void TVYXProgressDlg::FinishRecentProgress()
{
    if (BarCount() == 0)
        return;
    const int n = BarCount() - 1;
    m_bars.removeLast();
    freeNow(GetLabel(n));
    freeNow(GetBar(n));
    UpdateLayout();
}

void TVYXProgressDlg::CancelProgress()
{
    m_cancelled = true;
    hide();
}

void TVYXProgressDlg::CancelBtnClick()
{
    CancelProgress();
}

void TVYXProgressDlg::FormKeyDown(QKeyEvent &event)
{
    if (classifyKey(event) == DialogKey::Cancel)
        CancelProgress();
}

void TVYXProgressDlg::MarqueeTimerTimer()
{
    for (const QPointer<ProgressBar> &bar : std::as_const(m_bars))
        if (bar && bar->barStyle() == ProgressBar::Marquee)
            bar->stepIt();
}

int ShowProgress(int min, int max, int step, const QString &caption)
{
    QPointer<TVYXProgressDlg> &dialog = globalDialog();
    std::unique_ptr<TVYXProgressDlg> created;
    if (!dialog) {
        created.reset(new TVYXProgressDlg(mainForm()));
        dialog = created.get();
    }
    const int index = dialog->Init(min, max, step, caption);
    created.release(); // kept: owned by the main form and by the global reference
    return index;
}

bool StepProgress(const QString &caption, int barIndex)
{
    TVYXProgressDlg *dialog = globalDialog();
    return dialog && dialog->StepIt(caption, barIndex);
}

void HideProgress()
{
    freeNow(globalDialog().data());
    globalDialog() = nullptr;
}

TVYXProgressDlg *progressDialog()
{
    return globalDialog();
}

} // namespace tev
