#pragma once
// The QUICK CALL box above the check-in list: the operator types what they hear and the
// suggestions list the stations of every source that match; Enter checks the highlighted
// station in, Shift+Enter only shows it in SELECTED CALL, Up/Down pick another, Esc clears.
#include "checkin/Station.h"
#include "lookup/StationDirectory.h"

#include <QObject>

#include <functional>
#include <vector>

class CheckInList;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

class QuickCallBox : public QObject {
    Q_OBJECT

public:
    using AttendanceText = std::function<QString(const QString& call)>;
    QuickCallBox(const StationDirectory& stations, const CheckInList& checkIns, AttendanceText attendance,
        QLineEdit* edit, QLabel* note, QWidget* suggestionsParent);

    // The licence mark a suggestion shows beside its call.
    void setLicenceMark(std::function<QString(const QString& call)> mark) { m_licenceMark = std::move(mark); }

    void focus(); // F2
    void clear(); // the box emptied and the suggestions closed
    void showNote(const QString& text);
    // Enter: shows the highlighted station and, unless fillOnly, asks for its check-in.
    // False when there was nothing to act on.
    bool enter(bool fillOnly);
    // Lists the suggestions for the text again (the FCC index became ready, a check-in).
    void showSuggestions();

signals:
    void stationChosen(const Station& station);
    void checkInWanted(const Station& station);
    void edited(); // the operator changed the text
    void deleteWanted(); // Delete in the empty box: the selected check-in goes

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();
    bool key(int key, Qt::KeyboardModifiers modifiers);
    bool isKnown() const; // a source holds the text exactly
    int nearestRow() const; // the first row of a station on record, or -1
    // A call on no list: the first Enter only says so and names the nearest station.
    bool confirmNew(const QString& call);
    // Whether the text has the shape of a whole call (not a part of one heard).
    static bool isWholeCall(const QString& text);
    // How many stations match the text, and that Down picks one.
    QString matchesNote(const QString& text) const;

    const StationDirectory& m_stations;
    const CheckInList& m_checkIns;
    AttendanceText m_attendance;
    QLineEdit* m_edit;
    QLabel* m_note;
    QListWidget* m_suggestions;
    std::vector<StationRow> m_rows;
    std::function<QString(const QString&)> m_licenceMark;
    QString m_newConfirmed; // the call whose first Enter was answered with a note
    int m_clubMatches = 0; // club stations that begin or end with the text, for a part of a call
};
