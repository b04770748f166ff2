#pragma once
// One directory of the stations of every source the net page knows: the four club
// rosters, the chapter roster spreadsheet and, once its call index is ready, the FCC
// licence file. The quick call box asks it for the stations that match what the
// operator has typed so far. No widgets here.
//
// Rosters and spreadsheet are copied in when they are given (a few hundred stations
// each); the licence file stays on disk behind its call index, and only the records of
// the rows asked for are read.
#include "checkin/Station.h"
#include "licence/FccIndexLoader.h"
#include "lookup/CallText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class RosterTable;

// Where a station's record comes from, in the order rows of one kind are listed: the four
// club rosters in the order of the roster catalog, the spreadsheet, the FCC file.
enum class StationSource : std::uint8_t { ArcRoster, RvRoster, RegularRoster, WbcciRoster, Spreadsheet, Fcc };
inline constexpr int kStationSources = 6;
inline constexpr unsigned sourceBit(StationSource source)
{
    return 1u << unsigned(source);
}

// Whether a station is a paid member of the chapter, as the roster spreadsheet tells:
// a call on the spreadsheet is a member; a call on the ARC roster but not on the
// spreadsheet has not paid. Unknown for other calls, and for all while no spreadsheet
// with members is loaded.
enum class ChapterStatus : std::uint8_t { Unknown, Member, NotPaid };

// How a row matches the typed text (see suggest for the order of the rows).
enum class MatchKind : std::uint8_t {
    Exact, // the call is the text
    NewStation, // the text has the shape of a call and no source holds it; after the nearest station
    Prefix, // the call begins with the text
    Suffix, // the call ends with the text
    OneEdit, // "did you mean": one character changed, missing or added, or two swapped
};

struct StationRow {
    MatchKind match = MatchKind::Exact;
    StationSource source = StationSource::Fcc; // not used for a new station
    ChapterStatus chapter = ChapterStatus::Unknown;
    unsigned sources = 0; // sourceBit() of every source that holds the call
    QString call; // capitals, as matched
    QString name; // first name and last name, or the name the source has
    QString city;
    QString state;
    // Which record: for a roster, its number in table order (0 is the first); for the
    // spreadsheet, its row (1 is the first member, 0 the header row); for the FCC
    // file, where its line starts in the file. -1 for a new station.
    qint64 record = -1;
    // The call is the spouse call of that record: the station is the member's spouse.
    bool spouse = false;
    // The chosen station, for SELECTED CALL and the check-in: the fields the source's own
    // look-up fills (a roster's field map, the grid's columns, the FCC record), trimmed, the
    // call in capitals; a field the source does not have is left unset. Its source is Roster,
    // Spreadsheet, Fcc, or Manual for a new station; its origin the roster's label, "ARC
    // ROSTER", "FCC" or "new".
    Station station;
};

class StationDirectory {
public:
    // The roster's stations, read as the roster catalog describes the roster: from the
    // record its whole list starts with (a placeholder first record is left out, as the
    // lists leave it out), its key column the call, its field map the station's fields.
    // Records whose call is no call (empty, holding blanks or punctuation, or without a
    // digit, as placeholder records are) are left out; a call listed twice is kept once,
    // with its first record. A roster with a spouse call in its map lists the spouse call
    // as a station too (see addEntries). A missing column leaves its field unset; without a
    // call column the roster adds nothing.
    void setRoster(StationSource roster, const RosterTable& table);
    // The roster spreadsheet as read: row 0 is the header row, every later row a member;
    // its columns as rosterSheet() describes them, spouse calls included.
    void setSpreadsheet(const QList<QStringList>& rows);
    // Where the FCC call index comes from; null for none. The directory asks it at every
    // suggestion, so rows from the licence file appear as soon as the index is ready.
    void setFccLoader(const FccIndexLoader* loader);
    // NoFile without a loader; else the loader's state. While it is Loading the
    // suggestions come from the rosters and the spreadsheet only.
    FccIndexLoader::State fccState() const;

    // At most limit rows for the typed text. When a source holds the call, its rows come
    // first, one per source. Then, by the directory's ranking:
    //  1. calls that begin with the text;
    //  2. calls that end with it;
    //  3. calls within one edit of it (texts of three characters or more).
    // A call is listed once, from the first source that holds it, and never again in a later
    // kind. Within one kind, the club's stations (the four rosters, then the spreadsheet) come
    // before the FCC file's, each alphabetically by call; and for a text of two characters or
    // more the club's calls that end with it come before the FCC calls that begin with it.
    // When no source holds the text, the first row is nearest(text), and when the text has
    // the shape of a call (looksLikeCallSign) the next row is a new station (MatchKind::
    // NewStation) for the call as typed, so that a second Enter checks it in. The text is
    // normalised first (normaliseCallText); a text that is no call gives no rows.
    std::vector<StationRow> suggest(const QString& text, int limit = 12) const;

    // Whether a source holds exactly this call (the FCC file only once its index is ready).
    bool isKnownCall(const QString& text) const;
    // How many calls of the club rosters and the spreadsheet begin or end with the text (the
    // text itself not counted), each call once whatever sources hold it; 0 for no call.
    int clubMatchCount(const QString& text) const;
    // The station the operator most likely meant by a call no source holds: the first of the
    // club's stations in the ranking above, else the first of the FCC file's. Nothing when a
    // source holds the call, when nothing is near, or when the text is no call.
    std::optional<StationRow> nearest(const QString& text) const;

    // How a row's source reads for the operator, in the texts the page already uses: the
    // roster's label, "ARC ROSTER", "FCC".
    static QString sourceText(StationSource source);
    // The short name a note gives a source: "ARC", "RV", "REG", "WBCCI", "SHEET", "FCC".
    static QString shortSourceName(StationSource source);
    // "ARC MEMBER", "NOT PAID ARC MEMBER", or empty.
    static QString chapterText(ChapterStatus status);

private:
    struct Entry {
        std::string call; // normalised
        StationSource source;
        qint64 record;
        QString name;
        QString city;
        QString state;
        Station station;
        bool spouse = false;
    };
    // One call of the rosters and spreadsheet: its entries lie together in m_entries,
    // in source order.
    struct Call {
        std::string call;
        std::uint32_t first;
        std::uint32_t count;
        unsigned sources;
    };
    class Query;

    void rebuild();
    // A member's entry and, when the record has a spouse call, the spouse's: that call, the
    // spouse's name as first name, the member's last name, city and state, and the member
    // as the spouse. Spouse entries go after every member entry of the source, so a spouse
    // who is a member in the same source is listed with their own record.
    void addEntries(std::vector<Entry>& entries, std::vector<Entry>& spouses, StationSource source,
        qint64 record, Station member);
    const Call* findCall(std::string_view call) const;
    ChapterStatus chapterOf(unsigned sources, StationSource source) const;

    std::array<std::vector<Entry>, kStationSources> m_bySource;
    bool m_sheetHasMembers = false;
    std::vector<Entry> m_entries; // by call, then source
    std::vector<Call> m_calls; // by call
    const FccIndexLoader* m_loader = nullptr;
};
