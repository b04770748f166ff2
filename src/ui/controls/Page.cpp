#include "controls/Page.h"

#include "controls/PageScaler.h"
#include "controls/TColor.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

Page::Page(QWidget* parent) : QWidget(parent, Qt::Window), m_scaler(new PageScaler(this))
{
    setAutoFillBackground(false);
}

QSize Page::designSize() const
{
    m_scaler->capture();
    return m_scaler->designSize();
}

qreal Page::designScale() const
{
    return m_scaler->scale();
}

void Page::setVisible(bool visible)
{
    // The design is read before the window system first gives the page a size of its own.
    if (visible)
        m_scaler->capture();
    QWidget::setVisible(visible);
}

bool Page::event(QEvent* event)
{
    // A page drawn before it is shown (a grab) is laid out as well.
    if (event->type() == QEvent::Polish)
        m_scaler->capture();
    return QWidget::event(event);
}

void Page::takeWindowOf(const QWidget* other)
{
    if (!other || other == this)
        return;
    m_scaler->capture();
    constexpr Qt::WindowStates filling = Qt::WindowMaximized | Qt::WindowFullScreen;
    const Qt::WindowStates state = other->windowState() & filling;
    if (!state) {
        // The same size, and the same place when that is on a screen; else the place is
        // moved onto the screen the window was on.
        setWindowState(windowState() & ~filling);
        resize(other->size());
        QPoint place = other->pos();
        const QScreen* screen = QGuiApplication::screenAt(other->frameGeometry().center());
        if (!screen)
            screen = other->screen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const QSize frame = other->frameGeometry().size();
            place.setX(
                std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
            place.setY(
                std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
        }
        move(place);
        return;
    }
    // A window that fills the screen: the same state, and the window system gives it the
    // same place and size (the screen's available area).
    setWindowState((windowState() & ~filling) | state);
}

void Page::showPage()
{
    show();
    raise();
    activateWindow();
    FormActivate();
}

void Page::goBack()
{
    navigate(this, m_behind);
}

void Page::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), toQColor(clBlack));
}

void Page::closeEvent(QCloseEvent* event)
{
    Page* behind = pageBehind();
    // A hidden page is closed when the program ends: let that go through.
    if (!behind || !isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    navigate(this, behind);
}

void navigate(Page* from, Page* to)
{
    if (from && to && from->isVisible())
        to->takeWindowOf(from);
    if (from)
        from->hide();
    if (to)
        to->showPage();
}
