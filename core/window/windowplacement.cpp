#include "core/window/windowplacement.h"

#include "core/window/placementstore.h"
#include "platform/error.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace tev {

namespace {

constexpr int kStateNormal = 0;
constexpr int kStateMinimised = 1;
constexpr int kStateMaximised = 2;

const QString kSection = QString::fromLatin1(kWindowPlacementSection);

void CheckForm(const QWidget *form)
{
    if (!form)
        throw Error(QStringLiteral("No window was given for its placement."));
}

// The number of the monitor that holds the largest part of the window, as the platform counts
// monitors; a window outside every monitor is on the nearest one.
int MonitorOf(const QWidget *form)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const QRect frame = form->frameGeometry();
    int best = -1;
    qint64 bestArea = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < screens.size(); ++i) {
        const QRect screen = screens[i]->geometry();
        const QRect common = screen.intersected(frame);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        const QPoint offset = screen.center() - frame.center();
        const qint64 distance = qint64(offset.x()) * offset.x() + qint64(offset.y()) * offset.y();
        if (area > bestArea || (bestArea == 0 && area == 0 && distance < bestDistance)) {
            best = i;
            bestArea = area;
            bestDistance = distance;
        }
    }
    return best;
}

int PrimaryMonitor()
{
    return std::max(0, int(QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen())));
}

QPoint MonitorOrigin(int monitor)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (monitor < 0 || monitor >= screens.size())
        return QPoint(0, 0);
    return screens[monitor]->geometry().topLeft();
}

} // namespace

void ReadWindowPlacementFromRegistry(QWidget *AForm, const QString &AppRegKey)
{
    CheckForm(AForm);
    const std::unique_ptr<TPlacementStore> store = TPlacementStore::Open(AppRegKey);

    AForm->setWindowState(AForm->windowState() &
                          ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    // Without a stored placement the window system may still place the window itself.
    const bool stored = store->SectionExists(kSection);
    const bool wasPlaced = AForm->testAttribute(Qt::WA_Moved);

    // Defaults are the window's own values relative to the monitor it is on, so that a missing
    // value leaves it where it is.
    const int currentMonitor = MonitorOf(AForm);
    const QPoint relative = AForm->pos() - MonitorOrigin(currentMonitor);
    const int left = store->ReadInteger(kSection, QStringLiteral("Left"), relative.x());
    const int top = store->ReadInteger(kSection, QStringLiteral("Top"), relative.y());
    const int height = store->ReadInteger(kSection, QStringLiteral("Height"), AForm->height());
    const int width = store->ReadInteger(kSection, QStringLiteral("Width"), AForm->width());
    int monitor = store->ReadInteger(kSection, QStringLiteral("Monitor"), currentMonitor);
    if (monitor < 0 || monitor >= QGuiApplication::screens().size())
        monitor = PrimaryMonitor();

    const QPoint origin = MonitorOrigin(monitor);
    AForm->move(origin.x() + left, origin.y() + top);
    AForm->resize(width, height);
    if (!stored)
        AForm->setAttribute(Qt::WA_Moved, wasPlaced);

    const int state = store->ReadInteger(kSection, QStringLiteral("WindowState"), kStateNormal);
    if ((state & 0xFF) == kStateMaximised)
        AForm->setWindowState(AForm->windowState() | Qt::WindowMaximized);
}

void WriteWindowPlacementToRegistry(QWidget *AForm, const QString &AppRegKey)
{
    CheckForm(AForm);
    const std::unique_ptr<TPlacementStore> store = TPlacementStore::Open(AppRegKey);

    const int monitor = std::max(0, MonitorOf(AForm));
    const QPoint relative = AForm->pos() - MonitorOrigin(monitor);
    const Qt::WindowStates states = AForm->windowState();
    const int state = states.testFlag(Qt::WindowMinimized)   ? kStateMinimised
                      : states.testFlag(Qt::WindowMaximized) ? kStateMaximised
                                                             : kStateNormal;
    store->WriteInteger(kSection, QStringLiteral("Left"), relative.x());
    store->WriteInteger(kSection, QStringLiteral("Top"), relative.y());
    store->WriteInteger(kSection, QStringLiteral("Height"), AForm->height());
    store->WriteInteger(kSection, QStringLiteral("Width"), AForm->width());
    store->WriteInteger(kSection, QStringLiteral("WindowState"), state);
    store->WriteInteger(kSection, QStringLiteral("Monitor"), monitor);
    store->Flush();
}

} // namespace tev
