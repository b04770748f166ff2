// One suggestion of the station directory: the ranking over every source, the nearest station
// to a call no source holds, and the FCC file's rows read from its call index.
#include "lookup/StationDirectory.h"

#include <algorithm>
#include <optional>

namespace {
// The FCC file's texts carry the blanks of its fixed layout, and the last name its comma.
QString fccText(const std::string& text)
{
    return QString::fromLatin1(text).trimmed();
}
QString fccLastName(const std::string& text)
{
    QString last = fccText(text);
    if (last.endsWith(QLatin1Char(',')))
        last.chop(1);
    return last.trimmed();
}
QString joinedName(const QString& a, const QString& b)
{
    return (a + QLatin1Char(' ') + b).trimmed();
}
} // namespace

class StationDirectory::Query {
public:
    Query(const StationDirectory& directory, std::string text, int limit)
        : d(directory), m_text(std::move(text)), m_limit(std::size_t(limit))
    {
        if (d.m_loader)
            m_index = d.m_loader->index();
        if (m_index)
            m_reader.emplace(*m_index);
    }

    std::vector<StationRow> run()
    {
        const bool known = exact();
        m_seen.push_back(m_text);
        std::vector<const Call*> prefix, suffix, oneEdit;
        // Calls of the rosters and spreadsheet that begin with the text...
        const auto before = [](const Call& c, const std::string& t) { return c.call < t; };
        for (auto it = std::lower_bound(calls().begin(), calls().end(), m_text, before);
             it != calls().end() && it->call.starts_with(m_text); ++it)
            prefix.push_back(&*it);
        // ...that end with it...
        for (const Call& c : calls())
            if (c.call.size() > m_text.size() && c.call.ends_with(m_text))
                suffix.push_back(&c);
        // ...and that are one edit away.
        if (m_text.size() >= 3)
            for (const Call& c : calls())
                if (withinOneEdit(c.call, m_text))
                    oneEdit.push_back(&c);
        for (auto* kind : { &prefix, &suffix, &oneEdit })
            byRank(*kind);

        if (!known) {
            // The nearest station first: the club's first in the ranking, else the FCC
            // file's first, which the kinds below bring first. A new station comes after it.
            m_newStationAfterFirst = looksLikeCallSign(m_text);
            if (!prefix.empty())
                addLocal(prefix.front(), MatchKind::Prefix);
            else if (!suffix.empty())
                addLocal(suffix.front(), MatchKind::Suffix);
            else if (!oneEdit.empty())
                addLocal(oneEdit.front(), MatchKind::OneEdit);
        }

        addLocal(prefix, MatchKind::Prefix);
        // A club call heard by its end is likelier than an FCC call that only begins alike.
        if (m_text.size() >= 2)
            addLocal(suffix, MatchKind::Suffix);
        if (fccUsable() && !full()) {
            const auto [first, last] = m_index->prefixRange(m_text);
            for (std::size_t i = first; i < last && !full() && fccUsable(); ++i)
                addFcc(i, MatchKind::Prefix);
        }
        addLocal(suffix, MatchKind::Suffix);
        if (fccUsable() && !full())
            fccSuffix();

        if (m_text.size() >= 3) {
            addLocal(oneEdit, MatchKind::OneEdit);
            if (fccUsable() && !full())
                fccOneEdit();
        }
        if (m_newStationAfterFirst)
            push(newStation()); // nothing is near: the new station alone
        if (m_rows.size() > m_limit)
            m_rows.resize(m_limit);
        return std::move(m_rows);
    }

private:
    const std::vector<Call>& calls() const { return d.m_calls; }
    bool full() const { return m_rows.size() >= m_limit; }
    bool fccUsable() const { return m_index && !m_fccBroken; }
    bool seen(std::string_view call) const
    {
        return std::find(m_seen.begin(), m_seen.end(), call) != m_seen.end();
    }
    unsigned fccBit(std::string_view call) const
    {
        return m_index && m_index->find(call) ? sourceBit(StationSource::Fcc) : 0u;
    }

