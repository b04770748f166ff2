#pragma once
// The store of the check-in list, chosen once when the list is made: every change goes to
// the local journal, and while the list's net is shared one made by this operator is first
// put in the outbox with a unique id, so it survives a kill and reaches the server once.
// Changes that came from the server go to the journal only. The outbox is opened in the
// journal's file the first time a net is shared.
#include "checkin/CheckInStore.h"
#include "journal/NetJournal.h"
#include "journal/NetOutbox.h"

#include <functional>
#include <map>
#include <memory>

class SharedStore : public CheckInStore {
public:
    explicit SharedStore(NetJournal& journal);
    ~SharedStore() override;

    NetJournal& journalStore() { return journal; }
    // The outbox in the journal's file, opened the first time it is asked for.
    NetOutbox& outbox();

    // The local net that is shared; changes of other nets pass straight to the journal.
    void setSharedNet(std::int64_t localNet) { shared = localNet; }
    // Told after every change put in the outbox.
    void setOnQueued(std::function<void()> f) { onQueued = std::move(f); }

    // While one lives, the store writes changes that came from the server: a new line gets
    // the server's id uid.
    class Remote {
    public:
        Remote(SharedStore& store, const QString& uid) : store(store)
        {
            store.remote = true;
            store.remoteUid = uid;
        }
        ~Remote()
        {
            store.remote = false;
            store.remoteUid.clear();
        }

    private:
        SharedStore& store;
    };

    // A shared net's changes are still taken when the disk fails: those the outbox cannot
    // hold are kept here in memory and sent from here, so none is lost or left unsent.
    bool keepsChangesWhenFailing() const override { return shared != 0; }
    // The changes kept in memory, oldest first, and the one the server now has.
    const std::vector<OutboxChange>& unsent() const { return memory; }
    void forgetUnsent(const QString& uid);
    // After writes failed: opens the journal again and tries a write that changes nothing;
    // true when the disk takes changes again.
    bool recover();
    // A line shown and known by its id, but kept in memory only (the disk failed).
    bool inMemoryOnly(std::int64_t seq) const { return memoryLines.count(seq) != 0; }
    void forgetMemoryLine(std::int64_t seq) { memoryLines.erase(seq); }
    // A line from the server whose write was undone (its batch could not be committed).
    void keepLine(std::int64_t seq, const QString& uid)
    {
        memoryLines[seq] = uid;
        outboxFailed = true;
    }
    bool hasUnsent(const QString& lineUid) const;
    // The line's server id and its place in the list, from the outbox or from memory.
    QString uidOf(std::int64_t net, std::int64_t seq);
    std::int64_t seqOf(std::int64_t net, const QString& uid);

    bool ok() const override { return journal.ok() && (shared == 0 || (box && box->ok() && !outboxFailed)); }
    QString problem() const override;
    std::int64_t beginNet(std::int64_t utcMs) override { return journal.beginNet(utcMs); }
    bool append(std::int64_t net, const JournalEntry& entry, bool marksUnsaved) override;
    bool setDeleted(std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs,
        bool marksUnsaved) override;
    bool setStatus(std::int64_t net, std::int64_t seq, const QString& status) override;
    bool setSaved(std::int64_t net, std::int64_t utcMs) override { return journal.setSaved(net, utcMs); }
    bool setDiscarded(std::int64_t net) override { return journal.setDiscarded(net); }
    bool addIdentification(std::int64_t net, std::int64_t utcMs) override;
    std::vector<JournalEntry> entries(std::int64_t net) override;
    int highestNumber(std::int64_t net) override { return journal.highestNumber(net); }
    std::int64_t lastSeq(std::int64_t net) override { return journal.lastSeq(net); }
    std::vector<std::int64_t> identifications(std::int64_t net) override
    {
        return journal.identifications(net);
    }

private:
    bool queue(std::int64_t net, const QString& kind, const QString& lineUid, const QString& value,
        std::int64_t utc);
    bool queued(bool good);
    // Keeps a change the outbox could not take; false, as the change is not durable.
    bool keep(const OutboxChange& change, std::int64_t seq);
    NetJournal& journal;
    std::unique_ptr<NetOutbox> box;
    std::int64_t shared = 0;
    bool remote = false;
    QString remoteUid;
    bool outboxFailed = false;
    QString operatorCall;
    std::function<void()> onQueued;
    std::vector<OutboxChange> memory;
    std::map<std::int64_t, QString> memoryLines; // seq -> the line's server id, for lines kept here
};
