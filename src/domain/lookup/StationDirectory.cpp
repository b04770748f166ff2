// The sources of the station directory: the club rosters and the spreadsheet read as the
// roster catalog describes them, and how sources are named for the operator.
#include "lookup/StationDirectory.h"

#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"
#include "roster/RosterStation.h"

#include <algorithm>

namespace {

QString joined(const QString& a, const QString& b)
{
    return (a.trimmed() + QLatin1Char(' ') + b.trimmed()).trimmed();
}

bool hasDigit(std::string_view call)
{
    return std::any_of(call.begin(), call.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The catalog's roster of a roster source; null for the spreadsheet and the FCC file.
const ClubRoster* catalogRoster(StationSource source)
{
    const auto rosters = clubRosters();
    const auto i = std::size_t(source);
    return i < rosters.size() ? &rosters[i] : nullptr;
}

} // namespace

// ---- the sources ----

void StationDirectory::addEntries(std::vector<Entry>& entries, std::vector<Entry>& spouses,
    StationSource source, qint64 record, Station member)
{
    using F = StationField;
    const auto call = normaliseCallText(member.call());
    if (call && hasDigit(*call)) {
        Entry e { *call, source, record, joined(member.text(F::FirstName), member.text(F::LastName)),
            member.text(F::City), member.text(F::State), member, false };
        entries.push_back(std::move(e));
    }
    const auto spouseCall = normaliseCallText(member.text(F::SpouseCall));
    if (!spouseCall || !hasDigit(*spouseCall) || spouseCall == call)
        return;
    Station spouse(member.source(), member.origin());
    spouse.set(F::Call, member.text(F::SpouseCall));
    const auto copy = [&](F from, F to) {
        if (member.has(from))
            spouse.set(to, member.text(from));
    };
    copy(F::SpouseName, F::FirstName);
    copy(F::LastName, F::LastName);
    copy(F::FirstName, F::SpouseName);
    copy(F::Call, F::SpouseCall);
    copy(F::City, F::City);
    copy(F::State, F::State);
    Entry e { *spouseCall, source, record, joined(spouse.text(F::FirstName), spouse.text(F::LastName)),
        spouse.text(F::City), spouse.text(F::State), std::move(spouse), true };
    spouses.push_back(std::move(e));
}

void StationDirectory::setRoster(StationSource roster, const RosterTable& table)
{
    const ClubRoster* description = catalogRoster(roster);
    if (!description)
        return;
    std::vector<Entry>& entries = m_bySource[std::size_t(roster)];
    entries.clear();
    const RosterColumns columns = rosterColumns(*description, table, description->fields);
    if (columns.key < 0) {
        rebuild();
        return;
    }
    std::vector<Entry> spouses;
    for (int r = description->wholeFromSecond ? 1 : 0; r < table.recordCount(); ++r)
        addEntries(entries, spouses, roster, r, rosterStation(*description, columns, table.record(r)));
    entries.insert(entries.end(), spouses.begin(), spouses.end());
    rebuild();
}

void StationDirectory::setSpreadsheet(const QList<QStringList>& rows)
{
    std::vector<Entry>& entries = m_bySource[std::size_t(StationSource::Spreadsheet)];
    entries.clear();
    m_sheetHasMembers = rows.size() > 1;
    const RosterSheet& sheet = rosterSheet();
    std::vector<Entry> spouses;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        // A station as a click on its grid line fills the fields.
        Station member(CheckInSource::Spreadsheet, sourceText(StationSource::Spreadsheet));
        for (const SheetField& f : sheet.gridFields)
            member.set(f.field, row.value(f.column));
        addEntries(entries, spouses, StationSource::Spreadsheet, r, std::move(member));
    }
    entries.insert(entries.end(), spouses.begin(), spouses.end());
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
    if (const ClubRoster* roster = catalogRoster(source))
        return QString::fromLatin1(roster->label);
    switch (source) {
    case StationSource::Spreadsheet:
        return QStringLiteral("ARC ROSTER");
    case StationSource::Fcc:
        return QStringLiteral("FCC");
    default:
        return QString();
    }
}

QString StationDirectory::shortSourceName(StationSource source)
{
    switch (source) {
    case StationSource::ArcRoster:
        return QStringLiteral("ARC");
    case StationSource::RvRoster:
        return QStringLiteral("RV");
    case StationSource::RegularRoster:
        return QStringLiteral("REG");
    case StationSource::WbcciRoster:
        return QStringLiteral("WBCCI");
    case StationSource::Spreadsheet:
        return QStringLiteral("SHEET");
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
