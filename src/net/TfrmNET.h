#pragma once
// The net calling page: club rosters, the check-in list and the look-ups that feed the
// selected-call fields. The handlers live in one file per concern (Rosters, CheckIns,
// ClubSearch, RosterSearch, RosterGrid, CallBook).
#include "controls/Page.h"
#include "data/RosterTable.h"
#include "net/CheckInLine.h"

#include <QStringList>
#include <array>
#include <memory>

class QListWidget;
class QLineEdit;
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
    // Asks about check-ins not yet saved; false when the operator keeps the program open.
    bool canClose();
    bool hasUnsavedCheckIns() const { return unsaved; }

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
    void rosterClick(QListWidget* list);
    void addCheckIn(const QString& call, const QString& name, const QString& city, const QString& state);
    void showCheckInCount();
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
    CheckInNumbering numbering;
    bool unsaved = false;
    std::unique_ptr<RosterGridModel> gridModel;
};
