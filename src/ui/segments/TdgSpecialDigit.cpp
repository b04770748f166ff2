#include "segments/TdgSpecialDigit.h"

#include "controls/PageScaler.h"
#include "segments/SegmentGeometry.h"

#include <QPainter>
#include <QPolygon>

TdgSpecialDigit::TdgSpecialDigit(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(30, 50);
}

void TdgSpecialDigit::SetSegmentOnColor(TColor value)
{
    FSegmentOnColor = value;
    repaint();
}

void TdgSpecialDigit::SetSegmentWidth(int value)
{
    FSegmentWidth = value;
    repaint();
}

void TdgSpecialDigit::SetSegmentSpace(int value)
{
    FSegmentSpace = value;
    repaint();
}

void TdgSpecialDigit::SetSegmentOnBorderColor(TColor value)
{
    FSegmentOnBorderColor = value;
    repaint();
}

void TdgSpecialDigit::SetValue(TSpecialValue value)
{
    FValue = value;
    repaint();
}

void TdgSpecialDigit::paintEvent(QPaintEvent*)
{
    using namespace SevenSegment;
    const Glyph glyph = glyphShapes(FValue, width(), height(), PageScaler::scaled(this, FSegmentWidth),
        PageScaler::scaled(this, FSegmentSpace));
    QPainter painter(this);
    painter.setBrush(QBrush(toQColor(FSegmentOnColor), Qt::SolidPattern));
    painter.setPen(QPen(toQColor(FSegmentOnBorderColor), 1));
    for (const auto& points : glyph.polygons) {
        QPolygon polygon;
        for (const Point& point : points)
            polygon << QPoint(point.x, point.y);
        painter.drawPolygon(polygon);
    }
    // The far corner lies just outside the outline, so the outline spans from one
    // corner to one pixel before the other.
    for (const Corners& r : glyph.rectangles)
        painter.drawRect(r.from.x, r.from.y, r.to.x - r.from.x - 1, r.to.y - r.from.y - 1);
    if (!glyph.coverLines.empty()) {
        painter.setPen(QPen(toQColor(FSegmentOnColor), 2));
        for (const Line& line : glyph.coverLines)
            painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
    }
}
