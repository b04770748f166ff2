// The zone clock page: its components, the zone choice, the five displays fed through
// their BeforeValueChange handlers, the Universal time and daylight-saving indication,
// and the way back to the main page.
#include "LocalZone.h"
#include "TestSupport.h"

#include "app/Pages.h"
#include "clocks/TfrmTimeZone.h"
#include "controls/FacePanel.h"
#include "controls/ImageBox.h"
#include "segments/TdgDigitTime.h"
#include "segments/TdgOneDigit.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const char* const Displays[]
    = { "dgDigitTime4", "dgDigitTime1", "dgDigitTime2", "dgDigitTime3", "dgDigitTime5" };

class TimeZonePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreatePages(QStringLiteral(VELMORA_BINARY_DIR "/demo"));
        ASSERT_NE(frmTimeZone, nullptr);
        page = reinterpret_cast<QWidget*>(frmTimeZone);
    }
    void TearDown() override { DestroyPages(); }

    FacePanel* panel(const char* name) { return child<FacePanel>(page, name); }
    TdgDigitTime* display(const char* name) { return child<TdgDigitTime>(page, name); }
    QString edit(const char* name) { return child<QLineEdit>(page, name)->text(); }

    // One tick of Timer1 at the given instant, then one tick of every display.
    void tickAt(ClockInstant instant)
    {
        frmTimeZone->SetClock([instant] { return instant; });
        frmTimeZone->Timer1Timer();
        for (const char* name : Displays)
            display(name)->doTimer();
    }

    // What a display reads, "HH:MM:SS".
    QString reads(const char* name)
    {
        QString out;
        const auto& children = display(name)->Digits();
        for (int i = int(children.size()) - 1; i >= 0; --i) {
            if (auto* digit = qobject_cast<TdgOneDigit*>(children[i]))
                out += QString::number(digit->Value());
            else
                out += QLatin1Char(':');
        }
        return out;
    }
    // Eastern, Central, Mountain, Pacific, Universal.
    QStringList clocks()
    {
        QStringList out;
        for (const char* name : Displays)
            out << reads(name);
        return out;
    }

    QWidget* page = nullptr;
    RecordingDialogs dialogs;
};

