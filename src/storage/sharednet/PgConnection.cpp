#include "sharednet/PgConnection.h"

#include <libpq-fe.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

PgResult::PgResult(pg_result* r, QString error, QByteArray sqlState)
    : result(r, [](pg_result* p) { PQclear(p); }), errorText(std::move(error)), state(std::move(sqlState))
{
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    good = status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
}

int PgResult::rows() const
{
    return result ? PQntuples(result.get()) : 0;
}

int PgResult::columns() const
{
    return result ? PQnfields(result.get()) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return !result || row >= rows() || column >= columns() || PQgetisnull(result.get(), row, column);
}

QString PgResult::text(int row, int column) const
{
    if (isNull(row, column))
        return QString();
    return QString::fromUtf8(PQgetvalue(result.get(), row, column), PQgetlength(result.get(), row, column));
}

std::optional<std::int64_t> PgResult::integer(int row, int column) const
{
    if (isNull(row, column))
        return std::nullopt;
    bool ok = false;
    const qlonglong v
        = QByteArray(PQgetvalue(result.get(), row, column), PQgetlength(result.get(), row, column))
              .toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(v) : std::nullopt;
}

PgConnection::~PgConnection()
{
    close();
}

bool PgConnection::open(const ConnParams& params, const QString& password, QString* error)
{
    return adopt(made(params, password), !password.isEmpty(), error);
}

pg_conn* PgConnection::made(const ConnParams& params, const QString& password)
{
    std::vector<const char*> keys, values;
    const QByteArray pass = password.toUtf8();
    for (const auto& [k, v] : params.values) {
        keys.push_back(k.constData());
        values.push_back(v.constData());
    }
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(pass.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keys.data(), values.data(), 0);
}

bool PgConnection::adopt(pg_conn* made, bool passwordGiven, QString* error)
{
    close();
    conn = made;
    wantedPassword = false;
    broken = false;
    if (conn && PQstatus(conn) == CONNECTION_OK) {
        // What libpq reached, however the host was given (string, environment, service
        // file, host list): anything but this machine is reached with TLS or not at all.
        const char* address = PQhostaddr(conn);
        const char* reached = address && *address ? address : PQhost(conn);
        if (!isLocalHost(QString::fromUtf8(reached ? reached : "")) && !PQsslInUse(conn)) {
            if (error)
                *error = QStringLiteral("the server %1 was reached without TLS.")
                             .arg(QString::fromUtf8(reached ? reached : ""));
            close();
            return false;
        }
        // Every statement names its schema; nothing an operator can create is looked up.
        exec("SET search_path = pg_catalog");
        return true;
    }
    wantedPassword = conn && PQconnectionNeedsPassword(conn) && !passwordGiven;
    if (error)
        *error = conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed() : QStringLiteral("out of memory");
    close();
    return false;
}

void PgConnection::discard(pg_conn* made)
{
    if (made)
        PQfinish(made);
}

void PgConnection::close()
{
    if (conn)
        PQfinish(conn);
    conn = nullptr;
    broken = false;
}

void PgConnection::abandon()
{
    const int fd = conn ? PQsocket(conn) : -1;
    if (fd < 0)
        return;
    // libpq may go on calling a cut connection good; it is broken from here on.
    broken = true;
    shutDownSocket(fd);
}

void PgConnection::shutDownSocket(int fd)
{
    if (fd < 0)
        return;
#ifdef _WIN32
    // A wait on a socket shut down from another thread goes on there until the server says
    // something; cancelling the socket's pending I/O ends it.
    ::shutdown(SOCKET(fd), SD_BOTH);
    CancelIoEx(HANDLE(SOCKET(fd)), nullptr);
#else
    ::shutdown(fd, SHUT_RDWR);
#endif
}

bool PgConnection::isOpen() const
{
    return conn && !broken && PQstatus(conn) == CONNECTION_OK;
}

PgResult PgConnection::exec(const char* sql, const std::vector<std::optional<QByteArray>>& params)
{
    if (!conn)
        return PgResult(nullptr, QStringLiteral("not connected"), "08003");
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params)
        values.push_back(p ? p->constData() : nullptr);
    pg_result* r = PQexecParams(conn, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
    QString error;
    QByteArray state;
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        error = QString::fromUtf8(primary ? primary : PQerrorMessage(conn)).trimmed();
        const char* code = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        state = code ? QByteArray(code) : QByteArray("08006");
        // Without a code the failure is libpq's own: the connection went under the statement.
        if (!code)
            broken = true;
    }
    return PgResult(r, error, state);
}

int PgConnection::socket() const
{
    return conn ? PQsocket(conn) : -1;
}

bool PgConnection::consume()
{
    if (!conn || broken)
        return false;
    if (PQconsumeInput(conn) != 1) {
        broken = true;
        return false;
    }
    return PQstatus(conn) == CONNECTION_OK;
}

std::vector<PgNotification> PgConnection::notifications()
{
    std::vector<PgNotification> out;
    if (!conn)
        return out;
    while (PGnotify* n = PQnotifies(conn)) {
        out.push_back({ QByteArray(n->relname), QByteArray(n->extra ? n->extra : "") });
        PQfreemem(n);
    }
    return out;
}
