#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

QSize proportionalSize(const QSize &picture, const QSize &area) {
    if (picture.isEmpty() || area.isEmpty())
        return QSize();
    const double aspect = double(picture.width()) / picture.height();
    int w, h;
    if (picture.width() > picture.height()) {
        w = area.width();
        h = int(area.width() / aspect);
        if (h > area.height()) {
            h = area.height();
            w = int(area.height() * aspect);
        }
    } else {
        h = area.height();
        w = int(area.height() * aspect);
        if (w > area.width()) {
            w = area.width();
            h = int(area.width() / aspect);
        }
    }
    return QSize(w, h);
}

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

QRect PictureBox::pictureRect() const {
    return QRect(QPoint(0, 0), proportionalSize(m_picture.size(), size()));
}

void PictureBox::paintEvent(QPaintEvent *) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_picture);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
