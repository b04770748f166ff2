#include "segments/TVrClock.h"

#include "controls/PageScaler.h"
#include "controls/TColor.h"
#include "segments/TdgDigitTime.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int ZoneGap = 6;
constexpr int ZoneWidth = 63;
} // namespace

TVrClock::TVrClock(QWidget* parent) : QWidget(parent), m_clock(std::chrono::system_clock::now)
{
    m_display = new TdgDigitTime(this);
    m_display->setObjectName(QStringLiteral("VrClockTime"));
    m_display->SetColor(clBlack);
    m_display->SetSegmentOnColor(clLime);
    m_display->SetSegmentOnBorderColor(clLime);
    m_display->SetSegmentOffColor(clGreen);
    m_display->SetSegmentOffBorderColor(clBlack);
    m_display->SetSegmentWidth(2);
    m_display->SetSepparatorSegmentWidth(2);
    m_display->SetClock([this] { return localDateTime(m_clock()); });
    // Every tick of the display also brings the zone abbreviation up to date (it
    // changes when daylight saving time begins or ends).
    m_display->BeforeValueChange = [this](QObject*, bool&, TTime&) { updateZone(); };

    m_zone = new QLabel(this);
    m_zone->setObjectName(QStringLiteral("VrClockZone"));
    m_zone->setAlignment(Qt::AlignCenter);
    m_zone->setStyleSheet(QStringLiteral("color: #00ff00; background: black; font: bold 14pt \"Arial\";"));

    resize(sizeHint());
    layoutChildren();
    refresh();
}

QSize TVrClock::sizeHint() const
{
    return { 161 + ZoneGap + ZoneWidth, 41 };
}

QString TVrClock::zoneText() const
{
    return m_zone->text();
}

void TVrClock::setClock(ClockSource clock)
{
    m_clock = clock ? std::move(clock) : ClockSource(std::chrono::system_clock::now);
    refresh();
}

void TVrClock::refresh()
{
    m_display->doTimer();
}

void TVrClock::updateZone()
{
    const QString zone = QString::fromLocal8Bit(zoneAbbreviation(m_clock()));
    if (m_zone->text() != zone)
        m_zone->setText(zone);
}

void TVrClock::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), toQColor(clBlack));
}

void TVrClock::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void TVrClock::layoutChildren()
{
    // The gap and the zone's width grow and shrink with the page.
    const int gap = PageScaler::scaled(this, ZoneGap);
    const int zoneWidth = std::min(PageScaler::scaled(this, ZoneWidth), std::max(0, width() - gap - 1));
    const int timeWidth = std::max(1, width() - gap - zoneWidth);
    m_display->setGeometry(0, 0, timeWidth, height());
    m_zone->setGeometry(timeWidth + gap, 0, zoneWidth, height());
}
