#include "controls/ImageBox.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) {}

void ImageBox::setPicture(const QString& resource)
{
    m_picture = resource;
    m_loaded = QFile::exists(resource);
    update();
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    if (!m_loaded) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    if (m_picture.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(m_picture);
        renderer.render(&p, QRectF(rect()));
    } else {
        p.drawPixmap(rect(), QPixmap(m_picture));
    }
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
