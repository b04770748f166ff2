#include "roster/ClubSearch.h"

#include <vector>

ClubSearchResult searchClubRosters(
    const QString& call, const std::function<const RosterTable&(RosterGroup)>& table)
{
    // Stations of two rosters are never mixed: a roster whose record only begins with the
    // call counts only when no roster holds the call itself.
    bool anyExact = false;
    for (const ClubRoster& r : clubRosters())
        anyExact = anyExact
            || table(r.group)
                   .find(QString::fromLatin1(r.keyColumn), call, LocateOptions { false, false })
                   .has_value();
    const LocateOptions how { !anyExact, false };
    // The call each roster matched, in catalog order; the first one is the station's.
    struct Match {
        const ClubRoster* roster;
        QString call;
    };
    std::vector<Match> matches;
    for (const ClubRoster& r : clubRosters()) {
        const RosterTable& t = table(r.group);
        const QString key = QString::fromLatin1(r.keyColumn);
        if (const std::optional<int> record = t.find(key, call, how))
            matches.push_back({ &r, t.text(*record, t.column(key)) });
    }
    ClubSearchResult result;
    if (matches.empty())
        return result;
    const QString chosen = matches.front().call;
    bool severalCalls = false;
    for (Match& m : matches) {
        // A roster whose first match is another call may hold the chosen one further down.
        const RosterTable& t = table(m.roster->group);
        const QString key = QString::fromLatin1(m.roster->keyColumn);
        const std::optional<int> record = t.find(key, chosen, LocateOptions { false, false });
        if (record)
            m.call = chosen;
        else
            severalCalls = true;
        if (!record)
            continue;
        if (!result.station) {
            result.station = Station(CheckInSource::ClubSearch, QString::fromLatin1(m.roster->label));
            result.station->set(StationField::Call, call);
        }
        for (const ColumnField& f : m.roster->searchFields)
            result.station->set(f.field, t.text(*record, t.column(QString::fromLatin1(f.column))));
    }
    if (severalCalls)
        result.station->set(StationField::Call, chosen);
    for (const Match& m : matches)
        result.rosters << (severalCalls
                ? QStringLiteral("%1: %2").arg(QString::fromLatin1(m.roster->label), m.call)
                : QString::fromLatin1(m.roster->label));
    return result;
}
