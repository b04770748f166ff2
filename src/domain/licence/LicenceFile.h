#pragma once
// Reading the licence entity file into the prefix list, and saving the list. The file
// is mapped into memory and read as bytes; a build that cannot read the whole file
// changes nothing.
// No widgets here.
#include "licence/LicenceList.h"

#include <QString>

#include <atomic>
#include <string_view>

// Where the page finds the licence file: "FCCraw/EN.dat" below the installation folder.
// After an import the files are those of the current set in FCCraw (FccLicenceSet.h):
// the readers here and of the call index find them through CurrentLicenceFile().
QString LicenceFilePath(const QString& installFolder);

// The list lines of the file at path whose call sign begins with prefix.
struct LicenceFileScan {
    LicenceList lines;
    QString error; // why the file could not be read; empty when it was read whole
    bool ok() const { return error.isEmpty(); }
};
// Reads the file (of the current set, when path names one in its folder) from start to
// end, then maps it for the text of the lines. May run on
// any thread. When stop is given and becomes true, the reading ends early with an error
// and no lines.
//
// The lines refer to the mapping, which stays as the file was read as long as the file
// is replaced by renaming a new one into place, as the program's own import does. A
// file cut short in place by another program while it is mapped would fault when its
// lost lines are read; the program never writes the licence files in place.
LicenceFileScan ScanLicenceFile(
    const QString& path, std::string_view prefix, const std::atomic<bool>* stop = nullptr);

// Appends to list the lines of the file at path that begin with prefix and returns the
// number of lines the list holds afterwards, earlier builds included; or -1 with the
// reason in error, and list as it was, when the file cannot be read.
long long BuildPrefixList(
    const QString& path, std::string_view prefix, LicenceList& list, QString* error = nullptr);

// The index of the first line whose call sign is call, or -1.
long long FindCallInList(const LicenceList& list, std::string_view call);

// Writes every line of list to fileName, each followed by CR LF, replacing the file
// only when everything was written. Returns why it failed, or an empty text.
QString SaveLicenceList(const LicenceList& list, const QString& fileName);
