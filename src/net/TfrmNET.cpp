#include "net/TfrmNET.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "fcc/TfrmFCC2.h"
#include "lookup/StationDirectory.h"
#include "net/RosterGridModel.h"
#include "ui_TfrmNET.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>

namespace {
// The four club databases below the installation folder, with their tables.
RosterTable openRoster(const char* file, const char* table)
{
    const QString path = QDir::toNativeSeparators(
        InstallFolder() + QStringLiteral("/database/") + QString::fromLatin1(file));
    return RosterTable::open(path, QString::fromLatin1(table));
}
} // namespace

TfrmNET::TfrmNET(QWidget* parent)
    : Page(parent), ui(std::make_unique<Ui::TfrmNET>()),
      journal(std::make_unique<NetJournal>(JournalFolder())), checkIns(journal.get(), &NetClockNow)
{
    ui->setupUi(this);
    resize(1600, 900);
    // Opened once for the whole run; a database that cannot be read stops the start-up.
    tableRV = openRoster("radioRV.mdb", "ABC");
    tableReg = openRoster("RepCheck.mdb", "RepCheckIn");
    tableFMCA = openRoster("ARCarea.mdb", "Amber");
    tableWBC = openRoster("WBCII.mdb", "wbcci");

    setUpRosterGrid();

    ClearSelectedCall();
    // Notes on the page (a save done, nothing added) fade after a few seconds.
    noteTimer.setSingleShot(true);
    noteTimer.setInterval(6000);
    connect(&noteTimer, &QTimer::timeout, ui->lblNOTE, &QLabel::clear);
    // The caption of the save panel must not swallow the panel's clicks.
    ui->Label3->setAttribute(Qt::WA_TransparentForMouseEvents);
    connectHandlers();
    setUpQuickCall();
    setUpNetRecord();
}

TfrmNET::~TfrmNET() = default;

