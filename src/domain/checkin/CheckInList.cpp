#include "checkin/CheckInList.h"

#include "checkin/CheckInLine.h"

#include <QDateTime>

#include <algorithm>

CheckInList::CheckInList(CheckInStore* journal, Clock clock)
    : journal(journal),
      clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentMSecsSinceEpoch(); }))
{
}

void CheckInList::addObserver(CheckInListObserver* o)
{
    if (o && std::find(observers.begin(), observers.end(), o) == observers.end())
        observers.push_back(o);
}

void CheckInList::removeObserver(CheckInListObserver* o)
{
    observers.erase(std::remove(observers.begin(), observers.end(), o), observers.end());
}

bool CheckInList::journaling()
{
    return journal && ((!failed && journal->ok()) || journal->keepsChangesWhenFailing());
}

void CheckInList::journalFailed()
{
    failed = true;
}

QString CheckInList::journalProblem() const
{
    if (!journal)
        return QStringLiteral("No journal is kept.");
    if (failed || !journal->ok())
        return journal->problem();
    return QString();
}

std::int64_t CheckInList::ensureNet()
{
    if (net == 0 && journaling()) {
        net = journal->beginNet(clock());
        if (net == 0)
            journalFailed();
    }
    return net;
}

void CheckInList::addDateLine(const QString& date)
{
    JournalEntry e;
    e.seq = nextSeq;
    e.dateLine = true;
    e.text = dateLine(date);
    e.utcMs = clock();
    if (ensureNet() && !journal->append(net, e, false))
        journalFailed();
    ++nextSeq;
    append(std::move(e));
}

void CheckInList::append(JournalEntry e)
{
    // A date line of a shared net heads the list, before its check-ins.
    const int index = provisionalNumbers ? placeOf(e) : size();
    tell(&CheckInListObserver::aboutToInsert, index);
    entries.insert(entries.begin() + index, std::move(e));
    tell(&CheckInListObserver::inserted, index);
}

int CheckInList::addCheckIn(const CheckInFields& f, CheckInSource source)
{
    JournalEntry e;
    e.seq = nextSeq;
    e.number = highest + 1;
    // The call alone, as the journal gives it back after a crash: a padded call ("  W1AW"
    // from the FCC file's layout) would otherwise show one line now and another restored.
    e.call = f.call.trimmed();
    e.name = f.name;
    e.city = f.city;
    e.state = f.state;
    e.source = source;
    e.utcMs = clock();
    e.loggedBy = operatorCall;
    e.provisional = provisionalNumbers;
    if (ensureNet() && !journal->append(net, e, !unsaved))
        journalFailed();
    ++nextSeq;
    highest = e.number;
    unsaved = true;
    append(e);
    // The first check-in of the net is the control station's first identification.
    const auto start = netStartUtc();
    const auto own = identifications();
    if (start && (own.empty() || own.back() < *start))
        markIdentified();
    return e.number;
}

bool CheckInList::remove(int index)
{
    if (index < 0 || index >= size())
        return false;
    const JournalEntry& e = entries[std::size_t(index)];
    if (net && journaling() && !journal->setDeleted(net, e.seq, clock(), !unsaved))
        journalFailed();
    removed.push_back({ e });
    eraseAt(index);
    return true;
}

void CheckInList::eraseAt(int index)
{
    tell(&CheckInListObserver::aboutToRemove, index);
    entries.erase(entries.begin() + index);
    tell(&CheckInListObserver::removed, index);
    unsaved = true;
}

std::optional<int> CheckInList::undo()
{
    if (removed.empty())
        return std::nullopt;
    JournalEntry e = removed.back().entry;
    removed.pop_back();
    if (net && journaling() && !journal->setDeleted(net, e.seq, std::nullopt, !unsaved))
        journalFailed();
    // Lines stand in the order they were first added, so the line goes back before the
    // first line that was added after it.
    const int index = insertBySeq(std::move(e));
    unsaved = true;
    return index;
}

bool CheckInList::setStatus(int index, const QString& status)
{
    if (index < 0 || index >= size() || entries[std::size_t(index)].dateLine)
        return false;
    JournalEntry& e = entries[std::size_t(index)];
    if (net && journaling() && !journal->setStatus(net, e.seq, status))
        journalFailed();
    e.status = status;
    tell(&CheckInListObserver::changed, index);
    return true;
}

