#pragma once
// Writes whole licence sets of fictitious amateur licences as the FCC publishes them:
// EN.dat (EnFileGenerator.h), HD.dat (status and dates), AM.dat (operator class) and the
// "counts" file, for a weekly set and for daily sets on top of it.
//
// The weekly set's EN.dat is the same, byte for byte, as writeEnFile() writes for the
// same records and seed. Each record's HD and AM lines come from its identifier and the
// seed alone. Daily set d (1, 2, ...) is dated d days after the weekly and holds, for
// each licence it touches, all three of its records: licences whose address changed,
// that expired, that were cancelled or whose holder upgraded, and new licences. A
// licence touched by several daily sets takes the later one's records.
//
// The merged set (weekly plus dailies 1..n) is written the way an import writes it:
// the weekly's records in their order, each replaced where a daily changed it, then
// the new licences in the order of their identifiers. A manifest lists what each daily
// did ("expired CALL YYYY-MM-DD", ...), so tests know what to expect.
#include "EnFileGenerator.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace fccgen {

// Days after 1 January 1970 and back.
inline long daysOf(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}
struct Ymd {
    int y, m, d;
};
inline Ymd ymdOf(long z)
{
    z += 719468;
    const long era = z / 146097, doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return { int(yoe + era * 400 + (m <= 2)), m, int(doy - (153 * mp + 2) / 5 + 1) };
}
inline std::string usDate(long day) // MM/DD/YYYY
{
    const Ymd t = ymdOf(day);
    char s[16];
    std::snprintf(s, sizeof s, "%02d/%02d/%04d", t.m, t.d, t.y);
    return s;
}
inline std::string isoDate(long day)
{
    const Ymd t = ymdOf(day);
    char s[16];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d", t.y, t.m, t.d);
    return s;
}
// "File Creation Date: Sun Sep 28 07:05:12 EDT 2025", the first line of a counts file.
inline std::string countsHead(long day)
{
    static const char* const kDays[] = { "Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed" };
    static const char* const kMonths[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const Ymd t = ymdOf(day);
    char s[80];
    std::snprintf(s, sizeof s, "File Creation Date: %s %s %02d 07:05:12 EDT %04d", kDays[((day % 7) + 7) % 7],
        kMonths[t.m - 1], t.d, t.y);
    return s;
}

inline std::string fieldOf(const std::string& line, int number) // from 1
{
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) {
        start = line.find('|', start);
        if (start == std::string::npos)
            return std::string();
        ++start;
    }
    return line.substr(start, line.find('|', start) - start);
}
inline std::string withField(const std::string& line, int number, const std::string& value)
{
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = line.find('|', start) + 1;
    const std::size_t end = line.find('|', start);
    return line.substr(0, start) + value + (end == std::string::npos ? std::string() : line.substr(end));
}

struct Licence {
    std::string en, hd, am;
};

// HD: 51 fields; field 6 status, 7 radio service, 8 grant, 9 expiry, 10 cancellation,
// 44 last action date.
inline std::string hdLine(
    std::uint32_t id, const std::string& call, char status, long granted, long cancelled, long changed)
{
    std::string line = "HD|" + std::to_string(id) + "|||" + call + "|" + status + "|HA|" + usDate(granted)
        + "|" + usDate(granted + 3652) + "|" + (cancelled ? usDate(cancelled) : std::string()) + "|";
    for (int field = 11; field < 51; ++field)
        line += field == 13 ? "N|" : field == 44 ? usDate(changed) + "|" : "|";
    return line;
}
// AM: 18 fields; field 6 operator class (blank for a club), 9 trustee call.
inline std::string amLine(std::uint32_t id, const std::string& call, char cls, const std::string& trustee)
{
    return "AM|" + std::to_string(id) + "|||" + call + "|" + (cls ? std::string(1, cls) : std::string())
        + "|D||" + trustee + "|" + (trustee.empty() ? "" : "Y") + "||||||||";
}

// The HD and AM lines of a weekly record, from its identifier and the seed.
inline Licence weeklyLicence(const std::string& en, std::uint64_t seed, long weeklyDay)
{
    const std::uint32_t id = std::uint32_t(std::stoul(fieldOf(en, 2)));
    const std::string call = fieldOf(en, 5);
    Random r(seed * 0x2545F4914F6CDD1Dull ^ id);
    const bool club = fieldOf(en, 24) == "B";
    const long granted = weeklyDay - 1 - long(r.below(3650 * 12 / 10));
    const std::uint32_t s = r.below(100);
    char status = 'A';
    long cancelled = 0;
    if (granted + 3652 < weeklyDay || s < 4)
        status = 'E';
    else if (s < 6)
        status = 'C', cancelled = granted + 1 + long(r.below(std::uint32_t(weeklyDay - granted)));
    else if (s < 7)
        status = 'T', cancelled = granted + 1 + long(r.below(std::uint32_t(weeklyDay - granted)));
    static constexpr char kClasses[] = { 'E', 'E', 'G', 'G', 'G', 'T', 'T', 'T', 'T', 'A', 'P', 'N' };
    const char cls = club ? 0 : kClasses[r.below(sizeof kClasses)];
    // Last changed when it was granted, cancelled, or marked expired.
    const long changed = cancelled ? cancelled
        : status == 'E'            ? std::min(granted + 3652 + 1, weeklyDay - 1)
                                   : granted;
    return { en, hdLine(id, call, status, granted, cancelled, changed),
        amLine(id, call, cls, club ? callSign(r) : "") };
}

