#pragma once
// Scales a page laid out for one design size to the window it is in, as one picture: every
// control keeps its place relative to the others, fonts and style-sheet lengths grow or
// shrink with it, and the page is centred at the largest size that fits the window with its
// proportions kept. At the design size nothing is touched.
//
// The design is read once, before the page is first shown: each control's geometry (below
// the page and the plain panels that hold controls), every font set on a control, every style
// sheet and the sizes of the item views' headers. A style sheet or font a control is given
// later is taken as design as well and shown scaled at once. A control moved or resized by
// the program while the page is scaled is taken as placed in the window's pixels.
#include <QFont>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

class QWidget;

class PageScaler : public QObject {
    Q_OBJECT

public:
    explicit PageScaler(QWidget* page);

    // Reads the design from the page as it is now, once; later calls do nothing.
    void capture();
    bool captured() const { return m_captured; }
    // The size the page is laid out for.
    QSize designSize() const { return m_design; }
    // The page's scale and where its design area begins in the window.
    qreal scale() const { return m_scale; }
    QPoint origin() const { return m_origin; }
    // Lays the page out for its current size.
    void apply();

    // The scale and the origin that fit a design into a window.
    static qreal fitScale(const QSize& design, const QSize& window);
    // A style sheet with its lengths (pt and px) multiplied by scale; whole pixels stay whole
    // and a length that was not zero never becomes zero.
    static QString scaledStyleSheet(const QString& sheet, qreal scale);
    // The scale of the page a control is on (1 off any scaled page).
    static qreal scaleOf(const QWidget* widget);
    // A length of the design in the pixels of the page a control is on.
    static int scaled(const QWidget* widget, int designPixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placed {
        QPointer<QWidget> widget;
        int parent = -1; // index of the placed parent; -1: the page
        QRect design; // in the parent's design coordinates
        QRect applied; // the geometry last given
        QRect appliedAbs; // the same in the page's coordinates
    };
    struct Styled {
        QString design;
        QString applied;
    };
    struct Fonted {
        QFont design;
        QFont applied;
    };
    struct Header {
        QPointer<QWidget> header;
        int defaultSection = 0;
        int fixedHeight = -1; // -1: not fixed
    };

    void captureTree(QWidget* widget, int parentIndex, bool place);
    void watch(QWidget* widget);
    void adoptNewWidgets();
    void applyStyle(QWidget* widget, Styled& style);
    void applyFont(QWidget* widget, Fonted& font);
    QRect scaledAbs(const QRect& designAbs) const;

    QWidget* m_page;
    bool m_captured = false;
    bool m_applying = false;
    QSize m_design;
    qreal m_scale = 1.0;
    QPoint m_origin;
    QFont m_pageFont;
    std::vector<Placed> m_placed;
    QHash<QWidget*, Styled> m_styles;
    QHash<QWidget*, Fonted> m_fonts;
    std::vector<Header> m_headers;
    QHash<QObject*, bool> m_known;
};
