#pragma once
// One operator at the tests' shared net: a journal of their own, the check-in list and the
// session, as the net page holds them.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedStore.h"

#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

struct Operator {
    // clock, when given, is this operator's computer clock (one set wrong, say).
    explicit Operator(const QString& folder = QString(), CheckInList::Clock clock = {})
        : journal(folder.isEmpty() ? dir.path() : folder), store(journal), list(&store, std::move(clock)),
          session(store, list)
    {
        session.setBackoff(100, 400);
    }
    int add(const QString& call)
    {
        return list.addCheckIn(
            { call, QStringLiteral("Op ") + call, QStringLiteral("Waco"), QStringLiteral("TX") },
            CheckInSource::Manual);
    }
    int indexOf(const QString& call) const { return list.findCall(call); }
    // The list as the others must see it: number, call, status and who logged it, in number
    // order, a provisional line marked.
    QStringList lines() const
    {
        std::vector<JournalEntry> all;
        for (int i = 0; i < list.size(); ++i)
            if (!list.at(i).dateLine)
                all.push_back(list.at(i));
        std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
        QStringList out;
        for (const JournalEntry& e : all)
            out << QStringLiteral("%1%2 %3 [%4] by %5")
                       .arg(e.number)
                       .arg(e.provisional ? "?" : "")
                       .arg(e.call, e.status, e.loggedBy);
        return out;
    }

    QTemporaryDir dir;
    NetJournal journal;
    SharedStore store;
    CheckInList list;
    SharedNetSession session;
};
