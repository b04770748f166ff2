#pragma once
// The search of all four club databases for one call sign.
#include "checkin/Station.h"
#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"

#include <QStringList>

#include <functional>
#include <optional>

struct ClubSearchResult {
    QStringList rosters; // the labels of the rosters that supplied the station, in catalog order
    std::optional<Station> station; // nothing when no roster holds the call
};

// Searches every roster in catalog order. When any roster holds the call exactly, only those
// rosters are used; only when none does, every roster whose call begins with the text. A field
// ends up holding the value of the last roster that supplies it; the call is the text.
ClubSearchResult searchClubRosters(
    const QString& call, const std::function<const RosterTable&(RosterGroup)>& table);
