#pragma once
// The net calling page: club rosters, the check-in list and the look-ups that feed the
// selected-call fields. The handlers live in one file per concern (Rosters, CheckIns,
// ClubSearch, RosterSearch, RosterGrid, CallBook).
#include "controls/Page.h"
#include "data/RosterTable.h"
#include "checkin/CheckInLine.h"
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include <QHash>
#include <QStringList>
#include <QTimer>
#include <array>
#include <memory>

class QListWidget;
class QLineEdit;
class QKeyEvent;
class StationDirectory;
class FccIndexLoader;
struct StationRow;
class FacePanel;
class RosterGridModel;

namespace Ui {
class TfrmNET;
}

// The club groups, with the values the page keeps in CurrentGroup.
enum RosterGroup { rgNone = 0, rgARC = 1, rgRV = 2, rgRegular = 3, rgWBCCI = 4 };

class TfrmNET : public Page {
    Q_OBJECT

public:
    explicit TfrmNET(QWidget* parent = nullptr);
    ~TfrmNET() override;

    // ---- rosters and group selection ----
    void FormActivate() override;
    void panARCClick();
    void panRVClick();
    void panRegClick();
    void panWBCIIClick();
    void panGROUPClick();
    void panENTIREClick();
    void panAreaClick(int digit); // panA0Click .. panA9Click
    void panQUITClick();
    void Image1Click();
    void VR3Click(); // the FCC look-up page

    void ResetGroupPanels();
    void ResetAreaPanels();
    void ResetHeaderButtons();
    void LoadWholeRoster(int group);
    void LoadAreaRoster(int group, int digit);
    int currentGroup() const { return CurrentGroup; }

    // ---- check-in list ----
    void ClearSelectedCall();
    void LookUpStation(const QString& text);
    void lstboxROSTERClick();
    void lstboxROSTER2Click();
    void lstboxROSTER3Click();
    void lstboxROSTER4Click();
    void btnAdd2Click();
    void btnAddClick();
    void btnDeleteClick();
    void lstboxCheckINClick();
    void panSAVEClick();
    void VR2Click();
    void Button2Click();
    void Button3Click();
    void btnPrintClick();
    void undoDelete(); // Ctrl+Z: the last deleted line comes back
    // Asks about check-ins not yet saved; false when the operator keeps the program open.
    bool canClose();
    bool hasUnsavedCheckIns() const { return checkIns.isUnsaved(); }
    const CheckInList& checkInList() const { return checkIns; }
    // At start-up: offers to restore a net the journal holds that was neither saved nor discarded.
    void offerRestore();
    // Where the selected-call fields were last filled from; the FCC page sets it too.
    void setSelectedSource(CheckInSource source) { selectedSource = source; }

    // ---- quick call box and keyboard ----
    void focusQuickCall(); // F2
    void editQUICKChange();
    // Enter in the quick call box: fills the fields from the highlighted station and, unless
    // fillOnly, checks it in. False when there was nothing to act on.
    bool quickEnter(bool fillOnly);
    const StationDirectory& stationDirectory() const { return *stations; }
    FccIndexLoader& fccCallIndex() const { return *fccIndex; }

    // ---- the net's clock and record ----
    void updateNetClock(); // the net timer and the identification reminder, from the net clock
    void panIDENTClick(); // also F9: the control station identified now
    void setCheckInStatus(int row, const QString& code);
    void btnExportClick();
    void btnAttendanceClick();
    // How often the call checked in lately, e.g. "8 of last 10 nets, last 2026-12-02".
    QString attendanceText(const QString& call) const;

    // ---- club database search ----
    void VRSEARCHClick();
    void SearchClubDatabases(const QString& call);

    // ---- roster search boxes and member check ----
    void btnARCClick();
    void btnRVClick();
    void btnREGClick();
    void btnWBClick();
    bool SearchRosterList(const QString& text, int group);
    void btnNameCkClick();

    // ---- roster spreadsheet grid ----
    void LoadRosterSpreadsheet(const QString& directory);
    void SortRosterGrid(int column);
    void panARClick();
    void panS1Click();
    void panS2Click();
    void panS3Click();
    void AdvStringGrid1ClickCell(int row, int column);
    void btnSEARCHClick();
    int gridRowCount() const;
    QString gridCell(int column, int row) const;

    // ---- call-book program ----
    void panHAMCALLClick();
    int RunProgram(const QString& file, const QString& parameters);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    Page* pageBehind() const override;

private:
    struct Group {
        RosterTable* table;
        FacePanel* groupPanel;
        QWidget* rosterPanel;
        QListWidget* list;
        QLineEdit* count;
        bool wholeFromSecond;
        bool areaFromSecond;
    };
    Group group(int value);
    FacePanel* areaPanel(int digit) const;
    void fillRoster(const Group& g, bool fromSecond, const QString* area);
    void chooseGroup(int value);
    void showGroupChosen(int value);
    int shownGroup();
    void lookUpIn(int group, const QString& text);
    void rosterClick(QListWidget* list);
    bool addCheckIn(const CheckInFields& fields, CheckInSource source);
    void setUpQuickCall();
    void showSuggestions();
    void clearQuickCall();
    bool warnRepeat(const QString& call);
    void markCheckedIn();
    bool quickKey(QKeyEvent* key);
    bool pageKey(QObject* watched, QKeyEvent* key);
    void checkInsChanged();
    void setUpNetRecord();
    int statusTarget() const;
    void showStatusLines();
    void showStatusMenu(const QPoint& globalPos);
    bool statusKey(QKeyEvent* key);
    bool rosterToolTip(QObject* watched, QEvent* event);
    QString saveTarget(const QString& proposedName, QString* folderMemory);
    bool writeExport(const QString& name, const QByteArray& bytes, QString* folderMemory);
    void appendDateLine(const QString& date);
    void showCheckInCount();
    void reportJournalProblem();
    void showNote(const QString& text);
    QString proposedSaveName() const;
    QStringList checkInLines() const;
    bool saveCheckIns();
    void connectHandlers();
    void setSelected(const char* field, const QString& text);
    bool searchList(QListWidget* list, const QString& text);
    void rosterSearchClick(QLineEdit* edit, int group);
    void closeGrid();
    void setUpRosterGrid();

    std::unique_ptr<Ui::TfrmNET> ui;
    RosterTable tableFMCA;
    RosterTable tableRV;
    RosterTable tableReg;
    RosterTable tableWBC;
    int CurrentGroup = rgNone;
    std::unique_ptr<NetJournal> journal;
    CheckInList checkIns;
    CheckInSource selectedSource = CheckInSource::Manual;
    bool journalProblemTold = false;
    QString lastSaveFolder;
    QTimer noteTimer;
    std::unique_ptr<StationDirectory> stations;
    std::unique_ptr<FccIndexLoader> fccIndex;
    QListWidget* suggestions = nullptr;
    std::vector<StationRow> quickRows;
    QString repeatWarned; // the call whose repeat was pointed out; the next Enter adds it
    QListWidget* keyNavigation = nullptr; // the roster list a key is moving in
    QTimer netClockTimer;
    QString lastExportFolder;
    mutable QHash<QString, QString> attendanceCache;
    std::unique_ptr<RosterGridModel> gridModel;
};
