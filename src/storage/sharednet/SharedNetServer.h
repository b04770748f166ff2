#pragma once
// What the program says to the server of shared nets and what it reads back. Every value
// is bound; every answer is checked before it is believed, so a server that answers garbage
// is refused with a message rather than trusted.
#include "journal/NetOutbox.h"
#include "sharednet/PgConnection.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// The schema version this program speaks.
constexpr int sharedSchemaVersion = 3;

// Longest fields, in characters, as the schema bounds them.
namespace SharedLimits {
constexpr int call = 16, name = 64, city = 64, state = 32, status = 16, operatorCall = 16, netName = 80;
}
// The length of text as the server measures it: characters (code points), not UTF-16 units.
int characters(const QString& text);
// text cut to at most limit characters, never inside a character.
QString bounded(const QString& text, int limit);

struct OpenNet {
    std::int64_t id = 0;
    QString name;
    QString openedBy; // the call of its net control
    std::int64_t openedUtc = 0; // the server's time
    QStringList operators; // the calls of those who joined it, its net control first
};

// One change of a net as the server has it, with its line as the line stands now.
struct ServerChange {
    std::int64_t id = 0;
    QString uid;
    QString kind;
    QString lineUid; // empty for ident and close
    std::int64_t utcMs = 0;
    JournalEntry line; // number, fields, status and who logged it, when lineUid is set
    bool deleted = false;
    // Why the client cannot use this row (it is set aside); empty for a row that can be applied.
    QString unusable;
};

class SharedNetServer {
public:
    // Connects and checks the schema; false with the reason in message.
    bool connect(const QString& conninfo, const QString& password, QString* message);
    // The same with a connection made elsewhere (PgConnection::made, on a worker thread).
    bool connectWith(const QString& conninfo, pg_conn* made, bool passwordGiven, QString* message);
    bool neededPassword() const { return conn.neededPassword(); }
    void disconnect() { conn.close(); }
    bool connected() const { return conn.isOpen(); }
    QString host() const { return hostText; }
    // The operator call the server has for this sign-in: every line and change it makes
    // carries that call, whatever the client says.
    QString call() const { return callText; }
    PgConnection& connection() { return conn; }

    // Shares a net; numbers are those of the lines it has so far, which keep them. The net
    // carries the sign-in's call and the server's time (operatorCall and utcMs are not sent).
    std::optional<std::int64_t> shareNet(const QString& uid, const QString& name, const QString& operatorCall,
        std::int64_t utcMs, QString* message, std::vector<int> numbers = {});
    // Joins the net with that id, under the sign-in's call.
    bool joinNet(std::int64_t net, const QString& operatorCall, std::int64_t utcMs, QString* message);
    std::optional<std::vector<OpenNet>> openNets(QString* message);
    // When the server opened the net, by its clock.
    std::optional<std::int64_t> openedUtc(std::int64_t net);
    bool listen(std::int64_t net, QString* message);
    int operators(std::int64_t net);

    enum class Sent { Done, Refused, Lost };
    struct SendResult {
        Sent state = Sent::Lost;
        int number = 0; // for an add
        QString message;
    };
    SendResult send(std::int64_t net, const OutboxChange& change);

    // The changes of a net after the one given, in order, at most limit of them. A row that
    // cannot be used is returned with the reason in unusable; nullopt only when the answer as
    // a whole cannot be read (its columns, or ids that are not whole numbers in order).
    std::optional<std::vector<ServerChange>> changesSince(
        std::int64_t net, std::int64_t after, int limit, QString* message);

private:
    // Whether a failed statement lost the connection (or the server went away) rather than
    // being refused on its merits.
    bool lost(const PgResult& r) const;
    PgConnection conn;
    QString hostText, callText;
};

// The channel a net's notifications come on.
QByteArray netChannel(std::int64_t net);
// A notification's payload "NET:CHANGE", both positive whole numbers and NET the net
// expected; nullopt for anything else.
std::optional<std::int64_t> notifiedChange(const QByteArray& payload, std::int64_t net);
