#pragma once
// One value for a chosen station. Every look-up (a roster line, the club search, the roster
// search, the member check, a grid line, the quick call box, the FCC page) makes one, and
// the net page shows it in SELECTED CALL and checks it in from it. The padding a source
// carries (the FCC file's leading blanks, a roster's trailing ones) is taken off here, once,
// whatever the source; the call is also upper-cased, names keep their case.
#include "checkin/CheckIn.h"

#include <QString>

#include <array>
#include <optional>

// The seven SELECTED CALL fields, by what they hold.
enum class StationField { Call, FirstName, LastName, SpouseName, SpouseCall, City, State };
inline constexpr int kStationFields = 7;

struct CheckInFields {
    QString call, name, city, state;
};

class Station {
public:
    Station() = default;
    Station(CheckInSource source, QString origin) : m_source(source), m_origin(std::move(origin)) { }

    // Stores the text without its padding; the call is also upper-cased. A field never set
    // is not supplied by the source, which the SELECTED CALL box shows as left clear.
    void set(StationField field, const QString& text);
    // Stores the text exactly as the operator left it in a box; the call is still trimmed
    // and upper-cased, since it is the station's identity.
    void setAsShown(StationField field, const QString& text);
    bool has(StationField field) const { return m_fields[std::size_t(field)].has_value(); }
    QString text(StationField field) const { return m_fields[std::size_t(field)].value_or(QString()); }

    QString call() const { return text(StationField::Call); }
    CheckInSource source() const { return m_source; }
    // Where it came from, for the operator: a roster's name, "ARC ROSTER", "FCC", "typed".
    QString origin() const { return m_origin; }
    // What a check-in of this station records: call, first name, city and state.
    CheckInFields checkInFields() const;

    bool operator==(const Station&) const = default;

private:
    std::array<std::optional<QString>, kStationFields> m_fields;
    CheckInSource m_source = CheckInSource::Manual;
    QString m_origin;
};

// A station typed in whole: "CALL, NAME, CITY, STATE" or MANUAL INSERT. The call and the
// name are upper-cased as the operator expects of a call and a logged name.
Station typedStation(const QString& call, const QString& name, const QString& city, const QString& state);

// The same station, whatever the source and the letter case: the trimmed, upper-cased call.
QString stationIdentity(const QString& call);
