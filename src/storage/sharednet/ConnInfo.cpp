#include "sharednet/ConnInfo.h"

#include <QStringList>

#include <arpa/inet.h>
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
        return std::equal(v6, v6 + 16, loopback);
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
    bool hasTimeout = false, hasKeepalives = false;
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
        hasTimeout = hasTimeout || key == "connect_timeout";
        hasKeepalives = hasKeepalives || key == "keepalives";
        p.values.emplace_back(key, QByteArray(o->val));
    }
    // A host list is local only when every host on it is.
    bool local = true;
    const QStringList hosts = (hostaddr.isEmpty() ? host : hostaddr).split(QLatin1Char(','));
    for (const QString& h : hosts)
        local = local && isLocalHost(h);
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
    const QString shown = host.isEmpty() ? hostaddr : host;
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
        if (!o->val || QByteArray(o->keyword) == "password")
            continue;
        QString value = QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\''), QLatin1String("\\'"));
        parts << QStringLiteral("%1='%2'").arg(QLatin1String(o->keyword), value);
    }
    return parts.join(QLatin1Char(' '));
}
