#include "sharednet/SharedNetSession.h"

#include "checkin/CheckInLine.h"
#include "sharednet/SharedNetText.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QThread>

SharedNetSession::SharedNetSession(SharedStore& store, CheckInList& list, QObject* parent)
    : QObject(parent), store(store), journal(store.journalStore()), list(list)
{
    // Sent once the list has taken the change in, from the event loop.
    store.setOnQueued([this] { schedule(); });
    reconnectTimer.setSingleShot(true);
    connect(&reconnectTimer, &QTimer::timeout, this, &SharedNetSession::tryReconnect);
    // A safety net under the notifications: a quiet connection is read now and then, which
    // also finds a server that went away without a word.
    pollTimer.setInterval(15000);
    connect(&pollTimer, &QTimer::timeout, this, &SharedNetSession::sync);
    // A journal that could not be written is tried again every two seconds, from the event
    // loop; nothing waits for the disk.
    journalTimer.setInterval(2000);
    connect(&journalTimer, &QTimer::timeout, this, &SharedNetSession::retryJournal);
    // A statement left unanswered this long counts the server as gone.
    answerTimer.setSingleShot(true);
    connect(&answerTimer, &QTimer::timeout, this, [this] {
        if (m_worker)
            m_worker->abort();
        goOffline(QStringLiteral("The server did not answer."));
    });
}

SharedNetSession::~SharedNetSession()
{
    store.setOnQueued({});
    if (!m_thread)
        return;
    m_worker->abort();
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->close(); }, Qt::QueuedConnection);
    m_thread->quit();
    // A worker still making a connection (up to its connect timeout) is left to end with the
    // thread, which deletes both.
    if (m_thread->wait(QDeadlineTimer(7000))) {
        delete m_worker;
        delete m_thread;
    } else {
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    }
}

SharedNetWorker& SharedNetSession::worker()
{
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("shared net"));
        m_worker = new SharedNetWorker;
        m_worker->moveToThread(m_thread);
        connect(
            m_worker, &SharedNetWorker::answered, this, &SharedNetSession::answered, Qt::QueuedConnection);
        m_thread->start();
    }
    return *m_worker;
}

