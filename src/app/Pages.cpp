#include "app/Pages.h"

#include "app/ScreenFit.h"

#include "clocks/TfrmTimeZone.h"
#include "fcc/TfrmFCC2.h"
#include "net/TfrmNET.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmMainA.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"
#include "session/NetSession.h"

#include <QDateTime>
#include <QStandardPaths>

TfrmMainA* frmMainA = nullptr;
TfrmINFO* frmINFO = nullptr;
TfrmTimeZone* frmTimeZone = nullptr;
TfrmRVnets* frmRVnets = nullptr;
TfrmMAPS* frmMAPS = nullptr;
TfrmNET* frmNET = nullptr;
TfrmFCC2* frmFCC2 = nullptr;
TfrmPreAmp* frmPreAmp = nullptr;

// The pictures live in the static library: register them before the first page needs one.
static void initResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace {
QString installFolder;
QString journalFolder;
std::function<std::int64_t()> netClock;
std::unique_ptr<NetSession> session;

template <typename T, typename... Args> void create(T*& global, const char* name, Args&&... args)
{
    global = new T(std::forward<Args>(args)...);
    global->setObjectName(QString::fromLatin1(name));
}

// The pages talk through signals: here they are connected, and each quit leads back.
void connectPages()
{
    for (Page* page :
        std::initializer_list<Page*> { frmINFO, frmTimeZone, frmRVnets, frmMAPS, frmNET, frmPreAmp })
        page->setPageBehind(frmMainA);
    frmFCC2->setPageBehind(frmNET);
    auto go = [](Page* to) { return [to] { navigate(frmMainA, to); }; };
    QObject::connect(frmMainA, &TfrmMainA::infoWanted, frmMainA, go(frmINFO));
    QObject::connect(frmMainA, &TfrmMainA::preambleWanted, frmMainA, go(frmPreAmp));
    QObject::connect(frmMainA, &TfrmMainA::netWanted, frmMainA, go(frmNET));
    QObject::connect(frmMainA, &TfrmMainA::clocksWanted, frmMainA, go(frmTimeZone));
    QObject::connect(frmMainA, &TfrmMainA::mapsWanted, frmMainA, go(frmMAPS));
    QObject::connect(frmMainA, &TfrmMainA::rvNetsWanted, frmMainA, go(frmRVnets));
    QObject::connect(frmMainA, &TfrmMainA::started, frmNET, &TfrmNET::LoadRosterSpreadsheet);
    // The net page may still hold check-ins that were never saved: it asks first.
    frmMainA->setEndGuard([] { return frmNET->canClose(); });
    QObject::connect(frmNET, &TfrmNET::fccWanted, frmNET, [] { navigate(frmNET, frmFCC2); });
    QObject::connect(frmFCC2, &TfrmFCC2::stationChosen, frmNET, &TfrmNET::showStation);
}

template <typename T> void destroy(T*& global)
{
    delete global;
    global = nullptr;
}
} // namespace

QString InstallFolder()
{
    return installFolder;
}

void SetJournalFolder(const QString& folder)
{
    journalFolder = folder;
}

QString JournalFolder()
{
    if (!journalFolder.isEmpty())
        return journalFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

void SetNetClock(std::function<std::int64_t()> clock)
{
    netClock = std::move(clock);
}

std::int64_t NetClockNow()
{
    return netClock ? netClock() : QDateTime::currentMSecsSinceEpoch();
}

void CreatePages(const QString& folder)
{
    installFolder = folder;
    initResources();
    try {
        create(frmMainA, "frmMainA");
        create(frmINFO, "frmINFO");
        create(frmTimeZone, "frmTimeZone");
        create(frmRVnets, "frmRVnets");
        create(frmMAPS, "frmMAPS");
        // A clock set by hand (tests) takes effect at once, even after the pages exist.
        session = std::make_unique<NetSession>(installFolder, JournalFolder(), [] { return NetClockNow(); });
        create(frmNET, "frmNET", *session);
        create(frmFCC2, "frmFCC2", installFolder, session->fccIndexes());
        create(frmPreAmp, "frmPreAmp");
        connectPages();
    } catch (...) {
        DestroyPages();
        throw;
    }
    // The window fits the screen; every page opens in the place and size the window has.
    placeMainWindow(frmMainA, frmMainA->designSize());
    frmMainA->show();
    // A net left unsaved by a crash, a power cut or a kill is offered back first thing.
    frmNET->offerRestore();
}

void DestroyPages()
{
    destroy(frmPreAmp);
    destroy(frmFCC2);
    destroy(frmNET);
    destroy(frmMAPS);
    destroy(frmRVnets);
    destroy(frmTimeZone);
    destroy(frmINFO);
    destroy(frmMainA);
    session.reset();
}

void SetNetServer(const QString& conninfo)
{
    if (frmNET)
        frmNET->setNetServer(conninfo);
}

bool ShareNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    return frmNET && frmNET->shareNet(conninfo, netName, operatorCall);
}

bool JoinNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    return frmNET && frmNET->joinNet(conninfo, netName, operatorCall);
}
