// The search of all four club databases for one call sign.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "ui_TfrmNET.h"

namespace {
struct Copy {
    const char* column;
    const char* field;
};
struct ClubTable {
    int group;
    const char* key;
    std::initializer_list<Copy> copies;
    const char* line;
};
} // namespace

void TfrmNET::VRSEARCHClick()
{
    const QString call = ui->editCALLM->text();
    ui->lstboxCALLS->clear();
    SearchClubDatabases(call);
}

void TfrmNET::SearchClubDatabases(const QString& call)
{
    // Every roster is searched, in this order; a box ends up holding the value of the
    // last roster that supplies it.
    static const ClubTable tables[] = {
        { rgARC, "CALL",
            { { "FN", "editSelFN" }, { "SFN", "editSelSFN" }, { "LNAME", "editSelLNAME" },
                { "SCALL", "editSelSCALL" }, { "CITY", "editSelCITY" }, { "STATE", "editSelSTATE" } },
            "FMCA ARC" },
        { rgRV, "Call", { { "FN", "editSelFN" } }, "RV Radio Network" },
        { rgRegular, "Call",
            { { "NameS", "editSelFN" }, { "City", "editSelCITY" }, { "State", "editSelSTATE" } },
            "Regular Check-ins" },
        { rgWBCCI, "Call",
            { { "NameS", "editSelFN" }, { "CITY", "editSelCITY" }, { "STATE", "editSelSTATE" } },
            "WBCCI Service net" },
    };
    // Nothing of the station looked up before may stay in the fields.
    ClearSelectedCall();
    bool found = false;
    for (const ClubTable& t : tables) {
        RosterTable& table = *group(t.group).table;
        table.First();
        if (!table.LocateCall(QString::fromLatin1(t.key), call))
            continue;
        selectedSource = CheckInSource::ClubSearch;
        ui->editSelCALL->setText(call);
        for (const Copy& c : t.copies)
            setSelected(c.field, table.FieldText(QString::fromLatin1(c.column)));
        ui->lstboxCALLS->addItem(QString::fromLatin1(t.line));
        found = true;
    }
    if (!found) {
        // A second look in the ARC roster with letter case ignored tells the operator that
        // the call is there in other letters.
        if (tableFMCA.Locate(QStringLiteral("CALL"), call.toUpper(), LocateOptions { true, true }))
            Dialogs::showMessage(QStringLiteral("found"));
        Dialogs::showMessage(QStringLiteral("CALL NOT FOUND IN DATABASE ! "));
    }
}
