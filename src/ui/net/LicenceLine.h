#pragma once
// What the net page says of a call's licence, from the FCC call index once it is ready.
#include <QString>

#include <utility>

class FccIndexLoader;
class QuickCallBox;
class SelectedCallBox;

// The line under SELECTED CALL ("Extra, active to 2034-02-15", "EXPIRED 2023-09-28", "not in
// the FCC file", or empty while no FCC data is loaded) and whether it warns.
std::pair<QString, bool> licenceLine(const FccIndexLoader& loader, const QString& call);
// The mark of a suggestion: "(E)" for the class, "EXPIRED" or "CANCELLED" for a licence
// that has lapsed; empty when the index knows nothing of the call.
QString licenceMark(const FccIndexLoader& loader, const QString& call);
// Shows the licences in the licence line under SELECTED CALL and in the quick call
// suggestions; the licence file's calls come in after start-up and both take them in at once.
void showLicences(const FccIndexLoader& loader, SelectedCallBox& selected, QuickCallBox& quick);
