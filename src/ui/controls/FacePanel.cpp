#include "controls/FacePanel.h"

#include "controls/PageScaler.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

FacePanel::FacePanel(QWidget* parent) : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FacePanel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void FacePanel::setColor(TColor color)
{
    m_color = color;
    update();
}

void FacePanel::setFontColor(TColor color)
{
    m_fontColor = color;
    update();
}

void FacePanel::setBevelWidth(int width)
{
    m_bevel = width;
    update();
}

void FacePanel::setBold(bool bold)
{
    m_bold = bold;
    update();
}

void FacePanel::setCaptionSize(int pointSize)
{
    m_captionSize = pointSize;
    update();
}

void FacePanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor face = toQColor(m_color);
    p.fillRect(rect(), face);
    // Raised bevel: light on the top and left, dark on the bottom and right.
    const QColor light = face.lighter(160);
    const QColor dark = face.darker(200);
    // Bevel and caption grow and shrink with the page.
    const qreal scale = PageScaler::scaleOf(this);
    const int bevel = m_bevel > 0 ? std::max(1, PageScaler::scaled(this, m_bevel)) : 0;
    for (int i = 0; i < bevel; ++i) {
        p.setPen(light);
        p.drawLine(i, i, width() - 1 - i, i);
        p.drawLine(i, i, i, height() - 1 - i);
        p.setPen(dark);
        p.drawLine(i, height() - 1 - i, width() - 1 - i, height() - 1 - i);
        p.drawLine(width() - 1 - i, i, width() - 1 - i, height() - 1 - i);
    }
    if (!m_caption.isEmpty()) {
        QFont f(QStringLiteral("Arial"));
        if (scale == 1.0)
            f.setPointSize(m_captionSize);
        else
            f.setPointSizeF(m_captionSize * scale);
        f.setBold(m_bold);
        p.setFont(f);
        p.setPen(toQColor(m_fontColor));
        p.drawText(rect(), Qt::AlignCenter, m_caption);
    }
}

void FacePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QFrame::mousePressEvent(event);
}

void FacePanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (event->button() == Qt::LeftButton && wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
    else
        QFrame::mouseReleaseEvent(event);
}
