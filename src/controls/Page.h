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
    virtual void FormActivate() { }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The page its quit control leads back to; none for the main page.
    virtual Page* pageBehind() const { return nullptr; }
    // Closing a page from the window frame would leave no window on the screen while the
    // program goes on running: it goes back to the page behind instead, as its quit does.
    void closeEvent(QCloseEvent* event) override;
};

// Hides one page, then shows the other (which runs its activation).
void navigate(Page* from, Page* to);
