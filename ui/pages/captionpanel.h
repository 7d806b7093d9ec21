#pragma once

#include <QColor>
#include <QFrame>

namespace tev {

// A panel with a background colour and a caption drawn in its middle, where its children leave
// room for it (the characteristic details say "Unable to load image file" that way, the cover
// panel "<Cover Image>").
class TCaptionPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TCaptionPanel(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Caption);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Show);
    // An invalid colour paints no background: the parent shows through.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &Color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString FCaption;
    bool FShowCaption = true;
    QColor FColor;
};

} // namespace tev
