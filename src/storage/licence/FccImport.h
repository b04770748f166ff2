#pragma once
// Importing the FCC's zips into the licence files below the installation folder: one
// weekly set (the complete amateur file, l_amat.zip) and any daily sets (l_am_<day>.zip),
// read straight from the zips. The daily sets written after the weekly are applied in
// the order the FCC wrote them (the time in each zip's "counts" file): a daily record
// replaces the record of the same unique system identifier, and records of new
// identifiers are added. Without a weekly set, the daily sets are applied to the files
// imported before.
//
// Whether a zip is the weekly set or a daily one is told from what it holds and says:
// the last action dates of its licence records (a daily set holds the records changed
// in the days before it was written, a weekly set every licence) and its counts file
// and name must agree; a zip that cannot be told apart is refused. A weekly set must
// hold EN.dat, HD.dat and AM.dat whose records share their identifiers.
//
// The result is a new set (FccLicenceSet.h): EN.dat, HD.dat, AM.dat and dates.txt
// written whole beside the current set and made current in one step, so an import that
// fails, is stopped or killed, or fills the disk leaves the current set as it was.
// QtCore only, no widgets; may run on any thread.
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

#include <string>

struct FccImportResult {
    bool ok = false;
    QString error; // why it failed, naming the file; empty when it succeeded
    QStringList notes; // what was skipped on the way (old daily sets, malformed records)
    long long records = 0; // EN records written
    // Refused only because the weekly set holds far fewer records than the data it
    // would replace; FccImportOptions::acceptSmallerWeekly imports it all the same.
    bool smallerWeekly = false;
};

struct FccImportOptions {
    // Import a weekly set that holds far fewer records (less than half the bytes of
    // EN.dat) than the data in place: the operator said so.
    bool acceptSmallerWeekly = false;
    // Told as the import passes each step: "started", "EN.dat", "HD.dat", "AM.dat"
    // (each written whole), "dates", then "named", "switched" and "cleaned".
    std::function<void(const char* step)> step;
};

// Whether the zip at path is a daily set by its name (l_am_<day>.zip).
bool IsDailyFccZip(const QString& path);

// What a zip says and holds that tells a weekly set from a daily one.
enum class FccSetKind { Weekly, Daily, Unknown };
struct FccSetClues {
    QString fileName;
    std::string counts; // the text of its counts file
    int dated = 0; // HD records read that carry a last action date
    int recent = 0; // of those, changed in the week before the set was written
};
// Weekly, Daily, or Unknown (with why, naming nothing) when the clues do not agree or
// say too little.
FccSetKind FccSetKindOf(const FccSetClues& clues, QString* why = nullptr);

// Imports zips into fccFolder (created when missing). progress(percent) is called now
// and then with 0..100; when cancel is given and becomes true the import stops and
// fails, leaving the files as they were.
FccImportResult ImportFccZips(const QStringList& zips, const QString& fccFolder,
    const std::function<void(int percent)>& progress = {}, const std::atomic<bool>* cancel = nullptr,
    const FccImportOptions& options = {});

// The sentence the refusals give on where the FCC files come from and in which order.
QString FccFilesAdvice();
