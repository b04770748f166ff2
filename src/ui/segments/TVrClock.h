#pragma once
// The running header clock: hours, minutes and seconds on a seven-segment time display
// (lit segments lime, unlit green, on black), with the abbreviation of the local time
// zone beside it ("CST", "CDT", ...). It keeps its own time and shares nothing.
#include "clocks/DateTime.h"

#include <QWidget>

class QLabel;
class TdgDigitTime;

class TVrClock : public QWidget {
    Q_OBJECT

public:
    explicit TVrClock(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    TdgDigitTime* display() const { return m_display; }
    // The zone abbreviation shown beside the time.
    QString zoneText() const;
    // Where "now" comes from (the system clock by default); the time shown and the
    // zone abbreviation both follow it.
    void setClock(ClockSource clock);
    // Shows the time and zone of the clock's current instant.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateZone();
    void layoutChildren();

    TdgDigitTime* m_display = nullptr;
    QLabel* m_zone = nullptr;
    ClockSource m_clock;
};
