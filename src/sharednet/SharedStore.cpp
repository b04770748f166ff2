#include "sharednet/SharedStore.h"

#include <QDateTime>

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
    if (!journal.ok())
        return journal.problem();
    return box ? box->problem() : QString();
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
    c.entry.loggedBy = record ? record->operatorCall : QString();
    return outbox().enqueue(c);
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
                || !outbox().writeEntry(net, e, marksUnsaved))
                return queued(false);
            return true;
        } else {
            OutboxChange c;
            c.localNet = net;
            c.uid = NetOutbox::newUid();
            c.kind = QStringLiteral("add");
            c.lineUid = c.uid;
            c.entry = e;
            c.utcMs = e.utcMs;
            if (!queued(outbox().recordLine(net, e.seq, c.uid, &c)))
                return false;
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
        const QString uid = outbox().uidOf(net, seq);
        const std::int64_t now = deletedUtcMs.value_or(QDateTime::currentMSecsSinceEpoch());
        if (!uid.isEmpty()
            && !queued(queue(
                net, deletedUtcMs ? QStringLiteral("delete") : QStringLiteral("restore"), uid, {}, now)))
            return false;
    }
    return journal.setDeleted(net, seq, deletedUtcMs, marksUnsaved);
}

bool SharedStore::setStatus(std::int64_t net, std::int64_t seq, const QString& status)
{
    if (net == shared && remote)
        return outbox().writeStatus(net, seq, status) || queued(false);
    if (net == shared) {
        const QString uid = outbox().uidOf(net, seq);
        if (!uid.isEmpty()
            && !queued(
                queue(net, QStringLiteral("status"), uid, status, QDateTime::currentMSecsSinceEpoch())))
            return false;
    }
    return journal.setStatus(net, seq, status);
}

bool SharedStore::addIdentification(std::int64_t net, std::int64_t utcMs)
{
    if (net == shared && remote)
        return outbox().writeIdentification(net, utcMs) || queued(false);
    if (net == shared && !queued(queue(net, QStringLiteral("ident"), {}, {}, utcMs)))
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
