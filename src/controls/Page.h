#pragma once
// A page: a top-level window that navigation shows and hides. Pages are created once
// and never destroyed before the program ends, so each keeps its state between visits.
#include <QWidget>

class Page : public QWidget {
    Q_OBJECT

public:
    explicit Page(QWidget* parent = nullptr);

    // Shows the page in front and runs its activation steps.
    void showPage();
    // Called each time navigation brings this page to the front.
    virtual void FormActivate() {}

    // The pointer position inside widget-less areas is irrelevant; pages paint black.
protected:
    void paintEvent(QPaintEvent* event) override;
};

// Hides one page, then shows the other (which runs its activation).
void navigate(Page* from, Page* to);
