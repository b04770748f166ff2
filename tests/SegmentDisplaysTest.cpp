// The display widgets: what a digit stores and paints, vetoes and replacements, the
// time display's children, refresh, layout and the number of repaints it costs, and
// the header clock.
#include "LocalZone.h"
#include "TestSupport.h"

#include "segments/SegmentGeometry.h"
#include "segments/TVrClock.h"
#include "segments/TdgDigitTime.h"
#include "segments/TdgOneDigit.h"
#include "segments/TdgSpecialDigit.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

namespace {

// Counts the events of given kinds that reach the watched widgets.
class EventCounter : public QObject {
public:
    explicit EventCounter(std::initializer_list<QEvent::Type> types) : m_types(types) { }
    void watch(QWidget* w) { w->installEventFilter(this); }
    int count(QObject* w) const
    {
        auto it = m_counts.find(w);
        return it == m_counts.end() ? 0 : it->second;
    }
    int total() const
    {
        int n = 0;
        for (const auto& [w, c] : m_counts)
            n += c;
        return n;
    }
    void reset() { m_counts.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (std::find(m_types.begin(), m_types.end(), event->type()) != m_types.end())
            ++m_counts[watched];
        return false;
    }

private:
    std::vector<QEvent::Type> m_types;
    std::map<QObject*, int> m_counts;
};

// A black parent window that shows its children, so repaint() paints at once.
struct Stage {
    QWidget window;
    Stage()
    {
        window.setAutoFillBackground(true);
        QPalette p = window.palette();
        p.setColor(QPalette::Window, Qt::black);
        window.setPalette(p);
        window.resize(400, 200);
        window.show();
        [[maybe_unused]] bool exposed = QTest::qWaitForWindowExposed(&window);
    }
};

// What the screen shows over a child widget: the parent and the child together.
QImage look(QWidget* w)
{
    return w->parentWidget()->grab(w->geometry()).toImage();
}

QColor pixel(QWidget* w, int x, int y)
{
    return look(w).pixelColor(x, y);
}

// What a time display reads, left to right, with its colons.
QString shown(const TdgDigitTime& d)
{
    QString out;
    const auto& children = d.Digits();
    for (int i = int(children.size()) - 1; i >= 0; --i) {
        if (auto* digit = qobject_cast<TdgOneDigit*>(children[i]))
            out += QString::number(digit->Value());
        else
            out += QLatin1Char(':');
    }
    return out;
}

double at(int h, int m, int s, double extraMs = 0)
{
    return ((h * 3600.0 + m * 60 + s) * 1000.0 + extraMs) / 86400000.0;
}

// A display whose clock the test holds, with the timer stopped unless asked for.
struct HeldDisplay {
    TTime now = at(12, 0, 0);
    TdgDigitTime display;
    explicit HeldDisplay(QWidget* parent = nullptr) : display(parent)
    {
        display.SetTimerOn(false);
        display.SetClock([this] { return now; });
        display.doTimer();
    }
};

// ---- TdgOneDigit --------------------------------------------------------------

TEST(OneDigit, StartsAsARedZeroOnThirtyByFifty)
{
    TdgOneDigit d;
    EXPECT_EQ(d.size(), QSize(30, 50));
    EXPECT_EQ(d.Value(), 0);
    EXPECT_EQ(d.SegmentOnColor(), clRed);
    EXPECT_EQ(d.SegmentOffColor(), clMaroon);
    EXPECT_EQ(d.SegmentOnBorderColor(), clBlack);
    EXPECT_EQ(d.SegmentOffBorderColor(), clBlack);
    EXPECT_EQ(d.SegmentWidth(), 4);
    EXPECT_EQ(d.SegmentSpace(), 1);
    EXPECT_FALSE(d.autoFillBackground());
}

TEST(OneDigit, OutOfRangeValuesShowEAndReportOnlyWhenAllowed)
{
    TdgOneDigit d;
    std::vector<QObject*> errors;
    d.OnValueError = [&](QObject* sender) { errors.push_back(sender); };
    for (int v : { -1, 10, 12, 11 }) {
        d.SetValue(7);
        d.SetValue(v);
        EXPECT_EQ(d.Value(), SevenSegment::ErrorValue) << v;
    }
    EXPECT_EQ(errors, std::vector<QObject*>(4, &d));

    // Vetoed: nothing stored and nothing reported, not even for a value out of range.
    d.SetValue(4);
    errors.clear();
    d.BeforeValueChange = [](QObject*, bool& allow, int&) { allow = false; };
    d.SetValue(-1);
    d.SetValue(6);
    EXPECT_EQ(d.Value(), 4);
    EXPECT_TRUE(errors.empty());

    // Without a handler an error is silent.
    TdgOneDigit quiet;
    quiet.SetValue(-1);
    EXPECT_EQ(quiet.Value(), 11);
}

TEST(OneDigit, BeforeValueChangeCanReplaceTheValue)
{
    TdgOneDigit d;
    int errors = 0;
    QObject* sender = nullptr;
    d.OnValueError = [&](QObject*) { ++errors; };
    d.BeforeValueChange = [&](QObject* s, bool&, int& v) {
        sender = s;
        if (v == 3)
            v = 5;
        else if (v == 8)
            v = -1;
    };
    d.SetValue(3);
    EXPECT_EQ(d.Value(), 5);
    EXPECT_EQ(sender, &d);
    EXPECT_EQ(errors, 0);
    d.SetValue(8);
    EXPECT_EQ(d.Value(), 11);
    EXPECT_EQ(errors, 1);
}

TEST(OneDigit, PaintsLitAndDarkSegmentsAndLeavesTheRestToTheParent)
{
    Stage stage;
    auto* d = new TdgOneDigit(&stage.window);
    d->move(10, 10);
    d->SetSegmentOnColor(clLime);
    d->SetSegmentOffColor(clGreen);
    d->show();
    // Centres of the segment bodies of a 30 x 50 digit, a to g.
    const QPoint centres[]
        = { { 15, 4 }, { 26, 14 }, { 26, 36 }, { 15, 46 }, { 4, 36 }, { 4, 14 }, { 15, 25 } };
    for (int value : { 1, 7, 8, 11, 0 }) {
        d->SetValue(value);
        const QImage image = look(d);
        for (int s = 0; s < SevenSegment::SegmentCount; ++s) {
            const QColor expected
                = toQColor(SevenSegment::isLit(value, SevenSegment::Segment(s)) ? clLime : clGreen);
            EXPECT_EQ(image.pixelColor(centres[s]), expected)
                << "value " << value << " segment " << char('a' + s);
        }
        // Corners and the space between segments show the parent's black.
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::black));
    }
    // Off colours equal to the parent's: only the lit figure shows.
    d->SetSegmentOffColor(clBlack);
    d->SetValue(1);
    EXPECT_EQ(pixel(d, 15, 4), QColor(Qt::black));
    EXPECT_EQ(pixel(d, 26, 14), toQColor(clLime));
}

