#include "sharednet/SharedNetServer.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {
std::optional<QByteArray> param(const QString& text)
{
    return text.toUtf8();
}

std::optional<QByteArray> param(std::int64_t value)
{
    return QByteArray::number(qlonglong(value));
}

bool isUuid(const QString& text)
{
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return uuid.match(text).hasMatch();
}

const char* const changesSql
    = "SELECT c.id, c.uid, c.kind, c.checkin_uid, c.utc, k.number, k.call, k.name, k.city, k.state, "
      "k.source, k.utc, k.logged_by, k.status, k.deleted "
      "FROM velmora.changes c LEFT JOIN velmora.checkins k ON k.uid = c.checkin_uid "
      "WHERE c.net_id = $1 AND c.id > $2 ORDER BY c.id LIMIT $3";
} // namespace

int characters(const QString& text)
{
    int n = 0;
    for (int i = 0; i < text.size(); ++i)
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++n;
    return n;
}

QString bounded(const QString& text, int limit)
{
    int units = 0;
    for (int n = 0; n < limit && units < text.size(); ++n)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size()
                && text.at(units + 1).isLowSurrogate()
            ? 2
            : 1;
    return units < text.size() ? text.left(units) : text;
}

QByteArray netChannel(std::int64_t net)
{
    return "velmora_net_" + QByteArray::number(qlonglong(net));
}

std::optional<std::int64_t> notifiedChange(const QByteArray& payload, std::int64_t net)
{
    static const QRegularExpression form(QStringLiteral("^([1-9][0-9]{0,17}):([1-9][0-9]{0,17})$"));
    if (payload.size() > 40)
        return std::nullopt;
    const auto m = form.match(QString::fromLatin1(payload));
    if (!m.hasMatch() || m.captured(1).toLongLong() != net)
        return std::nullopt;
    return m.captured(2).toLongLong();
}

bool SharedNetServer::lost(const PgResult& r) const
{
    // Connection failures, an administrator's shutdown, and transient conflicts are worth
    // another try later; anything else is the server's considered answer.
    const QByteArray& s = r.sqlState();
    // A net busy behind a stuck transaction (55P03) is one as well: the server ends that.
    return !conn.isOpen() || s.startsWith("08") || s.startsWith("57") || s.startsWith("40")
        || s.startsWith("53") || s == "55P03" || s.isEmpty();
}

bool SharedNetServer::connect(const QString& conninfo, const QString& password, QString* message)
{
    const ConnParams params = connParams(conninfo);
    if (!params.valid) {
        *message = params.error;
        return false;
    }
    return connectWith(conninfo, PgConnection::made(params, password), !password.isEmpty(), message);
}

bool SharedNetServer::connectWith(
    const QString& conninfo, pg_conn* made, bool passwordGiven, QString* message)
{
    hostText = connParams(conninfo).hostText;
    QString error;
    if (!conn.adopt(made, passwordGiven, &error)) {
        *message = QStringLiteral("The server %1 cannot be reached: %2").arg(hostText, error);
        return false;
    }
    const PgResult r = conn.exec("SELECT max(version) FROM velmora.schema_version");
    const auto version = r.ok() ? r.integer(0, 0) : std::nullopt;
    if (!version) {
        *message = QStringLiteral("The server %1 has no shared nets: load the schema with "
                                  "\"scripts/netserver.sh schema\" first.")
                       .arg(hostText);
        conn.close();
        return false;
    }
    if (*version != sharedSchemaVersion) {
        *message = QStringLiteral("The server %1 has the shared net schema version %2, but this program "
                                  "needs version %3. %4")
                       .arg(hostText)
                       .arg(*version)
                       .arg(sharedSchemaVersion)
                       .arg(*version < sharedSchemaVersion
                               ? QStringLiteral("Upgrade the server with \"scripts/netserver.sh schema\".")
                               : QStringLiteral("Install the newer version of this program."));
        conn.close();
        return false;
    }
    const PgResult who = conn.exec("SELECT velmora.my_call()");
    callText = who.ok() ? who.text(0, 0) : QString();
    if (!who.ok() || callText.isEmpty() || callText.size() > SharedLimits::operatorCall) {
        *message = QStringLiteral("The sign-in %1 has no operator call on the server %2: its administrator "
                                  "gives it one with \"scripts/netserver.sh adduser\".")
                       .arg(connParams(conninfo).user, hostText);
        callText.clear();
        conn.close();
        return false;
    }
    return true;
}

