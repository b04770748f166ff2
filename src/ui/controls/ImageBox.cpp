#include "controls/ImageBox.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#ifndef VELMORA_PICTURES_AS_PNG
#include <QSvgRenderer>
#endif

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) { }

void ImageBox::setPicture(const QString& resource)
{
    m_picture = resource;
    m_loaded = QFile::exists(resource);
    m_cache = QPixmap();
    update();
}

void ImageBox::setKeepAspect(bool keep)
{
    m_keepAspect = keep;
    m_cache = QPixmap();
    update();
}

void ImageBox::renderPicture(QPainter& p, const QRect& box) const
{
    const bool drawing = m_picture.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
#ifndef VELMORA_PICTURES_AS_PNG
    if (drawing) {
        QSvgRenderer renderer(m_picture);
        if (m_keepAspect)
            renderer.setAspectRatioMode(Qt::KeepAspectRatio);
        renderer.render(&p, QRectF(box));
        return;
    }
#endif
    // A build without an SVG renderer carries each drawing as a picture beside it.
    const QPixmap pixmap(drawing ? m_picture + QStringLiteral(".png") : m_picture);
    QRect target = box;
    if (m_keepAspect && !pixmap.isNull()) {
        target = QRect(QPoint(0, 0), pixmap.size().scaled(box.size(), Qt::KeepAspectRatio));
        target.moveCenter(box.center());
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(target, pixmap);
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    if (!m_loaded) {
        QLabel::paintEvent(event);
        return;
    }
    // Drawing a large picture takes tens of milliseconds: it is drawn once per size and
    // then only copied to the screen.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_cache.size() != pixels) {
        m_cache = QPixmap(pixels);
        m_cache.setDevicePixelRatio(ratio);
        m_cache.fill(Qt::transparent);
        QPainter cache(&m_cache);
        renderPicture(cache, rect());
    }
    QPainter(this).drawPixmap(0, 0, m_cache);
}

void ImageBox::hideEvent(QHideEvent* event)
{
    // Only the pictures on the screen keep their drawing: a page holds many large ones.
    m_cache = QPixmap();
    QLabel::hideEvent(event);
}

// The left button's press and release are taken here and not passed on to the parent:
// a panel around the picture would otherwise see a whole click of its own.
void ImageBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is one more press, nothing else.
    mousePressEvent(event);
}
