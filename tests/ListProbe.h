#pragma once
// A page's list, whatever view shows it, read and driven as a test reads a list widget:
// lines by row, the current line, selection, and the rectangle of a line.
#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>

#include <optional>

// One line of a list.
class LineProbe {
public:
    LineProbe(QListView* view, int row) : m_view(view), m_row(row) { }
    const LineProbe* operator->() const { return this; }
    QString text() const { return data(Qt::DisplayRole).toString(); }
    QVariant data(int role) const { return index().data(role); }
    QModelIndex index() const { return m_view->model()->index(m_row, 0); }
    int row() const { return m_row; }

private:
    QListView* m_view;
    int m_row;
};

class ListProbe {
public:
    explicit ListProbe(QListView* view = nullptr) : m_view(view) { }
    const ListProbe* operator->() const { return this; }
    // Keys and clicks go to the view itself.
    operator QWidget*() const { return m_view; }
    QListView* view() const { return m_view; }

    int count() const { return m_view && m_view->model() ? m_view->model()->rowCount() : 0; }
    LineProbe item(int row) const { return LineProbe(m_view, row); }
    int currentRow() const { return m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1; }
    // The current line when it is also selected, as a list widget's current item is read.
    std::optional<LineProbe> currentItem() const
    {
        if (currentRow() < 0)
            return std::nullopt;
        return item(currentRow());
    }
    void setCurrentRow(int row) const { m_view->setCurrentIndex(m_view->model()->index(row, 0)); }
    QModelIndexList selectedItems() const { return m_view->selectionModel()->selectedIndexes(); }
    void clearSelection() const { m_view->clearSelection(); }
    void setFocus() const { m_view->setFocus(); }
    QWidget* viewport() const { return m_view->viewport(); }
    QRect visualItemRect(const LineProbe& line) const { return m_view->visualRect(line.index()); }
    void scrollToItem(const LineProbe& line) const { m_view->scrollTo(line.index()); }
    QList<LineProbe> findItems(const QString& text, Qt::MatchFlags) const
    {
        QList<LineProbe> found;
        for (int row = 0; row < count(); ++row)
            if (item(row).text() == text)
                found << item(row);
        return found;
    }
    void customContextMenuRequested(const QPoint& at) const { emit m_view->customContextMenuRequested(at); }

private:
    QListView* m_view;
};

inline QStringList lines(const ListProbe& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i).text();
    return out;
}
