#include "net/CheckInView.h"

#include <QKeyEvent>

#include <utility>

CheckInView::CheckInView(QWidget* parent) : KeyListView(parent) { }

void CheckInView::standAtGap(int row)
{
    clearSelection();
    const int rows = model() ? model()->rowCount() : 0;
    const QModelIndex near = model() ? model()->index(std::min(row, rows - 1), 0) : QModelIndex();
    selectionModel()->setCurrentIndex(near, QItemSelectionModel::NoUpdate);
    m_gap = row;
}

void CheckInView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deletePressed();
        event->accept();
        return;
    }
    const int gap = std::exchange(m_gap, -1);
    const int rows = model() ? model()->rowCount() : 0;
    int row = -1;
    if (gap >= 0 && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
            row = gap - 1;
            break;
        case Qt::Key_Down:
            row = gap;
            break;
        case Qt::Key_Home:
            row = 0;
            break;
        case Qt::Key_End:
            row = rows - 1;
            break;
        default:
            break;
        }
    }
    if (row != -1 || (gap >= 0 && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down))) {
        if (row >= 0 && row < rows) {
            setCurrentIndex(model()->index(row, 0));
            emit keyMoved(currentIndex());
        }
        event->accept();
        return;
    }
    KeyListView::keyPressEvent(event);
}

void CheckInView::mousePressEvent(QMouseEvent* event)
{
    m_gap = -1;
    KeyListView::mousePressEvent(event);
}

void CheckInView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (!selected.isEmpty())
        m_gap = -1;
    KeyListView::selectionChanged(selected, deselected);
}
