#include "controls/PageScaler.h"

#include "controls/FacePanel.h"
#include "controls/Page.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {
// A page is not enlarged by less than this: its pixels stay exactly as designed.
constexpr qreal SnapToDesign = 1.02;
// The smallest the operator may make a page's window.
constexpr QSize SmallestWindow(640, 360);

// The panels whose children are laid out by hand in the design, and whose children are
// therefore placed by the scaler. Every other control places its own inner parts.
bool holdsDesignedControls(const QWidget* w)
{
    if (w->layout())
        return false;
    const QMetaObject* mo = w->metaObject();
    return mo == &QWidget::staticMetaObject || mo == &QFrame::staticMetaObject
        || qobject_cast<const FacePanel*>(w) || qobject_cast<const QGroupBox*>(w);
}

int scaledLength(int length, qreal scale)
{
    return int(std::lround(length * scale));
}

QFont scaledFont(const QFont& design, qreal scale)
{
    QFont f = design;
    if (design.pointSizeF() > 0)
        f.setPointSizeF(design.pointSizeF() * scale);
    else if (design.pixelSize() > 0)
        f.setPixelSize(std::max(1, scaledLength(design.pixelSize(), scale)));
    return f;
}
} // namespace

PageScaler::PageScaler(QWidget* page) : QObject(page), m_page(page) { }

qreal PageScaler::fitScale(const QSize& design, const QSize& window)
{
    if (design.isEmpty() || window.isEmpty())
        return 1.0;
    const qreal s
        = std::min(qreal(window.width()) / design.width(), qreal(window.height()) / design.height());
    return s >= 1.0 && s < SnapToDesign ? 1.0 : s;
}

QString PageScaler::scaledStyleSheet(const QString& sheet, qreal scale)
{
    if (scale == 1.0)
        return sheet;
    static const QRegularExpression length(QStringLiteral("(?<![\\w#.])(\\d+(?:\\.\\d+)?)(pt|px)\\b"));
    QString out;
    out.reserve(sheet.size() + 16);
    qsizetype at = 0;
    for (auto it = length.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(sheet).mid(at, m.capturedStart() - at);
        const double value = m.captured(1).toDouble();
        if (m.captured(2) == QLatin1String("px")) {
            const long px = std::lround(value * scale);
            out += QString::number(value > 0 ? std::max(1L, px) : px);
        } else {
            out += QString::number(value * scale, 'f', 2);
        }
        out += m.captured(2);
        at = m.capturedEnd();
    }
    out += QStringView(sheet).mid(at);
    return out;
}

qreal PageScaler::scaleOf(const QWidget* widget)
{
    if (!widget)
        return 1.0;
    const auto* page = qobject_cast<const Page*>(widget->window());
    return page ? page->designScale() : 1.0;
}

int PageScaler::scaled(const QWidget* widget, int designPixels)
{
    const qreal s = scaleOf(widget);
    return s == 1.0 ? designPixels : scaledLength(designPixels, s);
}