TEST(OneDigit, EverySetterRepaintsAtOnceEvenWithoutAChange)
{
    Stage stage;
    auto* d = new TdgOneDigit(&stage.window);
    d->show();
    EventCounter paints { QEvent::Paint };
    paints.watch(d);
    d->SetSegmentOnColor(clLime);
    d->SetSegmentOnColor(clLime);
    EXPECT_EQ(paints.count(d), 2);
    d->SetSegmentOffColor(clGreen);
    d->SetSegmentWidth(3);
    d->SetSegmentSpace(0);
    d->SetSegmentOnBorderColor(clWhite);
    d->SetSegmentOffBorderColor(clWhite);
    d->SetValue(0);
    d->SetValue(-5);
    EXPECT_EQ(paints.count(d), 9);
    d->BeforeValueChange = [](QObject*, bool& allow, int&) { allow = false; };
    d->SetValue(3);
    EXPECT_EQ(paints.count(d), 9);
}

// ---- TdgSpecialDigit ----------------------------------------------------------

TEST(SpecialDigit, DrawsOnlyItsGlyphInTheOnColours)
{
    Stage stage;
    auto* g = new TdgSpecialDigit(&stage.window);
    EXPECT_EQ(g->size(), QSize(30, 50));
    EXPECT_EQ(g->Value(), _minus);
    EXPECT_EQ(g->SegmentWidth(), 4);
    EXPECT_EQ(g->SegmentSpace(), 1);
    EXPECT_EQ(g->SegmentOnColor(), clRed);
    EXPECT_EQ(g->SegmentOnBorderColor(), clBlack);
    g->show();
    g->SetSegmentOnColor(clYellow);
    g->SetSegmentOnBorderColor(clYellow);
    // Minus: the middle bar only.
    EXPECT_EQ(pixel(g, 15, 25), toQColor(clYellow));
    EXPECT_EQ(pixel(g, 15, 10), QColor(Qt::black));
    // Colon of the zone clocks: two 2 x 2 dots with a gap of 5 between them.
    g->resize(8, 37);
    g->SetSegmentWidth(2);
    g->SetSegmentSpace(5);
    g->SetValue(_twopoints);
    const QImage colon = look(g);
    for (int y = 0; y < 37; ++y) {
        const bool dot = (y >= 14 && y < 16) || (y >= 21 && y < 23);
        EXPECT_EQ(colon.pixelColor(3, y), dot ? toQColor(clYellow) : QColor(Qt::black)) << y;
        EXPECT_EQ(colon.pixelColor(2, y), QColor(Qt::black)) << y;
    }
    // Plus: the joint is painted over, so the cross reads as one shape.
    g->resize(30, 50);
    g->SetSegmentWidth(4);
    g->SetSegmentOnBorderColor(clRed);
    g->SetValue(_plus);
    EXPECT_EQ(pixel(g, 13, 25), toQColor(clYellow));
    EXPECT_EQ(pixel(g, 13, 15), toQColor(clRed));
    // A value above the last draws nothing.
    g->SetValue(TSpecialValue(6));
    const QImage blank = look(g);
    for (QPoint p : { QPoint(15, 25), QPoint(13, 25), QPoint(3, 3) })
        EXPECT_EQ(blank.pixelColor(p), QColor(Qt::black));
}

