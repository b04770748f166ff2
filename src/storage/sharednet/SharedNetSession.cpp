#include "sharednet/SharedNetSession.h"

#include "sharednet/SharedNetText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QSocketNotifier>

#include <thread>

SharedNetSession::SharedNetSession(NetJournal& journal, CheckInList& list, QObject* parent)
    : QObject(parent), journal(journal), list(list)
{
    reconnectTimer.setSingleShot(true);
    connect(&reconnectTimer, &QTimer::timeout, this, &SharedNetSession::tryReconnect);
    // A safety net under the notifications: a quiet connection is read now and then, which
    // also finds a server that went away without a word.
    pollTimer.setInterval(15000);
    connect(&pollTimer, &QTimer::timeout, this, &SharedNetSession::sync);
}

SharedNetSession::~SharedNetSession()
{
    if (store && list.store() == store.get())
        list.setStore(plainStore);
    list.setListener({});
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
    return outbox && record.localNet ? outbox->waiting(record.localNet) : 0;
}

QString SharedNetSession::label()
{
    if (!isShared())
        return QString();
    return sharedLabelText(online, record.name, server->host(), operators, waitingChanges());
}

bool SharedNetSession::connectServer(const QString& conninfo, QString* message)
{
    return signIn(*server, conninfo, message);
}

bool SharedNetSession::signIn(SharedNetServer& target, const QString& conninfo, QString* message)
{
    if (target.connect(conninfo, password, message))
        return true;
    // With no password in libpq's password file the operator is asked; the answer is kept
    // in memory for reconnecting, never written anywhere.
    if (target.neededPassword() && passwordPrompt) {
        const ConnParams p = connParams(conninfo);
        password = passwordPrompt(p.user, p.hostText);
        if (!password.isEmpty() && target.connect(conninfo, password, message))
            return true;
        password.clear();
    }
    return false;
}

std::optional<std::vector<OpenNet>> SharedNetSession::openNets(const QString& conninfo, QString* message)
{
    SharedNetServer probe;
    if (!signIn(probe, conninfo, message))
        return std::nullopt;
    return probe.openNets(message);
}

bool SharedNetSession::attach(const SharedNetRecord& net)
{
    if (!outbox)
        outbox = std::make_unique<NetOutbox>(journal.path());
    if (!outbox->ok()) {
        lastMessage = outbox->problem();
        return false;
    }
    if (!store) {
        store = std::make_unique<SharedStore>(journal, *outbox);
        store->setOnQueued([this] {
            // Sent once the list has taken the change in, from the event loop.
            if (!syncQueued) {
                syncQueued = true;
                QTimer::singleShot(0, this, [this] {
                    syncQueued = false;
                    if (online && flush() && takeNotifications())
                        catchUp();
                });
            }
        });
    }
    record = net;
    store->setSharedNet(net.localNet);
    if (list.store() != store.get()) {
        plainStore = list.store();
        list.setStore(store.get());
    }
    list.setOperator(net.operatorCall);
    list.setNumbersProvisional(true);
    list.setListener([this](const CheckInList::Change& c) { emit listChanged(int(c.kind), c.index); });
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
    if (!connectServer(conninfo, &lastMessage))
        return false;
    const std::int64_t localNet = list.openNet();
    if (localNet == 0) {
        lastMessage = list.journalProblem();
        server->disconnect();
        return false;
    }
    // The server's call for this sign-in is the one every line carries.
    SharedNetRecord net { localNet, conninfoWithoutPassword(conninfo), 0, NetOutbox::newUid(), name,
        server->call(), 0 };
    std::vector<int> numbers;
    for (int i = 0; i < list.size(); ++i)
        if (!list.at(i).dateLine)
            numbers.push_back(list.at(i).number);
    const auto id = server->shareNet(net.shareUid, name, op, list.now(), &lastMessage, numbers);
    if (!id) {
        server->disconnect();
        return false;
    }
    net.serverNet = *id;
    if (!attach(net) || !outbox->saveNet(net)) {
        lastMessage = outbox ? outbox->problem() : lastMessage;
        server->disconnect();
        return false;
    }
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
    goOnline();
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
                                  .arg(server->host(), netName.trimmed());
                return nullptr;
            }
            found = &n;
        }
        if (!found)
            lastMessage
                = QStringLiteral("There is no open net \"%1\" on %2.").arg(netName.trimmed(), server->host());
        return found;
    });
}