template <typename F> auto SharedNetSession::onWorker(F f) -> decltype(f())
{
    SharedNetWorker* w = &worker();
    decltype(f()) result {};
    QMetaObject::invokeMethod(
        w, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

void SharedNetSession::setBackoff(int firstMs, int mostMs)
{
    firstBackoffMs = backoffMs = firstMs;
    mostBackoffMs = mostMs;
}

void SharedNetSession::report(const QString& text)
{
    lastMessage = text;
    emit problem(text);
}

int SharedNetSession::waitingChanges()
{
    // Those kept in memory wait too: a change the disk could not take is never "0 waiting".
    return outbox && record.localNet ? outbox->waiting(record.localNet) + int(store.unsent().size()) : 0;
}

QString SharedNetSession::label()
{
    if (!isShared())
        return QString();
    return sharedLabelText(isOnline(), record.name, m_host, operators, waitingChanges());
}

bool SharedNetSession::signIn(const QString& conninfo)
{
    m_host = connParams(conninfo).hostText;
    const auto attempt = [&](const QString& pass, bool* needed) {
        return onWorker([&] {
            SharedNetServer& s = m_worker->server();
            s.disconnect();
            const bool good = s.connect(conninfo, pass, &lastMessage);
            *needed = s.neededPassword();
            m_worker->watchSocket();
            return good;
        });
    };
    bool needed = false;
    if (attempt(password, &needed))
        return true;
    // With no password in libpq's password file the operator is asked; the answer is kept
    // in memory for reconnecting, never written anywhere.
    if (needed && passwordPrompt) {
        const ConnParams p = connParams(conninfo);
        password = passwordPrompt(p.user, p.hostText);
        if (!password.isEmpty() && attempt(password, &needed))
            return true;
        password.clear();
    }
    return false;
}

void SharedNetSession::closeFormConnection()
{
    onWorker([this] {
        m_worker->close();
        return true;
    });
}

std::optional<std::vector<OpenNet>> SharedNetSession::openNets(const QString& conninfo, QString* message)
{
    // A connection of its own: the live one, if any, goes on as it is.
    const auto list = [&](const QString& pass, bool* needed) {
        return onWorker([&]() -> std::optional<std::vector<OpenNet>> {
            SharedNetServer probe;
            if (!probe.connect(conninfo, pass, message)) {
                *needed = probe.neededPassword();
                return std::nullopt;
            }
            return probe.openNets(message);
        });
    };
    bool needed = false;
    auto nets = list(password, &needed);
    if (!nets && needed && passwordPrompt) {
        const ConnParams p = connParams(conninfo);
        password = passwordPrompt(p.user, p.hostText);
        if (!password.isEmpty())
            nets = list(password, &needed);
        if (!nets)
            password.clear();
    }
    return nets;
}

bool SharedNetSession::attach(const SharedNetRecord& net)
{
    outbox = &store.outbox();
    if (!outbox->ok()) {
        lastMessage = outbox->problem();
        return false;
    }
    record = net;
    m_host = connParams(net.conninfo).hostText;
    store.setSharedNet(net.localNet);
    list.setOperator(net.operatorCall);
    list.setNumbersProvisional(true);
    return true;
}

bool SharedNetSession::share(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    if (isShared()) {
        lastMessage = QStringLiteral("This net is already shared.");
        return false;
    }
    const QString name = bounded(netName.trimmed(), SharedLimits::netName);
    const QString op = bounded(operatorCall.trimmed().toUpper(), SharedLimits::operatorCall);
    if (name.isEmpty() || op.isEmpty()) {
        lastMessage = QStringLiteral("A shared net needs a name and your call.");
        return false;
    }
    if (!signIn(conninfo))
        return false;
    const std::int64_t localNet = list.openNet();
    if (localNet == 0) {
        lastMessage = list.journalProblem();
        closeFormConnection();
        return false;
    }
    // The server's call for this sign-in is the one every line carries.
    SharedNetRecord net { localNet, conninfoWithoutPassword(conninfo), 0, NetOutbox::newUid(), name,
        m_worker->server().call(), 0 };
    std::vector<int> numbers;
    for (int i = 0; i < list.size(); ++i)
        if (!list.at(i).dateLine)
            numbers.push_back(list.at(i).number);
    const auto id = onWorker([&] {
        return m_worker->server().shareNet(net.shareUid, name, op, list.now(), &lastMessage, numbers);
    });
    if (!id) {
        closeFormConnection();
        return false;
    }
    net.serverNet = *id;
    if (!attach(net) || !outbox->saveNet(net)) {
        lastMessage = outbox ? outbox->problem() : lastMessage;
        record = SharedNetRecord();
        store.setSharedNet(0);
        closeFormConnection();
        return false;
    }
    // The net is as old as the server says, on every operator's record of it.
    if (const auto opened = onWorker([&] { return m_worker->server().openedUtc(*id); }))
        outbox->setNetStarted(localNet, *opened);
    // The lines so far go to the server in their order, each with its status.
    for (int i = 0; i < list.size(); ++i) {
        const JournalEntry& e = list.at(i);
        if (e.dateLine)
            continue;
        OutboxChange add;
        add.localNet = localNet;
        add.uid = add.lineUid = NetOutbox::newUid();
        add.kind = QStringLiteral("add");
        add.entry = e;
        add.entry.loggedBy = net.operatorCall;
        add.value = QString::number(e.number); // the line keeps its number
        add.utcMs = e.utcMs;
        bool good = outbox->recordLine(localNet, e.seq, add.uid, &add);
        if (good && !e.status.isEmpty()) {
            OutboxChange status = add;
            status.uid = NetOutbox::newUid();
            status.kind = QStringLiteral("status");
            status.value = e.status;
            good = outbox->enqueue(status);
        }
        if (!good) {
            lastMessage = outbox->problem();
            return false;
        }
    }
    for (std::int64_t t : list.identifications()) {
        OutboxChange ident;
        ident.localNet = localNet;
        ident.uid = NetOutbox::newUid();
        ident.kind = QStringLiteral("ident");
        ident.utcMs = t;
        ident.entry.loggedBy = net.operatorCall;
        outbox->enqueue(ident);
    }
    m_netControl = op;
    emit netControlKnown(op);
    operators = onWorker([this] { return m_worker->server().operators(record.serverNet); });
    open(true);
    return true;
}

bool SharedNetSession::join(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    // By name only when one open net has it: two nets of one name are told apart in the list.
    return joinWhere(conninfo, operatorCall, [&](const std::vector<OpenNet>& nets) -> const OpenNet* {
        const OpenNet* found = nullptr;
        for (const OpenNet& n : nets) {
            if (n.name != netName.trimmed())
                continue;
            if (found) {
                lastMessage = QStringLiteral("Several open nets on %1 are named \"%2\": choose one in the "
                                             "JOIN NET list.")
                                  .arg(m_host, netName.trimmed());
                return nullptr;
            }
            found = &n;
        }
        if (!found)
            lastMessage = QStringLiteral("There is no open net \"%1\" on %2.").arg(netName.trimmed(), m_host);
        return found;
    });
}

bool SharedNetSession::join(const QString& conninfo, std::int64_t serverNet, const QString& operatorCall)
{
    return joinWhere(conninfo, operatorCall, [&](const std::vector<OpenNet>& nets) -> const OpenNet* {
        for (const OpenNet& n : nets)
            if (n.id == serverNet)
                return &n;
        lastMessage = QStringLiteral("That net is no longer open on %1.").arg(m_host);
        return nullptr;
    });
}

bool SharedNetSession::joinWhere(const QString& conninfo, const QString& operatorCall,
    const std::function<const OpenNet*(const std::vector<OpenNet>&)>& choose)
{
    if (isShared()) {
        lastMessage = QStringLiteral("This list is already a shared net.");
        return false;
    }
    const QString op = bounded(operatorCall.trimmed().toUpper(), SharedLimits::operatorCall);
    if (op.isEmpty()) {
        lastMessage = QStringLiteral("Give your call to join a net.");
        return false;
    }
    if (!signIn(conninfo))
        return false;
    const auto nets = onWorker([&] { return m_worker->server().openNets(&lastMessage); });
    if (!nets) {
        closeFormConnection();
        return false;
    }
    const OpenNet* found = choose(*nets);
    if (!found) {
        closeFormConnection();
        return false;
    }
    if (!onWorker([&] { return m_worker->server().joinNet(found->id, op, list.now(), &lastMessage); })) {
        closeFormConnection();
        return false;
    }
    SharedNetRecord net { 0, conninfoWithoutPassword(conninfo), found->id, NetOutbox::newUid(), found->name,
        m_worker->server().call(), 0 };
    list.beginNewNet();
    if (!attach(net)) {
        record = SharedNetRecord();
        closeFormConnection();
        return false;
    }
    // The net's date line heads the list, as on the net control's.
    list.addDateLine(dateText(QDateTime::fromMSecsSinceEpoch(found->openedUtc).toLocalTime().date()));
    net.localNet = list.netId();
    record.localNet = net.localNet;
    store.setSharedNet(net.localNet);
    if (net.localNet == 0 || !outbox->saveNet(net)) {
        lastMessage = net.localNet == 0 ? list.journalProblem() : outbox->problem();
        record = SharedNetRecord();
        store.setSharedNet(0);
        closeFormConnection();
        return false;
    }
    outbox->setNetStarted(net.localNet, found->openedUtc);
    m_netControl = found->openedBy;
    emit netControlKnown(m_netControl);
    // The net as it stands is read before the form closes, like the net's list itself: in
    // large batches, each one journal transaction, and shown as one new list.
    constexpr int joinBatch = 10000;
    list.beginBulk();
    for (;;) {
        QString why;
        const auto changes = onWorker([&] {
            return m_worker->server().changesSince(record.serverNet, record.lastChange, joinBatch, &why);
        });
        if (!changes) {
            report(why);
            break;
        }
        applyBatch(*changes);
        if (changes->size() < std::size_t(joinBatch))
            break;
    }
    list.endBulk();
    operators = onWorker([this] { return m_worker->server().operators(record.serverNet); });
    open(true);
    return true;
}

bool SharedNetSession::resume()
{
    if (isShared() || list.netId() == 0)
        return isShared();
    NetOutbox& probe = store.outbox();
    const auto net = probe.net(list.netId());
    if (!net || net->serverNet == 0)
        return false;
    if (!attach(*net))
        return false;
    // Read again through the shared store, so lines still without their number show it.
    list.restore(net->localNet);
    // Connected in the background like any reconnect: the restored list is usable at once,
    // its changes waiting until the server answers.
    tryReconnect();
    return true;
}

bool SharedNetSession::closeNet()
{
    if (!isShared())
        return false;
    if (!isOnline()) {
        lastMessage = QStringLiteral("The server cannot be reached; the net stays open.");
        return false;
    }
    OutboxChange c;
    c.localNet = record.localNet;
    c.uid = NetOutbox::newUid();
    c.kind = QStringLiteral("close");
    c.utcMs = list.now();
    c.entry.loggedBy = record.operatorCall;
    if (!outbox->enqueue(c)) {
        lastMessage = outbox->problem();
        return false;
    }
    schedule();
    return true;
}

void SharedNetSession::open(bool up)
{
    // Right after a form's statements the connection is up: the net is on line at once, and
    // the worker only begins to listen on it.
    m_state = up ? State::CatchingUp : State::Connecting;
    if (up)
        emit connectionChanged(true);
    const std::uint64_t ticket = ++m_ticket;
    m_out = Out::Open;
    SharedNetWorker* const w = &worker();
    QMetaObject::invokeMethod(
        w,
        [w, ticket, conninfo = record.conninfo, pass = password, net = record.serverNet] {
            w->open(ticket, conninfo, pass, net);
        },
        Qt::QueuedConnection);
}

void SharedNetSession::tryReconnect()
{
    if (m_state != State::Offline || !isShared())
        return;
    const ConnParams params = connParams(record.conninfo);
    if (!params.valid) {
        lastMessage = params.error;
        return;
    }
    // A server across a network that went away answers nothing until the connect timeout:
    // the wait is the worker's, so the operator goes on logging meanwhile.
    open(false);
}

void SharedNetSession::goOffline(const QString& why)
{
    ++m_ticket; // whatever the worker still answers for the connection now given up is stale
    answerTimer.stop();
    pollTimer.stop();
    m_out = Out::None;
    if (m_worker)
        QMetaObject::invokeMethod(
            m_worker, [w = m_worker] { w->close(); }, Qt::QueuedConnection);
    const bool was = isOnline();
    m_state = State::Offline;
    lastMessage = why;
    if (was)
        emit connectionChanged(false);
    emit stateChanged();
    if (!reconnectTimer.isActive())
        reconnectTimer.start(backoffMs);
}

void SharedNetSession::answered(const SharedNetAnswer& a)
{
    if (a.ticket != m_ticket)
        return; // of a connection given up on
    switch (a.kind) {
    case SharedNetAnswer::Opened:
        opened(a);
        break;
    case SharedNetAnswer::Sent:
        sent(a);
        break;
    case SharedNetAnswer::Read:
        readDone(a);
        break;
    case SharedNetAnswer::Counted:
        answerTimer.stop();
        m_out = Out::None;
        if (a.lost) {
            goOffline(QStringLiteral("The server %1 went away.").arg(m_host));
            return;
        }
        if (operators != a.operators) {
            operators = a.operators;
            emit stateChanged();
        }
        next();
        break;
    case SharedNetAnswer::Notified:
        notified(a);
        break;
    case SharedNetAnswer::Lost:
        goOffline(a.message);
        break;
    }
}

void SharedNetSession::opened(const SharedNetAnswer& a)
{
    m_out = Out::None;
    if (!a.ok) {
        // A password the server now wants is asked for here, on the page's thread, once.
        if (a.neededPassword && passwordPrompt && password.isEmpty()) {
            const ConnParams p = connParams(record.conninfo);
            password = passwordPrompt(p.user, p.hostText);
            if (!password.isEmpty()) {
                open(false);
                return;
            }
        }
        m_state = State::Offline;
        lastMessage = a.message;
        backoffMs = std::min(backoffMs * 2, mostBackoffMs);
        reconnectTimer.start(backoffMs);
        emit stateChanged();
        return;
    }
    const bool was = isOnline();
    m_state = State::CatchingUp;
    backoffMs = firstBackoffMs;
    pollTimer.start();
    if (!was)
        emit connectionChanged(true);
    m_readWanted = m_countWanted = true;
    next();
}

void SharedNetSession::notified(const SharedNetAnswer& a)
{
    for (const QByteArray& payload : a.payloads) {
        const auto change = notifiedChange(payload, record.serverNet);
        if (!change) {
            // Anyone signed in may notify a channel: what it says is never applied (the
            // change is read from the server), and a payload that is not an id is refused.
            report(QStringLiteral("A notification from the server was refused: it does not name a change "
                                  "of this net."));
            continue;
        }
        // The payload says which change it is: one already read (an echo that came while a
        // read was out, or with it) needs no other round trip.
        if (*change > record.lastChange)
            m_readWanted = true;
    }
    next();
}

void SharedNetSession::watchJournal()
{
    if (isShared() && !store.ok() && !journalTimer.isActive())
        journalTimer.start();
}

void SharedNetSession::retryJournal()
{
    if (!isShared() || !outbox || !store.recover())
        return; // the next tick tries again
    journalTimer.stop();
    list.journalRecovered();
    // What came while the disk failed is in the list but perhaps not in the journal: it is
    // read again from the last change the journal kept, as a restart would, and written.
    const auto kept = outbox->net(record.localNet);
    if (kept && kept->lastChange < record.lastChange) {
        m_rewriteUpTo = std::max(m_rewriteUpTo, record.lastChange);
        record.lastChange = kept->lastChange;
    }
    m_readWanted = true;
    emit stateChanged();
    next();
}

void SharedNetSession::sync()
{
    m_readWanted = m_countWanted = true;
    next();
}

void SharedNetSession::schedule()
{
    watchJournal();
    // Asked from inside the store, while the list takes a change in: the next step runs
    // from the event loop, once the change is in the list too.
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_scheduled = false;
            next();
        },
        Qt::QueuedConnection);
}

void SharedNetSession::ask(Out what, std::function<void(SharedNetWorker*)> call)
{
    m_out = what;
    answerTimer.start(statementWaitMs);
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, call = std::move(call)] { call(w); }, Qt::QueuedConnection);
}
