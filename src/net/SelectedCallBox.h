#pragma once
// The SELECTED CALL box: the seven fields of the station chosen last, by whatever look-up,
// and "Add to Net" under them. It is the one place that writes those fields.
#include "checkin/Station.h"

#include <QObject>

#include <array>

class QLineEdit;
class QPushButton;

class SelectedCallBox : public QObject {
    Q_OBJECT

public:
    // The seven edit boxes in the order of StationField, and the add button.
    SelectedCallBox(std::array<QLineEdit*, kStationFields> fields, QPushButton* add, QObject* parent);

    // Shows the station: a field its source does not supply is left clear.
    void show(const Station& station);
    void clear();
    // What the box holds now, as the operator may have changed it, with the source of the
    // station shown last.
    Station station() const;

signals:
    // "Add to Net": check in what the box holds.
    void checkInWanted(const Station& station);

private:
    std::array<QLineEdit*, kStationFields> m_fields;
    CheckInSource m_source = CheckInSource::Manual;
    QString m_origin;
};
