#include "sharednet/SharedStore.h"

#include <QDateTime>

#include <algorithm>

SharedStore::SharedStore(NetJournal& journal) : journal(journal) { }

SharedStore::~SharedStore() = default;

NetOutbox& SharedStore::outbox()
{
    if (!box)
        box = std::make_unique<NetOutbox>(journal.path());
    return *box;
}

QString SharedStore::problem() const
{
    QString text = !journal.ok() ? journal.problem() : box ? box->problem() : QString();
    if (shared != 0 && !text.isEmpty())
        text += QStringLiteral("\nLines logged now are kept in memory only and are not yet sent to the "
                               "other operators; they are sent from memory as soon as the server answers.");
    return text;
}

bool SharedStore::keep(const OutboxChange& change, std::int64_t seq)
{
    memory.push_back(change);
    if (seq)
        memoryLines[seq] = change.lineUid;
    outboxFailed = true;
    if (onQueued)
        onQueued();
    return false;
}

void SharedStore::forgetUnsent(const QString& uid)
{
    memory.erase(
        std::remove_if(memory.begin(), memory.end(), [&](const OutboxChange& c) { return c.uid == uid; }),
        memory.end());
}

bool SharedStore::recover()
{
    if (!journal.reopen())
        return false;
    if (shared != 0) {
        // The last change kept is written over with itself: a write the disk must take.
        if (!outbox().ok() || !outbox().setLastChange(shared, 0))
            return false;
        outboxFailed = false;
    }
    return true;
}

bool SharedStore::hasUnsent(const QString& lineUid) const
{
    return std::any_of(
        memory.begin(), memory.end(), [&](const OutboxChange& c) { return c.lineUid == lineUid; });
}

QString SharedStore::uidOf(std::int64_t net, std::int64_t seq)
{
    const auto kept = memoryLines.find(seq);
    if (net == shared && kept != memoryLines.end())
        return kept->second;
    return outbox().uidOf(net, seq);
}

std::int64_t SharedStore::seqOf(std::int64_t net, const QString& uid)
{
    const std::int64_t seq = outbox().seqOf(net, uid);
    if (seq || net != shared)
        return seq;
    for (const auto& [line, lineUid] : memoryLines)
        if (lineUid == uid)
            return line;
    return 0;
}

bool SharedStore::queued(bool good)
{
    // The outbox is the promise that a change reaches the others: when it cannot be written
    // the list is told it is no longer protected, as for the journal.
    if (!good)
        outboxFailed = true;
    else if (onQueued)
        onQueued();
    return good;
}

bool SharedStore::queue(
    std::int64_t net, const QString& kind, const QString& lineUid, const QString& value, std::int64_t utc)
{
    OutboxChange c;
    c.localNet = net;
    c.uid = NetOutbox::newUid();
    c.kind = kind;
    c.lineUid = lineUid;
    c.value = value;
    c.utcMs = utc;
    const auto record = outbox().net(net);
    c.entry.loggedBy = record ? record->operatorCall : operatorCall;
    if (record)
        operatorCall = record->operatorCall;
    return queued(outbox().enqueue(c)) || keep(c, 0);
}

bool SharedStore::append(std::int64_t net, const JournalEntry& e, bool marksUnsaved)
{
    if (net == shared && !e.dateLine) {
        // The outbox first: a kill between the two leaves a change that is sent and comes
        // back from the server, never a line the others do not get.
        if (remote) {
            // A line from the server goes to the journal's file through the outbox, in the
            // transaction of its catch-up.
            if (!outbox().recordLine(net, e.seq, remoteUid, nullptr)
                || !outbox().writeEntry(net, e, marksUnsaved)) {
                // Shown all the same, and known by its id when the server changes it again.
                memoryLines[e.seq] = remoteUid;
                return queued(false);
            }
            return true;
        } else {
            OutboxChange c;
            c.localNet = net;
            c.uid = NetOutbox::newUid();
            c.kind = QStringLiteral("add");
            c.lineUid = c.uid;
            c.entry = e;
            c.utcMs = e.utcMs;
            if (!queued(outbox().recordLine(net, e.seq, c.uid, &c))) {
                keep(c, e.seq);
                if (journal.ok())
                    journal.append(net, e, marksUnsaved);
                return false;
            }
        }
    }
    return journal.append(net, e, marksUnsaved);
}

bool SharedStore::setDeleted(
    std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs, bool marksUnsaved)
{
    if (net == shared && remote)
        return outbox().writeDeleted(net, seq, deletedUtcMs, marksUnsaved) || queued(false);
    if (net == shared) {
        const QString uid = uidOf(net, seq);
        const std::int64_t now = deletedUtcMs.value_or(QDateTime::currentMSecsSinceEpoch());
        if (!uid.isEmpty()
            && !queue(net, deletedUtcMs ? QStringLiteral("delete") : QStringLiteral("restore"), uid, {}, now))
            return false;
    }
    return journal.setDeleted(net, seq, deletedUtcMs, marksUnsaved);
}

bool SharedStore::setStatus(std::int64_t net, std::int64_t seq, const QString& status)
{
    if (net == shared && remote)
        return outbox().writeStatus(net, seq, status) || queued(false);
    if (net == shared) {
        const QString uid = uidOf(net, seq);
        if (!uid.isEmpty()
            && !queue(net, QStringLiteral("status"), uid, status, QDateTime::currentMSecsSinceEpoch()))
            return false;
    }
    return journal.setStatus(net, seq, status);
}

bool SharedStore::addIdentification(std::int64_t net, std::int64_t utcMs)
{
    if (net == shared && remote)
        return outbox().writeIdentification(net, utcMs) || queued(false);
    if (net == shared && !queue(net, QStringLiteral("ident"), {}, {}, utcMs))
        return false;
    return journal.addIdentification(net, utcMs);
}

std::vector<JournalEntry> SharedStore::entries(std::int64_t net)
{
    std::vector<JournalEntry> out = journal.entries(net);
    if (net == shared)
        for (JournalEntry& e : out)
            e.provisional = !e.dateLine && outbox().isProvisional(net, e.seq);
    return out;
}
