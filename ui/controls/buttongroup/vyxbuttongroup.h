#pragma once

#include "ui/controls/buttongroup/grpbuttonitems.h"
#include "ui/controls/buttongroup/grpdragreorder.h"
#include "ui/controls/buttongroup/grpimagelist.h"
#include "ui/controls/buttongroup/grplayout.h"
#include "ui/controls/buttongroup/grptypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>
#include <memory>

class QGestureEvent;

namespace tev {

// A self-painted list or grid of buttons that scrolls by whole rows.
//
// The control keeps a hot (hovered), a pressed, a focused and, in group style, one selected
// button; it paints in its own colour scheme derived from Color. Buttons live in the viewport of
// the scroll area; every coordinate here is a viewport coordinate. Positions are indexes into
// Items, -1 for none. With gboAllowReorder the user drags a button to another place inside the
// control; the drag is the control's own (mouse capture plus a painted picture), not a
// platform drag, because only moves within one group are allowed. Escape cancels a drag and
// goes no further. The wheel follows the control's rule (a row, Ctrl a page) also over the
// scroll bar, which would otherwise scroll by its own.
class TvyxButtonGroup : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class TBorderStyle { None, Single };

    explicit TvyxButtonGroup(QWidget *parent = nullptr);
    ~TvyxButtonGroup() override;

    // Copies Items, ButtonHeight, ButtonWidth and ButtonOptions, in this order.
    void Assign(const TvyxButtonGroup &source);

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    int ButtonHeight() const { return m_buttonHeight; }
    void setButtonHeight(int height);
    int ButtonWidth() const { return m_buttonWidth; }
    void setButtonWidth(int width);
    TvyxGrpButtonOptions ButtonOptions() const { return m_buttonOptions; }
    void setButtonOptions(TvyxGrpButtonOptions options);
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    // The colour of the captions (the font colour).
    QColor FontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    TvyxGrpImageList *Images() const { return m_images; }
    void setImages(TvyxGrpImageList *images);
    TvyxGrpButtonItems &Items() { return *m_buttonItems; }
    const TvyxGrpButtonItems &Items() const { return *m_buttonItems; }
    void setItems(const TvyxGrpButtonItems &items);
    int ItemIndex() const { return m_itemIndex; }
    void setItemIndex(int index);

    void setOnButtonClicked(TvyxGrpButtonEvent e) { m_onButtonClicked = std::move(e); }
    void setOnHotButton(TvyxGrpButtonEvent e) { m_onHotButton = std::move(e); }
    void setOnChange(TNotifyEvent e) { m_onChange = std::move(e); }
    void setOnClick(TNotifyEvent e) { m_onClick = std::move(e); }
    void setOnBeforeDrawButton(TvyxGrpButtonDrawEvent e) { m_onBeforeDrawButton = std::move(e); }
    void setOnAfterDrawButton(TvyxGrpButtonDrawEvent e) { m_onAfterDrawButton = std::move(e); }
    void setOnDrawButton(TvyxGrpButtonDrawEvent e);
    void setOnDrawIcon(TvyxGrpButtonDrawIconEvent e);
    void setOnReorderButton(TvyxGrpButtonReorderEvent e) { m_onReorderButton = std::move(e); }

    // Layout.
    int ButtonsPerRow() const { return Layout().ButtonsPerRow(); }
    int RowsInView() const { return Layout().RowsInView(); }
    QRect GetButtonRect(int index) const { return Layout().ButtonRect(index); }
    int IndexOfButtonAt(int x, int y) const { return Layout().IndexOfButtonAt(x, y); }
    // The first item whose caption equals caption exactly, else -1.
    int IndexOfButton(const QString &caption) const;

    // Scrolling by whole rows.
    void ScrollRows(TScrollCode code, int position = 0);
    void ScrollIntoView(int index);
    int HiddenItems() const { return m_hiddenItems; }
    int ScrollBarMax() const { return m_scrollBarMax; }
    int PageAmount() const { return m_pageAmount; }
    bool ScrollBarShown() const { return m_scrollBarShown; }

    int HotIndex() const { return m_hotIndex; }
    int DownIndex() const { return m_downIndex; }
    int FocusIndex() const { return m_focusIndex; }

