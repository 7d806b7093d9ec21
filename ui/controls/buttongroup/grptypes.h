#pragma once

#include <QFlags>
#include <QRect>
#include <functional>

class QObject;
class QPainter;

namespace tev {

// Options of a button group.
enum TvyxGrpButtonOption {
    gboAllowReorder = 1 << 0,
    gboFullSize = 1 << 1,
    gboGroupStyle = 1 << 2,
    gboShowCaptions = 1 << 3,
};
Q_DECLARE_FLAGS(TvyxGrpButtonOptions, TvyxGrpButtonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TvyxGrpButtonOptions)

// How one button is to be drawn; the bits keep the order the owner-draw handlers rely on.
enum TButtonDrawStateFlag {
    bdsSelected = 1 << 0,
    bdsHot = 1 << 1,
    bdsFocused = 1 << 2,
    bdsDown = 1 << 3,
    bdsDragged = 1 << 4,
    bdsInsertLeft = 1 << 5,
    bdsInsertTop = 1 << 6,
    bdsInsertRight = 1 << 7,
    bdsInsertBottom = 1 << 8,
};
Q_DECLARE_FLAGS(TButtonDrawState, TButtonDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TButtonDrawState)

// Ways of scrolling by rows, the same for the scroll bar, the wheel, gestures and keys.
enum class TScrollCode {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbPosition,
    ThumbTrack,
    Top,
    Bottom,
    EndScroll,
};

// Events are plain callables, fired only when assigned; Sender is the group.
using TNotifyEvent = std::function<void(QObject *Sender)>;
using TvyxGrpButtonEvent = std::function<void(QObject *Sender, int Index)>;
using TvyxGrpButtonDrawEvent = std::function<void(QObject *Sender, int Index, QPainter &Canvas,
                                                  const QRect &Rect, TButtonDrawState State)>;
using TvyxGrpButtonDrawIconEvent =
    std::function<void(QObject *Sender, int Index, QPainter &Canvas, const QRect &Rect,
                       TButtonDrawState State, int &TextOffset)>;
using TvyxGrpButtonReorderEvent = std::function<void(QObject *Sender, int OldIndex, int NewIndex)>;

} // namespace tev
