#pragma once
// The net journal: every change to the check-in list is written to an SQLite database,
// synchronously, before the list shows it. After a crash, a power cut or a kill the next
// start finds the net that was neither saved nor discarded and can rebuild it line for line.
// The journal also keeps every net, for attendance and reports.
#include "checkin/CheckInStore.h"
#include "report/Attendance.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A net that was left neither saved nor discarded.
struct PendingNet {
    std::int64_t id = 0;
    std::int64_t startedUtcMs = 0;
    int checkIns = 0;
};

class NetJournal : public CheckInStore {
public:
    // Opens (or creates) "journal.sqlite" in folder. A file that is not a sound database is
    // renamed aside, never deleted, and a new journal is started. Never throws: when the
    // journal cannot be used, ok() is false and problem() says why.
    explicit NetJournal(const QString& folder);
    ~NetJournal();
    NetJournal(const NetJournal&) = delete;
    NetJournal& operator=(const NetJournal&) = delete;

    bool ok() const override { return db != nullptr; }
    // Opens the file again after a write failed and stopped the journal (a disk that was full
    // has room again); true when it is open.
    bool reopen();
    QString path() const { return filePath; }
    // Why the journal failed, or a note about a damaged file kept aside; empty otherwise.
    QString problem() const override { return problemText; }
    // The name a damaged file was kept under, empty when none was found.
    QString keptAside() const { return keptAsideName; }
    // What could be read back from a damaged file into the new journal.
    struct Salvaged {
        int nets = 0;
        int checkIns = 0;
    };
    Salvaged salvaged() const { return salvage; }

    // Each change is one durable transaction; marksUnsaved also marks the net unsaved (only
    // needed when it was saved before, which spares a page write per check-in). False when it could not be
    // written; the journal then stops (ok() becomes false) and problem() tells why.
    std::int64_t beginNet(std::int64_t utcMs) override; // returns the new net's id, 0 on failure
    bool append(std::int64_t net, const JournalEntry& entry, bool marksUnsaved) override;
    bool setDeleted(std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs,
        bool marksUnsaved) override;
    bool setStatus(std::int64_t net, std::int64_t seq, const QString& status) override;
    bool setSaved(std::int64_t net, std::int64_t utcMs) override;
    bool setDiscarded(std::int64_t net) override;
    bool markUnsaved(std::int64_t net);
    bool addIdentification(std::int64_t net, std::int64_t utcMs) override;
    // The call of the net's control station, as the operator gave it.
    bool setControlCall(std::int64_t net, const QString& call);
    QString controlCall(std::int64_t net);
    // The file the net's check-ins were saved to; the latest of any net, empty for none.
    bool setSavedFile(std::int64_t net, const QString& file);
    QString lastSavedFile();

    // Reading back.
    std::optional<PendingNet> pendingNet();
    std::vector<JournalEntry> entries(std::int64_t net) override; // lines still in the list, in order
    int highestNumber(std::int64_t net) override; // over every check-in ever given, deleted ones too
    std::int64_t lastSeq(std::int64_t net) override; // over every line ever added, deleted ones too
    std::vector<std::int64_t> identifications(std::int64_t net) override;
    std::int64_t netStarted(std::int64_t net);

    // Attendance: how many of the last `lastNets` nets (with check-ins) the station checked
    // into, and the time of its last check-in; {0, 0} when none. A station is its identity
    // (stationIdentity: trimmed, upper-cased call); discarded nets never count.
    using Recent = RecentAttendance;
    Recent recentAttendance(const QString& call, int lastNets);
    // Every station (by identity, in its order) with check-ins in nets started between the two
    // instants (inclusive), discarded nets left out.
    std::vector<Attendance> attendance(std::int64_t fromUtcMs, std::int64_t toUtcMs);

    // For tests and tools: runs one SQL statement, false on error.
    bool exec(const char* sql);
    // For tests and tools: the first value a statement gives on the journal's own
    // connection (e.g. "PRAGMA synchronous"), empty when it gives none.
    QString queryText(const char* sql);

private:
    enum class Opened { Ok, Damaged, Failed };
    Opened openAt(const QString& file);
    bool prepareStatements();
    void fail(const char* what);
    void close();
    sqlite3_stmt* statement(const char* sql);
    bool run(sqlite3_stmt* st);
    // One statement of its own transaction with the values bound in order; a failure stops the journal.
    bool write(const char* sql, std::initializer_list<std::int64_t> values);
    bool written(bool good);
    // The first column of the first row, 0 when there is none.
    std::int64_t scalar(const char* sql, std::int64_t value);

    QString filePath;
    QString problemText;
    QString keptAsideName;
    Salvaged salvage;
    sqlite3* db = nullptr;
    std::vector<std::pair<const char*, sqlite3_stmt*>> cache;
};
