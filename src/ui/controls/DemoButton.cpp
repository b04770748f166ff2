#include "controls/DemoButton.h"

#include "controls/PageScaler.h"

#include <QKeyEvent>
#include <QPainter>

DemoButton::DemoButton(QWidget* parent) : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void DemoButton::setColor(TColor color)
{
    m_color = color;
    update();
}

void DemoButton::setFontColor(TColor color)
{
    m_fontColor = color;
    update();
}

void DemoButton::setHoverColor(TColor color)
{
    m_hoverColor = color;
    update();
}

void DemoButton::setCaptionSize(int pointSize)
{
    m_captionSize = pointSize;
    update();
}

void DemoButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QColor face = toQColor(m_color);
    if (isDown())
        face = face.darker(130);
    p.fillRect(rect(), face);
    p.setPen(face.lighter(150));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(face.darker(180));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (hasFocus()) {
        p.setPen(QPen(toQColor(clYellow), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
    QFont f(QStringLiteral("Arial"));
    // The caption grows and shrinks with the page.
    const qreal scale = PageScaler::scaleOf(this);
    if (scale == 1.0)
        f.setPointSize(m_captionSize);
    else
        f.setPointSizeF(m_captionSize * scale);
    f.setBold(true);
    p.setFont(f);
    p.setPen(toQColor(captionColor()));
    p.drawText(rect(), Qt::AlignCenter, text());
}

void DemoButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void DemoButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void DemoButton::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the focused button, as Space does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}
