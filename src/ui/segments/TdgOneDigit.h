#pragma once
// One decimal digit drawn as a seven-segment figure. Every segment is always drawn:
// lit ones in the on colours, dark ones in the off colours, so the unlit figure stays
// faintly visible like a real display. Nothing else is painted, so the parent's colour
// shows between and around the segments. Every property write repaints at once.
#include "controls/TColor.h"
#include "segments/Events.h"

#include <QWidget>
#include <cstdint>

// Segment shapes. Every segment is drawn as a six-point polygon; the four-point
// style is named for completeness and not drawn.
enum TSStyle : std::uint8_t { points_6, points_4 };

class TdgOneDigit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint SegmentOnColor READ SegmentOnColor WRITE SetSegmentOnColor)
    Q_PROPERTY(uint SegmentOffColor READ SegmentOffColor WRITE SetSegmentOffColor)
    Q_PROPERTY(int SegmentWidth READ SegmentWidth WRITE SetSegmentWidth)
    Q_PROPERTY(int SegmentSpace READ SegmentSpace WRITE SetSegmentSpace)
    Q_PROPERTY(uint SegmentOnBorderColor READ SegmentOnBorderColor WRITE SetSegmentOnBorderColor)
    Q_PROPERTY(uint SegmentOffBorderColor READ SegmentOffBorderColor WRITE SetSegmentOffBorderColor)
    Q_PROPERTY(int Value READ Value WRITE SetValue)

public:
    explicit TdgOneDigit(QWidget* parent = nullptr);

    TColor SegmentOnColor() const { return FSegmentOnColor; }
    void SetSegmentOnColor(TColor value);
    TColor SegmentOffColor() const { return FSegmentOffColor; }
    void SetSegmentOffColor(TColor value);
    int SegmentWidth() const { return FSegmentWidth; }
    void SetSegmentWidth(int value);
    int SegmentSpace() const { return FSegmentSpace; }
    void SetSegmentSpace(int value);
    TColor SegmentOnBorderColor() const { return FSegmentOnBorderColor; }
    void SetSegmentOnBorderColor(TColor value);
    TColor SegmentOffBorderColor() const { return FSegmentOffBorderColor; }
    void SetSegmentOffBorderColor(TColor value);

    // 0 to 9 for a digit, 11 for the error figure E.
    int Value() const { return FValue; }
    // Passes the request through BeforeValueChange; stores 0 to 9 as it is and any
    // other value as E (reporting it through OnValueError), then repaints.
    void SetValue(int value);

    // Called after a value out of range was turned into E.
    TNotifyEvent OnValueError;
    // Called before every change of Value, with the right to veto or replace it.
    TValueEvent BeforeValueChange;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor FSegmentOnColor = clRed;
    int FSegmentWidth = 4;
    TColor FSegmentOffColor = clMaroon;
    int FSegmentSpace = 1;
    int FValue = 0;
    TColor FSegmentOnBorderColor = clBlack;
    TColor FSegmentOffBorderColor = clBlack;
};