// ---- TdgDigitTime ---------------------------------------------------------------

TEST(DigitTime, BuildsSixDigitsAndTwoColonsAndLaysThemOut)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    EXPECT_EQ(d.size(), QSize(138, 33));
    EXPECT_EQ(d.Color(), clBlack);
    EXPECT_EQ(d.SegmentOnColor(), clRed);
    EXPECT_EQ(d.SegmentOnBorderColor(), clRed);
    EXPECT_EQ(d.SegmentOffColor(), clMaroon);
    EXPECT_EQ(d.SegmentOffBorderColor(), clBlack);
    EXPECT_EQ(d.SegmentWidth(), 2);
    EXPECT_EQ(d.SegmentSpace(), 1);
    EXPECT_EQ(d.DigitSpace(), 2);
    EXPECT_EQ(d.SepparatorSegmentWidth(), 2);
    ASSERT_EQ(d.Digits().size(), 8u);
    const int lefts[] = { 117, 98, 88, 69, 50, 40, 21, 2 };
    for (int i = 0; i < 8; ++i) {
        QWidget* c = d.Digits()[i];
        EXPECT_EQ(c->parentWidget(), &d);
        EXPECT_EQ(c->property("Tag").toInt(), i + 1);
        const bool colon = i == 2 || i == 5;
        EXPECT_EQ(c->geometry(), QRect(lefts[i], 2, colon ? 8 : 17, 29)) << i;
        if (colon) {
            auto* g = qobject_cast<TdgSpecialDigit*>(c);
            ASSERT_NE(g, nullptr);
            EXPECT_EQ(g->Value(), _twopoints);
            EXPECT_EQ(g->SegmentSpace(), 5);
            EXPECT_EQ(g->SegmentWidth(), 2);
            EXPECT_EQ(g->SegmentOnColor(), clRed);
        } else {
            auto* digit = qobject_cast<TdgOneDigit*>(c);
            ASSERT_NE(digit, nullptr);
            EXPECT_EQ(digit->SegmentWidth(), 2);
            EXPECT_EQ(digit->SegmentSpace(), 1);
            EXPECT_EQ(digit->SegmentOffColor(), clMaroon);
            EXPECT_EQ(digit->SegmentOnBorderColor(), clRed);
        }
    }
    EXPECT_EQ(shown(d), "12:00:00");
    auto* timer = d.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 300);
}

