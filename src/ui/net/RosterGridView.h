#pragma once
// The roster grid as a spreadsheet shows it: the model's row 0 (the column titles) stays
// at the top and its column 0 (the last names) stays at the left while the member cells
// scroll; the active cell is drawn bold.
//
// The titles and names are the view's own header bars, which never scroll with the
// cells: row 0 and column 0 are hidden among the cells and shown in the headers, whose
// texts the model gives as header data. Model rows and columns keep their numbers, so a
// clicked index is the grid row and column. A click on a name at the left is a click
// on that member's row.
#include <QTableView>

class RosterGridView : public QTableView {
    Q_OBJECT

public:
    explicit RosterGridView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Hides the header row and column among the cells and puts the active cell on the
    // first member cell; done again whenever the model is filled anew.
    void placeFixedCells();
    void paintCorner(QWidget* corner);
};
