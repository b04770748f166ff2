#pragma once
// The tests' way to a PostgreSQL server: the throwaway cluster the test run started (its
// state folder is in VELMORA_TEST_PG), one fresh database per test copied from the template
// with the schema, and private clusters for tests that stop their server.
#include "sharednet/PgConnection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// "host=... port=..." of the run's cluster; fails the test when there is none.
QString testServerBase();
// The run's server as the program names it to the operator: "localhost" when it is reached
// on this machine's Unix socket, its host otherwise (127.0.0.1 for a Windows client).
QString testServerShownName();

class TestDatabase {
public:
    // A new database on the cluster whose base conninfo is given (the run's by default).
    explicit TestDatabase(const QString& base = QString());
    ~TestDatabase();
    bool ok() const { return good; }
    // The sign-ins: "n5ncs" and "w5ncs" are net controls, "k5log" a logger, "velmora_admin" the superuser.
    QString conninfo(const QString& user) const;
    // Runs SQL as the superuser; false on error.
    bool admin(const char* sql);
    // A net control sign-in of this database that must give a password (no password file).
    bool addPasswordSignIn(const QString& user, const QString& password);

private:
    QString base, name;
    bool good = false;
};

// What a command run on the server's machine did.
struct ServerCommand {
    bool ok = false; // ran and ended with status 0
    int status = -1;
    QByteArray out, err;
};
// Runs a command on the machine of the tests' server: one of the scripts testserver.sh and
// netserver.sh, or kill, with its arguments and standard input. The server runs on this
// machine, so on Unix the command runs here. A Windows program under Wine can neither run a
// shell script nor signal a process of this machine: it leaves the command in the run's server
// folder, where the helper that scripts/windows.sh runs beside the tests finds it, runs it and
// leaves its answer.
ServerCommand onServerMachine(
    const QStringList& command, const QByteArray& input = {}, int timeoutMs = 120000);

// A cluster of a test's own, which it may stop and start.
class PrivateCluster {
public:
    PrivateCluster();
    ~PrivateCluster();
    bool ok() const { return good; }
    QString base() const { return conninfoBase; }
    bool halt();
    bool resume();

private:
    bool script(const char* command);
    QTemporaryDir state;
    QString conninfoBase;
    bool good = false;
};

// Runs the event loop until done() holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms = 10000);
// Runs the event loop for ms with a timer ticking every 10 ms: the longest time between two
// ticks, which is how long the program would not have answered a key.
qint64 longestPause(int ms);
