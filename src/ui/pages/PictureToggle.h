#pragma once
// The picture buttons of a reference page. At most one picture of a page shows at a
// time: a grey button first puts every picture away and greys every button, then lights
// itself and shows its picture; a green button puts only its own picture away.
#include <QList>

class DemoButton;
class QWidget;

class PictureToggle {
public:
    // A button and the panel it shows. A button without a panel does nothing when
    // clicked, but is greyed with the others.
    void add(DemoButton* button, QWidget* panel = nullptr);
    // What a click on button does.
    void click(DemoButton* button);

private:
    void reset();

    QList<DemoButton*> buttons;
    QList<QWidget*> panels;
};