    // Drag reorder.
    int TargetIndexAt(int x, int y) const;
    void SetInsertionPoints(int insertionIndex);
    void RemoveInsertionPoints();
    void DragDrop(int x, int y);
    TvyxGrpDragImageList *GetDragImages() { return &m_dragImageList; }
    const TvyxGrpDragImageList &DragImageList() const { return m_dragImageList; }
    int DragIndex() const { return m_dragIndex; }
    // Also marks a drag as started, so that the next release does not click.
    void setDragIndex(int index);
    bool DragStarted() const { return m_dragStarted; }
    int InsertLeft() const { return m_insertLeft; }
    int InsertTop() const { return m_insertTop; }
    int InsertRight() const { return m_insertRight; }
    int InsertBottom() const { return m_insertBottom; }
    void setAutoScrollClock(TvyxGrpAutoScrollClock clock) { m_autoScrollClock = std::move(clock); }

    // Painting.
    virtual void PaintButton(int index, QPainter &canvas, TButtonDrawState state, QRect rect);
    // Sets the font colour to white or black, whichever stands out on Color.
    void ContrastFontColor();

    virtual TvyxGrpButtonItem *MakeButtonItem();
    // The kind of item the collection makes; subclasses return their own item type.
    virtual std::unique_ptr<TvyxGrpButtonItem> ButtonItemClass(TvyxGrpButtonItems *collection);
    virtual void ClickButton(int index);

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

    virtual void HotButtonChanged();
    void MouseLeave();
    // One step of a pan gesture; y is the gesture's vertical location.
    void PanGesture(Qt::GestureState state, qreal y);
    // Handles the Tool tip request at pos; returns whether a hint is shown.
    bool ShowButtonHint(QPoint pos, QPoint globalPos);

private:
    friend class TvyxGrpButtonItems;

    TvyxGrpLayout Layout() const;
    void InvalidateButton(int index);
    void UpdateScrollRange();
    void ItemsChanged(int originalID);
    bool IsClickable(int index) const;
    void SetHotIndex(int index);

    // Drag reorder (grpdragreorder.cpp).
    void StartDrag(QPoint pos);
    void DragOver(QPoint pos);
    void DragAutoScroll(QPoint pos);
    void EndDrag(QPoint pos);
    // Escape during a drag: it ends with nothing moved.
    void CancelDrag();
    void MoveButton(int oldIndex, int newIndex);
    void PaintDragImage(QPainter &painter);

    std::unique_ptr<TvyxGrpButtonItems> m_buttonItems;
    TvyxGrpButtonOptions m_buttonOptions = TvyxGrpButtonOptions(gboFullSize) | gboShowCaptions;
    int m_buttonWidth = 24;
    int m_buttonHeight = 24;
    TBorderStyle m_borderStyle = TBorderStyle::None;
    QColor m_color;
    QColor m_fontColor;
    QPointer<TvyxGrpImageList> m_images;
    int m_itemIndex = -1;
    int m_focusIndex = -1;
    int m_hotIndex = -1;
    int m_downIndex = -1;
    int m_dragIndex = -1;
    QPoint m_dragStartPos;
    bool m_dragStarted = false;
    QPoint m_dragPos; // where the pointer is during a drag
    bool m_dragAccepted = false;
    TvyxGrpDragImageList m_dragImageList;
    TvyxGrpAutoScrollClock m_autoScrollClock;
    int m_insertLeft = -1;
    int m_insertTop = -1;
    int m_insertRight = -1;
    int m_insertBottom = -1;
    int m_hiddenItems = 0;
    int m_scrollBarMax = 0;
    int m_pageAmount = 0;
    bool m_scrollBarShown = false;
    bool m_settingScrollBar = false;
    bool m_ignoreUpdate = false;
    bool m_mouseInControl = false;
    qreal m_panPoint = 0;

    TvyxGrpButtonEvent m_onButtonClicked;
    TvyxGrpButtonEvent m_onHotButton;
    TNotifyEvent m_onChange;
    TNotifyEvent m_onClick;
    TvyxGrpButtonDrawEvent m_onBeforeDrawButton;
    TvyxGrpButtonDrawEvent m_onAfterDrawButton;
    TvyxGrpButtonDrawEvent m_onDrawButton;
    TvyxGrpButtonDrawIconEvent m_onDrawIcon;
    TvyxGrpButtonReorderEvent m_onReorderButton;
};

} // namespace tev
