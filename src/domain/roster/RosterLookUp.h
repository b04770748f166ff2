#pragma once
// A station looked up in a club roster, as SELECTED CALL shows it.
#include "checkin/Station.h"
#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"

#include <optional>
#include <span>

// The station of the record whose call is the text; only when there is none, of the first
// record, in table order, whose call begins with it. The call is the text looked up, the
// other fields are the roster's columns of the map. Nothing when no record matches.
std::optional<Station> lookUpRosterStation(const ClubRoster& roster, const RosterTable& table,
    const QString& text, std::span<const ColumnField> fields);
