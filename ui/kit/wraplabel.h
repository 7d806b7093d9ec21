#pragma once

#include <QLabel>

class QTextLayout;

namespace tev {

// A label whose wrapped text breaks inside a word that is wider than the label (a long path, a
// database's message), so that no part of the text is cut off at the right. Unwrapped, it is a
// plain label.
class WrapLabel : public QLabel
{
    Q_OBJECT
public:
    explicit WrapLabel(const QString &text, QWidget *parent = nullptr);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Lays the text out in lines of the given width; returns the height of the lines.
    qreal layoutText(QTextLayout &layout, int width) const;
};

} // namespace tev
