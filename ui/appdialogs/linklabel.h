#pragma once

#include <QLabel>

namespace tev {

// A label that acts on a click, as the dialogs' text links do: hand cursor, Clicked on release of
// the left button over it.
class TLinkLabel : public QLabel
{
    Q_OBJECT
public:
    TLinkLabel(const QString &text, QWidget *parent);

Q_SIGNALS:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace tev