void PageScaler::capture()
{
    if (m_captured)
        return;
    m_captured = true;
    m_design = m_page->size();
    m_pageFont = m_page->font();
    captureTree(m_page, -1, true);
    m_page->installEventFilter(this);
    // The window may now be given any size; the page follows it.
    m_page->setMinimumSize(SmallestWindow.boundedTo(m_design));
    m_page->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void PageScaler::captureTree(QWidget* widget, int parentIndex, bool place)
{
    for (QObject* o : widget->children()) {
        if (!o->isWidgetType())
            continue;
        auto* child = static_cast<QWidget*>(o);
        if (child->isWindow())
            continue;
        watch(child);
        int index = parentIndex;
        if (place) {
            Placed p;
            p.widget = child;
            p.parent = parentIndex;
            p.design = child->geometry();
            p.applied = p.design;
            m_placed.push_back(p);
            index = int(m_placed.size()) - 1;
        }
        captureTree(child, index, place && holdsDesignedControls(child));
    }
}

void PageScaler::watch(QWidget* widget)
{
    m_known.insert(widget, true);
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this](QObject* gone) {
        auto* w = static_cast<QWidget*>(gone);
        m_known.remove(gone);
        m_styles.remove(w);
        m_fonts.remove(w);
    });
    if (!widget->styleSheet().isEmpty())
        m_styles.insert(widget, { widget->styleSheet(), widget->styleSheet() });
    if (widget->testAttribute(Qt::WA_SetFont))
        m_fonts.insert(widget, { widget->font(), widget->font() });
    if (auto* header = qobject_cast<QHeaderView*>(widget)) {
        Header h;
        h.header = header;
        h.defaultSection = header->defaultSectionSize();
        if (header->minimumHeight() == header->maximumHeight())
            h.fixedHeight = header->minimumHeight();
        m_headers.push_back(h);
    }
}

// Controls made after the design was read: their styles and fonts are watched from now on,
// and one on a panel of the design is placed as the program put it, in the window's pixels.
void PageScaler::adoptNewWidgets()
{
    QHash<QWidget*, int> placedIndex;
    for (int i = 0; i < int(m_placed.size()); ++i)
        if (m_placed[std::size_t(i)].widget)
            placedIndex.insert(m_placed[std::size_t(i)].widget, i);
    const std::function<void(QWidget*)> walk = [&](QWidget* parent) {
        for (QObject* o : parent->children()) {
            if (!o->isWidgetType() || static_cast<QWidget*>(o)->isWindow())
                continue;
            auto* child = static_cast<QWidget*>(o);
            if (!m_known.contains(child)) {
                watch(child);
                const int parentIndex = parent == m_page ? -1 : placedIndex.value(parent, -2);
                if (parentIndex != -2 && (parent == m_page || holdsDesignedControls(parent))) {
                    Placed p;
                    p.widget = child;
                    p.parent = parentIndex;
                    // Placed now in the window's pixels: applied differs, so it is read back.
                    p.design = child->geometry();
                    p.applied = QRect();
                    m_placed.push_back(p);
                    placedIndex.insert(child, int(m_placed.size()) - 1);
                }
            }
            walk(child);
        }
    };
    walk(m_page);
}

QRect PageScaler::scaledAbs(const QRect& d) const
{
    if (m_scale == 1.0)
        return d.translated(m_origin);
    const int left = scaledLength(d.left(), m_scale);
    const int top = scaledLength(d.top(), m_scale);
    const int right = scaledLength(d.left() + d.width(), m_scale);
    const int bottom = scaledLength(d.top() + d.height(), m_scale);
    return QRect(left, top, right - left, bottom - top).translated(m_origin);
}

