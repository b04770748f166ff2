#include "controls/Page.h"

#include "controls/PageScaler.h"
#include "controls/TColor.h"

#include <QCloseEvent>
#include <QPainter>

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
        // The saved geometry holds the size and place; restoring it also brings a place
        // that lies off every screen back onto one.
        restoreGeometry(other->saveGeometry());
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
