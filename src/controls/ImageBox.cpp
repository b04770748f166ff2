#include "controls/ImageBox.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) { }

void ImageBox::setPicture(const QString& resource)
{
    m_picture = resource;
    m_loaded = QFile::exists(resource);
    update();
}

void ImageBox::setKeepAspect(bool keep)
{
    m_keepAspect = keep;
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
        if (m_keepAspect)
            renderer.setAspectRatioMode(Qt::KeepAspectRatio);
        renderer.render(&p, QRectF(rect()));
    } else {
        const QPixmap pixmap(m_picture);
        QRect target = rect();
        if (m_keepAspect && !pixmap.isNull()) {
            const QSize size = pixmap.size().scaled(target.size(), Qt::KeepAspectRatio);
            target = QRect(QPoint(0, 0), size);
            target.moveCenter(rect().center());
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(target, pixmap);
    }
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
