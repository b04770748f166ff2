#pragma once
// The journal's side of a shared net, in the journal's own file: which local net is shared
// on which server, the server's id of each line, and the outbox of changes not yet sent.
//
// A change is written here before the journal shows it, and stays until the server has it:
// after a kill or a power cut the next start sends whatever is left. Every change carries a
// unique id made here, so a change sent twice is applied once by the server.
#include "checkin/CheckIn.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
namespace outbox_sql {
class StatementCache;
}

// One local net that is shared. The connection string is kept without any password.
struct SharedNetRecord {
    std::int64_t localNet = 0;
    QString conninfo;
    std::int64_t serverNet = 0; // 0 until the server has the net
    QString shareUid; // the id of the share itself, so sharing twice opens one net
    QString name;
    QString operatorCall;
    std::int64_t lastChange = 0; // the last server change applied here
};

// One change waiting for the server (or sent, kept so its echo is known as ours).
struct OutboxChange {
    std::int64_t id = 0; // order of the outbox
    std::int64_t localNet = 0;
    QString uid; // unique id of the change; for an "add" also the line's id
    QString kind; // add, delete, restore, status, ident, close
    QString lineUid; // the line changed, empty for ident and close
    QString value; // the status
    JournalEntry entry; // the line, for an add
    std::int64_t utcMs = 0;
};

class NetOutbox {
public:
    // Opens the journal's file a second time (the journal keeps its own connection).
    explicit NetOutbox(const QString& journalFile);
    ~NetOutbox();
    NetOutbox(const NetOutbox&) = delete;
    NetOutbox& operator=(const NetOutbox&) = delete;

    bool ok() const { return db != nullptr; }
    QString problem() const { return problemText; }

    static QString newUid();

    bool saveNet(const SharedNetRecord& net);
    std::optional<SharedNetRecord> net(std::int64_t localNet);
    bool setServerNet(std::int64_t localNet, std::int64_t serverNet);
    bool setLastChange(std::int64_t localNet, std::int64_t changeId);

    // The line's server id beside its place in the journal, and the change that tells the
    // server, in one transaction. change may be null (a line that came from the server).
    bool recordLine(std::int64_t localNet, std::int64_t seq, const QString& uid, const OutboxChange* change);
    bool enqueue(const OutboxChange& change);
    std::vector<OutboxChange> pending(std::int64_t localNet);
    bool markSent(std::int64_t id);
    // The server refused the change for good (a closed net, no right): it is not sent again.
    bool markRefused(std::int64_t id, const QString& why);
    int waiting(std::int64_t localNet);
    bool hasPending(std::int64_t localNet, const QString& lineUid);
    bool isOurs(const QString& changeUid);

    QString uidOf(std::int64_t localNet, std::int64_t seq);
    std::int64_t seqOf(std::int64_t localNet, const QString& uid);
    bool isProvisional(std::int64_t localNet, std::int64_t seq);
    // The server's number for a line (and who logged it and its time, when given), in the
    // journal and here.
    bool confirmNumber(std::int64_t localNet, std::int64_t seq, int number,
        const QString& loggedBy = QString(), std::optional<std::int64_t> utcMs = std::nullopt);
    // The time an own change carries here (the local clock's until the server's replaces it).
    std::optional<std::int64_t> changeTime(const QString& changeUid);
    // An own identification takes the server's time: in the journal and in its change here.
    bool moveIdentification(
        std::int64_t localNet, const QString& changeUid, std::int64_t from, std::int64_t to);
    // The journal's net begins when the server opened it.
    bool setNetStarted(std::int64_t localNet, std::int64_t utcMs);

    // Changes that came from the server, applied together: one transaction, without waiting
    // for the disk, as the server still has them and the last change applied is kept in the
    // same transaction (NetOutboxJournal.cpp). The journal's own connection must not write
    // while a batch is open.
    bool beginBatch();
    bool commitBatch();
    bool inBatch() const { return batch; }
    bool writeEntry(std::int64_t net, const JournalEntry& entry, bool marksUnsaved);
    bool writeDeleted(
        std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs, bool marksUnsaved);
    bool writeStatus(std::int64_t net, std::int64_t seq, const QString& status);
    bool writeIdentification(std::int64_t net, std::int64_t utcMs);

private:
    bool markUnsaved(std::int64_t net);
    bool begin();
    bool commit(bool good);
    bool batch = false;
    bool exec(const char* sql);
    void fail(const char* what);
    QString problemText;
    sqlite3* db = nullptr;
    std::unique_ptr<outbox_sql::StatementCache> statements;
};
