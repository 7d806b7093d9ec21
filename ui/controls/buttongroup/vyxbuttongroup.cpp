#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include "ui/controls/buttongroup/grpimagelist.h"

#include <QApplication>
#include <QGestureEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPanGesture>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>

namespace tev {

TvyxButtonGroup::TvyxButtonGroup(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_buttonItems(std::make_unique<TvyxGrpButtonItems>(this))
    , m_color(palette().color(QPalette::Button))
    , m_fontColor(palette().color(QPalette::ButtonText))
    , m_autoScrollClock(TvyxGrpAutoScrollClock::System())
{
    setFrameStyle(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Only a left press takes the focus, by hand; the Tab key reaches the control as usual.
    setFocusPolicy(Qt::TabFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->grabGesture(Qt::PanGesture);
    verticalScrollBar()->installEventFilter(this);
    resize(100, 100);
    UpdateScrollRange();
}

TvyxButtonGroup::~TvyxButtonGroup()
{
    // Items call back into the group while they go; let them find nothing to update.
    m_ignoreUpdate = true;
}

void TvyxButtonGroup::Assign(const TvyxButtonGroup &source)
{
    setItems(source.Items());
    setButtonHeight(source.ButtonHeight());
    setButtonWidth(source.ButtonWidth());
    setButtonOptions(source.ButtonOptions());
}

// ---- Properties ----

void TvyxButtonGroup::setBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    setFrameStyle(style == TBorderStyle::Single ? (QFrame::StyledPanel | QFrame::Sunken)
                                                : int(QFrame::NoFrame));
}

void TvyxButtonGroup::setButtonHeight(int height)
{
    if (height <= 0 || height == m_buttonHeight)
        return;
    m_buttonHeight = height;
    viewport()->update();
}

void TvyxButtonGroup::setButtonWidth(int width)
{
    if (width <= 0 || width == m_buttonWidth)
        return;
    m_buttonWidth = width;
    viewport()->update();
}

void TvyxButtonGroup::setButtonOptions(TvyxGrpButtonOptions options)
{
    if (options == m_buttonOptions)
        return;
    m_buttonOptions = options;
    if (!(options & gboGroupStyle))
        m_itemIndex = -1;
    UpdateScrollRange();
    viewport()->update();
}

void TvyxButtonGroup::setColor(const QColor &color)
{
    m_color = color;
    ContrastFontColor();
    viewport()->repaint();
}

void TvyxButtonGroup::setFontColor(const QColor &color)
{
    m_fontColor = color;
    viewport()->update();
}

void TvyxButtonGroup::setImages(TvyxGrpImageList *images)
{
    if (m_images)
        disconnect(m_images, nullptr, viewport(), nullptr);
    m_images = images;
    if (images)
        connect(images, &TvyxGrpImageList::Changed, viewport(), qOverload<>(&QWidget::update));
    viewport()->update();
}

void TvyxButtonGroup::setItems(const TvyxGrpButtonItems &items)
{
    m_buttonItems->Assign(items);
}

void TvyxButtonGroup::setItemIndex(int index)
{
    if (index == m_itemIndex || !(m_buttonOptions & gboGroupStyle))
        return;
    const int old = m_itemIndex;
    m_itemIndex = index;
    m_focusIndex = index;
    InvalidateButton(old);
    InvalidateButton(index);
    if (m_onChange)
        m_onChange(this);
}

void TvyxButtonGroup::setOnDrawButton(TvyxGrpButtonDrawEvent e)
{
    m_onDrawButton = std::move(e);
    viewport()->update();
}

void TvyxButtonGroup::setOnDrawIcon(TvyxGrpButtonDrawIconEvent e)
{
    m_onDrawIcon = std::move(e);
    viewport()->update();
}

int TvyxButtonGroup::IndexOfButton(const QString &caption) const
{
    for (int i = 0; i < Items().Count(); ++i)
        if (Items().Items(i)->Caption() == caption)
            return i;
    return -1;
}

TvyxGrpButtonItem *TvyxButtonGroup::MakeButtonItem()
{
    return m_buttonItems->Add();
}

std::unique_ptr<TvyxGrpButtonItem> TvyxButtonGroup::ButtonItemClass(TvyxGrpButtonItems *collection)
{
    return std::make_unique<TvyxGrpButtonItem>(collection);
}

// ---- Items and buttons ----

TvyxGrpLayout TvyxButtonGroup::Layout() const
{
    TvyxGrpLayout layout;
    layout.ClientWidth = viewport()->width();
    layout.ClientHeight = viewport()->height();
    layout.ButtonWidth = m_buttonWidth;
    layout.ButtonHeight = m_buttonHeight;
    layout.FullSize = bool(m_buttonOptions & gboFullSize);
    layout.HiddenItems = m_hiddenItems;
    layout.Count = m_buttonItems->Count();
    return layout;
}

void TvyxButtonGroup::InvalidateButton(int index)
{
    if (index < 0 || index >= m_buttonItems->Count())
        return;
    viewport()->update(GetButtonRect(index));
}

bool TvyxButtonGroup::IsClickable(int index) const
{
    const TvyxGrpButtonItem *item = Items().Items(index);
    return item && !item->Separator();
}

void TvyxButtonGroup::ItemsChanged(int originalID)
{
    const int index = originalID == -1 ? -1 : m_buttonItems->IndexOfID(originalID);
    if (index == -1) {
        m_itemIndex = -1;
        m_focusIndex = -1;
    } else if (m_buttonOptions & gboGroupStyle) {
        m_itemIndex = index;
    }
    UpdateScrollRange();
    viewport()->update();
}

void TvyxButtonGroup::ClickButton(int index)
{
    TvyxGrpButtonItem *item = m_buttonItems->Items(index);
    if (!item)
        return;
    const int oldFocus = m_focusIndex;
    m_focusIndex = index;
    InvalidateButton(oldFocus);
    InvalidateButton(index);
    // A click handler of the item wins over its action: the action's own handler cannot be the
    // item's here, as an action keeps its handler to itself.
    if (item->OnClick())
        item->OnClick()(this);
    else if (QAction *action = item->Action())
        action->trigger();
    else if (m_onButtonClicked)
        m_onButtonClicked(this, index);
}

void TvyxButtonGroup::HotButtonChanged()
{
    if (m_onHotButton)
        m_onHotButton(this, m_hotIndex);
}

void TvyxButtonGroup::SetHotIndex(int index)
{
    const int old = m_hotIndex;
    m_hotIndex = index;
    InvalidateButton(old);
    InvalidateButton(index);
    HotButtonChanged();
}

// ---- Events ----

bool TvyxButtonGroup::event(QEvent *e)
{
    // Claims Escape during a drag before any shortcut of the window around can take it.
    if (e->type() == QEvent::ShortcutOverride && m_dragImageList.Dragging() &&
        static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape) {
        e->accept();
        return true;
    }
    return QAbstractScrollArea::event(e);
}

// A wheel step over the scroll bar goes to the viewport, as if it were over the buttons.
bool TvyxButtonGroup::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == verticalScrollBar() && e->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(e);
        QWheelEvent forwarded(viewport()->mapFromGlobal(wheel->globalPosition()),
                              wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                              wheel->buttons(), wheel->modifiers(), wheel->phase(),
                              wheel->inverted(), wheel->source(), wheel->pointingDevice());
        QApplication::sendEvent(viewport(), &forwarded);
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

bool TvyxButtonGroup::viewportEvent(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Leave:
        MouseLeave();
        break;
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(e);
        ShowButtonHint(help->pos(), help->globalPos());
        return true;
    }
    case QEvent::Gesture: {
        auto *gestureEvent = static_cast<QGestureEvent *>(e);
        if (auto *pan = static_cast<QPanGesture *>(gestureEvent->gesture(Qt::PanGesture))) {
            PanGesture(pan->state(), pan->offset().y());
            gestureEvent->accept(pan);
        }
        return true;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TvyxButtonGroup::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollRange();
    viewport()->repaint();
}

void TvyxButtonGroup::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    e->accept();
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    m_dragStarted = false;
    const QPoint p = e->position().toPoint();
    m_downIndex = IndexOfButtonAt(p.x(), p.y());
    if (m_downIndex == -1)
        return;
    if (m_buttonOptions & gboAllowReorder)
        m_dragIndex = m_downIndex;
    m_dragStartPos = p;
    if (m_downIndex == m_itemIndex)
        m_downIndex = -1; // the selected button is not pressed again
    else
        InvalidateButton(m_downIndex);
}

void TvyxButtonGroup::mouseDoubleClickEvent(QMouseEvent *e)
{
    // The second press of a double click is a press like the first.
    mousePressEvent(e);
}

void TvyxButtonGroup::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    e->accept();
    if (m_dragImageList.Dragging()) {
        DragOver(p);
        return;
    }
    if ((m_buttonOptions & gboAllowReorder) && m_dragIndex != -1) {
        const int threshold = QApplication::startDragDistance();
        if (std::abs(p.x() - m_dragStartPos.x()) >= threshold ||
            std::abs(p.y() - m_dragStartPos.y()) >= threshold) {
            StartDrag(p);
            return;
        }
    }
    int candidate = IndexOfButtonAt(p.x(), p.y());
    if (!IsClickable(candidate))
        candidate = -1;
    if (candidate != m_hotIndex)
        SetHotIndex(candidate);
    m_mouseInControl = true;
}

void TvyxButtonGroup::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(e);
        return;
    }
    e->accept();
    const QPoint p = e->position().toPoint();
    if (m_dragStarted) {
        if (m_dragImageList.Dragging())
            EndDrag(p);
        m_dragStarted = false;
        return;
    }
    const int i = m_downIndex;
    m_downIndex = -1;
    m_dragIndex = -1;
    if (i != -1 && IndexOfButtonAt(p.x(), p.y()) == i && IsClickable(i)) {
        InvalidateButton(i);
        ClickButton(i);
        if (m_buttonOptions & gboGroupStyle)
            setItemIndex(i);
    } else {
        InvalidateButton(i);
    }
    if (m_onClick)
        m_onClick(this);
    m_dragStarted = false;
}

