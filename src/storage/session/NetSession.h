#pragma once
// Everything a net needs besides its pages: the installation folder, the net journal and
// the check-in list it protects (through the one store the list ever has, which also queues
// a shared net's changes for its server), the shared net itself, the clock of the net's
// times, the four club roster tables, the station directory over every source, and the FCC
// call indexes. Built once at start-up
// and handed to the pages that need it; nothing reaches it through a global.
#include "checkin/CheckInList.h"
#include "data/RosterTable.h"
#include "licence/FccIndexes.h"
#include "roster/RosterCatalog.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class NetJournal;
class SharedNetSession;
class SharedStore;
class StationDirectory;

class NetSession {
public:
    using Clock = std::function<std::int64_t()>; // milliseconds since 1970 UTC

    // Opens the four roster databases below installFolder (throws DataError naming the file
    // of the first that cannot be read) and the journal in journalFolder; an empty clock
    // is the real one.
    NetSession(const QString& installFolder, const QString& journalFolder, Clock clock);
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    const QString& installFolder() const { return m_installFolder; }
    // The licence entity file below the installation folder, in native separators.
    QString licenceFile() const;
    std::int64_t now() const { return m_clock(); }
    const Clock& clock() const { return m_clock; }

    NetJournal& journal() { return *m_journal; }
    CheckInList& checkIns() { return m_checkIns; }
    const CheckInList& checkIns() const { return m_checkIns; }
    // The check-in list's net shared with other operators, when it is.
    SharedNetSession& sharedNet() { return *m_sharedNet; }
    // The table of a club group; throws std::out_of_range for rgNone.
    RosterTable& roster(int group);
    StationDirectory& stations() { return *m_stations; }
    // The call index of the installation's licence file, which every page shares.
    FccIndexLoader& fccIndex() { return *m_fccIndex; }
    // Every call index of the program: a page reading another licence file takes its
    // index from here, never making one of its own.
    FccIndexes& fccIndexes() { return m_fccIndexes; }

    // Starts indexing the licence file's calls on a worker thread; the directory takes the
    // index in as soon as it is ready.
    void startFccIndex();

private:
    QString m_installFolder;
    Clock m_clock;
    std::unique_ptr<NetJournal> m_journal;
    std::unique_ptr<SharedStore> m_store;
    CheckInList m_checkIns;
    std::unique_ptr<SharedNetSession> m_sharedNet;
    std::array<RosterTable, 4> m_rosters;
    FccIndexes m_fccIndexes;
    FccIndexLoader* m_fccIndex = nullptr; // the installation's, looked up once
    std::unique_ptr<StationDirectory> m_stations;
};
