#pragma once
// The check-in list of one net: its lines, their numbering, the unsaved mark and the undo of
// deletes. Every change goes to the net journal first and only then into the list, so what
// the operator sees is always what a crash would bring back.
#include "checkin/CheckInStore.h"
#include "checkin/Station.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Told of every change to a check-in list, before and after it: the one way the list tells
// others of a change, whether the operator made it or it came from another operator. A view
// over the list (a Qt model) keeps its rows, its selection and its keyboard position in step;
// the shared net follows the lines it shows.
class CheckInListObserver {
public:
    virtual ~CheckInListObserver() = default;
    virtual void aboutToInsert(int index) = 0;
    virtual void inserted(int index) = 0;
    virtual void aboutToRemove(int index) = 0;
    virtual void removed(int index) = 0;
    virtual void changed(int index) = 0; // a status or the text of a line
    virtual void aboutToReset() = 0;
    virtual void reset() = 0; // the whole list was replaced
};

class CheckInList {
public:
    using Clock = std::function<std::int64_t()>; // now, in milliseconds since 1970 UTC

    // The journal may be null (nothing is kept) and may fail at any time: the list goes on
    // working in memory, and journalProblem() tells why it is no longer protected.
    explicit CheckInList(CheckInStore* journal = nullptr, Clock clock = {});

    // Appends a date line; it carries no number and is not counted.
    void addDateLine(const QString& date);
    // Appends a check-in numbered one above the highest number given; returns the number.
    // The call is kept without blanks around it; the other fields as given.
    int addCheckIn(const CheckInFields& fields, CheckInSource source);
    // Removes the line at index; false when there is none. The line can be brought back by undo().
    bool remove(int index);
    // Puts the last removed line back where it stood, number unchanged; returns its index.
    std::optional<int> undo();
    bool canUndo() const { return !removed.empty(); }
    // Sets a check-in's status tag (an empty text clears it).
    bool setStatus(int index, const QString& status);

    int size() const { return int(entries.size()); }
    const JournalEntry& at(int index) const { return entries.at(std::size_t(index)); }
    QString line(int index) const;
    QStringList lines() const;
    int checkInCount() const; // check-in lines in the list; date lines never count
    int highestNumber() const { return highest; }
    // The list index of the latest check-in of the same station (the trimmed, upper-cased
    // call, see stationIdentity), or -1.
    int findCall(const QString& call) const;
    // The identities (see stationIdentity) of every station on the list.
    QSet<QString> checkedInStations() const;

    bool isUnsaved() const { return unsaved; }
    void markSaved();
    // The operator chose to drop the list: the journal never offers it again.
    void markDiscarded();

    // Takes over a net the journal holds, line for line; the list is then unsaved.
    void restore(std::int64_t net);
    std::int64_t netId() const { return net; }
    // Starts the next net on an empty list: no lines, no undo, numbers from 1 again, no
    // identifications, and a new net in the journal from its first line on. The net that was
    // on the list stays in the journal as it stands, so the page saves or discards it first;
    // one left unsaved is offered for restore at the next start.
    void beginNewNet();

    // Identification of the control station (the first check-in counts as one).
    void markIdentified();
    // The identifications of the net on the list now: none of an earlier net, whether that
    // net was cleared away or still stands above the latest date line.
    std::vector<std::int64_t> identifications() const;
    // The time of the first check-in of the net on the list now (after the first date line
    // of the latest date), if any.
    std::optional<std::int64_t> netStartUtc() const;

    std::int64_t now() const { return clock(); }
    // Observers are told in the order they were added; each must be removed before it goes.
    void addObserver(CheckInListObserver* o);
    void removeObserver(CheckInListObserver* o);

    // The call of the operator at this list: every line added here is logged by it.
    void setOperator(const QString& call) { operatorCall = call; }
    const QString& operatorName() const { return operatorCall; }
    // A shared net numbers its check-ins on the server: a line added here is provisional
    // (shown with a mark) until its number comes back. Its list stands in number order, the
    // same on every operator's list: date lines first, then the numbered check-ins, then the
    // provisional ones in the order they were logged; a line moves to its place when its
    // number comes.
    void setNumbersProvisional(bool on) { provisionalNumbers = on; }
    // Where changes are kept, chosen once when the list is made.
    CheckInStore* store() const { return journal; }
    // The journal's net of this list, begun now if it has none yet; 0 without a journal.
    std::int64_t openNet() { return ensureNet(); }

    // Changes other operators made, applied in place (CheckInListRemote.cpp). Each goes to
    // the store and then to the list like the operator's own, never onto the undo stack, and
    // is told to the observers like any other change.
    int indexOfSeq(std::int64_t seq) const;
    // Puts another operator's line in the list: at its seq when it has one (a line the store
    // knew before), otherwise after every line. Returns its index.
    int applyRemote(JournalEntry entry);
    bool applyRemoteRemoval(std::int64_t seq);
    // Brings back a line removed elsewhere; entry is the line as it stands.
    int applyRemoteRestore(const JournalEntry& entry);
    bool applyRemoteStatus(std::int64_t seq, const QString& status);
    // The server's number for a line (and who logged it and when, when given): the
    // provisional mark goes. The store has the number already; the list only shows it.
    bool confirmNumber(std::int64_t seq, int number, const QString& loggedBy = QString(),
        std::optional<std::int64_t> utcMs = std::nullopt);
    void applyRemoteIdentification(std::int64_t utcMs);
    // An own identification at from took place at to by the server's clock (the store has
    // it already): the reminder and the record count from then.
    void moveIdentification(std::int64_t from, std::int64_t to);
    // Many changes at once, such as the whole net read at a join: between the two the
    // observers hear nothing line by line, and at the end one reset.
    void beginBulk();
    void endBulk();
    // Empty while the journal protects the list; otherwise why it does not.
    QString journalProblem() const;
    // The store takes changes again: the list is protected from now on.
    void journalRecovered()
    {
        if (journal && journal->ok())
            failed = false;
    }

private:
    // Where the net on the list now begins: the first date line of the latest date, or the
    // first line when there is no date line.
    int currentNetFirstLine() const;
    bool journaling();
    void journalFailed();
    std::int64_t ensureNet();
    void append(JournalEntry e);

    CheckInStore* const journal;
    Clock clock;
    std::vector<CheckInListObserver*> observers;
    template <typename F> void tell(F f)
    {
        for (CheckInListObserver* o : observers)
            (o->*f)();
    }
    template <typename F> void tell(F f, int index)
    {
        if (bulk)
            return; // told as one reset at its end
        for (CheckInListObserver* o : observers)
            (o->*f)(index);
    }
    bool bulk = false;
    std::int64_t net = 0;
    std::vector<JournalEntry> entries;
    struct Removed {
        JournalEntry entry;
    };
    std::vector<Removed> removed;
    std::vector<std::int64_t> idents;
    std::int64_t nextSeq = 1;
    int highest = 0;
    bool unsaved = false;
    bool failed = false;
    QString operatorCall;
    bool provisionalNumbers = false;
    int insertBySeq(JournalEntry entry);
    // Whether a stands before b in a shared net's list.
    static bool sharedOrder(const JournalEntry& a, const JournalEntry& b);
    // Where a line goes in the list: by seq, or in a shared net by sharedOrder.
    int placeOf(const JournalEntry& entry) const;
    // Moves the line at index to its place in a shared net's list; returns its index.
    int moveToPlace(int index);
    // Takes the line at index off the list (the journal is the caller's), telling the observer.
    void eraseAt(int index);
};
