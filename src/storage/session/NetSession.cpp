#include "session/NetSession.h"
#include "data/IsolatedReader.h"

#include "data/DataError.h"

#include "journal/NetJournal.h"
#include "licence/FccIndexLoader.h"
#include "licence/LicenceFile.h"
#include "lookup/StationDirectory.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <stdexcept>

namespace {
NetSession::Clock realClockUnlessGiven(NetSession::Clock clock)
{
    if (clock)
        return clock;
    return [] { return QDateTime::currentMSecsSinceEpoch(); };
}

StationSource stationSourceOf(RosterGroup group)
{
    return StationSource(int(group) - int(rgARC));
}
} // namespace

NetSession::NetSession(const QString& installFolder, const QString& journalFolder, Clock clock)
    : m_installFolder(installFolder), m_clock(realClockUnlessGiven(std::move(clock))),
      m_journal(std::make_unique<NetJournal>(journalFolder)),
      m_store(std::make_unique<SharedStore>(*m_journal)), m_checkIns(m_store.get(), m_clock),
      m_sharedNet(std::make_unique<SharedNetSession>(*m_store, m_checkIns)),
      m_stations(std::make_unique<StationDirectory>())
{
    // A folder without any of the databases is the wrong folder, not a damaged installation.
    bool anyThere = false;
    QStringList files;
    for (const ClubRoster& r : clubRosters()) {
        files << QString::fromLatin1(r.file);
        anyThere = anyThere
            || QFileInfo(m_installFolder + QStringLiteral("/database/") + QString::fromLatin1(r.file))
                   .isFile();
    }
    if (!anyThere)
        throw DataError(
            QStringLiteral("The folder \"%1\" holds none of the club databases (%2 in its folder "
                           "\"database\"), so it is not the installation folder.\n"
                           "Start the program with --install-dir DIR to point at the folder that holds them.")
                .arg(QDir::toNativeSeparators(QDir(m_installFolder).absolutePath()),
                    files.join(QStringLiteral(", ")))
                .toStdString());
    // Opened once for the whole run, in the order the first start-up opened them, so the
    // file named when several are missing stays the same.
    for (RosterGroup group : { rgRV, rgRegular, rgARC, rgWBCCI }) {
        const ClubRoster& r = *clubRoster(group);
        const QString path = QDir::toNativeSeparators(
            m_installFolder + QStringLiteral("/database/") + QString::fromLatin1(r.file));
        roster(group) = openRosterTable(path, QString::fromLatin1(r.table));
    }
    for (const ClubRoster& r : clubRosters())
        m_stations->setRoster(stationSourceOf(r.group), roster(r.group));
    m_fccIndex = &m_fccIndexes.forFile(licenceFile());
    m_stations->setFccLoader(m_fccIndex);
}

NetSession::~NetSession() = default;

QString NetSession::licenceFile() const
{
    return LicenceFilePath(m_installFolder);
}

RosterTable& NetSession::roster(int group)
{
    if (group < rgARC || group > rgWBCCI)
        throw std::out_of_range("no roster for this group");
    return m_rosters[std::size_t(group - rgARC)];
}

void NetSession::startFccIndex()
{
    // The page never waits for the index: it is made after start-up on a worker thread,
    // unless the FCC page asked for it first.
    fccIndex().startOnce(
        licenceFile(), FccIndexLoader::defaultCacheFolder(), std::chrono::milliseconds(1500));
}
