// Sending what waits in the outbox and applying what the server has, for a shared net.
#include "sharednet/SharedNetSession.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSocketNotifier>

#include <atomic>
#include <thread>

namespace {
constexpr int batch = 2000;
}

void SharedNetSession::sync()
{
    if (!online)
        return;
    if (flush())
        catchUp();
}

bool SharedNetSession::catchUp()
{
    // Notifications that arrived while a statement ran never wake the socket again.
    bool more = readAll();
    while (more && online && takeNotifications())
        more = readAll();
    return more;
}

bool SharedNetSession::flush()
{
    if (busy) {
        wantSync = true;
        return false;
    }
    for (const OutboxChange& c : outbox->pending(record.localNet)) {
        auto answer = std::make_shared<SharedNetServer::SendResult>();
        if (!offThread(
                [answer, c, net = record.serverNet](SharedNetServer& s) { *answer = s.send(net, c); })) {
            goOffline(QStringLiteral("The server did not answer."));
            return false;
        }
        if (!online)
            return false; // went off line meanwhile
        const SharedNetServer::SendResult& sent = *answer;
        if (sent.state == SharedNetServer::Sent::Lost) {
            goOffline(sent.message);
            return false;
        }
        if (sent.state == SharedNetServer::Sent::Refused) {
            outbox->markRefused(c.id, sent.message);
            report(QStringLiteral("The server refused a change: %1").arg(sent.message));
            continue;
        }
        // Sent and numbered in one transaction; lost, the change is only sent again.
        outbox->beginBatch();
        outbox->markSent(c.id);
        const std::int64_t seq
            = c.kind == QLatin1String("add") ? outbox->seqOf(record.localNet, c.lineUid) : 0;
        const bool numbered
            = seq && outbox->confirmNumber(record.localNet, seq, sent.number, c.entry.loggedBy);
        outbox->commitBatch();
        if (numbered)
            list.confirmNumber(seq, sent.number, c.entry.loggedBy);
    }
    return true;
}

bool SharedNetSession::readAll()
{
    if (!online)
        return false;
    if (busy) {
        wantSync = true;
        return false;
    }
    for (;;) {
        struct Read {
            std::optional<std::vector<ServerChange>> changes;
            QString why;
        };
        auto read = std::make_shared<Read>();
        if (!offThread([read, net = record.serverNet, since = record.lastChange](SharedNetServer& s) {
                read->changes = s.changesSince(net, since, batch, &read->why);
            })) {
            goOffline(QStringLiteral("The server did not answer."));
            return false;
        }
        if (!online)
            return false;
        const auto& changes = read->changes;
        const QString& why = read->why;
        if (!changes) {
            if (!server->connected()) {
                goOffline(why);
                return false;
            }
            report(why);
            return false;
        }
        if (!changes->empty()) {
            // One transaction for the lot, with the last change applied: a crash keeps all
            // of it or none, and none is read again.
            outbox->beginBatch();
            for (const ServerChange& c : *changes)
                apply(c);
            record.lastChange = changes->back().id;
            outbox->setLastChange(record.localNet, record.lastChange);
            if (!outbox->commitBatch())
                report(outbox->problem());
        }
        if (int(changes->size()) < batch)
            break;
    }
    auto count = std::make_shared<int>(operators);
    if (!offThread([count, net = record.serverNet](SharedNetServer& s) { *count = s.operators(net); })) {
        goOffline(QStringLiteral("The server did not answer."));
        return false;
    }
    operators = *count;
    return true;
}

bool SharedNetSession::offThread(std::function<void(SharedNetServer&)> work)
{
    struct Job {
        std::atomic<bool> done { false };
    };
    auto job = std::make_shared<Job>();
    busy = true;
    if (notifier)
        notifier->setEnabled(false);
    std::thread([job, s = server, work = std::move(work)] {
        work(*s);
        job->done = true;
    }).detach();
    // Waits in an event loop of its own, so that the page answers keys and clicks meanwhile;
    // what they change waits in the outbox and goes out after this statement.
    const QDeadlineTimer deadline(statementWaitMs);
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (job->done || deadline.hasExpired())
            loop.quit();
    });
    tick.start(1);
    if (!job->done)
        loop.exec();
    busy = false;
    if (notifier)
        notifier->setEnabled(true);
    if (wantSync) {
        wantSync = false;
        QTimer::singleShot(0, this, [this] { sync(); });
    }
    if (job->done)
        return true;
    // The late connection is cut, so its thread ends and closes it, and a new one is made.
    server->connection().abandon();
    server = std::make_shared<SharedNetServer>();
    return false;
}

void SharedNetSession::apply(const ServerChange& c)
{
    if (c.kind == QLatin1String("close")) {
        if (!closed) {
            closed = true;
            emit netClosed();
        }
    } else if (c.kind == QLatin1String("ident")) {
        if (!outbox->isOurs(c.uid)) {
            SharedStore::Remote remote(*store, c.uid);
            list.applyRemoteIdentification(c.utcMs);
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
    const std::int64_t seq = outbox->seqOf(net, c.lineUid);
    JournalEntry line = c.line;
    if (seq == 0) {
        SharedStore::Remote remote(*store, c.lineUid);
        const int index = list.applyRemote(line);
        if (c.deleted)
            list.applyRemoteRemoval(list.at(index).seq);
        return;
    }
    // This operator changed the line and the change has not gone yet: it will, and its
    // echo brings the line as the server then has it.
    if (outbox->hasPending(net, c.lineUid))
        return;
    line.seq = seq;
    if (outbox->isProvisional(net, seq))
        outbox->confirmNumber(net, seq, line.number, line.loggedBy);
    const int index = list.indexOfSeq(seq);
    if (index < 0) {
        if (c.deleted) {
            list.confirmNumber(seq, line.number, line.loggedBy);
            return;
        }
        SharedStore::Remote remote(*store, c.lineUid);
        // A line the journal never got (the program was killed between outbox and journal)
        // is added; one deleted here is brought back.
        if (seq > journal.lastSeq(net))
            list.applyRemote(line);
        else
            list.applyRemoteRestore(line);
        return;
    }
    SharedStore::Remote remote(*store, c.lineUid);
    if (c.deleted) {
        list.applyRemoteRemoval(seq);
        return;
    }
    const JournalEntry& have = list.at(index);
    if (have.number != line.number || have.provisional || have.loggedBy != line.loggedBy) {
        outbox->confirmNumber(net, seq, line.number, line.loggedBy);
        list.confirmNumber(seq, line.number, line.loggedBy);
    }
    if (have.status != line.status)
        list.applyRemoteStatus(seq, line.status);
}
