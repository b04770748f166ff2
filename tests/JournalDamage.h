#pragma once
// A journal as months of nets leave it, and the same file with a few kilobytes in its middle
// overwritten, as a failing disk or a stray write leaves it.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace journaldamage {

inline constexpr int kNets = 40;
inline constexpr int kCheckInsPerNet = 30;

// kNets nets of kCheckInsPerNet check-ins each in folder, every one saved but the last, whose
// net control is "K5NCS". The lines of the last net are returned.
inline QStringList writeNets(const QString& folder)
{
    NetJournal journal(folder);
    QStringList last;
    std::int64_t now = 1'765'000'000'000;
    for (int n = 1; n <= kNets; ++n) {
        CheckInList list(&journal, [&now] { return now += 1000; });
        list.addDateLine(QStringLiteral("12/%1/26").arg(n % 28 + 1));
        for (int i = 1; i <= kCheckInsPerNet; ++i)
            list.addCheckIn(
                { QStringLiteral("K%1N%2").arg(i % 10).arg(n), QStringLiteral("Operator %1").arg(i),
                    QStringLiteral("Waco"), QStringLiteral("TX") },
                CheckInSource::Roster);
        if (n < kNets) {
            list.markSaved();
        } else {
            journal.setControlCall(list.netId(), QStringLiteral("K5NCS"));
            last = list.lines();
        }
    }
    return last;
}

// Overwrites `bytes` in the middle of the journal file; returns the file as it is then.
inline QByteArray damageMiddle(const QString& folder, int bytes = 12 * 1024)
{
    QFile f(QDir(folder).filePath(QStringLiteral("journal.sqlite")));
    if (!f.open(QIODevice::ReadWrite))
        return QByteArray();
    const qint64 middle = f.size() / 2 / 4096 * 4096;
    f.seek(middle);
    f.write(QByteArray(bytes, '\x5a'));
    f.close();
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace journaldamage
