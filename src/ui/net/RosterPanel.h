#pragma once
// One club roster on the net page: its list of calls (the whole roster or one call area),
// the count under it and the search box over it. Four of these stand on the page, one per
// club group. A station picked in the list (a click, the arrow keys, a search) is handed on
// as a Station; Enter on a line asks for its check-in.
#include "checkin/Station.h"
#include "net/RosterModel.h"

#include <QObject>

class KeyListView;
class QLineEdit;
class QPushButton;
class QWidget;

class RosterPanel : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QWidget* panel; // the roster's panel, shown while its group is chosen
        KeyListView* list;
        QLineEdit* count;
        QLineEdit* search;
        QPushButton* searchButton;
    };
    RosterPanel(const ClubRoster& roster, const RosterTable& table, Widgets widgets, QObject* parent);

    RosterGroup group() const { return m_roster.group; }
    QWidget* panel() const { return m_w.panel; }
    KeyListView* list() const { return m_w.list; }
    RosterModel& model() { return m_model; }

    // Lists the whole roster, or one call area; the count follows. A table without the
    // column needed throws DataError, with the count left as it was.
    void showWhole();
    void showArea(int digit);
    // The call area of digit, or the whole roster for a digit below 0.
    void show(int digit) { digit < 0 ? showWhole() : showArea(digit); }
    // The station of the text in this roster; an empty station when no record matches.
    Station lookUp(const QString& text) const;
    // The search box: selects the last line that holds the text and picks its station.
    bool search(const QString& text);

signals:
    void stationChosen(const Station& station);
    void checkInWanted(const Station& station);

private:
    void pickCurrent();
    void showCount();

    const ClubRoster& m_roster;
    const RosterTable& m_table;
    Widgets m_w;
    RosterModel m_model;
    RosterAreaFilter m_filter;
};
