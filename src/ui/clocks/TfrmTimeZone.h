#pragma once
// The zone clock page: Eastern, Central, Mountain, Pacific and Universal time on five
// seven-segment displays, the local and Universal date-time texts, a calendar, and
// whether daylight saving time is in effect. Every display shows its zone's true time,
// whatever zone the computer's clock runs on; the zone panels mark the operator's home
// zone, which starts as the computer's own zone when that is one of the four.
#include "clocks/ZoneClock.h"
#include "controls/Page.h"

#include <memory>

class QObject;
class QTimer;

namespace Ui {
class TfrmTimeZone;
}

class TfrmTimeZone : public Page {
    Q_OBJECT

public:
    explicit TfrmTimeZone(QWidget* parent = nullptr);
    ~TfrmTimeZone() override;

    void Timer1Timer();
    // Works out the zone times of this moment and shows the texts and the indication.
    void UpdateZoneTimes();

    void panESTClick();
    void panCSTClick();
    void panMSTClick();
    void panPSTClick();

    // Each display shows its zone's stored time at every one of its own ticks.
    void dgDigitTime4BeforeValueChange(QObject* Sender, bool& Allow, TTime& Value);
    void dgDigitTime1BeforeValueChange(QObject* Sender, bool& Allow, TTime& Value);
    void dgDigitTime2BeforeValueChange(QObject* Sender, bool& Allow, TTime& Value);
    void dgDigitTime3BeforeValueChange(QObject* Sender, bool& Allow, TTime& Value);
    void dgDigitTime5BeforeValueChange(QObject* Sender, bool& Allow, TTime& Value);

    void panQUITClick();
    void Image1Click();

    TimeZoneChoice SelectedZone() const { return FSelectedZone; }
    const ZoneTimes& zoneTimes() const { return FZoneTimes; }
    // Where "now" comes from (the system clock by default).
    void SetClock(ClockSource clock);
    // The zones' rules (the system's time-zone database by default).
    void SetZones(ContinentalZones zones);

protected:
private:
    void chooseZone(TimeZoneChoice zone);

    std::unique_ptr<Ui::TfrmTimeZone> ui;
    QTimer* Timer1 = nullptr;
    TimeZoneChoice FSelectedZone = TimeZoneChoice::CST;
    ZoneTimes FZoneTimes;
    ClockSource FClock;
    ContinentalZones FZones;
};
