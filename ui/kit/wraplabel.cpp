#include "ui/kit/wraplabel.h"

#include <QPainter>
#include <QTextLayout>
#include <QtMath>

namespace tev {

WrapLabel::WrapLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{}

bool WrapLabel::hasHeightForWidth() const
{
    return wordWrap() || QLabel::hasHeightForWidth();
}

int WrapLabel::heightForWidth(int width) const
{
    if (!wordWrap())
        return QLabel::heightForWidth(width);
    const QMargins margins = contentsMargins();
    QTextLayout layout;
    return qCeil(layoutText(layout, width - margins.left() - margins.right())) + margins.top() +
           margins.bottom();
}

qreal WrapLabel::layoutText(QTextLayout &layout, int width) const
{
    // A text layout breaks lines only at line separators.
    QString lines = text();
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(lines);
    layout.setFont(font());
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

void WrapLabel::paintEvent(QPaintEvent *event)
{
    if (!wordWrap() || textFormat() == Qt::RichText) {
        QLabel::paintEvent(event);
        return;
    }
    const QRect area = contentsRect();
    QTextLayout layout;
    layoutText(layout, area.width());
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    layout.draw(&painter, area.topLeft());
}

} // namespace tev
