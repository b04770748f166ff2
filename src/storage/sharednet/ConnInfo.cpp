#include "sharednet/ConnInfo.h"

#include <QStringList>

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif
#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace {
struct FreeOptions {
    void operator()(PQconninfoOption* o) const { PQconninfoFree(o); }
};
using Options = std::unique_ptr<PQconninfoOption, FreeOptions>;

Options parse(const QString& conninfo, QString* error)
{
    char* message = nullptr;
    Options options(PQconninfoParse(conninfo.toUtf8().constData(), &message));
    if (!options && error)
        *error = message ? QString::fromUtf8(message).trimmed()
                         : QStringLiteral("The server text cannot be read.");
    if (message)
        PQfreemem(message);
    return options;
}
} // namespace

bool isLocalHost(const QString& host)
{
    const QString h = host.trimmed();
    if (h.isEmpty() || h.startsWith(QLatin1Char('/')) || h.startsWith(QLatin1Char('@')))
        return true;
    if (h.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QByteArray text = h.toLatin1();
    unsigned char v4[4], v6[16];
    if (inet_pton(AF_INET, text.constData(), v4) == 1)
        return v4[0] == 127;
    if (inet_pton(AF_INET6, text.constData(), v6) == 1) {
        static const unsigned char loopback[16] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 };
        static const unsigned char mapped[12] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff };
        // ::1, or 127.x.x.x written as an IPv4-mapped address.
        return std::equal(v6, v6 + 16, loopback) || (std::equal(v6, v6 + 12, mapped) && v6[12] == 127);
    }
    return false;
}

ConnParams connParams(const QString& conninfo)
{
    ConnParams p;
    if (conninfo.trimmed().isEmpty()) {
        p.error = QStringLiteral("No server given.");
        return p;
    }
    const Options options = parse(conninfo, &p.error);
    if (!options)
        return p;
    QString host, hostaddr, sslmode;
    bool hasTimeout = false, hasKeepalives = false, hasService = false;
    for (PQconninfoOption* o = options.get(); o->keyword; ++o) {
        if (!o->val)
            continue;
        const QByteArray key(o->keyword);
        const QString value = QString::fromUtf8(o->val);
        if (key == "host")
            host = value;
        else if (key == "hostaddr")
            hostaddr = value;
        else if (key == "sslmode")
            sslmode = value;
        else if (key == "user")
            p.user = value;
        else if (key == "service")
            hasService = true;
        hasTimeout = hasTimeout || key == "connect_timeout";
        hasKeepalives = hasKeepalives || key == "keepalives";
        p.values.emplace_back(key, QByteArray(o->val));
    }
    // The host libpq will use: the string's, else the environment's (PGHOSTADDR before
    // PGHOST, as libpq takes them). A service file may name one the program does not read, so
    // a host that comes from a service is never taken for local. A host list is local only
    // when every host on it is. hostaddr, when given, is where libpq connects.
    const bool fromString = !host.isEmpty() || !hostaddr.isEmpty();
    if (!fromString && (hasService || !qEnvironmentVariableIsEmpty("PGSERVICE"))) {
        host = QStringLiteral("(service)");
    } else if (!fromString) {
        hostaddr = qEnvironmentVariable("PGHOSTADDR");
        host = qEnvironmentVariable("PGHOST");
    }
    bool local = host != QLatin1String("(service)");
    const QStringList hosts = (hostaddr.isEmpty() ? host : hostaddr).split(QLatin1Char(','));
    for (const QString& h : hosts)
        local = local && isLocalHost(h);
    if (!local && !sslmode.isEmpty() && sslmode != QLatin1String("verify-full")) {
        p.error = QStringLiteral("A server on another machine is reached with its certificate checked: "
                                 "remove sslmode=%1 (the program uses verify-full).")
                      .arg(sslmode);
        p.values.clear();
        return p;
    }
    // Given explicitly, it wins over PGSSLMODE and any service file.
    if (!local && sslmode.isEmpty())
        p.values.emplace_back("sslmode", "verify-full");
    if (!hasTimeout)
        p.values.emplace_back("connect_timeout", "5");
    if (!hasKeepalives) {
        p.values.emplace_back("keepalives", "1");
        p.values.emplace_back("keepalives_idle", "10");
        p.values.emplace_back("keepalives_interval", "5");
        p.values.emplace_back("keepalives_count", "3");
        // Data sent to a server that has vanished is given up after ten seconds, not the
        // quarter of an hour TCP would wait.
        p.values.emplace_back("tcp_user_timeout", "10000");
    }
    p.values.emplace_back("application_name", "velmora");
    const QString shown = host.isEmpty() || host == QLatin1String("(service)") ? hostaddr : host;
    p.hostText = shown.isEmpty() || shown.startsWith(QLatin1Char('/')) ? QStringLiteral("localhost") : shown;
    p.valid = true;
    return p;
}

QString conninfoWithoutPassword(const QString& conninfo)
{
    const Options options = parse(conninfo, nullptr);
    if (!options)
        return QString();
    QStringList parts;
    for (PQconninfoOption* o = options.get(); o->keyword; ++o) {
        const QByteArray key(o->keyword);
        if (!o->val || key == "password" || key == "sslpassword")
            continue;
        QString value = QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\''), QLatin1String("\\'"));
        parts << QStringLiteral("%1='%2'").arg(QLatin1String(o->keyword), value);
    }
    return parts.join(QLatin1Char(' '));
}