void TvyxButtonGroup::MouseLeave()
{
    m_mouseInControl = false;
    if (m_dragImageList.Dragging()) {
        m_dragAccepted = false;
        RemoveInsertionPoints();
    }
    InvalidateButton(m_hotIndex);
    m_hotIndex = -1;
    HotButtonChanged();
}

void TvyxButtonGroup::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && m_dragImageList.Dragging()) {
        CancelDrag();
        e->accept();
        return;
    }
    const bool groupStyle = bool(m_buttonOptions & gboGroupStyle);
    const int count = m_buttonItems->Count();
    const int current = groupStyle ? m_itemIndex : m_focusIndex;
    int step = 0;
    switch (e->key()) {
    case Qt::Key_Down:
        step = ButtonsPerRow();
        break;
    case Qt::Key_Up:
        step = -ButtonsPerRow();
        break;
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_PageDown:
        step = RowsInView();
        break;
    case Qt::Key_PageUp:
        step = -RowsInView();
        break;
    case Qt::Key_Home:
        step = -current;
        break;
    case Qt::Key_End:
        step = count - current;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (groupStyle && m_itemIndex != -1) {
            ClickButton(m_itemIndex);
            e->accept();
            return;
        }
        if (groupStyle && m_focusIndex >= 0 && m_focusIndex < count) {
            ClickButton(m_focusIndex);
            e->accept();
            return;
        }
        QAbstractScrollArea::keyPressEvent(e);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
    if (step == 0 || count == 0)
        return; // with no items, even Home and End find nothing to step to
    if (current + step >= count)
        step = count - current - 1;
    if (current + step < 0)
        step = -current;
    if (step == 0)
        return;
    const int target = current + step;
    ScrollIntoView(target);
    if (groupStyle) {
        setItemIndex(target);
    } else {
        InvalidateButton(m_focusIndex);
        m_focusIndex = target;
        InvalidateButton(target);
    }
}

void TvyxButtonGroup::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    if (m_focusIndex == -1 && m_buttonItems->Count() > 0)
        m_focusIndex = 0;
    InvalidateButton(m_focusIndex);
}

void TvyxButtonGroup::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    InvalidateButton(m_focusIndex);
}

bool TvyxButtonGroup::ShowButtonHint(QPoint pos, QPoint globalPos)
{
    const int index = IndexOfButtonAt(pos.x(), pos.y());
    const TvyxGrpButtonItem *item = m_buttonItems->Items(index);
    if (!item) {
        QToolTip::hideText();
        return false;
    }
    const QString hint = item->Hint().isEmpty() ? item->Caption() : item->Hint();
    // The button's rectangle ends the hint when the pointer moves to another button.
    QToolTip::showText(globalPos, hint, viewport(), GetButtonRect(index));
    return true;
}

} // namespace tev
