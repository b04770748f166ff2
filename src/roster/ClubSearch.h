#pragma once
// The search of the four club rosters for one call, as the club search box runs it. No
// widgets: the page shows the labels and the first station, and keeps its own messages.
#include "checkin/Station.h"
#include "roster/RosterCatalog.h"

#include <QString>

#include <functional>
#include <vector>

class RosterTable;

struct ClubSearchHit {
    QString label; // the roster's label, as the list of rosters found shows it
    Station station; // what the club search copies from the record, with the record's call
};

// The rosters that hold the call, in catalog order. When any roster holds it exactly, only
// those are given; only when none does, each roster whose first record beginning with the
// call is given with that record. Letter case counts, as the roster tables compare; a blank
// call finds nothing. tableOf gives a group's table, or null for a roster not open; a table
// without its key column is skipped.
std::vector<ClubSearchHit> searchClubRosters(
    const QString& call, const std::function<const RosterTable*(RosterGroup)>& tableOf);
