// A stand-in for a running net, killed by the tests: it keeps adding check-ins to the journal
// in the folder given and prints the number of each one as soon as it is durable.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    NetJournal journal(QString::fromLocal8Bit(argv[1]));
    if (!journal.ok()) {
        std::fprintf(stderr, "%s\n", journal.problem().toLocal8Bit().constData());
        return 1;
    }
    CheckInList list(&journal);
    list.addDateLine(QStringLiteral("12/9/26"));
    const int count = std::atoi(argv[2]);
    for (int i = 1; i <= count; ++i) {
        const int number
            = list.addCheckIn({ QStringLiteral("K%1ABC").arg(i % 10), QStringLiteral("Op %1").arg(i),
                                  QStringLiteral("Waco"), QStringLiteral("TX") },
                CheckInSource::Roster);
        std::printf("%d\n", number);
        std::fflush(stdout);
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
