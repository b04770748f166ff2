#pragma once
// MANUAL INSERT: a station on no roster typed in whole (call, name, city, state) and checked
// in, and MEMBER CHECK, which fills the boxes from the chapter spreadsheet.
#include "checkin/Station.h"

#include <QObject>

class QLineEdit;
class QPushButton;
class RosterGridPanel;

class ManualInsertBox : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QLineEdit* call;
        QLineEdit* name;
        QLineEdit* city;
        QLineEdit* state;
        QPushButton* add;
        QPushButton* memberCheck;
        QLineEdit* match;
    };
    ManualInsertBox(const RosterGridPanel& grid, Widgets widgets, QObject* parent);

signals:
    void checkInWanted(const Station& station);

private:
    void memberCheck();

    const RosterGridPanel& m_grid;
    Widgets m_w;
};
