#include "app/ScreenFit.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

void placeMainWindow(QWidget* window, const QSize& design, QScreen* screen)
{
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    if (design.width() <= area.width() && design.height() <= area.height()) {
        QRect place(QPoint(), design);
        place.moveCenter(area.center());
        window->setGeometry(place);
        return;
    }
    // The window system fits a maximized window and its frame into the area; the normal
    // size it returns to is the area as well, never the larger design.
    window->setGeometry(area);
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void DialogsOnScreen::fit(QWidget* dialog)
{
    QScreen* screen = dialog->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = dialog->frameGeometry();
    const QSize margins = frame.size() - dialog->size();
    if (frame.width() > area.width() || frame.height() > area.height()) {
        const QSize room = (area.size() - margins).expandedTo(QSize(1, 1));
        dialog->resize(dialog->size().boundedTo(room).expandedTo(dialog->minimumSizeHint().boundedTo(room)));
    }
    QRect placed = dialog->frameGeometry();
    placed.moveLeft(
        std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() - placed.width() + 1)));
    placed.moveTop(
        std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() - placed.height() + 1)));
    if (placed.topLeft() != dialog->frameGeometry().topLeft())
        dialog->move(placed.topLeft());
}

bool DialogsOnScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && qobject_cast<QDialog*>(w)) {
            // A message box sets its own size as it is shown: the fit follows that.
            QTimer::singleShot(0, w, [dialog = QPointer<QWidget>(w)] {
                if (dialog && dialog->isVisible())
                    fit(dialog);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
