#pragma once
// The chapter roster as the grid shows it: row 0 is the header row, every later row one
// member. Sorting reorders the member rows only and is stable. The header row and the
// first column are also given as header data (column titles across, the first column's
// texts down), so a view can keep them in place while the cells scroll.
#include <QAbstractTableModel>
#include <QStringList>

class RosterGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    void setRows(QList<QStringList> rows);
    void clear() { setRows({}); }
    // Sorts the member rows ascending by the text of one column; the header row stays on top
    // and its cell in that column is marked.
    void sortByColumn(int column);
    int sortedColumn() const { return m_sorted; }
    QString cell(int column, int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<QStringList> m_rows;
    int m_columns = 0;
    int m_sorted = -1;
};
