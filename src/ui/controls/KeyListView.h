#pragma once
// A list view that tells apart what the keyboard does: a move of the current line made by a
// key (arrows, Home, End, page keys), and Enter on a line. Moves made by a program or a click
// are not reported as key moves.
#include <QListView>

class KeyListView : public QListView {
    Q_OBJECT

public:
    explicit KeyListView(QWidget* parent = nullptr);

signals:
    void keyMoved(const QModelIndex& current);
    void enterPressed(const QModelIndex& current);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