void TfrmNET::connectHandlers()
{
    connect(ui->panARC, &FacePanel::clicked, this, &TfrmNET::panARCClick);
    connect(ui->panRV, &FacePanel::clicked, this, &TfrmNET::panRVClick);
    connect(ui->panReg, &FacePanel::clicked, this, &TfrmNET::panRegClick);
    connect(ui->panWBCII, &FacePanel::clicked, this, &TfrmNET::panWBCIIClick);
    connect(ui->panGROUP, &FacePanel::clicked, this, &TfrmNET::panGROUPClick);
    connect(ui->panENTIRE, &FacePanel::clicked, this, &TfrmNET::panENTIREClick);
    for (int d = 0; d <= 9; ++d)
        connect(areaPanel(d), &FacePanel::clicked, this, [this, d] { panAreaClick(d); });
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmNET::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmNET::Image1Click);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmNET::VR3Click);

    // A click picks a station; Enter on a line does the same from the keyboard.
    const std::pair<QListWidget*, void (TfrmNET::*)()> rosters[] = {
        { ui->lstboxROSTER, &TfrmNET::lstboxROSTERClick },
        { ui->lstboxROSTER2, &TfrmNET::lstboxROSTER2Click },
        { ui->lstboxROSTER3, &TfrmNET::lstboxROSTER3Click },
        { ui->lstboxROSTER4, &TfrmNET::lstboxROSTER4Click },
    };
    for (const auto& [list, handler] : rosters) {
        connect(list, &QListWidget::itemClicked, this, handler);
        connect(list, &QListWidget::itemActivated, this, handler);
    }
    connect(ui->btnAdd2, &QPushButton::clicked, this, &TfrmNET::btnAdd2Click);
    connect(ui->btnAdd, &QPushButton::clicked, this, &TfrmNET::btnAddClick);
    for (QLineEdit* e : { ui->editCALL2, ui->editNAME, ui->editCITY, ui->editSTATE })
        connect(e, &QLineEdit::returnPressed, this, &TfrmNET::btnAddClick);
    connect(ui->btnDelete, &QPushButton::clicked, this, &TfrmNET::btnDeleteClick);
    ui->lstboxCheckIN->installEventFilter(this);
    connect(ui->lstboxCheckIN, &QListWidget::itemClicked, this, &TfrmNET::lstboxCheckINClick);
    connect(ui->lstboxCheckIN, &QListWidget::itemActivated, this, &TfrmNET::lstboxCheckINClick);
    connect(ui->panSAVE, &FacePanel::clicked, this, &TfrmNET::panSAVEClick);
    connect(ui->VR2, &QPushButton::clicked, this, &TfrmNET::VR2Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TfrmNET::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TfrmNET::Button3Click);
    connect(ui->btnPrint, &QPushButton::clicked, this, &TfrmNET::btnPrintClick);

    connect(ui->VRSEARCH, &QPushButton::clicked, this, &TfrmNET::VRSEARCHClick);
    connect(ui->editCALLM, &QLineEdit::returnPressed, this, &TfrmNET::VRSEARCHClick);

    connect(ui->btnARC, &QPushButton::clicked, this, &TfrmNET::btnARCClick);
    connect(ui->btnRV, &QPushButton::clicked, this, &TfrmNET::btnRVClick);
    connect(ui->btnREG, &QPushButton::clicked, this, &TfrmNET::btnREGClick);
    connect(ui->btnWB, &QPushButton::clicked, this, &TfrmNET::btnWBClick);
    connect(ui->editCALLARC, &QLineEdit::returnPressed, this, &TfrmNET::btnARCClick);
    connect(ui->editCALLRV, &QLineEdit::returnPressed, this, &TfrmNET::btnRVClick);
    connect(ui->editCALLREG, &QLineEdit::returnPressed, this, &TfrmNET::btnREGClick);
    connect(ui->editCALLWBC, &QLineEdit::returnPressed, this, &TfrmNET::btnWBClick);
    connect(ui->btnNameCk, &QPushButton::clicked, this, &TfrmNET::btnNameCkClick);

    connect(ui->panAR, &FacePanel::clicked, this, &TfrmNET::panARClick);
    connect(ui->panS1, &FacePanel::clicked, this, &TfrmNET::panS1Click);
    connect(ui->panS2, &FacePanel::clicked, this, &TfrmNET::panS2Click);
    connect(ui->panS3, &FacePanel::clicked, this, &TfrmNET::panS3Click);
    connect(ui->AdvStringGrid1, &QAbstractItemView::clicked, this,
        [this](const QModelIndex& index) { AdvStringGrid1ClickCell(index.row(), index.column()); });
    connect(ui->btnSEARCH, &QPushButton::clicked, this, &TfrmNET::btnSEARCHClick);
    connect(ui->editCALLR, &QLineEdit::returnPressed, this, &TfrmNET::btnSEARCHClick);

    connect(ui->panHAMCALL, &FacePanel::clicked, this, &TfrmNET::panHAMCALLClick);
}

bool TfrmNET::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && pageKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::KeyRelease)
        keyNavigation = nullptr;
    if (rosterToolTip(watched, event))
        return true;
    // Delete in the check-in list deletes the selected line, as the button does.
    if (watched == ui->lstboxCheckIN && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        btnDeleteClick();
        return true;
    }
    return Page::eventFilter(watched, event);
}

void TfrmNET::keyPressEvent(QKeyEvent* event)
{
    // Keys no control of the page took for itself. An edit box keeps Ctrl+Z for its own text.
    if (event->matches(QKeySequence::Undo)) {
        undoDelete();
        return;
    }
    if (event->matches(QKeySequence::Save)) {
        panSAVEClick();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        focusQuickCall();
        return;
    }
    if (event->key() == Qt::Key_F9) {
        panIDENTClick();
        return;
    }
    if (statusKey(event))
        return;
    Page::keyPressEvent(event);
}

Page* TfrmNET::pageBehind() const
{
    return frmMainA;
}

void TfrmNET::panQUITClick()
{
    navigate(this, frmMainA);
}

void TfrmNET::Image1Click()
{
    panQUITClick();
}

void TfrmNET::VR3Click()
{
    navigate(this, frmFCC2);
}
