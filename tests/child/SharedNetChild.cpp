// An operator of a shared net killed by the tests before its changes are sent: it shares a
// net, then adds check-ins without ever returning to the event loop (which sends them), and
// prints each number as soon as the line is durable.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedStore.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    NetJournal journal(QString::fromLocal8Bit(argv[1]));
    SharedStore store(journal);
    CheckInList list(&store);
    SharedNetSession session(store, list);
    if (!session.share(
            QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QStringLiteral("N5NCS"))) {
        std::fprintf(stderr, "%s\n", session.message().toLocal8Bit().constData());
        return 1;
    }
    const int count = std::atoi(argv[4]);
    for (int i = 1; i <= count; ++i) {
        const int number = list.addCheckIn({ QStringLiteral("K%1ABC").arg(i), QStringLiteral("Op %1").arg(i),
                                               QStringLiteral("Waco"), QStringLiteral("TX") },
            CheckInSource::Manual);
        std::printf("%d\n", number);
        std::fflush(stdout);
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
