#pragma once
// A picture drawn scaled into the box with its proportions kept, anchored at the top left;
// a click anywhere on the box is reported.
#include <QImage>
#include <QWidget>

// The size a picture of size picture takes in area with its proportions kept: a picture taller
// than wide fills the area's height, a wider one its width, and the other side follows (fraction
// dropped) unless it would overflow, in which case the other side fills instead.
QSize proportionalSize(const QSize &picture, const QSize &area);

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    // Where the picture is drawn, in the box's coordinates.
    QRect pictureRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};
