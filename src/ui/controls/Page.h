#pragma once
// A page: a top-level window that navigation shows and hides. Pages are created once
// and never destroyed before the program ends, so each keeps its state between visits.
// Each page is laid out for its design size and scaled as one picture to its window.
#include <QWidget>

class PageScaler;

class Page : public QWidget {
    Q_OBJECT

public:
    explicit Page(QWidget* parent = nullptr);

    // Shows the page in front and runs its activation steps.
    void showPage();
    // Called each time navigation brings this page to the front.
    virtual void FormActivate() { }
    // The page the quit control leads back to, set by whoever creates the pages.
    void setPageBehind(Page* page) { m_behind = page; }
    // Back to the page behind, as the quit control does.
    void goBack();

    // The size the page is laid out for, and the scale it is shown at in its window.
    QSize designSize() const;
    qreal designScale() const;
    // Gives this page the size, place and state (maximized, full screen) of another
    // page's window, so that a change of page leaves the window where it was.
    void takeWindowOf(const QWidget* other);

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The page its quit control leads back to; none for the main page.
    Page* pageBehind() const { return m_behind; }
    // Closing a page from the window frame would leave no window on the screen while the
    // program goes on running: it goes back to the page behind instead, as its quit does.
    void closeEvent(QCloseEvent* event) override;

private:
    Page* m_behind = nullptr;
    PageScaler* m_scaler;
};

// Hides one page, then shows the other (which runs its activation) in the same window place.
void navigate(Page* from, Page* to);
