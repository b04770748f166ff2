#pragma once
// The net calling page. It places its parts and connects them: the group and area choice,
// the four club rosters, SELECTED CALL, MANUAL INSERT, the club search, the roster grid,
// the check-in list with its QUICK CALL box, and the net's clock and record. Each part holds
// its own handlers; the page holds what they share: the station chosen, one way to check it
// in, and the page's keys.
#include "checkin/Station.h"
#include "controls/Page.h"
#include "roster/RosterCatalog.h"

#include <array>
#include <memory>

class NetSession;
class CheckInPanel;
class ClubSearchPanel;
class GroupChooser;
class ManualInsertBox;
class NetRecordPanel;
class QuickCallBox;
class RosterGridPanel;
class RosterPanel;
class SelectedCallBox;
class SharedNetPanel;

namespace Ui {
class TfrmNET;
}

class TfrmNET : public Page {
    Q_OBJECT

public:
    explicit TfrmNET(NetSession& session, QWidget* parent = nullptr);
    ~TfrmNET() override;

    void FormActivate() override;
    // Shows a chosen station in SELECTED CALL (the FCC page's choice comes here).
    void showStation(const Station& station);
    // Asks about check-ins not yet saved; false when the operator keeps the program open.
    bool canClose();
    // At start-up: offers to restore a net the journal holds that was neither saved nor discarded.
    void offerRestore();
    void panSAVEClick();
    void focusQuickCall(); // F2

    // The shared net: what SHARE NET and JOIN NET do on OK, and the server they offer.
    bool shareNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
    bool joinNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
    void setNetServer(const QString& conninfo);

    void LoadRosterSpreadsheet(const QString& directory);

signals:
    void fccWanted(); // FCC: the licence look-up page

private:
    // The page's tests read its parts through this one class, beside the tests.
    friend class NetPageProbe;

    // The group whose roster is shown, rgNone while none is.
    int currentGroup() const;
    void ClearSelectedCall();
    // Looks the text up in the roster shown, as a click on its line does.
    void LookUpStation(const QString& text);
    // The one way a station is checked in, whichever part chose it.
    bool checkIn(const Station& station);

    void placeParts();
    void connectParts();
    void setUpKeys();
    void setUpTabOrder();
    void beginNewNet(); // Ctrl+N
    void checkInsChanged();
    void showRoster(int group, int digit);
    void resetHeader();
    void togglePhonetics();

    std::unique_ptr<Ui::TfrmNET> ui;
    NetSession& m_session;
    GroupChooser* m_groups = nullptr;
    std::array<RosterPanel*, 4> m_rosters {};
    SelectedCallBox* m_selected = nullptr;
    CheckInPanel* m_checkIns = nullptr;
    QuickCallBox* m_quick = nullptr;
    NetRecordPanel* m_record = nullptr;
    ClubSearchPanel* m_clubSearch = nullptr;
    RosterGridPanel* m_grid = nullptr;
    ManualInsertBox* m_manual = nullptr;
    SharedNetPanel* m_shared = nullptr;
};
