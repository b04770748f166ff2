#include "net/TfrmNET.h"

#include "checkin/CheckInLine.h"
#include "controls/Dialogs.h"
#include "controls/FacePanel.h"
#include "controls/ImageBox.h"
#include "licence/FccIndexLoader.h"
#include "net/CallBook.h"
#include "net/CheckInPanel.h"
#include "net/CheckInView.h"
#include "net/ClubSearchPanel.h"
#include "net/GroupChooser.h"
#include "net/LicenceLine.h"
#include "net/ManualInsertBox.h"
#include "net/NetRecordPanel.h"
#include "net/QuickCallBox.h"
#include "net/RosterGridPanel.h"
#include "net/RosterPanel.h"
#include "net/SelectedCallBox.h"
#include "session/NetSession.h"
#include "sharednet/SharedNetPanel.h"
#include "sharednet/SharedNetSession.h"
#include "ui_TfrmNET.h"

#include <QFileInfo>

TfrmNET::TfrmNET(NetSession& session, QWidget* parent)
    : Page(parent), ui(std::make_unique<Ui::TfrmNET>()), m_session(session)
{
    ui->setupUi(this);
    resize(1600, 900);
    // The caption of the save panel must not swallow the panel's clicks.
    ui->Label3->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeParts();
    connectParts();
    setUpKeys();
    setUpTabOrder();
    m_session.startFccIndex();
}

TfrmNET::~TfrmNET() = default;

void TfrmNET::placeParts()
{
    m_groups = new GroupChooser({ ui->panGROUP, ui->panCALL, ui->panGROUP2, ui->panAreas, ui->panENTIRE,
                                    { ui->panA0, ui->panA1, ui->panA2, ui->panA3, ui->panA4, ui->panA5,
                                        ui->panA6, ui->panA7, ui->panA8, ui->panA9 },
                                    { ui->panARC, ui->panRV, ui->panReg, ui->panWBCII },
                                    { ui->panARC2, ui->panRV2, ui->panReg2, ui->panWBCII2 } },
        this);
    const std::array<RosterPanel::Widgets, 4> rosterWidgets = { {
        { ui->panARC2, ui->lstboxROSTER, ui->editRosterCNT, ui->editCALLARC, ui->btnARC },
        { ui->panRV2, ui->lstboxROSTER2, ui->editRosterCNT2, ui->editCALLRV, ui->btnRV },
        { ui->panReg2, ui->lstboxROSTER3, ui->editRosterCNT3, ui->editCALLREG, ui->btnREG },
        { ui->panWBCII2, ui->lstboxROSTER4, ui->editRosterCNT4, ui->editCALLWBC, ui->btnWB },
    } };
    for (const ClubRoster& r : clubRosters()) {
        const std::size_t i = std::size_t(r.group - rgARC);
        m_rosters[i] = new RosterPanel(r, m_session.roster(r.group), rosterWidgets[i], this);
    }
    m_selected = new SelectedCallBox({ ui->editSelCALL, ui->editSelFN, ui->editSelLNAME, ui->editSelSFN,
                                         ui->editSelSCALL, ui->editSelCITY, ui->editSelSTATE },
        ui->btnAdd2, ui->lblSelLICENCE, this);
    m_checkIns = new CheckInPanel(m_session.checkIns(), m_session.journal(),
        { ui->lstboxCheckIN, ui->btnDelete, ui->editNoCheckins, ui->lblNOTE, ui->Button2, ui->panPRINT,
            ui->RichEdit1, ui->Button3 },
        this);
    m_record = new NetRecordPanel(m_session.checkIns(), m_session.journal(), m_session.clock(),
        { ui->lblNETTIME, ui->panIDENT, ui->btnExport, ui->btnAttendance, ui->btnPrint, ui->editNCS }, this);
    m_quick = new QuickCallBox(
        m_session.stations(), m_session.checkIns(),
        [this](const QString& call) { return m_record->attendanceText(call); }, ui->editQUICK,
        ui->lblQUICKNOTE, ui->panCheckIns);
    m_clubSearch
        = new ClubSearchPanel([this](RosterGroup g) -> const RosterTable& { return m_session.roster(g); },
            ui->editCALLM, ui->VRSEARCH, ui->lstboxCALLS, this);
    m_grid = new RosterGridPanel(m_session.stations(),
        { ui->panS7, ui->panAR, ui->panS1, ui->panS2, ui->panS3, ui->AdvStringGrid1, ui->editNumMem,
            ui->editRosterFile, ui->editCALLR, ui->btnSEARCH, ui->editMATCH2, ui->panCheckIns },
        this);
    m_manual = new ManualInsertBox(*m_grid,
        { ui->editCALL2, ui->editNAME, ui->editCITY, ui->editSTATE, ui->btnAdd, ui->btnNameCk,
            ui->editMATCH },
        this);
    m_shared = new SharedNetPanel(m_session.sharedNet(), ui->btnSHARE, ui->btnJOIN, ui->lblSHARED, this);
    m_shared->setCanReplaceList([this] { return m_checkIns->canClose(); });
    m_shared->setShownGroup([this] { return m_groups->shownGroup(); });
    m_shared->setNote([this](const QString& text) { m_checkIns->showNote(text); });
    // Every operator's list names the net's net control: the call given when it was shared.
    connect(&m_session.sharedNet(), &SharedNetSession::netControlKnown, ui->editNCS, &QLineEdit::setText);
}