void PageScaler::apply()
{
    capture();
    const qreal s = fitScale(m_design, m_page->size());
    const QSize shown
        = s == 1.0 ? m_design : QSize(scaledLength(m_design.width(), s), scaledLength(m_design.height(), s));
    const QPoint origin((m_page->width() - shown.width()) / 2, (m_page->height() - shown.height()) / 2);
    adoptNewWidgets();
    const qreal oldScale = m_scale;
    const QPoint oldOrigin = m_origin;
    const bool rescaled = s != oldScale;
    m_applying = true;
    m_scale = s;
    m_origin = origin;
    if (rescaled) {
        m_page->setFont(s == 1.0 ? m_pageFont : scaledFont(m_pageFont, s));
        for (auto it = m_fonts.begin(); it != m_fonts.end(); ++it)
            applyFont(it.key(), it.value());
        for (auto it = m_styles.begin(); it != m_styles.end(); ++it)
            applyStyle(it.key(), it.value());
        for (const Header& h : m_headers) {
            auto* header = static_cast<QHeaderView*>(h.header.data());
            if (!header)
                continue;
            header->setDefaultSectionSize(std::max(1, scaledLength(h.defaultSection, s)));
            if (h.fixedHeight >= 0)
                header->setFixedHeight(scaledLength(h.fixedHeight, s));
        }
    }
    // Parents come before their children: each child is placed inside its parent's new frame.
    std::vector<QRect> designAbs(m_placed.size());
    std::vector<QRect> newAbs(m_placed.size());
    std::vector<QPoint> oldAbs(m_placed.size());
    for (std::size_t i = 0; i < m_placed.size(); ++i)
        oldAbs[i] = m_placed[i].appliedAbs.topLeft();
    for (std::size_t i = 0; i < m_placed.size(); ++i) {
        Placed& p = m_placed[i];
        const QPoint parentDesign = p.parent >= 0 ? designAbs[std::size_t(p.parent)].topLeft() : QPoint();
        const QPoint parentOld = p.parent >= 0 ? oldAbs[std::size_t(p.parent)] : QPoint();
        QWidget* w = p.widget;
        if (w && w->geometry() != p.applied) {
            // The program moved or resized it, in the window's pixels of the old scale.
            const QRect abs = w->geometry().translated(parentOld).translated(-oldOrigin);
            const QRect d = oldScale == 1.0
                ? abs
                : QRect(int(std::lround(abs.left() / oldScale)), int(std::lround(abs.top() / oldScale)),
                    int(std::lround(abs.width() / oldScale)), int(std::lround(abs.height() / oldScale)));
            p.design = d.translated(-parentDesign);
        }
        designAbs[i] = p.design.translated(parentDesign);
        newAbs[i] = scaledAbs(designAbs[i]);
        const QPoint parentNew = p.parent >= 0 ? newAbs[std::size_t(p.parent)].topLeft() : QPoint();
        const QRect rel = newAbs[i].translated(-parentNew);
        if (w && w->geometry() != rel)
            w->setGeometry(rel);
        p.applied = w ? w->geometry() : rel;
        p.appliedAbs = p.applied.translated(parentNew);
    }
    m_applying = false;
    if (rescaled || origin != oldOrigin)
        m_page->update();
}

void PageScaler::applyStyle(QWidget* widget, Styled& style)
{
    const QString target = scaledStyleSheet(style.design, m_scale);
    if (widget->styleSheet() != target)
        widget->setStyleSheet(target);
    style.applied = widget->styleSheet();
}

void PageScaler::applyFont(QWidget* widget, Fonted& font)
{
    const QFont target = m_scale == 1.0 ? font.design : scaledFont(font.design, m_scale);
    if (widget->font() != target)
        widget->setFont(target);
    font.applied = widget->font();
}

bool PageScaler::eventFilter(QObject* watched, QEvent* event)
{
    if (m_applying || !m_captured)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == m_page)
            apply();
        break;
    case QEvent::StyleChange: {
        // A style sheet the program gives a control is design: it is shown scaled at once.
        auto* w = static_cast<QWidget*>(watched);
        const QString sheet = w->styleSheet();
        auto it = m_styles.find(w);
        if (it == m_styles.end()) {
            if (sheet.isEmpty())
                break;
            it = m_styles.insert(w, { sheet, sheet });
        } else if (sheet == it->applied) {
            break;
        } else {
            it->design = sheet;
        }
        m_applying = true;
        applyStyle(w, *it);
        m_applying = false;
        break;
    }
    case QEvent::FontChange: {
        auto* w = static_cast<QWidget*>(watched);
        if (w == m_page || !w->testAttribute(Qt::WA_SetFont))
            break;
        auto it = m_fonts.find(w);
        if (it != m_fonts.end() && w->font() == it->applied)
            break;
        if (it == m_fonts.end())
            it = m_fonts.insert(w, { w->font(), w->font() });
        else
            it->design = w->font();
        m_applying = true;
        applyFont(w, *it);
        m_applying = false;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
