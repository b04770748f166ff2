#pragma once
// The chapter roster spreadsheet in a sortable grid over the check-in column (ARC ROSTER),
// its search box on the left (a member goes to SELECTED CALL), and the member check of
// MANUAL INSERT, which reads the grid in its current order.
#include "checkin/Station.h"
#include "net/RosterGridModel.h"

#include <QObject>

class FacePanel;
class QLineEdit;
class QPushButton;
class QWidget;
class RosterGridView;
class StationDirectory;

class RosterGridPanel : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        FacePanel* panel; // the grid's panel (panS7)
        FacePanel* toggle; // ARC ROSTER
        FacePanel* byCall;
        FacePanel* byName;
        FacePanel* byState;
        RosterGridView* grid;
        QLineEdit* members;
        QLineEdit* file;
        QLineEdit* searchCall;
        QPushButton* search;
        QLineEdit* searchMatch;
        QWidget* covered; // what the open grid lies over
    };
    RosterGridPanel(StationDirectory& stations, Widgets widgets, QObject* parent);

    // Reads the spreadsheet below the directory; a sheet that cannot be read is told and
    // leaves the grid empty.
    void load(const QString& directory);
    void close();
    const RosterGridModel& model() const { return m_model; }
    // MEMBER CHECK: the first row, in the grid's order, whose call is the text; -1 when none.
    int memberRow(const QString& call) const;

signals:
    void stationChosen(const Station& station);
    void opened(); // the grid was opened over the check-ins

private:
    void toggle();
    void sortBy(FacePanel* panel, int column);
    void clickCell(int row);
    void searchMember();
    Station memberStation(int row, bool fromSearch) const;

    StationDirectory& m_stations;
    Widgets m_w;
    RosterGridModel m_model;
};
