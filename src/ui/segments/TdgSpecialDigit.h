#pragma once
// The companion of the seven-segment digit for the characters between digits: minus,
// plus, decimal point, slash, backslash and colon. Only the glyph is drawn, in the on
// colours (no dark segments), so the parent's colour shows around it. Every property
// write repaints at once.
#include "controls/TColor.h"

#include <QWidget>
#include <cstdint>

enum TSpecialValue : std::uint8_t { _minus, _plus, _point, _slash, _backslash, _twopoints };

class TdgSpecialDigit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint SegmentOnColor READ SegmentOnColor WRITE SetSegmentOnColor)
    Q_PROPERTY(int SegmentWidth READ SegmentWidth WRITE SetSegmentWidth)
    Q_PROPERTY(int SegmentSpace READ SegmentSpace WRITE SetSegmentSpace)
    Q_PROPERTY(uint SegmentOnBorderColor READ SegmentOnBorderColor WRITE SetSegmentOnBorderColor)

public:
    explicit TdgSpecialDigit(QWidget* parent = nullptr);

    TColor SegmentOnColor() const { return FSegmentOnColor; }
    void SetSegmentOnColor(TColor value);
    int SegmentWidth() const { return FSegmentWidth; }
    void SetSegmentWidth(int value);
    // The gap between the two dots of the colon; no other glyph uses it.
    int SegmentSpace() const { return FSegmentSpace; }
    void SetSegmentSpace(int value);
    TColor SegmentOnBorderColor() const { return FSegmentOnBorderColor; }
    void SetSegmentOnBorderColor(TColor value);
    TSpecialValue Value() const { return FValue; }
    // A value above _twopoints is stored and draws nothing.
    void SetValue(TSpecialValue value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor FSegmentOnColor = clRed;
    int FSegmentWidth = 4;
    int FSegmentSpace = 1;
    TSpecialValue FValue = _minus;
    TColor FSegmentOnBorderColor = clBlack;
};