std::optional<std::int64_t> SharedNetServer::shareNet(const QString& uid, const QString& name, const QString&,
    std::int64_t, QString* message, std::vector<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QByteArray list = "{";
    for (int n : numbers)
        list += (list.size() > 1 ? "," : "") + QByteArray::number(n);
    list += "}";
    const PgResult r = conn.exec("SELECT velmora.share_net($1::uuid, $2, $3::integer[])",
        { param(uid), param(bounded(name, SharedLimits::netName)), list });
    const auto id = r.ok() ? r.integer(0, 0) : std::nullopt;
    if (!id || *id <= 0) {
        *message = r.ok() ? QStringLiteral("The server answered the share with nonsense.") : r.error();
        return std::nullopt;
    }
    return id;
}

bool SharedNetServer::joinNet(std::int64_t net, const QString&, std::int64_t, QString* message)
{
    const PgResult r = conn.exec("SELECT velmora.join_net($1)", { param(net) });
    if (!r.ok())
        *message = r.error();
    return r.ok();
}

std::optional<std::vector<OpenNet>> SharedNetServer::openNets(QString* message)
{
    const PgResult r
        = conn.exec("SELECT id, name, opened_by, opened_utc, operators FROM velmora.open_nets()");
    if (!r.ok()) {
        *message = r.error();
        return std::nullopt;
    }
    std::vector<OpenNet> out;
    for (int i = 0; i < r.rows(); ++i) {
        const auto id = r.integer(i, 0);
        const auto opened = r.integer(i, 3);
        const QString name = r.text(i, 1);
        if (!id || !opened || name.size() > SharedLimits::netName) {
            *message = QStringLiteral("The server's list of nets cannot be read.");
            return std::nullopt;
        }
        QStringList calls = r.text(i, 4).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& c : calls)
            c = bounded(c, SharedLimits::operatorCall);
        out.push_back({ *id, name, bounded(r.text(i, 2), SharedLimits::operatorCall), *opened, calls });
    }
    return out;
}

std::optional<std::int64_t> SharedNetServer::openedUtc(std::int64_t net)
{
    const PgResult r = conn.exec("SELECT opened_utc FROM velmora.nets WHERE id = $1", { param(net) });
    const auto t = r.ok() && r.rows() == 1 ? r.integer(0, 0) : std::nullopt;
    return t && *t > 0 ? t : std::nullopt;
}

bool SharedNetServer::listen(std::int64_t net, QString* message)
{
    // The channel is made from a number only, so it needs no quoting beyond this.
    const QByteArray sql = "LISTEN " + netChannel(net);
    const PgResult r = conn.exec(sql.constData());
    if (!r.ok())
        *message = r.error();
    return r.ok();
}

int SharedNetServer::operators(std::int64_t net)
{
    const PgResult r = conn.exec("SELECT count(*) FROM velmora.operators WHERE net_id = $1", { param(net) });
    const auto n = r.ok() ? r.integer(0, 0) : std::nullopt;
    return n && *n >= 0 && *n < 100000 ? int(*n) : 0;
}

SharedNetServer::SendResult SharedNetServer::send(std::int64_t net, const OutboxChange& c)
{
    SendResult out;
    PgResult r;
    if (c.kind == QLatin1String("add")) {
        const JournalEntry& e = c.entry;
        // The value of an add is the number the line should keep, when it had one before it
        // was shared (the server keeps it only then); its time is the server's but for those.
        r = conn.exec("SELECT number FROM velmora.add_checkin($1::uuid, $2, $3, $4, $5, $6, $7, $8, $9)",
            { param(c.uid), param(net), param(bounded(e.call, SharedLimits::call)),
                param(bounded(e.name, SharedLimits::name)), param(bounded(e.city, SharedLimits::city)),
                param(bounded(e.state, SharedLimits::state)), param(sourceName(e.source)), param(c.utcMs),
                param(std::int64_t(c.value.toInt())) });
        if (r.ok()) {
            const auto number = r.integer(0, 0);
            // The server kept the line whatever its answer: a number that cannot be used
            // leaves the line's number open, and the change is done all the same.
            if (!number || *number <= 0 || *number > std::numeric_limits<int>::max()) {
                out.state = Sent::Done;
                out.message = QStringLiteral("The server kept the check-in of %1 but gave it no usable "
                                             "number; it keeps its mark \"?\".")
                                  .arg(e.call);
                return out;
            }
            out.number = int(*number);
        }
    } else {
        const std::optional<QByteArray> line
            = c.lineUid.isEmpty() ? std::nullopt : std::optional<QByteArray>(c.lineUid.toUtf8());
        r = conn.exec("SELECT velmora.change_net($1::uuid, $2, $3, $4::uuid, $5)",
            { param(c.uid), param(net), param(c.kind), line, param(bounded(c.value, SharedLimits::status)) });
    }
    if (r.ok()) {
        out.state = Sent::Done;
        return out;
    }
    out.state = lost(r) ? Sent::Lost : Sent::Refused;
    out.message = r.error();
    return out;
}