// What daily set d does: licence index -> kind of change (0 address, 1 expired,
// 2 cancelled, 3 upgraded), and how many licences it adds.
inline std::map<std::uint64_t, int> dailyChanges(std::uint64_t records, std::uint64_t seed, int d)
{
    Random r(seed * 7919 + std::uint64_t(d));
    std::map<std::uint64_t, int> changes;
    const std::uint64_t n = std::max<std::uint64_t>(4, records / 2000);
    for (std::uint64_t j = 0; j < n && records > 0; ++j)
        changes[(r.next() >> 11) % records] = int(j % 4);
    return changes;
}
inline std::uint64_t dailyAdds(std::uint64_t records)
{
    return std::max<std::uint64_t>(2, records / 5000);
}

// The records of licence i after daily d changed it (kind of change as above).
inline Licence changedLicence(const Licence& was, int kind, int d, long dailyDay, std::string* note)
{
    Licence now = was;
    const std::string call = fieldOf(was.en, 5);
    if (kind == 0) {
        now.en = withField(was.en, 16, std::to_string(100 + d) + " CHANGED ST");
        *note = "changed " + call;
    } else if (kind == 1) {
        now.hd = withField(withField(was.hd, 6, "E"), 9, usDate(dailyDay - 1));
        *note = "expired " + call + " " + isoDate(dailyDay - 1);
    } else if (kind == 2) {
        now.hd = withField(withField(was.hd, 6, "C"), 10, usDate(dailyDay));
        *note = "cancelled " + call + " " + isoDate(dailyDay);
    } else {
        now.am = withField(was.am, 6, "E");
        // An upgrade renews the licence: granted today for ten years.
        now.hd = withField(
            withField(withField(withField(was.hd, 6, "A"), 8, usDate(dailyDay)), 9, usDate(dailyDay + 3652)),
            10, "");
        *note = "upgraded " + call + " E";
    }
    // The daily set carries every record of a licence it changed, dated that day.
    now.hd = withField(now.hd, 44, usDate(dailyDay));
    return now;
}
inline Licence addedLicence(std::uint64_t seed, int d, std::uint64_t j, long dailyDay, std::string* note)
{
    Random r(seed * 104729 + std::uint64_t(d) * 1000003 + j);
    const std::uint32_t id = std::uint32_t(20000000 + d * 100000 + j);
    std::string en = record(r, id);
    std::string call = fieldOf(en, 5);
    if (call.empty() || call.size() > 6) {
        call = "KN" + std::to_string(d) + char('A' + j % 26) + char('A' + (j / 26) % 26);
        en = withField(en, 5, call);
    }
    *note = "added " + call;
    return { en, hdLine(id, call, 'A', dailyDay, 0, dailyDay), amLine(id, call, 'T', "") };
}

class SetSink {
public:
    virtual ~SetSink() = default;
    virtual bool put(const Licence& l) = 0;
};

// Walks the weekly set of records licences and seed, with the dailies 1..through
// applied (through 0: the weekly alone), handing every licence to sink in the order
// an import writes them. notes receives what the dailies did.
inline bool walkSet(std::uint64_t records, std::uint64_t seed, long weeklyDay, int through, SetSink& sink,
    std::vector<std::string>* notes = nullptr)
{
    std::vector<std::map<std::uint64_t, int>> changes;
    for (int d = 1; d <= through; ++d)
        changes.push_back(dailyChanges(records, seed, d));
    Random r(seed);
    const std::uint64_t sixDigit = records / 5;
    for (std::uint64_t i = 0; i < records; ++i) {
        const std::uint32_t id = i < sixDigit
            ? std::uint32_t(100000 + i * 899999 / (sixDigit ? sixDigit : 1))
            : std::uint32_t(1000000 + (i - sixDigit) * 8999999 / (records - sixDigit));
        Licence l = weeklyLicence(record(r, id), seed, weeklyDay);
        for (int d = 1; d <= through; ++d) {
            const auto it = changes[std::size_t(d - 1)].find(i);
            if (it == changes[std::size_t(d - 1)].end())
                continue;
            std::string note;
            l = changedLicence(l, it->second, d, weeklyDay + d, &note);
            if (notes)
                notes->push_back("daily " + std::to_string(d) + " " + note);
        }
        if (!sink.put(l))
            return false;
    }
    for (int d = 1; d <= through; ++d)
        for (std::uint64_t j = 0; j < dailyAdds(records); ++j) {
            std::string note;
            const Licence l = addedLicence(seed, d, j, weeklyDay + d, &note);
            if (notes)
                notes->push_back("daily " + std::to_string(d) + " " + note);
            if (!sink.put(l))
                return false;
        }
    return true;
}

// Walks daily set d alone: the licences it changes (as they are after it) and adds.
inline bool walkDaily(std::uint64_t records, std::uint64_t seed, long weeklyDay, int d, SetSink& sink)
{
    const auto mine = dailyChanges(records, seed, d);
    struct Pick : SetSink {
        // The merged set through d, of which only the licences daily d touched are wanted.
        SetSink& out;
        const std::map<std::uint64_t, int>& mine;
        std::uint64_t index = 0, records;
        Pick(SetSink& o, const std::map<std::uint64_t, int>& m, std::uint64_t n) : out(o), mine(m), records(n)
        {
        }
        bool put(const Licence& l) override
        {
            const std::uint64_t i = index++;
            if (i < records)
                return mine.count(i) ? out.put(l) : true;
            // Added licences: only those of daily d, which come last.
            return i >= records + dailyAdds(records) * std::uint64_t(added) ? out.put(l) : true;
        }
        int added = 0;
    } pick(sink, mine, records);
    pick.added = d - 1;
    return walkSet(records, seed, weeklyDay, d, pick);
}

} // namespace fccgen
