// The check-in list's side of a shared net: lines, removals, statuses, numbers and
// identifications that come from other operators.
#include "checkin/CheckInList.h"

#include <algorithm>

void CheckInList::changed(Change::Kind kind, int index)
{
    // A view follows inserts and removals as they happen; a changed line is told here.
    if (observer && kind == Change::Changed)
        observer->changed(index);
    if (onChange)
        onChange(Change { kind, index });
}

int CheckInList::indexOfSeq(std::int64_t seq) const
{
    for (int i = 0; i < size(); ++i)
        if (entries[std::size_t(i)].seq == seq)
            return i;
    return -1;
}

int CheckInList::insertBySeq(JournalEntry e)
{
    auto at = entries.begin();
    while (at != entries.end() && at->seq < e.seq)
        ++at;
    const int index = int(at - entries.begin());
    if (observer)
        observer->aboutToInsert(index);
    entries.insert(at, std::move(e));
    if (observer)
        observer->inserted(index);
    return index;
}

int CheckInList::applyRemote(JournalEntry e)
{
    if (e.seq > 0) {
        const int known = indexOfSeq(e.seq);
        if (known >= 0)
            return known;
    } else {
        e.seq = nextSeq;
    }
    if (ensureNet() && !journal->append(net, e, !unsaved))
        journalFailed();
    nextSeq = std::max(nextSeq, e.seq + 1);
    if (!e.dateLine)
        highest = std::max(highest, e.number);
    unsaved = true;
    const int index = insertBySeq(std::move(e));
    changed(Change::Inserted, index);
    return index;
}

bool CheckInList::applyRemoteRemoval(std::int64_t seq)
{
    const int index = indexOfSeq(seq);
    if (index < 0)
        return false;
    if (net && journaling() && !journal->setDeleted(net, seq, clock(), !unsaved))
        journalFailed();
    eraseAt(index);
    changed(Change::Removed, index);
    return true;
}

int CheckInList::applyRemoteRestore(const JournalEntry& e)
{
    const int known = indexOfSeq(e.seq);
    if (known >= 0)
        return known;
    // Brought back elsewhere: this operator's undo must not bring it back a second time.
    removed.erase(std::remove_if(
                      removed.begin(), removed.end(), [&](const Removed& r) { return r.entry.seq == e.seq; }),
        removed.end());
    if (net && journaling() && !journal->setDeleted(net, e.seq, std::nullopt, !unsaved))
        journalFailed();
    highest = std::max(highest, e.number);
    unsaved = true;
    const int index = insertBySeq(e);
    changed(Change::Inserted, index);
    return index;
}

bool CheckInList::applyRemoteStatus(std::int64_t seq, const QString& status)
{
    const int index = indexOfSeq(seq);
    if (index < 0 || entries[std::size_t(index)].dateLine)
        return false;
    if (net && journaling() && !journal->setStatus(net, seq, status))
        journalFailed();
    entries[std::size_t(index)].status = status;
    changed(Change::Changed, index);
    return true;
}

bool CheckInList::confirmNumber(std::int64_t seq, int number, const QString& loggedBy)
{
    for (Removed& r : removed)
        if (r.entry.seq == seq) {
            r.entry.number = number;
            r.entry.provisional = false;
            if (!loggedBy.isEmpty())
                r.entry.loggedBy = loggedBy;
        }
    highest = std::max(highest, number);
    const int index = indexOfSeq(seq);
    if (index < 0)
        return false;
    JournalEntry& e = entries[std::size_t(index)];
    e.number = number;
    e.provisional = false;
    if (!loggedBy.isEmpty())
        e.loggedBy = loggedBy;
    changed(Change::Changed, index);
    return true;
}

void CheckInList::applyRemoteIdentification(std::int64_t utcMs)
{
    if (ensureNet() && !journal->addIdentification(net, utcMs))
        journalFailed();
    idents.insert(std::upper_bound(idents.begin(), idents.end(), utcMs), utcMs);
}
