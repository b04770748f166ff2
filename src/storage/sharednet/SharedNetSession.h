#pragma once
// A net shared with other operators over a PostgreSQL server, for one check-in list: the
// few calls a page needs (share, join, resume after a restart) and signals for what the
// others change and for the state of the connection.
//
// The local journal stays the truth for this operator. Every change is in the journal and
// in its outbox before it is sent; while the server cannot be reached the list goes on,
// changes wait, and the session tries again with growing pauses. Back on line it sends what
// waited and reads every change it has not seen, from the last change id it applied.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "journal/NetOutbox.h"
#include "sharednet/SharedNetServer.h"
#include "sharednet/SharedStore.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QSocketNotifier;

class SharedNetSession : public QObject {
    Q_OBJECT
public:
    SharedNetSession(NetJournal& journal, CheckInList& list, QObject* parent = nullptr);
    ~SharedNetSession() override;

    // Shares the list's net as netName: its lines so far go to the server, then every change.
    bool share(const QString& conninfo, const QString& netName, const QString& operatorCall);
    // Makes the list the open net netName of the server (the caller has dealt with unsaved
    // lines); refused when several open nets have that name.
    bool join(const QString& conninfo, const QString& netName, const QString& operatorCall);
    // The same for the open net with the server's id serverNet, as chosen in the JOIN NET list.
    bool join(const QString& conninfo, std::int64_t serverNet, const QString& operatorCall);
    // After a restart with the list restored: goes on with its net if it was shared.
    bool resume();
    // Closes the shared net (its net control only); no one changes it after.
    bool closeNet();
    // The open nets of a server, for the join form.
    std::optional<std::vector<OpenNet>> openNets(const QString& conninfo, QString* message);

    // Asks for a password when libpq has none for the sign-in; kept in memory for reconnects.
    void setPasswordPrompt(std::function<QString(const QString& user, const QString& host)> prompt)
    {
        passwordPrompt = std::move(prompt);
    }
    // Pauses before each new try to reach the server: first, doubled each time up to most.
    void setBackoff(int firstMs, int mostMs);
    // How long a statement may go unanswered before the server counts as gone.
    void setStatementWait(int ms) { statementWaitMs = ms; }

    bool isShared() const { return record.serverNet != 0; }
    bool isOnline() const { return online; }
    bool isClosed() const { return closed; }
    int waitingChanges();
    int operatorCount() const { return operators; }
    QString netName() const { return record.name; }
    QString host() const { return server->host(); }
    QString message() const { return lastMessage; }
    std::int64_t serverNet() const { return record.serverNet; }
    std::int64_t lastChange() const { return record.lastChange; }
    // "Shared: ..." or "OFFLINE: ..." for the page's label.
    QString label();

    // Sends what waits and reads what is new now (also run by the timers).
    void sync();
    // Drops the connection as if the server had gone (for tests of the way back).
    void dropConnection() { goOffline(QStringLiteral("The connection was closed.")); }

signals:
    // A line of the list changed because another operator changed it (or its number came).
    void listChanged(int kind, int index);
    void connectionChanged(bool online);
    // Something the operator should read: a refused change, a refused notification.
    void problem(const QString& message);
    void netClosed();

private:
    bool connectServer(const QString& conninfo, QString* message);
    bool signIn(SharedNetServer& target, const QString& conninfo, QString* message);
    bool attach(const SharedNetRecord& net);
    bool joinWhere(const QString& conninfo, const QString& operatorCall,
        const std::function<const OpenNet*(const std::vector<OpenNet>&)>& choose);
    void goOnline();
    void goOffline(const QString& why);
    void tryReconnect();
    void reconnected(pg_conn* made);
    void readSocket();
    // Notifications libpq has read, also those that came in while a statement ran: true
    // when one names a change of this net.
    bool takeNotifications();
    bool flush();
    bool catchUp();
    bool readAll();
    void apply(const ServerChange& change);
    void applyLine(const ServerChange& change);
    void report(const QString& text);
    // Runs a statement's round trip on a worker thread while the event loop goes on (the
    // operator keeps logging). False when the server has not answered in time: the connection
    // is left to that thread and the session goes on with a new, unconnected one.
    bool offThread(std::function<void(SharedNetServer&)> work);

    NetJournal& journal;
    CheckInList& list;
    std::unique_ptr<NetOutbox> outbox;
    std::unique_ptr<SharedStore> store;
    CheckInStore* plainStore = nullptr;
    std::shared_ptr<SharedNetServer> server = std::make_shared<SharedNetServer>();
    SharedNetRecord record;
    QString password;
    std::function<QString(const QString&, const QString&)> passwordPrompt;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer reconnectTimer, pollTimer;
    int firstBackoffMs = 500, mostBackoffMs = 10000, backoffMs = 500;
    bool online = false, closed = false, syncQueued = false, reconnecting = false;
    bool busy = false, wantSync = false; // a statement is out on its worker; a sync waits for it
    int statementWaitMs = 10000;
    int operators = 0;
    QString lastMessage;
};
