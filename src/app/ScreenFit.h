#pragma once
// The program's windows on the screen they open on: the main window at start-up, and the
// dialogs whenever they are shown.
#include <QObject>
#include <QSize>

class QScreen;
class QWidget;

// Sizes and places the main window before it is first shown: the design size, centred in
// the screen's available area (the screen without its task bar), when that holds it;
// otherwise the whole available area, maximized.
void placeMainWindow(QWidget* window, const QSize& design, QScreen* screen = nullptr);

// Keeps every dialog and message box inside the available area of its screen: one larger
// than the area is made as small as its contents allow, then moved onto the screen.
class DialogsOnScreen : public QObject {
public:
    explicit DialogsOnScreen(QObject* parent = nullptr) : QObject(parent) { }
    static void fit(QWidget* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
