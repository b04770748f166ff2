#pragma once
// The search of the four club databases for one call: the rosters that hold it are listed,
// and the station goes to SELECTED CALL.
#include "checkin/Station.h"
#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"

#include <QObject>

#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

class ClubSearchPanel : public QObject {
    Q_OBJECT

public:
    using Tables = std::function<const RosterTable&(RosterGroup)>;
    ClubSearchPanel(Tables tables, QLineEdit* call, QPushButton* search, QListWidget* found, QObject* parent);

    void search(const QString& call);

signals:
    // The station found; an empty one when none was, so nothing of the one before stays.
    void stationFound(const Station& station);

private:
    Tables m_tables;
    QLineEdit* m_call;
    QListWidget* m_found;
};