std::optional<std::vector<ServerChange>> SharedNetServer::changesSince(
    std::int64_t net, std::int64_t after, int limit, QString* message)
{
    const PgResult r = conn.exec(changesSql, { param(net), param(after), param(std::int64_t(limit)) });
    if (!r.ok()) {
        *message = r.error();
        return std::nullopt;
    }
    static const QStringList kinds { "add", "delete", "restore", "status", "ident", "close" };
    const auto refuse = [&](int row) {
        *message
            = QStringLiteral("The server sent a change that cannot be right (row %1); it was not applied.")
                  .arg(row + 1);
        return std::nullopt;
    };
    if (r.columns() != 15)
        return refuse(0);
    std::vector<ServerChange> out;
    out.reserve(std::size_t(r.rows()));
    std::int64_t previous = after;
    for (int i = 0; i < r.rows(); ++i) {
        ServerChange c;
        const auto id = r.integer(i, 0);
        // Without an id in order the place of the row, and of every row after it, is unknown.
        if (!id || *id <= previous)
            return refuse(i);
        c.id = previous = *id;
        const auto utc = r.integer(i, 4);
        c.uid = r.text(i, 1);
        c.kind = r.text(i, 2);
        c.lineUid = r.text(i, 3);
        const auto unusable = [&](const QString& why) {
            c.unusable = why;
            out.push_back(c);
        };
        if (!kinds.contains(c.kind)) {
            unusable(QStringLiteral("its kind \"%1\" is unknown").arg(bounded(c.kind, 20)));
            continue;
        }
        if (!utc || !isUuid(c.uid)) {
            unusable(QStringLiteral("its id or time cannot be read"));
            continue;
        }
        c.utcMs = *utc;
        const bool onLine = c.kind != QLatin1String("ident") && c.kind != QLatin1String("close");
        if (onLine != !c.lineUid.isEmpty() || (onLine && !isUuid(c.lineUid))) {
            unusable(QStringLiteral("the line it changes cannot be read"));
            continue;
        }
        if (onLine) {
            JournalEntry& e = c.line;
            const auto number = r.integer(i, 5);
            const auto lineUtc = r.integer(i, 11);
            e.call = bounded(r.text(i, 6), SharedLimits::call);
            const QString call = r.text(i, 6), name = r.text(i, 7), city = r.text(i, 8), state = r.text(i, 9),
                          by = r.text(i, 12), status = r.text(i, 13);
            const QString deleted = r.text(i, 14);
            // Lengths as the server measures them: in characters.
            const auto tooLong = [&](const QString& text, int limit, const char* what) {
                if (characters(text) <= limit)
                    return false;
                unusable(QStringLiteral("the %1 is longer than %2 characters")
                             .arg(QLatin1String(what))
                             .arg(limit));
                return true;
            };
            if (!number || *number <= 0 || *number > std::numeric_limits<int>::max()) {
                unusable(QStringLiteral("its number cannot be read"));
                continue;
            }
            if (!lineUtc || (deleted != "t" && deleted != "f")) {
                unusable(QStringLiteral("its time or state cannot be read"));
                continue;
            }
            if (tooLong(call, SharedLimits::call, "call") || tooLong(name, SharedLimits::name, "name")
                || tooLong(city, SharedLimits::city, "city") || tooLong(state, SharedLimits::state, "state")
                || tooLong(by, SharedLimits::operatorCall, "call of who logged it")
                || tooLong(status, SharedLimits::status, "status"))
                continue;
            e.call = call;
            e.name = name;
            e.city = city;
            e.state = state;
            e.loggedBy = by;
            e.status = status;
            e.number = int(*number);
            e.utcMs = *lineUtc;
            e.source = sourceFromName(r.text(i, 10));
            c.deleted = deleted == QLatin1String("t");
        }
        out.push_back(std::move(c));
    }
    return out;
}