    // Adds a row; the new station, when one is due, follows the first row.
    void push(StationRow row)
    {
        m_rows.push_back(std::move(row));
        if (m_newStationAfterFirst) {
            m_newStationAfterFirst = false;
            if (m_rows.back().match != MatchKind::NewStation)
                m_rows.push_back(newStation());
        }
    }

    StationRow newStation() const
    {
        StationRow row;
        row.match = MatchKind::NewStation;
        row.call = QString::fromLatin1(m_text);
        row.station = Station(CheckInSource::Manual, QStringLiteral("new"));
        row.station.set(StationField::Call, row.call);
        return row;
    }

    StationRow localRow(const Entry& e, unsigned sources, MatchKind match) const
    {
        StationRow row;
        row.match = match;
        row.source = e.source;
        row.chapter = d.chapterOf(sources, e.source);
        row.sources = sources;
        row.call = QString::fromLatin1(e.call);
        row.name = e.name;
        row.city = e.city;
        row.state = e.state;
        row.record = e.record;
        row.spouse = e.spouse;
        row.station = e.station;
        return row;
    }

    // The row of FCC call i, when its record can be read.
    std::optional<StationRow> fccRow(std::size_t i, unsigned sources, MatchKind match)
    {
        const auto record = m_reader->record(i);
        if (!record) {
            // The file changed or went away since the index was made: no more FCC rows
            // this time.
            m_fccBroken = true;
            return std::nullopt;
        }
        StationRow row;
        row.match = match;
        row.source = StationSource::Fcc;
        row.chapter = d.chapterOf(sources, StationSource::Fcc);
        row.sources = sources;
        row.call = QString::fromLatin1(m_index->call(i));
        row.name = joinedName(fccText(record->firstName), fccLastName(record->lastName));
        row.city = fccText(record->city);
        row.state = fccText(record->state);
        row.record = m_index->offset(i);
        // The record's fields without the padding of the file's layout; it has no spouse.
        row.station = Station(CheckInSource::Fcc, StationDirectory::sourceText(StationSource::Fcc));
        row.station.set(StationField::Call, fccText(record->call));
        row.station.set(StationField::FirstName, fccText(record->firstName));
        row.station.set(StationField::LastName, fccLastName(record->lastName));
        row.station.set(StationField::City, row.city);
        row.station.set(StationField::State, row.state);
        return row;
    }

    // The rows of the sources that hold the text; whether any does.
    bool exact()
    {
        const Call* local = d.findCall(m_text);
        const unsigned fcc = fccBit(m_text);
        const unsigned sources = (local ? local->sources : 0u) | fcc;
        if (local)
            for (std::uint32_t k = 0; k < local->count && !full(); ++k)
                push(localRow(d.m_entries[local->first + k], sources, MatchKind::Exact));
        if (fcc && !full())
            if (auto row = fccRow(*m_index->find(m_text), sources, MatchKind::Exact))
                push(std::move(*row));
        return sources != 0;
    }

    // The club's calls of one kind in rank order: by their first source, then by call.
    void byRank(std::vector<const Call*>& calls) const
    {
        std::stable_sort(calls.begin(), calls.end(), [this](const Call* a, const Call* b) {
            const auto sa = d.m_entries[a->first].source;
            const auto sb = d.m_entries[b->first].source;
            return sa != sb ? sa < sb : a->call < b->call;
        });
    }

    // Rows for calls of the rosters and spreadsheet (in rank order), each from its first
    // source, unless already listed.
    void addLocal(const std::vector<const Call*>& calls, MatchKind match)
    {
        for (const Call* c : calls) {
            if (full())
                return;
            addLocal(c, match);
        }
    }
    void addLocal(const Call* c, MatchKind match)
    {
        if (seen(c->call))
            return;
        m_seen.push_back(c->call);
        push(localRow(d.m_entries[c->first], c->sources | fccBit(c->call), match));
    }

    // The FCC row of call i, unless that call is already listed or is on a roster or the
    // spreadsheet (whose row comes first).
    void addFcc(std::size_t i, MatchKind match)
    {
        const std::string call = m_index->call(i);
        if (seen(call) || d.findCall(call))
            return;
        m_seen.push_back(call);
        if (auto row = fccRow(i, sourceBit(StationSource::Fcc), match))
            push(std::move(*row));
    }

