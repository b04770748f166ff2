#pragma once
// A panel that shows a time of day as HH:MM:SS on six seven-segment digits and two
// colons. It refreshes itself from the clock every 300 milliseconds; before each new
// time is shown its owner may veto it or replace it (BeforeValueChange), which is how
// the zone clocks show their zones' times.
#include "controls/TColor.h"
#include "segments/Events.h"

#include <QWidget>
#include <vector>

class QTimer;
class TdgOneDigit;
class TdgSpecialDigit;

class TdgDigitTime : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(uint SegmentOnColor READ SegmentOnColor WRITE SetSegmentOnColor)
    Q_PROPERTY(uint SegmentOffColor READ SegmentOffColor WRITE SetSegmentOffColor)
    Q_PROPERTY(int SegmentWidth READ SegmentWidth WRITE SetSegmentWidth)
    Q_PROPERTY(int SegmentSpace READ SegmentSpace WRITE SetSegmentSpace)
    Q_PROPERTY(uint SegmentOnBorderColor READ SegmentOnBorderColor WRITE SetSegmentOnBorderColor)
    Q_PROPERTY(uint SegmentOffBorderColor READ SegmentOffBorderColor WRITE SetSegmentOffBorderColor)
    Q_PROPERTY(int DigitSpace READ DigitSpace WRITE SetDigitSpace)
    Q_PROPERTY(double Time READ Time WRITE SetTime)
    Q_PROPERTY(int SepparatorSegmentWidth READ SepparatorSegmentWidth WRITE SetSepparatorSegmentWidth)
    Q_PROPERTY(bool TimerOn READ TimerOn WRITE SetTimerOn)

public:
    explicit TdgDigitTime(QWidget* parent = nullptr);
    ~TdgDigitTime() override;

    // The panel's face colour.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // These pass the value on to the children at once, without a new layout.
    TColor SegmentOnColor() const { return FSegmentOnColor; }
    void SetSegmentOnColor(TColor value);
    TColor SegmentOffColor() const { return FSegmentOffColor; }
    void SetSegmentOffColor(TColor value);
    // Also the stroke of the colons, and (from the next layout on) their slot width.
    int SegmentWidth() const { return FSegmentWidth; }
    void SetSegmentWidth(int value);
    // The colons get five times this as the gap between their dots.
    int SegmentSpace() const { return FSegmentSpace; }
    void SetSegmentSpace(int value);
    TColor SegmentOnBorderColor() const { return FSegmentOnBorderColor; }
    void SetSegmentOnBorderColor(TColor value);
    TColor SegmentOffBorderColor() const { return FSegmentOffBorderColor; }
    void SetSegmentOffBorderColor(TColor value);
    // The stroke of the colons; whichever of this and SegmentWidth is written last wins.
    int SepparatorSegmentWidth() const { return FSepparatorSegmentWidth; }
    void SetSepparatorSegmentWidth(int value);

    // The gap right of every child; writing it lays the children out again.
    int DigitSpace() const { return FDigitSpace; }
    void SetDigitSpace(int value);

    // The time shown (days since 30 December 1899; only the time of day shows).
    TTime Time() const { return FTime; }
    // Passes the value through BeforeValueChange; when allowed, stores it, lays the
    // children out and shows it.
    void SetTime(TTime value);

    bool TimerOn() const { return FTimerOn; }
    // Starts or stops the 300-millisecond refresh.
    void SetTimerOn(bool value);

    // Called before every new time is stored, with the right to veto or replace it.
    TTimeEvent BeforeValueChange;

    // Frees the digit children.
    void ClearDigits();
    // Builds the eight children in provisional slots.
    void CreateDigits();
    // Sizes and places the children from the panel's size; moves nothing that is
    // already in place.
    void DrawDigits();
    // Lays out the children and shows Time on them, writing only digits that change.
    void DisplayValue();
    // The timer's tick: SetTime with the current date and time.
    void doTimer();

    // The children in index order: seconds units first, hours tens last.
    const std::vector<QWidget*>& Digits() const { return FDigits; }
    // Where the current date and time come from (the system clock by default).
    void SetClock(LocalClock clock);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int FSegmentSpace = 1;
    int FDigitSpace = 2;
    int FSegmentWidth = 2;
    int FSepparatorSegmentWidth = 2;
    TColor FSegmentOffBorderColor = clBlack;
    TColor FSegmentOffColor = clMaroon;
    TColor FSegmentOnBorderColor = clRed;
    TColor FSegmentOnColor = clRed;
    TColor FColor = clBlack;
    TTime FTime = 0;
    bool FTimerOn = true;
    QTimer* FTimer = nullptr;
    std::vector<QWidget*> FDigits;
    LocalClock FClock;
};
