#include "controls/KeyListView.h"

#include <QKeyEvent>

KeyListView::KeyListView(QWidget* parent) : QListView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

void KeyListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit enterPressed(currentIndex());
        event->accept();
        return;
    }
    const QPersistentModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit keyMoved(currentIndex());
}