void TfrmNET::connectParts()
{
    // Every look-up shows its station in SELECTED CALL.
    connect(m_quick, &QuickCallBox::stationChosen, this, &TfrmNET::showStation);
    connect(m_clubSearch, &ClubSearchPanel::stationFound, this, &TfrmNET::showStation);
    connect(m_grid, &RosterGridPanel::stationChosen, this, &TfrmNET::showStation);
    for (RosterPanel* roster : m_rosters) {
        roster->model().setAttendanceText(
            [this](const QString& call) { return m_record->attendanceText(call); });
        connect(roster, &RosterPanel::stationChosen, this, &TfrmNET::showStation);
        connect(roster, &RosterPanel::checkInWanted, this, &TfrmNET::checkIn);
    }
    // Every way of adding a station goes through one check-in.
    connect(m_selected, &SelectedCallBox::checkInWanted, this, &TfrmNET::checkIn);
    connect(m_quick, &QuickCallBox::checkInWanted, this, &TfrmNET::checkIn);
    connect(m_manual, &ManualInsertBox::checkInWanted, this, [this](const Station& station) {
        checkIn(station);
        ui->panS7->hide(); // the grid's toggle stays as it is
    });

    connect(m_groups, &GroupChooser::wholeWanted, this, [this](int group) { showRoster(group, -1); });
    connect(m_groups, &GroupChooser::areaWanted, this, &TfrmNET::showRoster);
    connect(m_grid, &RosterGridPanel::opened, this, &TfrmNET::resetHeader);

    connect(m_checkIns, &CheckInPanel::changed, this, &TfrmNET::checkInsChanged);
    connect(m_checkIns, &CheckInPanel::notice, m_quick, &QuickCallBox::showNote);
    connect(m_checkIns, &CheckInPanel::checkedIn, this, [this] {
        m_quick->clear();
        m_quick->showNote(QString());
        m_quick->focus();
    });
    connect(m_quick, &QuickCallBox::edited, m_checkIns, &CheckInPanel::forgetRepeat);
    connect(m_quick, &QuickCallBox::deleteWanted, m_checkIns, &CheckInPanel::deleteSelected);
    connect(m_checkIns, &CheckInPanel::lineChosen, this, [this](const QString& call) {
        if (call.isEmpty())
            ClearSelectedCall(); // a date line only clears the selection
        else
            LookUpStation(call);
    });
    m_record->setSaveFolder([this] { return QFileInfo(m_checkIns->proposedSaveName()).absolutePath(); });
    m_record->setNote([this](const QString& text) { m_checkIns->showNote(text); });
    showLicences(m_session.fccIndex(), *m_selected, *m_quick);

    connect(ui->panSAVE, &FacePanel::clicked, this, &TfrmNET::panSAVEClick);
    // After a form, a dialog or a box the next call heard goes in at once: the focus is back
    // in QUICK CALL, never on the button that opened it (where Enter would open it again).
    // Connected after the parts, so it runs once their handlers have returned.
    for (QPushButton* opens : { ui->btnSHARE, ui->btnJOIN, ui->btnExport, ui->btnAttendance, ui->Button2,
             ui->btnPrint, ui->Button3 })
        connect(opens, &QPushButton::clicked, this, &TfrmNET::focusQuickCall);
    connect(&Dialogs::events(), &Dialogs::Events::closed, this, [this] {
        // Not under the open roster grid, whose own search box is in use, nor off screen.
        if (isVisible() && ui->panS7->isHidden())
            focusQuickCall();
    });
    connect(ui->VR2, &QPushButton::clicked, this, &TfrmNET::togglePhonetics);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmNET::fccWanted);
    connect(ui->panQUIT, &FacePanel::clicked, this, &Page::goBack);
    connect(ui->Image1, &ImageBox::clicked, this, &Page::goBack);
    connect(ui->panHAMCALL, &FacePanel::clicked, this, &startCallBook);
    checkInsChanged();
}

