#pragma once
// One connection to the PostgreSQL server through libpq: statements with every value bound
// as a parameter, and the notifications that arrive. No Qt widgets: the session drives it
// from the event loop; only the making of a connection (made) may run on another thread.
#include "sharednet/ConnInfo.h"

#include <QByteArray>
#include <QString>

#include <atomic>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

class PgResult {
public:
    PgResult() = default;
    PgResult(pg_result* result, QString error, QByteArray sqlState);
    bool ok() const { return good; }
    const QString& error() const { return errorText; }
    const QByteArray& sqlState() const { return state; }
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    // The value as a whole number; nullopt when it is not one (garbage is never guessed at).
    std::optional<std::int64_t> integer(int row, int column) const;

private:
    std::shared_ptr<pg_result> result;
    bool good = false;
    QString errorText;
    QByteArray state;
};

struct PgNotification {
    QByteArray channel;
    QByteArray payload;
};

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // password, when not empty, is given to libpq beside the parameters and kept nowhere else.
    bool open(const ConnParams& params, const QString& password, QString* error);
    // Makes a connection and waits for it (up to the parameters' connect_timeout); safe on any
    // thread. The result, good or failed, goes to adopt on the thread that uses it.
    static pg_conn* made(const ConnParams& params, const QString& password);
    // Takes over a connection from made: true when it is up, else the reason, and closed.
    bool adopt(pg_conn* made, bool passwordGiven, QString* error);
    // Closes a connection from made that nobody takes over.
    static void discard(pg_conn* made);
    // True when the last failed open wanted a password it was not given.
    bool neededPassword() const { return wantedPassword; }
    void close();
    // Cuts the connection under a statement another thread is waiting on, which then fails
    // at once; that thread still closes it. For a connection given up on.
    void abandon();
    // Shuts a connection's socket down for both ways, closing nothing: the descriptor stays
    // libpq's, so it is never another's, and what waits on it returns at once.
    static void shutDownSocket(int fd);
    bool isOpen() const;

    PgResult exec(const char* sql, const std::vector<std::optional<QByteArray>>& params = {});
    int socket() const;
    // Reads what the server sent; false when the connection is gone.
    bool consume();
    std::vector<PgNotification> notifications();

private:
    pg_conn* conn = nullptr;
    bool wantedPassword = false;
    // The connection failed under a statement (no answer of the server's came back), or was
    // cut by abandon. libpq does not always say so itself: on Windows a socket shut down
    // under TLS leaves its state good.
    std::atomic<bool> broken { false };
};
