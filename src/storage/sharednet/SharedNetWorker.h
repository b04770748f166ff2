#pragma once
// The one place that talks to the server of shared nets: an object living on a thread of its
// own, asked by queued calls and answering with one signal. It holds the connection, reads
// the notifications that come on it, and never touches the check-in list or a widget.
//
// A statement that waits on a server that stopped answering blocks only this thread; the
// session, which times every statement, then calls abort() from its own thread, which shuts
// the connection's socket down so that the statement fails at once as if the server had gone.
#include "sharednet/SharedNetServer.h"

#include <QMetaType>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

// What the worker answers. Every answer carries the ticket of the request it answers (the
// session ignores answers to requests it gave up on); notifications and a connection lost
// while nothing was asked carry the ticket of the connection.
struct SharedNetAnswer {
    enum Kind { Opened, Sent, Read, Counted, Notified, Lost } kind = Lost;
    std::uint64_t ticket = 0;
    bool ok = false;
    bool lost = false; // the connection is gone (Read, Opened)
    bool neededPassword = false; // Opened: the server wants a password it was not given
    QString message;
    SharedNetServer::SendResult sent;
    std::vector<ServerChange> changes;
    int operators = 0;
    std::vector<QByteArray> payloads; // Notified: the payloads that came on the net's channel
};
Q_DECLARE_METATYPE(SharedNetAnswer)

class SharedNetWorker : public QObject {
    Q_OBJECT
public:
    SharedNetWorker();
    ~SharedNetWorker() override;

    // Makes the statement out now, if any, fail at once; safe from any thread.
    void abort();

    // Each of these runs on the worker's thread: the session calls them through
    // QMetaObject::invokeMethod, queued (or blocking, for the forms' statements).
    //
    // Connects (unless connected already), checks the schema and listens on the net's channel.
    void open(std::uint64_t ticket, const QString& conninfo, const QString& password, std::int64_t net);
    void send(std::uint64_t ticket, std::int64_t net, const OutboxChange& change);
    void read(std::uint64_t ticket, std::int64_t net, std::int64_t after, int limit);
    void countOperators(std::uint64_t ticket, std::int64_t net);
    void close();
    // The connection for the forms' statements (share, join, list), run blocking from the page.
    SharedNetServer& server() { return m_server; }
    // Records the connection's socket so that abort() reaches it; after a connect by the forms.
    void watchSocket();

signals:
    void answered(const SharedNetAnswer& answer);

private:
    void readSocket();
    void emitNotifications();
    void dropSocket();

    SharedNetServer m_server;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::uint64_t m_connection = 0; // the ticket of the open that made the connection
    std::int64_t m_net = 0;
    QMutex m_socketLock; // held only to record, shut down or forget the socket, never in a statement
    int m_socket = -1;
};
