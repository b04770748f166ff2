#pragma once
// The check-in list's view. After a delete nothing is selected, so a second press deletes
// nothing; the keyboard still stands where the deleted line was: Up goes to the line above
// it, Down to the line below it, End and Home as always.
#include "controls/KeyListView.h"

class CheckInView : public KeyListView {
    Q_OBJECT

public:
    explicit CheckInView(QWidget* parent = nullptr);
    // The line at row is gone: nothing selected, and the keyboard stands between the lines
    // now at row - 1 and row.
    void standAtGap(int row);

signals:
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // A line selected by whatever means (a check-in, a click, the program) ends the gap.
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    int m_gap = -1;
};
