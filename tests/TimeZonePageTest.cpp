// The zone clock page: its components, the home zone choice, the five displays fed
// through their BeforeValueChange handlers with each zone's true time wherever the
// computer's clock runs, the daylight-saving indication and note, and the way back to the
// main page.
#include "LocalZone.h"
#include "PageProbes.h"
#include "TestSupport.h"

#include "app/Pages.h"
#include "clocks/TfrmTimeZone.h"
#include "controls/FacePanel.h"
#include "controls/ImageBox.h"
#include "segments/TdgDigitTime.h"
#include "segments/TdgOneDigit.h"

#include <QCalendarWidget>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const char* const Displays[]
    = { "dgDigitTime4", "dgDigitTime1", "dgDigitTime2", "dgDigitTime3", "dgDigitTime5" };

class TimeZonePage : public ::testing::Test {
protected:
    // The pages are made on a computer whose clock runs on Universal time, unless a test
    // says otherwise.
    void SetUp() override
    {
        CreatePages(QStringLiteral(VELMORA_BINARY_DIR "/demo"));
        ASSERT_NE(frmTimeZone, nullptr);
        page = static_cast<QWidget*>(frmTimeZone);
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

    // What the five displays should read at the instant, worked out by the C library.
    static QStringList runtimeClocks(ClockInstant instant)
    {
        QStringList out;
        for (const char* zone :
            { "America/New_York", "America/Chicago", "America/Denver", "America/Los_Angeles", "UTC" })
            out << QString::fromStdString(runtimeClock(zone, instant));
        return out;
    }

    LocalZone computer { "UTC" };
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
        { "Label20", "-----------  second Sunday in March  -------" },
        { "Label21", "----------- first Sunday in November ------" },
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

TEST_F(TimeZonePage, EveryDisplayShowsItsZonesTimeWhereverTheComputerRuns)
{
    struct Case {
        const char* computer;
        ClockInstant instant;
    };
    const Case cases[] = {
        { "UTC", utcInstant(2024, 7, 15, 17, 0, 0, 500) },
        { "UTC", utcInstant(2024, 1, 15, 18, 0, 0, 500) },
        { "America/Phoenix", utcInstant(2024, 7, 15, 19, 0, 0, 500) },
        { "America/Phoenix", utcInstant(2024, 1, 15, 19, 0, 0, 500) },
        { "Pacific/Honolulu", utcInstant(2024, 7, 16, 4, 45, 0, 500) },
        { "Europe/Berlin", utcInstant(2024, 3, 31, 0, 30, 0, 500) },
        { "America/Chicago", utcInstant(2024, 3, 10, 7, 59, 59, 500) },
        { "America/Chicago", utcInstant(2024, 3, 10, 8, 0, 0, 500) },
        { "America/Chicago", utcInstant(2024, 11, 3, 6, 59, 59, 500) },
        { "America/Chicago", utcInstant(2024, 11, 3, 7, 0, 0, 500) },
        { "UTC", utcInstant(2024, 11, 3, 9, 30, 0, 500) },
    };
    for (const Case& c : cases) {
        LocalZone zone(c.computer);
        const QStringList right = runtimeClocks(c.instant);
        for (const char* home : { "panEST", "panCST", "panMST", "panPST" }) {
            click(panel(home));
            tickAt(c.instant);
            EXPECT_EQ(clocks(), right) << c.computer << " " << home;
        }
    }
}

TEST_F(TimeZonePage, OnAUniversalTimeComputerCentralIsNoLongerUniversalTime)
{
    // The first thing a new user saw: CST green, and Central time equal to UTC.
    EXPECT_EQ(panel("panCST")->color(), clGreen);
    tickAt(utcInstant(2024, 7, 15, 17, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    EXPECT_EQ(panel("panStandard")->color(), clYellow); // Universal time keeps no daylight time
    EXPECT_EQ(edit("editUTC"), " Mon Jul 15 17:00:00 2024\n");
}

TEST_F(TimeZonePage, AtStartUpTheComputersOwnZoneIsTheGreenOne)
{
    const std::pair<const char*, const char*> cases[] = {
        { "America/New_York", "panEST" },
        { "America/Chicago", "panCST" },
        { "America/Phoenix", "panMST" },
        { "America/Denver", "panMST" },
        { "America/Los_Angeles", "panPST" },
        { "Pacific/Honolulu", "panCST" },
        { "Europe/Berlin", "panCST" },
    };
    for (const auto& [computer, green] : cases) {
        DestroyPages();
        LocalZone zone(computer);
        CreatePages(QStringLiteral(VELMORA_BINARY_DIR "/demo"));
        page = static_cast<QWidget*>(frmTimeZone);
        for (const char* name : { "panEST", "panCST", "panMST", "panPST" })
            EXPECT_EQ(panel(name)->color(), std::string(name) == green ? clGreen : clRed)
                << computer << " " << name;
    }
}

TEST_F(TimeZonePage, TheHomeZoneChoiceColoursOnePanelAndMovesNoClock)
{
    LocalZone zone("America/Chicago");
    const ClockInstant noon = utcInstant(2024, 7, 15, 17, 0, 0, 500);
    tickAt(noon);
    const QStringList before = clocks();
    EXPECT_EQ(before, (QStringList { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    for (const char* home : { "panMST", "panEST", "panPST", "panCST" }) {
        click(panel(home));
        tickAt(noon);
        EXPECT_EQ(clocks(), before) << home;
    }
}

TEST_F(TimeZonePage, AZoneMissingFromTheDatabaseFallsBackToWholeHours)
{
    LocalZone zone("America/Chicago");
    frmTimeZone->SetZones(ContinentalZones(
        [](const QByteArray& id) { return id == "America/Los_Angeles" ? QTimeZone() : QTimeZone(id); }));
    // Noon Central; Pacific from the home zone by whole hours.
    tickAt(utcInstant(2024, 7, 15, 17, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    click(panel("panEST"));
    tickAt(utcInstant(2024, 7, 15, 17, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "13:00:00", "12:00:00", "11:00:00", "09:00:00", "17:00:00" }));
    // With no database at all the page still runs, and Universal time stays true.
    frmTimeZone->SetZones(ContinentalZones(nullptr));
    tickAt(utcInstant(2024, 7, 15, 17, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "12:00:00", "11:00:00", "10:00:00", "09:00:00", "17:00:00" }));
    EXPECT_TRUE(dialogs.shown.empty());
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

TEST_F(TimeZonePage, OnAnEasternComputerEveryClockIsStillRight)
{
    LocalZone zone("America/New_York");
    tickAt(utcInstant(2024, 7, 15, 16, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "12:00:00", "11:00:00", "10:00:00", "09:00:00", "16:00:00" }));
    EXPECT_EQ(panel("panDayLightSavings")->color(), clYellow);
    tickAt(utcInstant(2024, 12, 1, 17, 0, 0, 500));
    EXPECT_EQ(clocks(), (QStringList { "12:00:00", "11:00:00", "10:00:00", "09:00:00", "17:00:00" }));
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

TEST_F(TimeZonePage, OpensInTheMainWindowsPlaceSizeAndState)
{
    auto* mainPage = static_cast<Page*>(frmMainA);
    navigate(mainPage, frmTimeZone);
    ASSERT_TRUE(page->isVisible());
    EXPECT_EQ(page->geometry(), mainPage->geometry());
    EXPECT_NE(page->minimumSize(), page->maximumSize()); // a fixed size could not be maximized
    navigate(frmTimeZone, mainPage);
    // Maximized by the operator: the page opens maximized, and keeps the state between visits.
    mainPage->showMaximized();
    QTest::qWait(50);
    navigate(mainPage, frmTimeZone);
    EXPECT_TRUE(page->windowState() & Qt::WindowMaximized);
    QTest::qWait(50);
    EXPECT_EQ(page->geometry(), mainPage->geometry());
    navigate(frmTimeZone, mainPage);
    navigate(mainPage, frmTimeZone);
    EXPECT_TRUE(page->windowState() & Qt::WindowMaximized);
}

// The United States have changed their clocks on the second Sunday in March and the
// first Sunday in November since 2007; no page, picture or text may give the old dates.
TEST_F(TimeZonePage, TheDaylightSavingNoteGivesTodaysRuleAndNoTextTheOldOne)
{
    EXPECT_TRUE(child<QLabel>(page, "Label20")->text().contains("second Sunday in March"));
    EXPECT_TRUE(child<QLabel>(page, "Label21")->text().contains("first Sunday in November"));

    const QStringList oldRule { QStringLiteral("Sunday in April"), QStringLiteral("last Sunday in October") };
    int texts = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        for (const QLabel* label : top->findChildren<QLabel*>()) {
            ++texts;
            for (const QString& old : oldRule)
                EXPECT_FALSE(label->text().contains(old, Qt::CaseInsensitive))
                    << label->objectName().toStdString() << ": " << label->text().toStdString();
        }
    EXPECT_GT(texts, 20);
    int pictures = 0;
    for (QDirIterator it(QStringLiteral(":/"), QDirIterator::Subdirectories); it.hasNext();) {
        const QString name = it.next();
        if (!name.endsWith(QLatin1String(".svg")) && !name.endsWith(QLatin1String(".txt")))
            continue;
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(file.readAll()).simplified();
        ++pictures;
        for (const QString& old : oldRule)
            EXPECT_FALSE(text.contains(old, Qt::CaseInsensitive)) << name.toStdString();
    }
    EXPECT_GT(pictures, 10);
}

TEST_F(TimeZonePage, QuitPanelAndPictureLeadBackToTheMainPage)
{
    for (const char* name : { "panQUIT", "Image1" }) {
        navigate(static_cast<Page*>(frmMainA), frmTimeZone);
        ASSERT_TRUE(page->isVisible());
        click(child<QWidget>(page, name));
        EXPECT_FALSE(page->isVisible()) << name;
        EXPECT_TRUE(static_cast<QWidget*>(frmMainA)->isVisible()) << name;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
