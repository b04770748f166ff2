// The check-in list's side of a shared net: lines, removals, statuses, numbers and
// identifications that come from other operators.
#include "checkin/CheckInList.h"

#include <algorithm>

int CheckInList::indexOfSeq(std::int64_t seq) const
{
    for (int i = 0; i < size(); ++i)
        if (entries[std::size_t(i)].seq == seq)
            return i;
    return -1;
}

bool CheckInList::sharedOrder(const JournalEntry& a, const JournalEntry& b)
{
    const auto group = [](const JournalEntry& e) { return e.dateLine ? 0 : e.provisional ? 2 : 1; };
    if (group(a) != group(b))
        return group(a) < group(b);
    if (group(a) == 1 && a.number != b.number)
        return a.number < b.number;
    return a.seq < b.seq;
}

int CheckInList::placeOf(const JournalEntry& e) const
{
    // The lines stand in that order already: a net of thousands of lines read at a join
    // finds each place by halving, not by walking the list.
    if (provisionalNumbers)
        return int(std::upper_bound(entries.begin(), entries.end(), e, sharedOrder) - entries.begin());
    return int(std::lower_bound(entries.begin(), entries.end(), e,
                   [](const JournalEntry& a, const JournalEntry& b) { return a.seq < b.seq; })
        - entries.begin());
}

int CheckInList::insertBySeq(JournalEntry e)
{
    const int index = placeOf(e);
    tell(&CheckInListObserver::aboutToInsert, index);
    entries.insert(entries.begin() + index, std::move(e));
    tell(&CheckInListObserver::inserted, index);
    return index;
}

int CheckInList::moveToPlace(int index)
{
    if (!provisionalNumbers)
        return index;
    const JournalEntry& e = entries[std::size_t(index)];
    const bool afterPrevious = index == 0 || sharedOrder(entries[std::size_t(index - 1)], e);
    const bool beforeNext = index + 1 >= size() || sharedOrder(e, entries[std::size_t(index + 1)]);
    if (afterPrevious && beforeNext)
        return index;
    JournalEntry moved = e;
    tell(&CheckInListObserver::aboutToRemove, index);
    entries.erase(entries.begin() + index);
    tell(&CheckInListObserver::removed, index);
    return insertBySeq(std::move(moved));
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
    tell(&CheckInListObserver::changed, index);
    return true;
}

bool CheckInList::confirmNumber(
    std::int64_t seq, int number, const QString& loggedBy, std::optional<std::int64_t> utcMs)
{
    for (Removed& r : removed)
        if (r.entry.seq == seq) {
            r.entry.number = number;
            r.entry.provisional = false;
            if (!loggedBy.isEmpty())
                r.entry.loggedBy = loggedBy;
            if (utcMs)
                r.entry.utcMs = *utcMs;
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
    if (utcMs)
        e.utcMs = *utcMs;
    tell(&CheckInListObserver::changed, index);
    moveToPlace(index);
    return true;
}

void CheckInList::applyRemoteIdentification(std::int64_t utcMs)
{
    if (ensureNet() && !journal->addIdentification(net, utcMs))
        journalFailed();
    idents.insert(std::upper_bound(idents.begin(), idents.end(), utcMs), utcMs);
}

void CheckInList::moveIdentification(std::int64_t from, std::int64_t to)
{
    const auto at = std::find(idents.begin(), idents.end(), from);
    if (at == idents.end())
        return;
    idents.erase(at);
    idents.insert(std::upper_bound(idents.begin(), idents.end(), to), to);
}

void CheckInList::beginBulk()
{
    if (bulk)
        return;
    tell(&CheckInListObserver::aboutToReset);
    bulk = true;
}

void CheckInList::endBulk()
{
    if (!bulk)
        return;
    bulk = false;
    tell(&CheckInListObserver::reset);
}
