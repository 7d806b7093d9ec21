#pragma once

#include <QImage>
#include <QWidget>

namespace tev {

// An image control that shows its picture stretched proportionally and centred (see
// picturefit.h), draws nothing where the picture does not reach, and reports clicks.
class TPictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit TPictureBox(QWidget *parent = nullptr);

    const QImage &Picture() const { return FPicture; }
    bool HasPicture() const { return !FPicture.isNull(); }
    void SetPicture(const QImage &Picture);
    void Clear() { SetPicture(QImage()); }

Q_SIGNALS:
    // A left click released over the control, at Pos in the control's coordinates.
    void Clicked(QPoint Pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage FPicture;
    bool FPressed = false;
};

// The round point marker: an aqua circle that lets clicks through to the picture below it.
class TBulletShape : public QWidget
{
    Q_OBJECT

public:
    explicit TBulletShape(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tev
