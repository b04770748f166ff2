#pragma once
// Importing the FCC's zips into the licence files below the installation folder: one
// weekly set (l_amat.zip) and any daily sets (l_am_<day>.zip), read straight from the
// zips. The daily sets newer than the weekly are applied in the order of their dates
// (from each zip's "counts" file): a daily record replaces the record of the same
// unique system identifier, and records of new identifiers are added. Without a weekly
// set, the daily sets are applied to the files imported before.
//
// The result is written as plain FCCraw/EN.dat, HD.dat and AM.dat: all three are
// written whole beside the old ones first and only then renamed into place, so an
// import that fails or is stopped leaves the files as they were. The dates of the sets
// go to FCCraw/dates.txt. QtCore only, no widgets; may run on any thread.
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

struct FccImportResult {
    bool ok = false;
    QString error; // why it failed, naming the file; empty when it succeeded
    QStringList notes; // what was skipped on the way (old daily sets, malformed records)
    long long records = 0; // EN records written
};

// Whether the zip at path is a daily set, by its name (l_am_<day>.zip); every other
// zip is taken for a weekly set.
bool IsDailyFccZip(const QString& path);

// Imports zips into fccFolder (created when missing). progress(percent) is called now
// and then with 0..100; when cancel is given and becomes true the import stops and
// fails, leaving the files as they were.
FccImportResult ImportFccZips(const QStringList& zips, const QString& fccFolder,
    const std::function<void(int percent)>& progress = {}, const std::atomic<bool>* cancel = nullptr);
