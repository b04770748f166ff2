#include "controls/Page.h"

#include "controls/TColor.h"

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

void Page::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), toQColor(clBlack));
}

void navigate(Page* from, Page* to)
{
    if (from)
        from->hide();
    if (to)
        to->showPage();
}
