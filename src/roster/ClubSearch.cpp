#include "roster/ClubSearch.h"

#include "data/RosterTable.h"
#include "roster/RosterStation.h"

#include <optional>

namespace {
// The first record whose call is the text (or, for a prefix, begins with it).
std::optional<int> firstRecord(const RosterTable& table, int key, const QString& call, bool prefix)
{
    for (int r = 0; r < table.recordCount(); ++r) {
        const QString& value = table.record(r).at(key);
        if (prefix ? value.startsWith(call) : value == call)
            return r;
    }
    return std::nullopt;
}
} // namespace

std::vector<ClubSearchHit> searchClubRosters(
    const QString& call, const std::function<const RosterTable*(RosterGroup)>& tableOf)
{
    std::vector<ClubSearchHit> hits;
    if (call.trimmed().isEmpty())
        return hits;
    // Exact hits first, in every roster; the prefix rule only when no roster holds the call,
    // so two different stations are never listed, nor mixed in the fields, as one.
    for (const bool prefix : { false, true }) {
        for (const ClubRoster& roster : clubRosters()) {
            const RosterTable* table = tableOf ? tableOf(roster.group) : nullptr;
            if (!table)
                continue;
            const RosterColumns columns = rosterColumns(roster, *table, roster.searchFields);
            if (columns.key < 0)
                continue;
            if (const auto r = firstRecord(*table, columns.key, call, prefix))
                hits.push_back({ QString::fromLatin1(roster.label),
                    rosterStation(roster, columns, table->record(*r), CheckInSource::ClubSearch) });
        }
        if (!hits.empty())
            break;
    }
    return hits;
}
