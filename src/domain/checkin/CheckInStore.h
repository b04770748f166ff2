#pragma once
// Where a check-in list keeps every change durably before it shows it. The net journal is
// the store of the program; the list knows only this interface, so it sits below the
// journal and can be tested with any store.
#include "checkin/CheckIn.h"

#include <cstdint>
#include <optional>
#include <vector>

class CheckInStore {
public:
    virtual ~CheckInStore() = default;

    virtual bool ok() const = 0;
    // Whether the store still wants every change after it failed (it keeps them elsewhere,
    // say in memory); by default a failed store is left alone.
    virtual bool keepsChangesWhenFailing() const { return false; }
    // Why the store failed, empty while it works.
    virtual QString problem() const = 0;

    // Each change is durable when the call returns true; false stops the store (ok() false).
    virtual std::int64_t beginNet(std::int64_t utcMs) = 0; // the new net's id, 0 on failure
    virtual bool append(std::int64_t net, const JournalEntry& entry, bool marksUnsaved) = 0;
    virtual bool setDeleted(
        std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs, bool marksUnsaved)
        = 0;
    virtual bool setStatus(std::int64_t net, std::int64_t seq, const QString& status) = 0;
    virtual bool setSaved(std::int64_t net, std::int64_t utcMs) = 0;
    virtual bool setDiscarded(std::int64_t net) = 0;
    virtual bool addIdentification(std::int64_t net, std::int64_t utcMs) = 0;

    // Reading a net back, line for line.
    virtual std::vector<JournalEntry> entries(std::int64_t net) = 0; // lines still in the list
    virtual int highestNumber(std::int64_t net) = 0; // deleted check-ins count too
    virtual std::int64_t lastSeq(std::int64_t net) = 0; // deleted lines count too
    virtual std::vector<std::int64_t> identifications(std::int64_t net) = 0;
};
