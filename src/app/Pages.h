#pragma once
// The eight pages of the program, created once at start-up in a fixed order and kept
// until the end. Every page's objectName is the name of its global.
#include <QString>

#include <cstdint>
#include <functional>

class TfrmMainA;
class TfrmINFO;
class TfrmTimeZone;
class TfrmRVnets;
class TfrmMAPS;
class TfrmNET;
class TfrmFCC2;
class TfrmPreAmp;

extern TfrmMainA* frmMainA;
extern TfrmINFO* frmINFO;
extern TfrmTimeZone* frmTimeZone;
extern TfrmRVnets* frmRVnets;
extern TfrmMAPS* frmMAPS;
extern TfrmNET* frmNET;
extern TfrmFCC2* frmFCC2;
extern TfrmPreAmp* frmPreAmp;

// Creates the eight pages in order and shows the main page. installFolder holds
// database/ and FCCraw/. Throws when a page cannot be created (a database that cannot
// be opened); pages created before the failure are destroyed again.
void CreatePages(const QString& installFolder);
// Destroys every page that exists, last created first.
void DestroyPages();
// The installation folder given to CreatePages.
QString InstallFolder();
// The folder of the net journal: the user's data folder unless set before CreatePages.
void SetJournalFolder(const QString& folder);
QString JournalFolder();
// The shared-net server SHARE NET and JOIN NET offer first (the command line's --server).
void SetNetServer(const QString& conninfo);
// What the SHARE NET and JOIN NET forms do on OK, for the net page: true when it worked.
bool ShareNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
bool JoinNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
// The clock of the net's times (check-ins, identifications, the net timer), in milliseconds
// since 1970 UTC. An empty function restores the real clock; tests set one by hand.
void SetNetClock(std::function<std::int64_t()> clock);
std::int64_t NetClockNow();
