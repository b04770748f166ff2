#pragma once
// Reads what can still be read of a damaged journal into a new one: every net, line and
// identification whose pages are sound. Nothing in the damaged file is changed.
#include <QString>

struct sqlite3;

struct JournalSalvage {
    int nets = 0; // nets read back
    int checkIns = 0; // check-ins of those nets still on their lists
    int unsaved = 0; // nets with check-ins that were neither saved nor discarded
};

// Copies the readable rows of the damaged file into the journal `into`, whose tables exist
// already; rows it holds are kept. Never throws; nothing is copied when the file cannot be
// opened at all.
JournalSalvage salvageJournal(const QString& damagedFile, sqlite3* into);