TEST_F(TimeZonePage, HasEveryComponentWithItsTextAndFirstLook)
{
    EXPECT_EQ(page->windowTitle(), "TimeZone Page");
    const std::pair<const char*, const char*> labels[] = {
        { "Label6", "YOU MUST SELECT YOUR TIME ZONE !" },
        { "Label7",
            " Eastern                       Centeral                   Mountain                    Pacific" },
        { "Label4", "EASTERN TIME :" },
        { "Label1", "CENTRAL TIME :" },
        { "Label2", "MOUNTAIN TIME :" },
        { "Label3", "PACIFIC TIME :" },
        { "Label5", "UNIVERSAL TIME :" },
        { "Label18", "Day Light Savings" },
        { "Label20", "-----------  first Sunday in April  -------" },
        { "Label21", "----------- last Sunday in October ------" },
    };
    for (const auto& [name, text] : labels)
        EXPECT_EQ(child<QLabel>(page, name)->text(), QString::fromLatin1(text)) << name;

    const std::tuple<const char*, const char*, TColor> panels[] = {
        { "panEST", "EST ZONE ", clRed },
        { "panCST", "CST ZONE ", clGreen },
        { "panMST", "MST ZONE ", clRed },
        { "panPST", "PST ZONE ", clRed },
        { "panDayLightSavings", "DAY LIGHT SAVINGS TIME  ", clYellow },
        { "panStandard", "STANDARD TIME", clGray },
    };
    for (const auto& [name, caption, color] : panels) {
        EXPECT_EQ(panel(name)->caption(), QString::fromLatin1(caption)) << name;
        EXPECT_EQ(panel(name)->color(), color) << name;
    }
    for (const char* name : { "panEST", "panCST", "panMST", "panPST" })
        EXPECT_EQ(panel(name)->fontColor(), clWhite) << name;
    EXPECT_EQ(panel("Panel14")->color(), clGray);
    EXPECT_EQ(panel("panDayLightSavings")->parentWidget(), panel("Panel14"));
    EXPECT_EQ(panel("panStandard")->parentWidget(), panel("Panel14"));

    EXPECT_EQ(edit("editTimeDate"), "editTimeDate");
    EXPECT_EQ(edit("editUTC"), "editUTC");
    EXPECT_NE(child<QCalendarWidget>(page, "CCalendar1"), nullptr);

    const std::pair<const char*, const char*> pictures[] = {
        { "Image1", ":/pictures/quit.svg" },
        { "Image2", ":/pictures/timezones.svg" },
        { "Image3", ":/pictures/dst-note.svg" },
    };
    for (const auto& [name, resource] : pictures) {
        auto* image = child<ImageBox>(page, name);
        EXPECT_EQ(image->picture(), resource) << name;
        EXPECT_TRUE(image->hasPicture()) << name;
    }
    EXPECT_EQ(child<ImageBox>(page, "Image1")->parentWidget(), panel("panQUIT"));
    EXPECT_EQ(panel("panQUIT")->color(), clGray);

    for (const char* name : Displays) {
        TdgDigitTime* d = display(name);
        EXPECT_EQ(d->size(), QSize(161, 41)) << name;
        EXPECT_EQ(d->Color(), clBlack);
        EXPECT_EQ(d->SegmentOnColor(), clLime);
        EXPECT_EQ(d->SegmentOffColor(), clBlack);
        EXPECT_EQ(d->SegmentOnBorderColor(), clLime);
        EXPECT_EQ(d->SegmentOffBorderColor(), clBlack);
        EXPECT_EQ(d->SegmentWidth(), 2);
        EXPECT_EQ(d->SegmentSpace(), 1);
        EXPECT_EQ(d->DigitSpace(), 2);
        EXPECT_EQ(d->SepparatorSegmentWidth(), 2);
        EXPECT_TRUE(d->TimerOn()) << name;
        EXPECT_TRUE(d->BeforeValueChange) << name;
    }
    auto* timer = page->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(TimeZonePage, BeforeTheFirstTickEveryDisplayReadsMidnight)
{
    EXPECT_EQ(frmTimeZone->SelectedZone(), TimeZoneChoice::CST);
    for (const char* name : Displays)
        display(name)->doTimer();
    EXPECT_EQ(clocks(), QStringList(5, "00:00:00"));
}

TEST_F(TimeZonePage, ZoneChoiceColoursOnePanelGreenAndTheOthersRed)
{
    const std::pair<const char*, TimeZoneChoice> choices[] = {
        { "panMST", TimeZoneChoice::MST },
        { "panEST", TimeZoneChoice::EST },
        { "panPST", TimeZoneChoice::PST },
        { "panCST", TimeZoneChoice::CST },
        { "panCST", TimeZoneChoice::CST },
    };
    for (const auto& [chosen, zone] : choices) {
        click(panel(chosen));
        EXPECT_EQ(frmTimeZone->SelectedZone(), zone) << chosen;
        for (const char* name : { "panEST", "panCST", "panMST", "panPST" })
            EXPECT_EQ(panel(name)->color(), std::string(name) == chosen ? clGreen : clRed)
                << chosen << " " << name;
    }
}

TEST_F(TimeZonePage, EachSelectedZoneDrivesTheFourZoneDisplays)
{
    LocalZone zone("America/Chicago");
    // Noon in summer; the operator's choice decides what the local clock is taken for.
    const ClockInstant noon = utcInstant(2024, 7, 15, 17, 0, 0, 500);
    tickAt(noon);
    EXPECT_EQ(clocks(), (QStringList { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    click(panel("panEST"));
    // Nothing moves before the next tick of Timer1.
    for (const char* name : Displays)
        display(name)->doTimer();
    EXPECT_EQ(reads("dgDigitTime4"), "13:00:00");
    tickAt(noon);
    EXPECT_EQ(clocks(), (QStringList { "12:00:00", "11:00:00", "10:00:00", "09:00:00", "17:00:00" }));
    click(panel("panMST"));
    tickAt(noon);
    EXPECT_EQ(clocks(), (QStringList { "14:00:00", "13:00:00", "12:00:00", "11:00:00", "17:00:00" }));
    click(panel("panPST"));
    tickAt(noon);
    EXPECT_EQ(clocks(), (QStringList { "15:00:00", "14:00:00", "13:00:00", "12:00:00", "17:00:00" }));

    // Just after local midnight the western zones read the evening before.
    click(panel("panEST"));
    tickAt(utcInstant(2024, 7, 15, 5, 30, 0, 500)); // 00:30 local
    EXPECT_EQ(clocks(), (QStringList { "00:30:00", "23:30:00", "22:30:00", "21:30:00", "05:30:00" }));
    // Late in the day the eastern zones read the next morning.
    click(panel("panPST"));
    tickAt(utcInstant(2024, 7, 16, 3, 30, 0, 500)); // 22:30 local
    EXPECT_EQ(reads("dgDigitTime4"), "01:30:00");
}

TEST_F(TimeZonePage, UniversalTimeAndIndicationInSummerWinterAndTheEvening)
{
    LocalZone zone("America/Chicago");
    tickAt(utcInstant(2024, 7, 15, 17, 0, 0, 500));
    EXPECT_EQ(reads("dgDigitTime5"), "17:00:00");
    EXPECT_EQ(panel("panDayLightSavings")->color(), clYellow);
    EXPECT_EQ(panel("panStandard")->color(), clGray);
    EXPECT_EQ(edit("editUTC"), " Mon Jul 15 17:00:00 2024\n");

    tickAt(utcInstant(2024, 1, 15, 18, 0, 0, 500));
    EXPECT_EQ(reads("dgDigitTime5"), "18:00:00");
    EXPECT_EQ(reads("dgDigitTime1"), "12:00:00");
    EXPECT_EQ(panel("panDayLightSavings")->color(), clGray);
    EXPECT_EQ(panel("panStandard")->color(), clYellow);
    EXPECT_EQ(edit("editUTC"), " Mon Jan 15 18:00:00 2024\n");

    // 19:00 to midnight daylight time: the Universal date is a day ahead.
    for (int hour : { 0, 2, 4 }) {
        tickAt(utcInstant(2024, 7, 16, hour, 15, 0, 500));
        EXPECT_EQ(reads("dgDigitTime1"), QStringLiteral("%1:15:00").arg(hour + 19)) << hour;
        EXPECT_EQ(reads("dgDigitTime5"), QStringLiteral("0%1:15:00").arg(hour)) << hour;
        EXPECT_EQ(panel("panDayLightSavings")->color(), clYellow) << hour;
        EXPECT_EQ(panel("panStandard")->color(), clGray) << hour;
        EXPECT_TRUE(edit("editUTC").startsWith(" Tue Jul 16 0")) << hour;
    }
    // The same hours in winter.
    tickAt(utcInstant(2024, 1, 16, 3, 15, 0, 500));
    EXPECT_EQ(reads("dgDigitTime1"), "21:15:00");
    EXPECT_EQ(reads("dgDigitTime5"), "03:15:00");
    EXPECT_EQ(panel("panStandard")->color(), clYellow);
}

TEST_F(TimeZonePage, OnAnEasternComputerUniversalTimeIsStillRight)
{
    LocalZone zone("America/New_York");
    click(panel("panEST"));
    tickAt(utcInstant(2024, 7, 15, 16, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "12:00:00", "11:00:00", "10:00:00", "09:00:00", "16:00:00" }));
    EXPECT_EQ(panel("panDayLightSavings")->color(), clYellow);
    tickAt(utcInstant(2024, 12, 1, 17, 0, 0, 500));
    EXPECT_EQ(reads("dgDigitTime5"), "17:00:00");
    EXPECT_EQ(panel("panStandard")->color(), clYellow);
}

TEST_F(TimeZonePage, TimeDateTextIsTheMomentOfTheTick)
{
    LocalZone zone("America/Chicago");
    const ClockInstant instant = utcInstant(2024, 7, 15, 18, 5, 9, 500);
    tickAt(instant);
    EXPECT_EQ(edit("editTimeDate"), dateTimeText(localDateTime(instant)));
    EXPECT_TRUE(edit("editTimeDate").contains(QStringLiteral("05:09"))) << edit("editTimeDate").toStdString();
}

TEST_F(TimeZonePage, TheRunningTimersBringANewChoiceWithinAboutASecond)
{
    LocalZone zone("America/Chicago");
    frmTimeZone->SetClock([] { return utcInstant(2024, 7, 15, 17, 0, 0, 500); });
    click(panel("panMST"));
    QTest::qWait(1500);
    EXPECT_EQ(clocks(), (QStringList { "14:00:00", "13:00:00", "12:00:00", "11:00:00", "17:00:00" }));
}

TEST_F(TimeZonePage, QuitPanelAndPictureLeadBackToTheMainPage)
{
    for (const char* name : { "panQUIT", "Image1" }) {
        navigate(reinterpret_cast<Page*>(frmMainA), frmTimeZone);
        ASSERT_TRUE(page->isVisible());
        click(child<QWidget>(page, name));
        EXPECT_FALSE(page->isVisible()) << name;
        EXPECT_TRUE(reinterpret_cast<QWidget*>(frmMainA)->isVisible()) << name;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