    void fccSuffix()
    {
        // The calls ending with the text lie together in the order of reversed calls;
        // listed alphabetically, which is the order of their positions. Only the first
        // few are wanted, enough to make up for those already listed.
        const auto [first, last] = m_index->suffixRange(m_text);
        const std::size_t want = m_limit - m_rows.size() + m_seen.size();
        std::vector<std::uint32_t> smallest; // a max-heap of the smallest positions met
        smallest.reserve(std::min(want, last - first) + 1);
        for (std::size_t place = first; place < last; ++place) {
            const auto position = std::uint32_t(m_index->endingAt(place));
            if (smallest.size() < want) {
                smallest.push_back(position);
                std::push_heap(smallest.begin(), smallest.end());
            } else if (position < smallest.front()) {
                std::pop_heap(smallest.begin(), smallest.end());
                smallest.back() = position;
                std::push_heap(smallest.begin(), smallest.end());
            }
        }
        std::sort(smallest.begin(), smallest.end());
        for (const std::uint32_t position : smallest) {
            if (full() || !fccUsable())
                return;
            addFcc(position, MatchKind::Suffix);
        }
    }

    void fccOneEdit()
    {
        static constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        std::vector<std::size_t> found;
        auto look = [&](const std::string& candidate) {
            if (auto i = m_index->find(std::string_view(candidate)))
                found.push_back(*i);
        };
        const std::string& t = m_text;
        std::string c;
        for (std::size_t i = 0; i < t.size(); ++i) {
            c = t;
            c.erase(i, 1);
            look(c);
            c = t;
            for (const char a : std::string_view(kAlphabet)) {
                if (a == t[i])
                    continue;
                c[i] = a;
                look(c);
            }
            if (i + 1 < t.size() && t[i] != t[i + 1]) {
                c = t;
                std::swap(c[i], c[i + 1]);
                look(c);
            }
        }
        if (t.size() < fcccall::kMaxLength) {
            for (std::size_t i = 0; i <= t.size(); ++i) {
                for (const char a : std::string_view(kAlphabet)) {
                    c = t;
                    c.insert(c.begin() + std::ptrdiff_t(i), a);
                    look(c);
                }
            }
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        for (const std::size_t i : found) {
            if (full() || !fccUsable())
                return;
            addFcc(i, MatchKind::OneEdit);
        }
    }

    const StationDirectory& d;
    std::string m_text;
    std::size_t m_limit;
    std::shared_ptr<const FccCallIndex> m_index;
    std::optional<FccRecordReader> m_reader;
    std::vector<StationRow> m_rows;
    std::vector<std::string> m_seen;
    bool m_fccBroken = false;
    bool m_newStationAfterFirst = false; // a new station is due after the first row
};

std::vector<StationRow> StationDirectory::suggest(const QString& text, int limit) const
{
    const auto call = normaliseCallText(text);
    if (!call || limit <= 0)
        return {};
    return Query(*this, *call, limit).run();
}

bool StationDirectory::isKnownCall(const QString& text) const
{
    const auto call = normaliseCallText(text);
    if (!call)
        return false;
    if (findCall(*call))
        return true;
    const auto index = m_loader ? m_loader->index() : nullptr;
    return index && index->find(*call).has_value();
}

int StationDirectory::clubMatchCount(const QString& text) const
{
    const auto call = normaliseCallText(text);
    if (!call)
        return 0;
    return int(std::count_if(m_calls.begin(), m_calls.end(), [&](const Call& c) {
        return c.call.size() > call->size() && (c.call.starts_with(*call) || c.call.ends_with(*call));
    }));
}

std::optional<StationRow> StationDirectory::nearest(const QString& text) const
{
    if (isKnownCall(text))
        return std::nullopt;
    const auto rows = suggest(text, 2);
    if (rows.empty() || rows.front().match == MatchKind::NewStation)
        return std::nullopt;
    return rows.front();
}
