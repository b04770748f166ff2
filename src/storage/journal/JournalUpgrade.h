#pragma once
// Brings a journal written by an earlier version of the program up to the columns this one
// reads. Every step is additive, so an older program can still read what it knew.
struct sqlite3;

// False when the file could not be changed; the journal is then not used.
bool upgradeJournal(sqlite3* db);
