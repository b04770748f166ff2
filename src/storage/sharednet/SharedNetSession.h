#pragma once
// A net shared with other operators over a PostgreSQL server, for one check-in list: the
// few calls a page needs (share, join, resume after a restart) and signals for what the
// others change and for the state of the connection.
//
// The local journal stays the truth for this operator. Every change is in the journal and
// in its outbox before it is sent; while the server cannot be reached the list goes on,
// changes wait, and the session tries again with growing pauses. Back on line it sends what
// waited and reads every change it has not seen, from the last change id it applied.
//
// The server is talked to by a worker on a thread of its own (SharedNetWorker), asked by
// queued calls; the session is a small state machine driven by the worker's answers:
//   Offline -> Connecting -> CatchingUp -> Live, and back to Offline when the server goes.
// One statement is out at a time. When it is answered the session applies the answer and
// asks for the next thing to do: a change waiting, changes to read, the operators' count.
// Nothing waits for the worker on the page's thread during a net; the forms' statements
// (share, join, the list of nets) wait for their answer, as the form's OK does.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "journal/NetOutbox.h"
#include "sharednet/SharedNetServer.h"
#include "sharednet/SharedNetWorker.h"
#include "sharednet/SharedStore.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>

class QThread;

class SharedNetSession : public QObject {
    Q_OBJECT
public:
    enum class State { Offline, Connecting, CatchingUp, Live };

    // The list's store is the shared store given here (chosen once, when the list was made).
    SharedNetSession(SharedStore& store, CheckInList& list, QObject* parent = nullptr);
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
    // Closes the shared net (its net control only); no one changes it after. The close is
    // sent like any change; a refusal comes as a problem.
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

    State state() const { return m_state; }
    bool isShared() const { return record.serverNet != 0; }
    bool isOnline() const { return m_state == State::CatchingUp || m_state == State::Live; }
    bool isClosed() const { return closed; }
    // True while a statement is out on the worker, unanswered.
    bool isWaiting() const { return m_out != Out::None; }
    int waitingChanges();
    int operatorCount() const { return operators; }
    QString netName() const { return record.name; }
    QString host() const { return m_host; }
    QString message() const { return lastMessage; }
    std::int64_t serverNet() const { return record.serverNet; }
    std::int64_t lastChange() const { return record.lastChange; }
    // The call of the net's net control, when known (given at SHARE NET, or read at JOIN NET).
    QString netControl() const { return m_netControl; }
    // "Shared: ..." or "OFFLINE: ..." for the page's label.
    QString label();

    // Sends what waits and reads what is new now (also run by a timer).
    void sync();
    // Drops the connection as if the server had gone (for tests of the way back).
    void dropConnection() { goOffline(QStringLiteral("The connection was closed.")); }

signals:
    // Changes were sent or applied: the count of those waiting may be another.
    void stateChanged();
    void connectionChanged(bool online);
    // Something the operator should read: a refused change, a refused notification.
    void problem(const QString& message);
    void netClosed();
    // The call of the net's net control became known.
    void netControlKnown(const QString& call);

private:
    enum class Out { None, Open, Send, Read, Count };

    SharedNetWorker& worker();
    // Runs f on the worker's thread and waits for it: for the forms' statements only.
    template <typename F> auto onWorker(F f) -> decltype(f());
    bool signIn(const QString& conninfo);
    void closeFormConnection();
    bool attach(const SharedNetRecord& net);
    // Starts the live connection: the worker listens on the net (connecting first if need be);
    // up when a form's statements have just connected.
    void open(bool up);
    bool joinWhere(const QString& conninfo, const QString& operatorCall,
        const std::function<const OpenNet*(const std::vector<OpenNet>&)>& choose);
    void goOffline(const QString& why);
    void tryReconnect();
    void answered(const SharedNetAnswer& answer);
    void opened(const SharedNetAnswer& answer);
    void sent(const SharedNetAnswer& answer);
    void readDone(const SharedNetAnswer& answer);
    void notified(const SharedNetAnswer& answer);
    // Asks the worker for the next thing to do, when nothing is out.
    void next();
    void ask(Out what, std::function<void(SharedNetWorker*)> call);
    void schedule();
    // Applies a batch of the server's changes in one journal transaction and moves the last
    // change seen past it; rows that cannot be used are set aside and said once.
    void applyBatch(const std::vector<ServerChange>& changes);
    void apply(const ServerChange& change);
    void applyLine(const ServerChange& change);
    void report(const QString& text);

    SharedStore& store;
    NetJournal& journal;
    CheckInList& list;
    NetOutbox* outbox = nullptr; // the store's, once a net is shared
    QThread* m_thread = nullptr;
    SharedNetWorker* m_worker = nullptr; // lives on m_thread
    State m_state = State::Offline;
    Out m_out = Out::None;
    OutboxChange m_sending; // the change out now
    std::uint64_t m_ticket = 0; // of the live connection; answers of another are stale
    bool m_readWanted = false, m_countWanted = false, m_scheduled = false;
    QSet<QString> m_callers; // the calls that logged lines read so far
    SharedNetRecord record;
    QString m_host;
    QString m_netControl;
    QString password;
    std::function<QString(const QString&, const QString&)> passwordPrompt;
    QTimer reconnectTimer, pollTimer, answerTimer, journalTimer;
    // After the disk failed: the changes up to this one were applied to the list but maybe
    // not to the journal, and are written there as they are read again.
    std::int64_t m_rewriteUpTo = 0;
    std::vector<std::int64_t> m_written; // lines of the batch now written to the journal
    std::vector<std::pair<std::int64_t, QString>> m_added; // lines the batch added, seq and id
    // Tries the journal again while it cannot be written; once it can, reads again from the
    // last change it kept.
    void retryJournal();
    void watchJournal();
    int firstBackoffMs = 500, mostBackoffMs = 10000, backoffMs = 500;
    bool closed = false;
    int statementWaitMs = 10000;
    int operators = 0;
    QString lastMessage;
};
