#pragma once

#include <QColor>
#include <QWidget>

namespace tev {

// The database LED of the status line: a filled circle whose brush colour tells the connection
// state. A mouse button released over it is reported, whichever button it was.
class TLedShape : public QWidget
{
    Q_OBJECT
public:
    explicit TLedShape(QWidget *parent = nullptr);

    QColor brushColor() const { return m_brush; }
    void setBrushColor(const QColor &color);

    QSize sizeHint() const override { return {10, 10}; }

Q_SIGNALS:
    void mouseUp();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_brush;
};

} // namespace tev
