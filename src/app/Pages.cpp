#include "app/Pages.h"

#include "app/TfrmMainA.h"
#include "clocks/TfrmTimeZone.h"
#include "fcc/TfrmFCC2.h"
#include "net/TfrmNET.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"

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

template <typename T> void create(T*& global, const char* name)
{
    global = new T();
    global->setObjectName(QString::fromLatin1(name));
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
        create(frmNET, "frmNET");
        create(frmFCC2, "frmFCC2");
        create(frmPreAmp, "frmPreAmp");
    } catch (...) {
        DestroyPages();
        throw;
    }
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
}
