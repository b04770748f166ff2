#include "clocks/TfrmTimeZone.h"

#include "ui_TfrmTimeZone.h"

#include <QTimer>
#include <functional>

namespace {
// Writes a face colour only when it differs, so the once-a-second refresh repaints
// nothing that stays the same.
void setFace(FacePanel* panel, TColor color)
{
    if (panel->color() != color)
        panel->setColor(color);
}

void setText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}
} // namespace

TfrmTimeZone::TfrmTimeZone(QWidget* parent)
    : Page(parent), ui(std::make_unique<Ui::TfrmTimeZone>()), FClock(std::chrono::system_clock::now)
{
    ui->setupUi(this);
    // A title bar without frame buttons: the way out is the quit control.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowState(Qt::WindowMaximized);

    ui->dgDigitTime4->BeforeValueChange = std::bind_front(&TfrmTimeZone::dgDigitTime4BeforeValueChange, this);
    ui->dgDigitTime1->BeforeValueChange = std::bind_front(&TfrmTimeZone::dgDigitTime1BeforeValueChange, this);
    ui->dgDigitTime2->BeforeValueChange = std::bind_front(&TfrmTimeZone::dgDigitTime2BeforeValueChange, this);
    ui->dgDigitTime3->BeforeValueChange = std::bind_front(&TfrmTimeZone::dgDigitTime3BeforeValueChange, this);
    ui->dgDigitTime5->BeforeValueChange = std::bind_front(&TfrmTimeZone::dgDigitTime5BeforeValueChange, this);

    connect(ui->panEST, &FacePanel::clicked, this, &TfrmTimeZone::panESTClick);
    connect(ui->panCST, &FacePanel::clicked, this, &TfrmTimeZone::panCSTClick);
    connect(ui->panMST, &FacePanel::clicked, this, &TfrmTimeZone::panMSTClick);
    connect(ui->panPST, &FacePanel::clicked, this, &TfrmTimeZone::panPSTClick);
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmTimeZone::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmTimeZone::Image1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmTimeZone::Timer1Timer);
    Timer1->start();

    // The home zone starts as the computer's own; on a clock that runs on none of the
    // four zones it stays Central.
    chooseZone(computerZone(FClock()).value_or(TimeZoneChoice::CST));
}

TfrmTimeZone::~TfrmTimeZone() = default;

void TfrmTimeZone::SetClock(ClockSource clock)
{
    FClock = clock ? std::move(clock) : ClockSource(std::chrono::system_clock::now);
}

void TfrmTimeZone::SetZones(ContinentalZones zones)
{
    FZones = std::move(zones);
}

void TfrmTimeZone::Timer1Timer()
{
    UpdateZoneTimes();
}

void TfrmTimeZone::UpdateZoneTimes()
{
    const ZoneReading reading = readZones(FClock(), FSelectedZone, FZones);
    FZoneTimes = reading.times;
    setText(ui->editTimeDate, dateTimeText(reading.local));
    setText(ui->editUTC, QLatin1Char(' ') + QString::fromLatin1(reading.utcText));
    setFace(ui->panDayLightSavings, reading.daylightSaving ? clYellow : clGray);
    setFace(ui->panStandard, reading.daylightSaving ? clGray : clYellow);
}

void TfrmTimeZone::chooseZone(TimeZoneChoice zone)
{
    ui->panEST->setColor(zone == TimeZoneChoice::EST ? clGreen : clRed);
    ui->panCST->setColor(zone == TimeZoneChoice::CST ? clGreen : clRed);
    ui->panMST->setColor(zone == TimeZoneChoice::MST ? clGreen : clRed);
    ui->panPST->setColor(zone == TimeZoneChoice::PST ? clGreen : clRed);
    // The home zone changes no time shown: each display keeps its own zone's time.
    FSelectedZone = zone;
}

void TfrmTimeZone::panESTClick()
{
    chooseZone(TimeZoneChoice::EST);
}

void TfrmTimeZone::panCSTClick()
{
    chooseZone(TimeZoneChoice::CST);
}

void TfrmTimeZone::panMSTClick()
{
    chooseZone(TimeZoneChoice::MST);
}

void TfrmTimeZone::panPSTClick()
{
    chooseZone(TimeZoneChoice::PST);
}

void TfrmTimeZone::dgDigitTime4BeforeValueChange(QObject*, bool&, TTime& Value)
{
    Value = FZoneTimes.Eastern;
}

void TfrmTimeZone::dgDigitTime1BeforeValueChange(QObject*, bool&, TTime& Value)
{
    Value = FZoneTimes.Central;
}

void TfrmTimeZone::dgDigitTime2BeforeValueChange(QObject*, bool&, TTime& Value)
{
    Value = FZoneTimes.Mountain;
}

void TfrmTimeZone::dgDigitTime3BeforeValueChange(QObject*, bool&, TTime& Value)
{
    Value = FZoneTimes.Pacific;
}

void TfrmTimeZone::dgDigitTime5BeforeValueChange(QObject*, bool&, TTime& Value)
{
    Value = FZoneTimes.Universal;
}

void TfrmTimeZone::panQUITClick()
{
    goBack();
}

void TfrmTimeZone::Image1Click()
{
    goBack();
}
