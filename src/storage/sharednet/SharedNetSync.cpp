// Sending what waits in the outbox and applying what the server has, for a shared net: the
// session's steps between the worker's answers.
#include "sharednet/SharedNetSession.h"

#include <algorithm>

namespace {
constexpr int batch = 2000;
}

void SharedNetSession::next()
{
    if (!isOnline() || m_out != Out::None || !outbox)
        return;
    const std::uint64_t ticket = m_ticket;
    const std::int64_t net = record.serverNet;
    // What this operator changed goes first; it waits in the outbox, in order, until sent.
    std::vector<OutboxChange> pending = outbox->pending(record.localNet);
    // Then those the disk could not take, from memory.
    if (pending.empty() && !store.unsent().empty())
        pending.push_back(store.unsent().front());
    if (!pending.empty()) {
        m_sending = pending.front();
        ask(Out::Send, [ticket, net, c = m_sending](SharedNetWorker* w) { w->send(ticket, net, c); });
        return;
    }
    if (m_readWanted) {
        m_readWanted = false;
        ask(Out::Read, [ticket, net, since = record.lastChange](SharedNetWorker* w) {
            w->read(ticket, net, since, batch);
        });
        return;
    }
    if (m_countWanted) {
        m_countWanted = false;
        ask(Out::Count, [ticket, net](SharedNetWorker* w) { w->countOperators(ticket, net); });
        return;
    }
    if (m_state == State::CatchingUp) {
        m_state = State::Live;
        emit stateChanged();
    }
}

void SharedNetSession::sent(const SharedNetAnswer& a)
{
    answerTimer.stop();
    m_out = Out::None;
    const OutboxChange& c = m_sending;
    const SharedNetServer::SendResult& sent = a.sent;
    if (sent.state == SharedNetServer::Sent::Lost) {
        goOffline(sent.message);
        return;
    }
    const bool inMemory = c.id == 0;
    if (inMemory)
        store.forgetUnsent(c.uid);
    if (sent.state == SharedNetServer::Sent::Refused) {
        if (!inMemory)
            outbox->markRefused(c.id, sent.message);
        report(QStringLiteral("The server refused a change: %1").arg(sent.message));
    } else if (inMemory) {
        // Never written here: its number goes to the list alone, and a restart reads the
        // line back from the server.
        if (c.kind == QLatin1String("add") && sent.number > 0)
            list.confirmNumber(c.entry.seq, sent.number, c.entry.loggedBy);
    } else {
        // Sent and numbered in one transaction; lost, the change is only sent again.
        outbox->beginBatch();
        outbox->markSent(c.id);
        const std::int64_t seq
            = c.kind == QLatin1String("add") ? outbox->seqOf(record.localNet, c.lineUid) : 0;
        const bool numbered = seq && sent.number > 0
            && outbox->confirmNumber(record.localNet, seq, sent.number, c.entry.loggedBy);
        outbox->commitBatch();
        if (numbered)
            list.confirmNumber(seq, sent.number, c.entry.loggedBy);
    }
    // Kept by the server, so never shown as refused: only its number could not be used.
    if (sent.state == SharedNetServer::Sent::Done && !sent.message.isEmpty())
        report(sent.message);
    watchJournal();
    emit stateChanged();
    next();
}

void SharedNetSession::readDone(const SharedNetAnswer& a)
{
    answerTimer.stop();
    m_out = Out::None;
    if (!a.ok) {
        if (a.lost) {
            goOffline(a.message);
            return;
        }
        report(a.message);
        next();
        return;
    }
    applyBatch(a.changes);
    if (int(a.changes.size()) >= batch)
        m_readWanted = true;
    emit stateChanged();
    next();
}

void SharedNetSession::applyBatch(const std::vector<ServerChange>& changes)
{
    if (changes.empty())
        return;
    // One transaction for the lot, with the last change applied: a crash keeps all of it or
    // none, and none is read again.
    QStringList setAside;
    // Many rows (a long catch-up) are shown as one new list rather than row by row.
    const bool many = changes.size() >= 200;
    if (many)
        list.beginBulk();
    outbox->beginBatch();
    for (const ServerChange& c : changes) {
        // An operator not seen before may have joined since the count: it is counted again.
        // Otherwise the count is read with the poll, not after every notification.
        if (!c.line.loggedBy.isEmpty() && !m_callers.contains(c.line.loggedBy)) {
            m_callers.insert(c.line.loggedBy);
            m_countWanted = true;
        }
        if (!c.unusable.isEmpty()) {
            // One row that cannot be used stops nothing: it is left out, and the net goes on.
            setAside << (c.line.call.isEmpty()
                    ? QStringLiteral("change %1: %2").arg(c.id).arg(c.unusable)
                    : QStringLiteral("change %1 (%2): %3").arg(c.id).arg(c.line.call, c.unusable));
            continue;
        }
        apply(c);
    }
    record.lastChange = changes.back().id;
    outbox->setLastChange(record.localNet, record.lastChange);
    if (!outbox->commitBatch()) {
        // The lines this batch added are shown but not in the file: known from memory.
        for (const auto& [seq, uid] : m_added)
            store.keepLine(seq, uid);
        report(outbox->problem());
    } else
        for (const std::int64_t seq : m_written)
            store.forgetMemoryLine(seq);
    m_written.clear();
    m_added.clear();
    if (many)
        list.endBulk();
    watchJournal();
    if (setAside.size() == 1)
        report(QStringLiteral("The server sent a change that cannot be right (%1). It was set aside; the "
                              "rest of the net goes on.")
                   .arg(setAside.first()));
    else if (!setAside.isEmpty())
        report(
            QStringLiteral("The server sent a change that cannot be right, and %1 more (%2). They were set "
                           "aside; the rest of the net goes on.")
                .arg(setAside.size() - 1)
                .arg(setAside.join(QStringLiteral("; "))));
}

