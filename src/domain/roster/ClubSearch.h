#pragma once
// The search of all four club databases for one call sign.
#include "checkin/Station.h"
#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"

#include <QStringList>

#include <functional>
#include <optional>

struct ClubSearchResult {
    // One line per roster that matched, in catalog order: the roster's label; where the text
    // begins several calls, the label and the call the roster matched ("FMCA ARC: K5RRX").
    QStringList rosters;
    std::optional<Station> station; // nothing when no roster holds the call
};

// Searches every roster in catalog order. When any roster holds the call exactly, only those
// rosters are used; only when none does, every roster whose call begins with the text. The
// station is always one call's: the text's, else the call the first matching roster holds.
// Every roster holding that call adds its fields, a field ending up with the value of the last
// roster that supplies it. The call shown is the text, unless the text begins several calls:
// then it is the call of the station shown.
ClubSearchResult searchClubRosters(
    const QString& call, const std::function<const RosterTable&(RosterGroup)>& table);
