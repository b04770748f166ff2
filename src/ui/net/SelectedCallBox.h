#pragma once
// The SELECTED CALL box: the seven fields of the station chosen last, by whatever look-up,
// and "Add to Net" under them. It is the one place that writes those fields.
#include "checkin/Station.h"

#include <QObject>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class SelectedCallBox : public QObject {
    Q_OBJECT

public:
    // The seven edit boxes in the order of StationField, and the add button.
    SelectedCallBox(
        std::array<QLineEdit*, kStationFields> fields, QPushButton* add, QLabel* licence, QObject* parent);

    // The licence line of a call: its text, and whether it warns (shown in red).
    using LicenceText = std::function<std::pair<QString, bool>(const QString& call)>;
    void setLicenceText(LicenceText text);

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
    void showLicence();

    std::array<QLineEdit*, kStationFields> m_fields;
    QLabel* m_licence;
    LicenceText m_licenceText;
    CheckInSource m_source = CheckInSource::Manual;
    QString m_origin;
};