bool SharedNetSession::join(const QString& conninfo, std::int64_t serverNet, const QString& operatorCall)
{
    return joinWhere(conninfo, operatorCall, [&](const std::vector<OpenNet>& nets) -> const OpenNet* {
        for (const OpenNet& n : nets)
            if (n.id == serverNet)
                return &n;
        lastMessage = QStringLiteral("That net is no longer open on %1.").arg(server->host());
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
    if (!connectServer(conninfo, &lastMessage))
        return false;
    const auto nets = server->openNets(&lastMessage);
    if (!nets) {
        server->disconnect();
        return false;
    }
    const OpenNet* found = choose(*nets);
    if (!found) {
        server->disconnect();
        return false;
    }
    if (!server->joinNet(found->id, op, list.now(), &lastMessage)) {
        server->disconnect();
        return false;
    }
    SharedNetRecord net { 0, conninfoWithoutPassword(conninfo), found->id, NetOutbox::newUid(), found->name,
        server->call(), 0 };
    list.beginNewNet();
    if (!attach(net)) {
        server->disconnect();
        return false;
    }
    net.localNet = list.openNet();
    record.localNet = net.localNet;
    store->setSharedNet(net.localNet);
    if (net.localNet == 0 || !outbox->saveNet(net)) {
        lastMessage = net.localNet == 0 ? list.journalProblem() : outbox->problem();
        record = SharedNetRecord();
        server->disconnect();
        return false;
    }
    goOnline();
    return true;
}

bool SharedNetSession::resume()
{
    if (isShared() || list.netId() == 0)
        return isShared();
    NetOutbox probe(journal.path());
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
    OutboxChange c;
    c.localNet = record.localNet;
    c.uid = NetOutbox::newUid();
    c.kind = QStringLiteral("close");
    c.utcMs = list.now();
    c.entry.loggedBy = record.operatorCall;
    if (!online || busy) {
        lastMessage = online
            ? QStringLiteral("The server is still answering; close the net again in a moment.")
            : QStringLiteral("The server cannot be reached; the net stays open.");
        return false;
    }
    const auto sent = server->send(record.serverNet, c);
    if (sent.state != SharedNetServer::Sent::Done) {
        lastMessage = sent.message;
        if (sent.state == SharedNetServer::Sent::Lost)
            goOffline(sent.message);
        return false;
    }
    sync();
    return true;
}

void SharedNetSession::goOnline()
{
    QString why;
    if (!server->listen(record.serverNet, &why)) {
        goOffline(why);
        return;
    }
    if (notifier)
        notifier.release()->deleteLater();
    notifier = std::make_unique<QSocketNotifier>(server->connection().socket(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &SharedNetSession::readSocket);
    online = true;
    backoffMs = firstBackoffMs;
    pollTimer.start();
    emit connectionChanged(true);
    sync();
}

void SharedNetSession::goOffline(const QString& why)
{
    // Often called from the notifier's own signal: it goes once that has returned.
    if (notifier) {
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
    server->disconnect();
    pollTimer.stop();
    const bool was = online;
    online = false;
    lastMessage = why;
    if (was)
        emit connectionChanged(false);
    if (!reconnectTimer.isActive())
        reconnectTimer.start(backoffMs);
}

void SharedNetSession::tryReconnect()
{
    if (reconnecting || online || !isShared())
        return;
    const ConnParams params = connParams(record.conninfo);
    if (!params.valid) {
        reconnected(nullptr);
        return;
    }
    // A server across a network that went away answers nothing until the connect timeout:
    // the wait is on a worker thread, so the operator goes on logging meanwhile.
    reconnecting = true;
    QPointer<SharedNetSession> self(this);
    std::thread([self, params, pass = password] {
        pg_conn* made = PgConnection::made(params, pass);
        const bool delivered = QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, made] {
                if (self)
                    self->reconnected(made);
                else
                    PgConnection::discard(made);
            },
            Qt::QueuedConnection);
        if (!delivered)
            PgConnection::discard(made);
    }).detach();
}

void SharedNetSession::reconnected(pg_conn* made)
{
    reconnecting = false;
    QString why;
    if (!isShared() || online) {
        PgConnection::discard(made);
        return;
    }
    if (made ? server->connectWith(record.conninfo, made, !password.isEmpty(), &why)
             : connectServer(record.conninfo, &why)) {
        goOnline();
        return;
    }
    // A password the server now wants is asked for here, on the page's thread.
    if (server->neededPassword() && passwordPrompt && connectServer(record.conninfo, &why)) {
        goOnline();
        return;
    }
    lastMessage = why;
    backoffMs = std::min(backoffMs * 2, mostBackoffMs);
    reconnectTimer.start(backoffMs);
}

void SharedNetSession::readSocket()
{
    if (busy)
        return; // the statement out on its worker reads the socket
    if (!server->connection().consume()) {
        goOffline(QStringLiteral("The server %1 went away.").arg(server->host()));
        return;
    }
    if (takeNotifications())
        catchUp();
}

bool SharedNetSession::takeNotifications()
{
    bool news = false;
    for (const PgNotification& n : server->connection().notifications()) {
        if (n.channel != netChannel(record.serverNet))
            continue;
        if (!notifiedChange(n.payload, record.serverNet)) {
            // Anyone signed in may notify a channel: what it says is never used, and a
            // payload that is not an id is refused outright.
            report(QStringLiteral("A notification from the server was refused: it does not name a change "
                                  "of this net."));
            continue;
        }
        news = true;
    }
    return news;
}
