#include "lookup/StationDirectory.h"

#include "data/RosterTable.h"

#include <algorithm>
#include <optional>

namespace {

// The selected-call fields as the page clears them before a look-up.
SelectedCallFields blankFields()
{
    return { QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
        QStringLiteral(" "), QStringLiteral("   "), QStringLiteral("  ") };
}

QString joined(const QString& a, const QString& b)
{
    return (a.trimmed() + QLatin1Char(' ') + b.trimmed()).trimmed();
}

bool hasDigit(std::string_view call)
{
    return std::any_of(call.begin(), call.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Which columns a roster's look-up copies, as the roster-line click does.
struct RosterColumns {
    const char* call;
    const char* firstName;
    const char* lastName;
    const char* spouseName;
    const char* spouseCall;
    const char* city;
    const char* state;
    bool fromSecond; // the whole list starts at the second record
};

RosterColumns rosterColumns(StationSource roster)
{
    switch (roster) {
    case StationSource::ArcRoster:
        return { "CALL", "FN", "LNAME", "SFN", "SCALL", "CITY", "STATE", false };
    case StationSource::RvRoster:
        return { "Call", "FN", nullptr, "Spouse", nullptr, "CITY", "STATE", true };
    case StationSource::RegularRoster:
        return { "Call", "NameS", nullptr, nullptr, nullptr, "City", "State", false };
    case StationSource::WbcciRoster:
        return { "Call", "NameS", nullptr, nullptr, nullptr, "CITY", "STATE", true };
    default:
        return { nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, false };
    }
}

} // namespace

// ---- the sources ----

void StationDirectory::setRoster(StationSource roster, const RosterTable& table)
{
    const RosterColumns names = rosterColumns(roster);
    if (!names.call)
        return;
    std::vector<Entry>& entries = m_bySource[std::size_t(roster)];
    entries.clear();
    auto column = [&table](const char* name) {
        if (!name)
            return -1;
        const QStringList& columns = table.columns();
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    const int call = column(names.call);
    const int firstName = column(names.firstName);
    const int lastName = column(names.lastName);
    const int spouseName = column(names.spouseName);
    const int spouseCall = column(names.spouseCall);
    const int city = column(names.city);
    const int state = column(names.state);
    if (call < 0) {
        rebuild();
        return;
    }
    std::vector<std::string> kept;
    for (int r = names.fromSecond ? 1 : 0; r < table.recordCount(); ++r) {
        const QStringList& record = table.record(r);
        const QString callText = record.value(call);
        const auto normalised = normaliseCallText(callText);
        if (!normalised || !hasDigit(*normalised))
            continue;
        Entry e { *normalised, roster, r, {}, {}, {}, blankFields() };
        // Only the columns of the roster's map replace blank texts.
        e.fields.call = callText;
        if (firstName >= 0)
            e.fields.firstName = record.value(firstName);
        if (lastName >= 0)
            e.fields.lastName = record.value(lastName);
        if (spouseName >= 0)
            e.fields.spouseName = record.value(spouseName);
        if (spouseCall >= 0)
            e.fields.spouseCall = record.value(spouseCall);
        if (city >= 0)
            e.fields.city = record.value(city);
        if (state >= 0)
            e.fields.state = record.value(state);
        e.name = joined(firstName >= 0 ? record.value(firstName) : QString(),
            lastName >= 0 ? record.value(lastName) : QString());
        e.city = city >= 0 ? record.value(city).trimmed() : QString();
        e.state = state >= 0 ? record.value(state).trimmed() : QString();
        entries.push_back(std::move(e));
    }
    rebuild();
}

void StationDirectory::setSpreadsheet(const QList<QStringList>& rows)
{
    std::vector<Entry>& entries = m_bySource[std::size_t(StationSource::Spreadsheet)];
    entries.clear();
    m_sheetHasMembers = rows.size() > 1;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        const auto normalised = normaliseCallText(row.value(2));
        if (!normalised || !hasDigit(*normalised))
            continue;
        Entry e { *normalised, StationSource::Spreadsheet, r, {}, {}, {}, {} };
        // A grid click copies these seven columns.
        e.fields = { row.value(2), row.value(1), row.value(0), row.value(5), row.value(6), row.value(11),
            row.value(12) };
        e.name = joined(row.value(1), row.value(0));
        e.city = row.value(11).trimmed();
        e.state = row.value(12).trimmed();
        entries.push_back(std::move(e));
    }
    rebuild();
}

void StationDirectory::setFccLoader(const FccIndexLoader* loader)
{
    m_loader = loader;
}

FccIndexLoader::State StationDirectory::fccState() const
{
    return m_loader ? m_loader->state() : FccIndexLoader::State::NoFile;
}

void StationDirectory::rebuild()
{
    m_entries.clear();
    for (const auto& entries : m_bySource)
        m_entries.insert(m_entries.end(), entries.begin(), entries.end());
    // By call, then source; within one source the record nearer the top first, and only
    // that one is kept.
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.call != b.call ? a.call < b.call : a.source < b.source;
    });
    m_entries.erase(
        std::unique(m_entries.begin(), m_entries.end(),
            [](const Entry& a, const Entry& b) { return a.call == b.call && a.source == b.source; }),
        m_entries.end());
    m_calls.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_calls.empty() || m_calls.back().call != m_entries[i].call)
            m_calls.push_back({ m_entries[i].call, std::uint32_t(i), 0, 0 });
        ++m_calls.back().count;
        m_calls.back().sources |= sourceBit(m_entries[i].source);
    }
}

const StationDirectory::Call* StationDirectory::findCall(std::string_view call) const
{
    const auto it = std::lower_bound(
        m_calls.begin(), m_calls.end(), call, [](const Call& c, std::string_view t) { return c.call < t; });
    return it != m_calls.end() && it->call == call ? &*it : nullptr;
}