TEST(DigitTime, ShowsTheTimeOfDayOfAnyValue)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    const std::pair<double, const char*> cases[] = {
        { at(9, 5, 7), "09:05:07" },
        { at(13, 0, 0), "13:00:00" },
        { -0.25, "18:00:00" },
        { 45000.75, "18:00:00" },
        { -1.0 / 24, "23:00:00" },
        { 1 + 1.0 / 24, "01:00:00" },
        { 42600 + at(7, 8, 9, -0.4), "07:08:09" },
        { std::nan(""), "00:00:00" },
    };
    for (const auto& [value, text] : cases) {
        d.SetTime(value);
        EXPECT_EQ(shown(d), text) << value;
    }
    d.SetTime(45000.75);
    EXPECT_EQ(d.Time(), 45000.75);
}

TEST(DigitTime, WritesADigitOnlyWhenItsValueChanges)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    std::map<QObject*, int> writes;
    for (QWidget* c : d.Digits())
        if (auto* digit = qobject_cast<TdgOneDigit*>(c))
            digit->BeforeValueChange = [&](QObject* s, bool&, int&) { ++writes[s]; };
    const auto total = [&] {
        int n = 0;
        for (auto& [s, c] : writes)
            n += c;
        return n;
    };
    d.SetTime(at(23, 59, 59));
    writes.clear();
    d.SetTime(at(23, 59, 59, 500));
    EXPECT_EQ(total(), 0);
    d.SetTime(1 + at(0, 0, 0));
    EXPECT_EQ(total(), 6);
    EXPECT_EQ(shown(d), "00:00:00");
    writes.clear();
    d.SetTime(1 + at(0, 0, 1));
    EXPECT_EQ(total(), 1);
    EXPECT_EQ(writes[d.Digits()[0]], 1);
}

TEST(DigitTime, AVetoFreezesEverythingAndAReplacementIsStored)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    d.SetTime(at(10, 20, 30));
    QObject* sender = nullptr;
    d.BeforeValueChange = [&](QObject* s, bool& allow, TTime&) {
        sender = s;
        allow = false;
    };
    const QRect before = d.Digits()[0]->geometry();
    d.SetSegmentWidth(4); // would move the children at the next layout
    held.now = at(11, 0, 0);
    d.doTimer();
    d.SetTime(at(14, 0, 0));
    EXPECT_EQ(sender, &d);
    EXPECT_EQ(d.Time(), at(10, 20, 30));
    EXPECT_EQ(shown(d), "10:20:30");
    EXPECT_EQ(d.Digits()[0]->geometry(), before);

    d.BeforeValueChange = [](QObject*, bool&, TTime& v) { v += 5.0 / 24; };
    d.SetTime(at(10, 20, 30));
    EXPECT_DOUBLE_EQ(d.Time(), at(15, 20, 30));
    EXPECT_EQ(shown(d), "15:20:30");
    // The timer's ticks pass through the handler too.
    d.doTimer();
    EXPECT_EQ(shown(d), "16:00:00");
}

