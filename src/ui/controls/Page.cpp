#include "controls/Page.h"

#include "controls/TColor.h"

#include <QCloseEvent>
#include <QPainter>

Page::Page(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAutoFillBackground(false);
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
    if (from)
        from->hide();
    if (to)
        to->showPage();
}