void SharedNetSession::apply(const ServerChange& c)
{
    if (c.kind == QLatin1String("close")) {
        if (!closed) {
            closed = true;
            emit netClosed();
        }
    } else if (c.kind == QLatin1String("ident")) {
        if (c.id <= m_rewriteUpTo && !outbox->isOurs(c.uid)) {
            // Read again after the disk failed: the list has it, the journal perhaps not.
            const auto kept = journal.identifications(record.localNet);
            if (std::find(kept.begin(), kept.end(), c.utcMs) == kept.end())
                outbox->writeIdentification(record.localNet, c.utcMs);
        } else if (!outbox->isOurs(c.uid)) {
            SharedStore::Remote remote(store, c.uid);
            list.applyRemoteIdentification(c.utcMs);
        } else if (const auto local = outbox->changeTime(c.uid); local && *local != c.utcMs) {
            // An own identification: the time is the server's, as on every other list.
            if (outbox->moveIdentification(record.localNet, c.uid, *local, c.utcMs))
                list.moveIdentification(*local, c.utcMs);
        }
    } else {
        applyLine(c);
    }
}

void SharedNetSession::applyLine(const ServerChange& c)
{
    // Changes carry the line as it stands now, so applying one is the same however often it
    // comes, and the last one read leaves the line as the server has it.
    const std::int64_t net = record.localNet;
    const std::int64_t seq = store.seqOf(net, c.lineUid);
    JournalEntry line = c.line;
    if (seq == 0) {
        SharedStore::Remote remote(store, c.lineUid);
        const int index = list.applyRemote(line);
        m_added.emplace_back(list.at(index).seq, c.lineUid);
        if (c.deleted)
            list.applyRemoteRemoval(list.at(index).seq);
        return;
    }
    // This operator changed the line and the change has not gone yet: it will, and its
    // echo brings the line as the server then has it.
    if (outbox->hasPending(net, c.lineUid) || store.hasUnsent(c.lineUid))
        return;
    line.seq = seq;
    if (store.inMemoryOnly(seq) && store.ok()) {
        // Shown while the disk could not take it: the journal gets the line as the server
        // has it now, under its place in the list.
        if (outbox->recordLine(net, seq, c.lineUid, nullptr) && outbox->writeEntry(net, line, true)
            && (!c.deleted || outbox->writeDeleted(net, seq, c.utcMs, false)))
            m_written.push_back(seq); // kept in memory until the batch is committed
    } else if (c.id <= m_rewriteUpTo) {
        // Read again after the disk failed: what the journal may have missed is written.
        outbox->writeStatus(net, seq, line.status);
        outbox->writeDeleted(
            net, seq, c.deleted ? std::optional<std::int64_t>(c.utcMs) : std::nullopt, false);
    }
    if (outbox->isProvisional(net, seq))
        outbox->confirmNumber(net, seq, line.number, line.loggedBy, line.utcMs);
    const int index = list.indexOfSeq(seq);
    if (index < 0) {
        if (c.deleted) {
            outbox->confirmNumber(net, seq, line.number, line.loggedBy, line.utcMs);
            list.confirmNumber(seq, line.number, line.loggedBy, line.utcMs);
            return;
        }
        SharedStore::Remote remote(store, c.lineUid);
        // A line the journal never got (the program was killed between outbox and journal)
        // is added; one deleted here is brought back.
        if (seq > journal.lastSeq(net))
            list.applyRemote(line);
        else
            list.applyRemoteRestore(line);
        return;
    }
    SharedStore::Remote remote(store, c.lineUid);
    if (c.deleted) {
        list.applyRemoteRemoval(seq);
        return;
    }
    const JournalEntry have = list.at(index); // the list may move the line when it is numbered
    // The echo of an own add brings the server's number and time: the line was shown with the
    // local clock's until now, and every list, file and report has the server's.
    if (have.number != line.number || have.provisional || have.loggedBy != line.loggedBy
        || have.utcMs != line.utcMs) {
        outbox->confirmNumber(net, seq, line.number, line.loggedBy, line.utcMs);
        list.confirmNumber(seq, line.number, line.loggedBy, line.utcMs);
    }
    if (have.status != line.status)
        list.applyRemoteStatus(seq, line.status);
}
