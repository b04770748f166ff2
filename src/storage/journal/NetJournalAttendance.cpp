// Attendance from the journal: how often a station came to the recent nets, and every station
// of a range of nets. A station is its identity (the trimmed, upper-cased call), so a check-in
// from the FCC file ("  W1AW") and a typed one ("w1aw") count as one station. Discarded nets
// are no attendance: only saved nets and the net still open count.
#include "journal/NetJournal.h"

#include "checkin/Station.h"
#include "journal/JournalSql.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

namespace {
// The recent nets are found from the newest net down, so only the last few are visited.
// clang-format off
const char* const recentSql =
    "WITH recent AS (SELECT n.id AS net_id FROM nets n WHERE n.discarded = 0 AND EXISTS ("
    "  SELECT 1 FROM entries x WHERE x.net_id = n.id AND x.date_line = 0 AND x.deleted_utc IS NULL) "
    "  ORDER BY n.id DESC LIMIT ?1) "
    "SELECT (SELECT count(*) FROM recent), count(DISTINCT e.net_id), "
    "  (SELECT max(k.utc) FROM entries k JOIN nets kn ON kn.id = k.net_id "
    "   WHERE " VELMORA_CALL_IDENTITY_OF(k) " = ?2 AND k.date_line = 0 AND k.deleted_utc IS NULL "
    "   AND kn.discarded = 0) "
    "FROM entries e JOIN recent r ON r.net_id = e.net_id "
    "WHERE " VELMORA_CALL_IDENTITY_OF(e) " = ?2 AND e.date_line = 0 AND e.deleted_utc IS NULL";
// clang-format on
} // namespace

NetJournal::Recent NetJournal::recentAttendance(const QString& call, int lastNets)
{
    Recent r;
    sqlite3_stmt* st = statement(recentSql);
    const QString identity = stationIdentity(call);
    if (!st || identity.isEmpty())
        return r;
    StatementReset reset { st };
    sqlite3_bind_int(st, 1, lastNets);
    bindText(st, 2, identity);
    if (sqlite3_step(st) == SQLITE_ROW) {
        r.outOf = sqlite3_column_int(st, 0);
        r.nets = sqlite3_column_int(st, 1);
        r.lastUtcMs = sqlite3_column_int64(st, 2);
    }
    return r;
}

std::vector<Attendance> NetJournal::attendance(std::int64_t fromUtcMs, std::int64_t toUtcMs)
{
    std::vector<Attendance> out;
    sqlite3_stmt* nets
        = statement("SELECT id FROM nets WHERE started_utc BETWEEN ? AND ? AND discarded = 0 ORDER BY id");
    // Every check-in still on its list, in call and time order: the covering index
    // entries_live_by_call gives them without a sort and without reading the table.
    sqlite3_stmt* lines = statement("SELECT call, net_id, utc, name FROM entries "
                                    "WHERE date_line = 0 AND deleted_utc IS NULL ORDER BY call, utc");
    if (!nets || !lines)
        return out;
    std::vector<std::int64_t> inRange; // ascending
    {
        StatementReset reset { nets };
        sqlite3_bind_int64(nets, 1, fromUtcMs);
        sqlite3_bind_int64(nets, 2, toUtcMs);
        while (sqlite3_step(nets) == SQLITE_ROW)
            inRange.push_back(sqlite3_column_int64(nets, 0));
    }
    if (inRange.empty())
        return out;

    // One pass over the lines. The calls written alike come one after another, so the
    // identity is worked out once per written call; the few written otherwise ("  W1AW",
    // "w1aw") join their station in the map. A station's latest line anywhere gives its name.
    struct Seen {
        std::vector<std::int64_t> nets;
        std::int64_t firstUtcMs = 0;
        std::int64_t lastUtcMs = 0;
        std::int64_t nameUtcMs = -1;
        std::string name;
    };
    std::map<QString, Seen> stations;
    StatementReset reset { lines };
    std::string call;
    Seen* station = nullptr;
    while (sqlite3_step(lines) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(lines, 0));
        const std::string_view thisCall(text ? text : "", std::size_t(sqlite3_column_bytes(lines, 0)));
        if (!station || thisCall != call) {
            call = thisCall;
            const QString identity = stationIdentity(QString::fromUtf8(call.data(), qsizetype(call.size())));
            station = identity.isEmpty() ? nullptr : &stations[identity];
            if (!station)
                continue;
        }
        const std::int64_t utc = sqlite3_column_int64(lines, 2);
        if (utc >= station->nameUtcMs) {
            const auto* nameText = reinterpret_cast<const char*>(sqlite3_column_text(lines, 3));
            station->name.assign(nameText ? nameText : "", std::size_t(sqlite3_column_bytes(lines, 3)));
            station->nameUtcMs = utc;
        }
        const std::int64_t net = sqlite3_column_int64(lines, 1);
        if (!std::binary_search(inRange.begin(), inRange.end(), net))
            continue;
        if (station->nets.empty() || utc < station->firstUtcMs)
            station->firstUtcMs = utc;
        station->lastUtcMs = std::max(station->lastUtcMs, utc);
        station->nets.push_back(net);
    }
    for (auto& [identity, s] : stations) {
        if (s.nets.empty())
            continue;
        std::sort(s.nets.begin(), s.nets.end());
        Attendance row;
        row.call = identity;
        row.name = QString::fromStdString(s.name);
        row.nets = int(std::unique(s.nets.begin(), s.nets.end()) - s.nets.begin());
        row.firstUtcMs = s.firstUtcMs;
        row.lastUtcMs = s.lastUtcMs;
        out.push_back(std::move(row));
    }
    return out;
}