TEST(DigitTime, TheTimerRefreshesUntilItIsTurnedOff)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    auto* timer = d.findChild<QTimer*>();
    EXPECT_FALSE(timer->isActive());
    d.SetTimerOn(true);
    EXPECT_TRUE(d.TimerOn());
    EXPECT_TRUE(timer->isActive());
    held.now = at(8, 30, 0);
    QTest::qWait(450);
    EXPECT_EQ(shown(d), "08:30:00");

    d.SetTimerOn(false);
    EXPECT_FALSE(timer->isActive());
    held.now = at(9, 45, 0);
    QTest::qWait(450);
    EXPECT_EQ(shown(d), "08:30:00");
    // Writing Time still shows it.
    d.SetTime(at(7, 0, 0));
    EXPECT_EQ(shown(d), "07:00:00");
}

TEST(DigitTime, ColonStrokeFollowsWhicheverWidthWasWrittenLast)
{
    HeldDisplay held;
    TdgDigitTime& d = held.display;
    auto* colon = qobject_cast<TdgSpecialDigit*>(d.Digits()[2]);
    auto* digit = qobject_cast<TdgOneDigit*>(d.Digits()[0]);
    d.SetSepparatorSegmentWidth(4);
    d.SetSegmentWidth(2);
    EXPECT_EQ(colon->SegmentWidth(), 2);
    d.SetSegmentWidth(2);
    d.SetSepparatorSegmentWidth(4);
    EXPECT_EQ(colon->SegmentWidth(), 4);
    EXPECT_EQ(digit->SegmentWidth(), 2);
    EXPECT_EQ(d.SegmentWidth(), 2);
    EXPECT_EQ(d.SepparatorSegmentWidth(), 4);

    d.SetSegmentSpace(2);
    EXPECT_EQ(digit->SegmentSpace(), 2);
    EXPECT_EQ(colon->SegmentSpace(), 10);
    d.SetSegmentOffColor(clGreen);
    d.SetSegmentOffBorderColor(clWhite);
    d.SetSegmentOnColor(clLime);
    d.SetSegmentOnBorderColor(clYellow);
    EXPECT_EQ(digit->SegmentOffColor(), clGreen);
    EXPECT_EQ(digit->SegmentOffBorderColor(), clWhite);
    EXPECT_EQ(colon->SegmentOnColor(), clLime);
    EXPECT_EQ(colon->SegmentOnBorderColor(), clYellow);
}

TEST(DigitTime, LayoutFollowsResizeAndDigitSpaceAtOnceAndSegmentWidthAtTheNextTick)
{
    Stage stage;
    HeldDisplay held(&stage.window);
    TdgDigitTime& d = held.display;
    d.show();
    d.resize(161, 41);
    const int zoneLefts[] = { 137, 115, 105, 83, 61, 51, 29, 7 };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d.Digits()[i]->geometry(), QRect(zoneLefts[i], 2, i == 2 || i == 5 ? 8 : 20, 37)) << i;

    d.SetSegmentWidth(4);
    EXPECT_EQ(d.Digits()[0]->x(), 137);
    d.doTimer();
    EXPECT_EQ(d.Digits()[0]->geometry(), QRect(137, 2, 20, 37));
    EXPECT_EQ(d.Digits()[2]->geometry(), QRect(103, 2, 10, 37));

    d.SetDigitSpace(0); // (161 - 4 - 20) / 6 = 22 wide, no gaps
    EXPECT_EQ(d.Digits()[0]->geometry(), QRect(137, 2, 22, 37));
    EXPECT_EQ(d.Digits()[2]->geometry(), QRect(105, 2, 10, 37));
}

