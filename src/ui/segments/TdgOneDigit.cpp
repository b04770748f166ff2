#include "segments/TdgOneDigit.h"

#include "controls/PageScaler.h"
#include "segments/SegmentGeometry.h"

#include <QPainter>
#include <QPolygon>

TdgOneDigit::TdgOneDigit(QWidget* parent) : QWidget(parent)
{
    // No background of its own: the parent's colour shows around the segments.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(30, 50);
}

void TdgOneDigit::SetSegmentOnColor(TColor value)
{
    FSegmentOnColor = value;
    repaint();
}

void TdgOneDigit::SetSegmentOffColor(TColor value)
{
    FSegmentOffColor = value;
    repaint();
}

void TdgOneDigit::SetSegmentWidth(int value)
{
    FSegmentWidth = value;
    repaint();
}

void TdgOneDigit::SetSegmentSpace(int value)
{
    FSegmentSpace = value;
    repaint();
}

void TdgOneDigit::SetSegmentOnBorderColor(TColor value)
{
    FSegmentOnBorderColor = value;
    repaint();
}

void TdgOneDigit::SetSegmentOffBorderColor(TColor value)
{
    FSegmentOffBorderColor = value;
    repaint();
}

void TdgOneDigit::SetValue(int value)
{
    bool allow = true;
    if (BeforeValueChange)
        BeforeValueChange(this, allow, value);
    if (!allow)
        return;
    if (value >= 0 && value <= 9) {
        FValue = value;
    } else {
        // A requested 10 is as wrong as any other value outside 0 to 9.
        FValue = SevenSegment::ErrorValue;
        if (OnValueError)
            OnValueError(this);
    }
    repaint();
}

void TdgOneDigit::paintEvent(QPaintEvent*)
{
    using namespace SevenSegment;
    QPainter painter(this);
    QPen pen;
    pen.setWidth(1);
    pen.setStyle(Qt::SolidLine);
    const auto segments = digitSegments(
        width(), height(), PageScaler::scaled(this, FSegmentWidth), PageScaler::scaled(this, FSegmentSpace));
    const std::uint8_t lit = litSegments(FValue);
    for (int i = 0; i < SegmentCount; ++i) {
        const bool on = (lit >> i) & 1u;
        painter.setBrush(QBrush(toQColor(on ? FSegmentOnColor : FSegmentOffColor), Qt::SolidPattern));
        pen.setColor(toQColor(on ? FSegmentOnBorderColor : FSegmentOffBorderColor));
        painter.setPen(pen);
        QPolygon polygon;
        for (const Point& point : segments[i])
            polygon << QPoint(point.x, point.y);
        painter.drawPolygon(polygon);
    }
}
