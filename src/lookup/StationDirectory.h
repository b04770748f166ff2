#pragma once
// One directory of the stations of every source the net page knows: the four club
// rosters, the chapter roster spreadsheet and, once its call index is ready, the FCC
// licence file. The quick call box asks it for the stations that match what the
// operator has typed so far. No widgets here.
//
// Rosters and spreadsheet are copied in when they are given (a few hundred stations
// each); the licence file stays on disk behind its call index, and only the records of
// the rows asked for are read.
#include "fcc/FccIndexLoader.h"
#include "lookup/CallText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class RosterTable;

// Where a station's record comes from, in the order rows of one kind are listed.
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

// How a row matches the typed text, in the order the kinds are listed.
enum class MatchKind : std::uint8_t {
    Exact, // the call is the text
    NewStation, // the text has the shape of a call and no source holds it
    Prefix, // the call begins with the text
    Suffix, // the call ends with the text
    OneEdit, // "did you mean": one character changed, missing or added, or two swapped
};

// The seven selected-call fields of the net page, as the row's source fills them.
struct SelectedCallFields {
    QString call; // editSelCALL
    QString firstName; // editSelFN
    QString lastName; // editSelLNAME
    QString spouseName; // editSelSFN
    QString spouseCall; // editSelSCALL
    QString city; // editSelCITY
    QString state; // editSelSTATE
    bool operator==(const SelectedCallFields&) const = default;
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
    // What the source's own look-up puts into the selected-call fields for this record:
    // a roster-line click (blank texts first, then the call as listed and the columns
    // of that roster), a grid click (columns 0, 1, 2, 5, 6, 11, 12) or the FCC page
    // (blank texts first, then the call after two blanks, last name with its comma,
    // first name, city, state). A new station carries its call alone.
    SelectedCallFields fields;
};

class StationDirectory {
public:
    // The roster's stations, from the record its whole list starts with (the
    // placeholder first record of the RV Radio and WBCCI tables is left out, as their
    // lists leave it out). Records whose call is no call (empty, holding blanks or
    // punctuation, or without a digit, as placeholder records are) are left out; a
    // call listed twice is kept once, with its first record. A missing column reads as
    // empty text; without a call column the roster adds nothing.
    void setRoster(StationSource roster, const RosterTable& table);
    // The roster spreadsheet as read: row 0 is the header row, every later row a member;
    // column 2 holds the call.
    void setSpreadsheet(const QList<QStringList>& rows);
    // Where the FCC call index comes from; null for none. The directory asks it at every
    // suggestion, so rows from the licence file appear as soon as the index is ready.
    void setFccLoader(const FccIndexLoader* loader);
    // NoFile without a loader; else the loader's state. While it is Loading the
    // suggestions come from the rosters and the spreadsheet only.
    FccIndexLoader::State fccState() const;

    // At most limit rows for the typed text, in this order:
    //  1. the stations whose call is the text, one row per source; or, when no source
    //     holds it and it has the shape of a call (looksLikeCallSign), a new station;
    //  2. calls that begin with the text;
    //  3. calls that end with it;
    //  4. calls within one edit of it (texts of three characters or more).
    // From 2 on, a call is listed once, from the first source that holds it, and never
    // again in a later kind. Within one kind, rows go by source (the four rosters,
    // then the spreadsheet, then the FCC file), then alphabetically by call. The text is
    // normalised first (normaliseCallText); a text that is no call gives no rows.
    std::vector<StationRow> suggest(const QString& text, int limit = 12) const;

    // How a row's source reads for the operator, in the texts the page already uses.
    static QString sourceText(StationSource source);
    // The short name a note gives the source: "ARC", "RV", "REG", "WBCCI", "SHEET", "FCC".
    static QString shortSourceText(StationSource source);
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
        SelectedCallFields fields;
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
    const Call* findCall(std::string_view call) const;
    ChapterStatus chapterOf(unsigned sources, StationSource source) const;

    std::array<std::vector<Entry>, kStationSources> m_bySource;
    bool m_sheetHasMembers = false;
    std::vector<Entry> m_entries; // by call, then source
    std::vector<Call> m_calls; // by call
    const FccIndexLoader* m_loader = nullptr;
};
