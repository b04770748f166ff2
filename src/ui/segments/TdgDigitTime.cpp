#include "segments/TdgDigitTime.h"

#include "controls/PageScaler.h"
#include "segments/SegmentGeometry.h"
#include "segments/TdgOneDigit.h"
#include "segments/TdgSpecialDigit.h"

#include <QPainter>
#include <QTimer>

namespace {
void place(QWidget* child, const SevenSegment::Bounds& b)
{
    const QRect r(b.left, b.top, b.width, b.height);
    // The layout runs at every tick; bounds that did not change must not move or
    // repaint anything.
    if (child->geometry() != r)
        child->setGeometry(r);
}
} // namespace

TdgDigitTime::TdgDigitTime(QWidget* parent) : QWidget(parent), FClock(localNow)
{
    FTimer = new QTimer(this);
    connect(FTimer, &QTimer::timeout, this, &TdgDigitTime::doTimer);
    FTimer->setInterval(300);
    FTimer->start();
    resize(138, 33);
    FTime = FClock();
    FSepparatorSegmentWidth = FSegmentWidth;
    CreateDigits();
    SetTime(FClock());
}

TdgDigitTime::~TdgDigitTime() = default;

void TdgDigitTime::SetColor(TColor value)
{
    FColor = value;
    repaint();
}

void TdgDigitTime::SetSegmentOnColor(TColor value)
{
    FSegmentOnColor = value;
    for (QWidget* child : FDigits) {
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentOnColor(value);
        else if (auto* glyph = qobject_cast<TdgSpecialDigit*>(child))
            glyph->SetSegmentOnColor(value);
    }
}

void TdgDigitTime::SetSegmentOnBorderColor(TColor value)
{
    FSegmentOnBorderColor = value;
    for (QWidget* child : FDigits) {
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentOnBorderColor(value);
        else if (auto* glyph = qobject_cast<TdgSpecialDigit*>(child))
            glyph->SetSegmentOnBorderColor(value);
    }
}

void TdgDigitTime::SetSegmentOffColor(TColor value)
{
    FSegmentOffColor = value;
    for (QWidget* child : FDigits)
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentOffColor(value);
}

void TdgDigitTime::SetSegmentOffBorderColor(TColor value)
{
    FSegmentOffBorderColor = value;
    for (QWidget* child : FDigits)
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentOffBorderColor(value);
}

void TdgDigitTime::SetSegmentWidth(int value)
{
    FSegmentWidth = value;
    for (QWidget* child : FDigits) {
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentWidth(value);
        else if (auto* glyph = qobject_cast<TdgSpecialDigit*>(child))
            glyph->SetSegmentWidth(value);
    }
}

void TdgDigitTime::SetSegmentSpace(int value)
{
    FSegmentSpace = value;
    for (QWidget* child : FDigits) {
        if (auto* digit = qobject_cast<TdgOneDigit*>(child))
            digit->SetSegmentSpace(value);
        else if (auto* glyph = qobject_cast<TdgSpecialDigit*>(child))
            glyph->SetSegmentSpace(value * 5);
    }
}

void TdgDigitTime::SetSepparatorSegmentWidth(int value)
{
    FSepparatorSegmentWidth = value;
    for (QWidget* child : FDigits)
        if (auto* glyph = qobject_cast<TdgSpecialDigit*>(child))
            glyph->SetSegmentWidth(value);
}

void TdgDigitTime::SetDigitSpace(int value)
{
    FDigitSpace = value;
    DrawDigits();
}

void TdgDigitTime::SetTimerOn(bool value)
{
    FTimerOn = value;
    if (value)
        FTimer->start();
    else
        FTimer->stop();
}

void TdgDigitTime::SetClock(LocalClock clock)
{
    FClock = clock ? std::move(clock) : LocalClock(localNow);
}

void TdgDigitTime::ClearDigits()
{
    for (QWidget* child : FDigits)
        delete child;
    FDigits.clear();
}

void TdgDigitTime::CreateDigits()
{
    // Build the children with painting held back, so no half-built display shows.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    ClearDigits();
    const auto provisional = SevenSegment::provisionalLayout(width(), height(), FDigitSpace);
    for (int i = 1; i <= SevenSegment::TimeChildCount; ++i) {
        QWidget* child = nullptr;
        if (SevenSegment::isSeparatorIndex(i - 1)) {
            auto* glyph = new TdgSpecialDigit(this);
            glyph->SetValue(_twopoints);
            glyph->SetSegmentOnColor(FSegmentOnColor);
            glyph->SetSegmentWidth(FSegmentWidth);
            glyph->SetSegmentOnBorderColor(FSegmentOnBorderColor);
            glyph->SetSegmentSpace(FSegmentSpace * 5);
            child = glyph;
        } else {
            auto* digit = new TdgOneDigit(this);
            digit->SetSegmentOnColor(FSegmentOnColor);
            digit->SetSegmentOffColor(FSegmentOffColor);
            digit->SetSegmentWidth(FSegmentWidth);
            digit->SetSegmentSpace(FSegmentSpace);
            digit->SetSegmentOnBorderColor(FSegmentOnBorderColor);
            digit->SetSegmentOffBorderColor(FSegmentOffBorderColor);
            child = digit;
        }
        // The position counted from the right, as the child's tag.
        child->setProperty("Tag", i);
        place(child, provisional[i - 1]);
        child->show();
        FDigits.push_back(child);
    }
    setUpdatesEnabled(updates);
}

void TdgDigitTime::DrawDigits()
{
    const auto layout = SevenSegment::timeLayout(
        width(), height(), PageScaler::scaled(this, FSegmentWidth), PageScaler::scaled(this, FDigitSpace));
    for (std::size_t i = 0; i < FDigits.size() && i < layout.children.size(); ++i)
        place(FDigits[i], layout.children[i]);
}

void TdgDigitTime::DisplayValue()
{
    DrawDigits();
    const std::string text = timeOfDayText(splitTimeOfDay(FTime));
    const std::size_t count = FDigits.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto* digit = qobject_cast<TdgOneDigit*>(FDigits[i]);
        if (!digit)
            continue; // the colons keep their glyph
        // Index 0 is the rightmost character of the text.
        const int value = text[count - 1 - i] - '0';
        if (digit->Value() != value)
            digit->SetValue(value);
    }
}

void TdgDigitTime::SetTime(TTime value)
{
    bool allow = true;
    if (BeforeValueChange)
        BeforeValueChange(this, allow, value);
    if (!allow)
        return;
    FTime = value;
    DisplayValue();
}

void TdgDigitTime::doTimer()
{
    SetTime(FClock());
}

void TdgDigitTime::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(FColor));
    // The panel's raised bevel, one pixel wide.
    painter.setPen(toQColor(clWhite));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(toQColor(clGray));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

void TdgDigitTime::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    DrawDigits();
}