void TfrmNET::showRoster(int group, int digit)
{
    m_rosters.at(std::size_t(group - rgARC))->show(digit);
}

void TfrmNET::checkInsChanged()
{
    m_record->forgetAttendance();
    m_record->netChanged();
    // The roster lines of stations already checked in stand out, so the operator sees who is in.
    const QSet<QString> in = m_session.checkIns().checkedInStations();
    for (RosterPanel* roster : m_rosters)
        roster->model().setCheckedIn(in);
    m_record->updateClock();
}

void TfrmNET::resetHeader()
{
    ui->VR2->setColor(clGray);
    ui->VR3->setColor(clGray);
    ui->panS7->hide();
}

void TfrmNET::togglePhonetics()
{
    if (ui->VR2->color() == clGray) {
        ui->VR2->setColor(clGreen);
        ui->panPhonetics->show();
        ui->panPhonetics->raise();
    } else {
        ui->VR2->setColor(clGray);
        ui->panPhonetics->hide();
    }
}

void TfrmNET::FormActivate()
{
    resetHeader();
    const QString today = todayDateText();
    ui->editDATE->setText(today);
    m_checkIns->addDateLine(today);
    showRoster(rgARC, -1);
    // The roster on screen stays the one acted on: coming back from another page leaves the
    // operator in the roster they were working. With none shown, ARC is shown, whole.
    const int shown = m_groups->shownGroup();
    if (shown == rgNone || shown == rgARC)
        m_groups->showChosen(rgARC);
    // A licence file replaced since its calls were indexed is indexed again.
    m_session.fccIndex().refreshIfChanged();
    focusQuickCall();
}

int TfrmNET::currentGroup() const
{
    return m_groups->shownGroup();
}

void TfrmNET::showStation(const Station& station)
{
    m_selected->show(station);
}

bool TfrmNET::checkIn(const Station& station)
{
    return m_checkIns->checkIn(station);
}

void TfrmNET::ClearSelectedCall()
{
    m_selected->clear();
}

void TfrmNET::LookUpStation(const QString& text)
{
    const int group = currentGroup();
    showStation(group == rgNone ? Station() : m_rosters.at(std::size_t(group - rgARC))->lookUp(text));
}

bool TfrmNET::canClose()
{
    return m_checkIns->canClose();
}

void TfrmNET::offerRestore()
{
    m_checkIns->offerRestore();
    m_shared->resume(); // a net that was shared goes on where it stood
}

bool TfrmNET::shareNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    return m_shared->shareNet(conninfo, netName, operatorCall);
}

bool TfrmNET::joinNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    return m_shared->joinNet(conninfo, netName, operatorCall);
}

void TfrmNET::setNetServer(const QString& conninfo)
{
    m_shared->setServer(conninfo);
}

void TfrmNET::panSAVEClick()
{
    m_checkIns->save();
    focusQuickCall();
}

void TfrmNET::focusQuickCall()
{
    m_quick->focus();
}

void TfrmNET::LoadRosterSpreadsheet(const QString& directory)
{
    m_grid->load(directory);
}
