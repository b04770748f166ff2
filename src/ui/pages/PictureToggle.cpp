#include "pages/PictureToggle.h"

#include "controls/DemoButton.h"

void PictureToggle::add(DemoButton* button, QWidget* panel)
{
    buttons << button;
    panels << panel;
}

void PictureToggle::reset()
{
    for (DemoButton* b : std::as_const(buttons))
        b->setColor(clGray);
    for (QWidget* p : std::as_const(panels))
        if (p)
            p->hide();
}

void PictureToggle::click(DemoButton* button)
{
    const qsizetype i = buttons.indexOf(button);
    if (i < 0 || !panels[i])
        return;
    // The face colour is the state: grey means this button's picture is not showing.
    if (button->color() == clGray) {
        reset();
        button->setColor(clGreen);
        panels[i]->show();
    } else {
        button->setColor(clGray);
        panels[i]->hide();
    }
}
