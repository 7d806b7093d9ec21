#include "ui/controls/buttongroup/grppainting.h"

#include "ui/controls/buttongroup/grpimagelist.h"
#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace tev {

namespace {

constexpr int kLumaScale = 240;

QColor AdjustLuma(const QColor &color, int luma)
{
    const QColor hsl = color.toHsl();
    const int lightness = std::clamp(hsl.lightness() + luma * 255 / kLumaScale, 0, 255);
    return QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness).toRgb();
}

} // namespace

QColor HighlightShade(const QColor &color, int luma)
{
    return AdjustLuma(color, luma);
}

QColor ShadowShade(const QColor &color, int luma)
{
    return AdjustLuma(color, luma);
}

QColor ContrastColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const double d = 1 - (0.299 * rgb.red() + 0.587 * rgb.green() + 0.114 * rgb.blue()) / 255;
    return d >= 0.5 ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

void TvyxButtonGroup::ContrastFontColor()
{
    m_fontColor = ContrastColor(m_color);
}

// Only whole rows are painted; the strip below them shows the background.
void TvyxButtonGroup::paintEvent(QPaintEvent *)
{
    QPainter canvas(viewport());
    canvas.fillRect(viewport()->rect(), m_color);
    canvas.setBrush(m_color);
    const int count = m_buttonItems->Count();
    if (count > 0) {
        const int perRow = ButtonsPerRow();
        const int first = m_hiddenItems * perRow;
        const int n = std::min(RowsInView() * perRow, count - first);
        const int cellWidth = (m_buttonOptions & gboFullSize) ? viewport()->width() : m_buttonWidth;
        int x = 0;
        int y = 0;
        int column = 0;
        for (int i = first; i < first + n; ++i) {
            TButtonDrawState state;
            if (i == m_hotIndex) {
                state |= bdsHot;
                if (i == m_downIndex)
                    state |= bdsDown;
            }
            if (i == m_itemIndex)
                state |= bdsSelected;
            if (i == m_insertTop)
                state |= bdsInsertTop;
            else if (i == m_insertBottom)
                state |= bdsInsertBottom;
            else if (i == m_insertRight)
                state |= bdsInsertRight;
            else if (i == m_insertLeft)
                state |= bdsInsertLeft;
            if (i == m_focusIndex && hasFocus())
                state |= bdsFocused;
            PaintButton(i, canvas, state, QRect(x, y, cellWidth, m_buttonHeight));
            x += cellWidth;
            if (++column == perRow) {
                column = 0;
                x = 0;
                y += m_buttonHeight;
            }
        }
    }
    PaintDragImage(canvas);
}

void TvyxButtonGroup::PaintButton(int index, QPainter &canvas, TButtonDrawState state, QRect rect)
{
    const TvyxGrpButtonItem *item = m_buttonItems->Items(index);
    if (!item)
        return;
    if (m_onDrawButton) {
        m_onDrawButton(this, index, canvas, rect, state);
        canvas.setBrush(m_color);
        return;
    }
    canvas.setFont(font());
    if (state & bdsHot)
        canvas.setBrush(ShadowShade(m_color, kHotLuma));
    else if (state & (bdsSelected | bdsFocused | bdsDown))
        canvas.setBrush(HighlightShade(m_color, kSelectedLuma));
    else
        canvas.setBrush(m_color);
    if (m_onBeforeDrawButton)
        m_onBeforeDrawButton(this, index, canvas, rect, state);
    const QColor fill = canvas.brush().color();
    canvas.fillRect(rect, fill);

    // Right and bottom are exclusive below, as the arithmetic of the marks wants them.
    const QRect r = rect.adjusted(2, 1, -2, -1);
    const int left = r.x();
    const int top = r.y();
    const int right = r.x() + r.width();
    const int bottom = r.y() + r.height();
    const int pressed = (state & bdsDown) ? 1 : 0;
    const int textLeft = left + 4 + pressed;
    const int textTop =
        std::max(top, top + (r.height() - canvas.fontMetrics().height()) / 2) + pressed;

    int textOffset = 0;
    if (m_onDrawIcon) {
        m_onDrawIcon(this, index, canvas, rect, state, textOffset);
    } else if (m_images && item->ImageIndex() >= 0 && item->ImageIndex() < m_images->Count()) {
        const int imageTop = std::max(top, top + (r.height() - m_images->Height()) / 2) + pressed;
        m_images->Draw(canvas, textLeft - 1, imageTop, item->ImageIndex());
        textOffset = m_images->Width() + 1;
    }

    if (state & (bdsInsertLeft | bdsInsertTop | bdsInsertRight | bdsInsertBottom)) {
        const QColor mark = ShadowShade(fill, kInsertionMarkLuma);
        if (state & bdsInsertLeft)
            canvas.fillRect(QRect(left - 2, top, 2, r.height()), mark);
        else if (state & bdsInsertTop)
            canvas.fillRect(QRect(left, top - 1, r.width(), 2), mark);
        else if (state & bdsInsertRight)
            canvas.fillRect(QRect(right, top, 2, r.height()), mark);
        else
            canvas.fillRect(QRect(left, bottom - 1, r.width(), 2), mark);
        canvas.setBrush(fill);
    }

    if (item->Separator()) {
        const int y = (top + bottom) / 2;
        canvas.setPen(QPen(HighlightShade(m_color, kSelectedLuma), 1));
        canvas.drawLine(left + textOffset, y, right - textOffset - 1, y);
    } else if (m_buttonOptions & gboShowCaptions) {
        const QRect textRect(QPoint(textLeft + textOffset, textTop), QPoint(right - 2, bottom - 2));
        canvas.setPen(m_fontColor);
        canvas.drawText(
            textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            canvas.fontMetrics().elidedText(item->Caption(), Qt::ElideRight, textRect.width()));
    }

    if (m_onAfterDrawButton)
        m_onAfterDrawButton(this, index, canvas, rect, state);
    canvas.setBrush(m_color);
}

} // namespace tev