QString CheckInList::line(int index) const
{
    const JournalEntry& e = at(index);
    if (e.dateLine)
        return e.text;
    const QString text = checkInLine(e.number, e.call, e.name, e.city, e.state);
    // A provisional number is marked right after it: "8?  K5ABC ...".
    return e.provisional ? text.left(QString::number(e.number).size()) + QLatin1Char('?')
            + text.mid(QString::number(e.number).size())
                         : text;
}

QStringList CheckInList::lines() const
{
    QStringList out;
    out.reserve(size());
    for (int i = 0; i < size(); ++i)
        out << line(i);
    return out;
}

int CheckInList::checkInCount() const
{
    int n = 0;
    for (const JournalEntry& e : entries)
        n += e.dateLine ? 0 : 1;
    return n;
}

int CheckInList::findCall(const QString& call) const
{
    // A station checked in from the FCC file ("  W1AW") and typed in ("w1aw") is one station.
    const QString identity = stationIdentity(call);
    for (int i = size() - 1; i >= 0; --i)
        if (!entries[std::size_t(i)].dateLine && stationIdentity(entries[std::size_t(i)].call) == identity)
            return i;
    return -1;
}

QSet<QString> CheckInList::checkedInStations() const
{
    QSet<QString> in;
    for (const JournalEntry& e : entries)
        if (!e.dateLine)
            in.insert(stationIdentity(e.call));
    return in;
}

void CheckInList::markSaved()
{
    unsaved = false;
    if (net && journaling() && !journal->setSaved(net, clock()))
        journalFailed();
}

void CheckInList::markDiscarded()
{
    if (net && journaling() && !journal->setDiscarded(net))
        journalFailed();
}

void CheckInList::restore(std::int64_t id)
{
    if (!journaling())
        return;
    tell(&CheckInListObserver::aboutToReset);
    entries = journal->entries(id);
    if (provisionalNumbers)
        std::stable_sort(entries.begin(), entries.end(), sharedOrder);
    net = id;
    highest = journal->highestNumber(id);
    idents = journal->identifications(id);
    removed.clear();
    // Deleted lines keep their place in the journal: new lines come after all of them.
    nextSeq = journal->lastSeq(id) + 1;
    unsaved = true;
    tell(&CheckInListObserver::reset);
}

void CheckInList::beginNewNet()
{
    tell(&CheckInListObserver::aboutToReset);
    net = 0; // the journal's next net begins with the first line added
    entries.clear();
    removed.clear();
    idents.clear();
    nextSeq = 1;
    highest = 0;
    unsaved = false;
    tell(&CheckInListObserver::reset);
}

void CheckInList::markIdentified()
{
    const std::int64_t t = clock();
    if (ensureNet() && !journal->addIdentification(net, t))
        journalFailed();
    idents.push_back(t);
}

int CheckInList::currentNetFirstLine() const
{
    // A trip to another page adds a date line of the same day, which must not start the net
    // again: the net of the latest date begins at the first line of that date.
    QString latestDate;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->dateLine) {
            latestDate = it->text;
            break;
        }
    if (latestDate.isEmpty())
        return 0;
    for (int i = 0; i < size(); ++i)
        if (entries[std::size_t(i)].dateLine && entries[std::size_t(i)].text == latestDate)
            return i;
    return size();
}

std::vector<std::int64_t> CheckInList::identifications() const
{
    // When the net begins at the top of the list, every identification since the list began
    // is its own (one made before the first line too); otherwise those made before its first
    // line belong to the net above it.
    const int first = currentNetFirstLine();
    if (first == 0 || first >= size())
        return idents;
    const std::int64_t opened = entries[std::size_t(first)].utcMs;
    std::vector<std::int64_t> own;
    for (const std::int64_t t : idents)
        if (t >= opened)
            own.push_back(t);
    return own;
}

std::optional<std::int64_t> CheckInList::netStartUtc() const
{
    for (int i = currentNetFirstLine(); i < size(); ++i)
        if (!entries[std::size_t(i)].dateLine)
            return entries[std::size_t(i)].utcMs;
    return std::nullopt;
}
