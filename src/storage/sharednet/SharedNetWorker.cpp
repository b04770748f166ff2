#include "sharednet/SharedNetWorker.h"

#include <QSocketNotifier>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

SharedNetWorker::SharedNetWorker()
{
    qRegisterMetaType<SharedNetAnswer>();
}

SharedNetWorker::~SharedNetWorker()
{
    dropSocket();
    m_server.disconnect();
}

void SharedNetWorker::abort()
{
    // Shut down, not closed: the descriptor stays libpq's, so it is never another's; the
    // statement waiting on it returns at once with the connection lost.
    const QMutexLocker lock(&m_socketLock);
    if (m_socket < 0)
        return;
#ifdef _WIN32
    // On Windows the wait in the other thread goes on after a shutdown until the server says
    // something; cancelling the socket's pending I/O ends it.
    ::shutdown(SOCKET(m_socket), SD_BOTH);
    CancelIoEx(HANDLE(SOCKET(m_socket)), nullptr);
#else
    ::shutdown(m_socket, SHUT_RDWR);
#endif
}

void SharedNetWorker::watchSocket()
{
    const QMutexLocker lock(&m_socketLock);
    m_socket = m_server.connected() ? m_server.connection().socket() : -1;
}

void SharedNetWorker::dropSocket()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier.reset();
    }
    const QMutexLocker lock(&m_socketLock);
    m_socket = -1;
}

void SharedNetWorker::close()
{
    dropSocket();
    m_server.disconnect();
    m_connection = 0;
}

void SharedNetWorker::open(
    std::uint64_t ticket, const QString& conninfo, const QString& password, std::int64_t net)
{
    SharedNetAnswer a;
    a.kind = SharedNetAnswer::Opened;
    a.ticket = ticket;
    dropSocket();
    if (!m_server.connected() && !m_server.connect(conninfo, password, &a.message)) {
        a.neededPassword = m_server.neededPassword();
        a.lost = true;
        emit answered(a);
        return;
    }
    watchSocket();
    if (!m_server.listen(net, &a.message)) {
        a.lost = !m_server.connected();
        close();
        emit answered(a);
        return;
    }
    m_connection = ticket;
    m_net = net;
    m_notifier = std::make_unique<QSocketNotifier>(m_server.connection().socket(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SharedNetWorker::readSocket);
    a.ok = true;
    emit answered(a);
    emitNotifications();
}

void SharedNetWorker::send(std::uint64_t ticket, std::int64_t net, const OutboxChange& change)
{
    SharedNetAnswer a;
    a.kind = SharedNetAnswer::Sent;
    a.ticket = ticket;
    a.sent = m_server.send(net, change);
    a.ok = a.sent.state != SharedNetServer::Sent::Lost;
    a.lost = !a.ok;
    if (a.lost)
        close();
    emit answered(a);
    emitNotifications();
}

void SharedNetWorker::read(std::uint64_t ticket, std::int64_t net, std::int64_t after, int limit)
{
    SharedNetAnswer a;
    a.kind = SharedNetAnswer::Read;
    a.ticket = ticket;
    auto changes = m_server.changesSince(net, after, limit, &a.message);
    a.ok = changes.has_value();
    if (changes)
        a.changes = std::move(*changes);
    a.lost = !a.ok && !m_server.connected();
    if (a.lost)
        close();
    emit answered(a);
    emitNotifications();
}

void SharedNetWorker::countOperators(std::uint64_t ticket, std::int64_t net)
{
    SharedNetAnswer a;
    a.kind = SharedNetAnswer::Counted;
    a.ticket = ticket;
    a.operators = m_server.operators(net);
    a.ok = m_server.connected();
    a.lost = !a.ok;
    if (a.lost)
        close();
    emit answered(a);
    emitNotifications();
}

void SharedNetWorker::readSocket()
{
    if (!m_server.connection().consume()) {
        SharedNetAnswer a;
        a.kind = SharedNetAnswer::Lost;
        a.ticket = m_connection;
        a.lost = true;
        a.message = QStringLiteral("The server %1 went away.").arg(m_server.host());
        close();
        emit answered(a);
        return;
    }
    emitNotifications();
}

void SharedNetWorker::emitNotifications()
{
    // Notifications libpq read while a statement ran never wake the socket again: they are
    // taken after every statement as well as when the socket has news.
    if (!m_server.connected() || m_connection == 0)
        return;
    SharedNetAnswer a;
    a.kind = SharedNetAnswer::Notified;
    a.ticket = m_connection;
    const QByteArray channel = netChannel(m_net);
    for (const PgNotification& n : m_server.connection().notifications())
        if (n.channel == channel)
            a.payloads.push_back(n.payload);
    if (!a.payloads.empty()) {
        a.ok = true;
        emit answered(a);
    }
}