TEST(DigitTime, AnUnchangedLayoutMovesAndRepaintsNothing)
{
    Stage stage;
    HeldDisplay held(&stage.window);
    TdgDigitTime& d = held.display;
    d.resize(161, 41);
    d.show();
    d.SetTime(at(12, 0, 0));
    EventCounter events { QEvent::Move, QEvent::Resize, QEvent::Paint };
    for (QWidget* c : d.Digits())
        events.watch(c);
    d.SetTime(at(12, 0, 0, 300));
    EXPECT_EQ(events.total(), 0);
    // One second later only the rightmost digit paints.
    d.SetTime(at(12, 0, 1));
    EXPECT_EQ(events.total(), 1);
    EXPECT_EQ(events.count(d.Digits()[0]), 1);
}

TEST(DigitTime, ThePanelFaceShowsAroundTheDigits)
{
    Stage stage;
    HeldDisplay held(&stage.window);
    TdgDigitTime& d = held.display;
    d.resize(161, 41);
    d.SetColor(clBlue);
    d.SetSegmentOnColor(clLime);
    d.SetSegmentOnBorderColor(clLime);
    d.SetSegmentOffColor(clBlue);
    d.SetSegmentOffBorderColor(clBlue);
    d.show();
    d.SetTime(at(18, 18, 18));
    const QImage image = d.grab().toImage();
    // Inside the hours tens slot (left 7): "1" lights b, not a.
    EXPECT_EQ(image.pixelColor(7 + 17, 2 + 10), toQColor(clLime));
    EXPECT_EQ(image.pixelColor(7 + 10, 2 + 3), toQColor(clBlue));
    // The hours units slot (left 29): "8" lights a.
    EXPECT_EQ(image.pixelColor(29 + 10, 2 + 3), toQColor(clLime));
    // Between two digits.
    EXPECT_EQ(image.pixelColor(28, 20), toQColor(clBlue));
    // The colon dot (left 51, dots at 3..5 x 14..16 inside).
    EXPECT_EQ(image.pixelColor(51 + 3, 2 + 14), toQColor(clLime));
}

// ---- TVrClock -------------------------------------------------------------------

TEST(HeaderClock, LimeOnGreenOnBlackWithTheZoneAbbreviation)
{
    LocalZone chicago("America/Chicago");
    TVrClock clock;
    EXPECT_GE(clock.sizeHint().width(), 220);
    EXPECT_LE(clock.sizeHint().width(), 240);
    EXPECT_EQ(clock.sizeHint().height(), 41);
    TdgDigitTime* d = clock.display();
    EXPECT_EQ(d->Color(), clBlack);
    EXPECT_EQ(d->SegmentOnColor(), clLime);
    EXPECT_EQ(d->SegmentOffColor(), clGreen);
    EXPECT_EQ(d->size(), QSize(161, 41));
    EXPECT_TRUE(d->TimerOn());

    clock.setClock([] { return utcInstant(2024, 7, 15, 17, 4, 5, 500); });
    EXPECT_EQ(shown(*d), "12:04:05");
    EXPECT_EQ(clock.zoneText(), "CDT");
    clock.setClock([] { return utcInstant(2024, 1, 15, 18, 4, 5, 500); });
    EXPECT_EQ(shown(*d), "12:04:05");
    EXPECT_EQ(clock.zoneText(), "CST");
}

// Windows names its zones in words; the clock shows their initials, as abbreviations are.
TEST(HeaderClock, AZoneNamedInWordsIsShownByItsInitials)
{
    EXPECT_EQ(shortZoneName("Central Daylight Time"), "CDT");
    EXPECT_EQ(shortZoneName("Eastern Standard Time"), "EST");
    EXPECT_EQ(shortZoneName("W. Europe Daylight Time"), "WEDT");
    EXPECT_EQ(shortZoneName("Coordinated Universal Time"), "UTC");
    EXPECT_EQ(shortZoneName("CDT"), "CDT");
    EXPECT_EQ(shortZoneName("+0530"), "+0530");
    EXPECT_EQ(shortZoneName(""), "");
}

} // namespace
