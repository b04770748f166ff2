#pragma once
// The connection string an operator types (libpq's key=value form or a postgresql:// URI),
// made safe before it is used: a server reached over the network is reached with TLS and
// its certificate checked unless the string says otherwise, and no password is ever kept.
#include <QString>

#include <utility>
#include <vector>

struct ConnParams {
    bool valid = false;
    QString error; // why the string cannot be read
    std::vector<std::pair<QByteArray, QByteArray>> values; // keyword, value; what libpq is given
    QString hostText; // the server as shown to the operator ("localhost", "net.example.org")
    QString user;
};

// Reads conninfo. For any host libpq will use other than a Unix socket or loopback (from the
// string, PGHOSTADDR/PGHOST, or a service file, which counts as remote), sslmode=verify-full
// is added, and a weaker sslmode for such a host is refused; a short connect timeout and
// keep-alives are added so a vanished server is noticed.
ConnParams connParams(const QString& conninfo);

// The string as it may be kept in the journal: every password and sslpassword removed.
QString conninfoWithoutPassword(const QString& conninfo);

// True for a host that never leaves the machine: a socket folder, localhost or loopback.
bool isLocalHost(const QString& host);