ChapterStatus StationDirectory::chapterOf(unsigned sources, StationSource source) const
{
    if (!m_sheetHasMembers)
        return ChapterStatus::Unknown;
    if (sources & sourceBit(StationSource::Spreadsheet))
        return ChapterStatus::Member;
    return source == StationSource::ArcRoster ? ChapterStatus::NotPaid : ChapterStatus::Unknown;
}

QString StationDirectory::sourceText(StationSource source)
{
    switch (source) {
    case StationSource::ArcRoster:
        return QStringLiteral("FMCA ARC");
    case StationSource::RvRoster:
        return QStringLiteral("RV Radio Network");
    case StationSource::RegularRoster:
        return QStringLiteral("Regular Check-ins");
    case StationSource::WbcciRoster:
        return QStringLiteral("WBCCI Service net");
    case StationSource::Spreadsheet:
        return QStringLiteral("ARC ROSTER");
    case StationSource::Fcc:
        return QStringLiteral("FCC");
    }
    return QString();
}

QString StationDirectory::chapterText(ChapterStatus status)
{
    switch (status) {
    case ChapterStatus::Member:
        return QStringLiteral("ARC MEMBER");
    case ChapterStatus::NotPaid:
        return QStringLiteral("NOT PAID ARC MEMBER");
    case ChapterStatus::Unknown:
        break;
    }
    return QString();
}

// ---- one suggestion ----

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
        exact();
        m_seen.push_back(m_text);
        // Calls of the rosters and spreadsheet that begin with the text.
        std::vector<const Call*> local;
        const auto before = [](const Call& c, const std::string& t) { return c.call < t; };
        for (auto it = std::lower_bound(calls().begin(), calls().end(), m_text, before);
             it != calls().end() && it->call.starts_with(m_text); ++it)
            local.push_back(&*it);
        addLocal(local, MatchKind::Prefix);
        if (fccUsable() && !full()) {
            const auto [first, last] = m_index->prefixRange(m_text);
            for (std::size_t i = first; i < last && !full() && fccUsable(); ++i)
                addFcc(i, MatchKind::Prefix);
        }

        local.clear();
        for (const Call& c : calls())
            if (c.call.size() > m_text.size() && c.call.ends_with(m_text))
                local.push_back(&c);
        addLocal(local, MatchKind::Suffix);
        if (fccUsable() && !full())
            fccSuffix();

        if (m_text.size() >= 3) {
            local.clear();
            for (const Call& c : calls())
                if (withinOneEdit(c.call, m_text))
                    local.push_back(&c);
            addLocal(local, MatchKind::OneEdit);
            if (fccUsable() && !full())
                fccOneEdit();
        }
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
        row.fields = e.fields;
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
        QString last = QString::fromLatin1(record->lastName).trimmed();
        if (last.endsWith(QLatin1Char(',')))
            last.chop(1);
        row.name = joined(QString::fromLatin1(record->firstName), last);
        row.city = QString::fromLatin1(record->city).trimmed();
        row.state = QString::fromLatin1(record->state).trimmed();
        row.record = m_index->offset(i);
        // As the FCC page shows a record: blank texts first, spouse fields stay blank.
        row.fields = blankFields();
        row.fields.call = QString::fromLatin1(record->call);
        row.fields.lastName = QString::fromLatin1(record->lastName);
        row.fields.firstName = QString::fromLatin1(record->firstName);
        row.fields.city = QString::fromLatin1(record->city);
        row.fields.state = QString::fromLatin1(record->state);
        return row;
    }

    void exact()
    {
        std::size_t before = m_rows.size();
        const Call* local = d.findCall(m_text);
        const unsigned fcc = fccBit(m_text);
        const unsigned sources = (local ? local->sources : 0u) | fcc;
        if (local)
            for (std::uint32_t k = 0; k < local->count && !full(); ++k)
                m_rows.push_back(localRow(d.m_entries[local->first + k], sources, MatchKind::Exact));
        if (fcc && !full())
            if (auto row = fccRow(*m_index->find(m_text), sources, MatchKind::Exact))
                m_rows.push_back(std::move(*row));
        if (m_rows.size() == before && !local && looksLikeCallSign(m_text)) {
            StationRow row;
            row.match = MatchKind::NewStation;
            row.call = QString::fromLatin1(m_text);
            row.fields.call = row.call;
            m_rows.push_back(std::move(row));
        }
    }

    // Rows for calls of the rosters and spreadsheet, each from its first source; by that
    // source, then by call.
    void addLocal(std::vector<const Call*>& calls, MatchKind match)
    {
        std::erase_if(calls, [this](const Call* c) { return seen(c->call); });
        std::stable_sort(calls.begin(), calls.end(), [this](const Call* a, const Call* b) {
            const auto sa = d.m_entries[a->first].source;
            const auto sb = d.m_entries[b->first].source;
            return sa != sb ? sa < sb : a->call < b->call;
        });
        for (const Call* c : calls) {
            if (full())
                return;
            m_seen.push_back(c->call);
            m_rows.push_back(localRow(d.m_entries[c->first], c->sources | fccBit(c->call), match));
        }
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
            m_rows.push_back(std::move(*row));
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
};

std::vector<StationRow> StationDirectory::suggest(const QString& text, int limit) const
{
    const auto call = normaliseCallText(text);
    if (!call || limit <= 0)
        return {};
    return Query(*this, *call, limit).run();
}

QString StationDirectory::shortSourceText(StationSource source)
{
    static const char* const names[] = { "ARC", "RV", "REG", "WBCCI", "SHEET", "FCC" };
    return QString::fromLatin1(names[int(source)]);
}
