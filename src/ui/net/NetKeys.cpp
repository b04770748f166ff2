// The keys of the net page, in one place: each is a shortcut of the page's window, shown in
// the tooltip of the control it stands for.
#include "checkin/CheckInLine.h"
#include "checkin/CheckInStatus.h"
#include "controls/FacePanel.h"
#include "net/CheckInPanel.h"
#include "net/CheckInView.h"
#include "net/NetRecordPanel.h"
#include "net/TfrmNET.h"
#include "sharednet/SharedNetPanel.h"
#include "ui_TfrmNET.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace {
// Enter presses a focused push button, as Space does.
class EnterClicksButton : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat())
            return false;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

// A list shows where the focus is with a frame, and its highlighted line in strong colours.
void showFocus(QAbstractItemView* list)
{
    list->setStyleSheet(QStringLiteral("QListView { %1 } QListView:focus { border: 3px solid #ff8c00; } "
                                       "QListView::item:selected { background: #0050c8; color: white; }")
                            .arg(list->styleSheet()));
}
} // namespace

void TfrmNET::setUpKeys()
{
    struct Key {
        QKeySequence keys;
        QWidget* shownOn; // the control whose tooltip names the key; null for none
        std::function<void()> act;
    };
    const std::vector<Key> keys = {
        { QKeySequence(Qt::Key_F2), ui->editQUICK, [this] { focusQuickCall(); } },
        { QKeySequence(Qt::Key_F9), ui->panIDENT, [this] { m_record->identified(); } },
        { QKeySequence::Save, ui->panSAVE, [this] { panSAVEClick(); } },
        { QKeySequence::Undo, ui->btnDelete, [this] { m_checkIns->undoDelete(); } },
        { QKeySequence::New, nullptr, [this] { beginNewNet(); } },
    };
    auto* grid = ui->panS7;
    auto add = [this, grid](const QKeySequence& sequence, QWidget* context, Qt::ShortcutContext where,
                   std::function<void()> act) {
        auto* shortcut = new QShortcut(sequence, context, nullptr, nullptr, where);
        // Nothing under the open roster grid reacts to keys.
        connect(shortcut, &QShortcut::activated, this, [grid, act = std::move(act)] {
            if (grid->isHidden())
                act();
        });
    };
    for (const Key& k : keys) {
        add(k.keys, this, Qt::WindowShortcut, k.act);
        if (k.shownOn && !k.shownOn->toolTip().contains(k.keys.toString()))
            k.shownOn->setToolTip(k.shownOn->toolTip() + QStringLiteral(" (%1)").arg(k.keys.toString()));
    }
    ui->lblNETTIME->setToolTip(ui->lblNETTIME->toolTip()
        + QStringLiteral("\n%1 begins a new net").arg(QKeySequence(QKeySequence::New).toString()));
    QString statusKeys;
    for (const CheckInStatus& status : checkInStatuses()) {
        add(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_A + (status.key.toUpper().unicode() - 'A'))), this,
            Qt::WindowShortcut,
            [this, code = status.code] { m_checkIns->setStatus(m_checkIns->statusTarget(), code); });
        statusKeys += QStringLiteral("\nAlt+%1: %2").arg(status.key, status.label);
    }
    ui->lstboxCheckIN->setToolTip(QStringLiteral("Right-click or Alt+key sets a status:") + statusKeys);

    auto* enter = new EnterClicksButton(this);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(enter);
    for (QAbstractItemView* list : std::initializer_list<QAbstractItemView*> { ui->lstboxROSTER,
             ui->lstboxROSTER2, ui->lstboxROSTER3, ui->lstboxROSTER4, ui->lstboxCheckIN, ui->lstboxCALLS })
        showFocus(list);
}

void TfrmNET::beginNewNet()
{
    // The list of a shared net is that net for every operator on it: a net of one's own
    // would mix its lines with theirs.
    if (m_shared->isShared())
        m_checkIns->showNote(QStringLiteral("This net is shared: it goes on until it is closed."));
    else
        m_checkIns->beginNewNet(todayDateText());
}

void TfrmNET::setUpTabOrder()
{
    // Tab goes through the page as it reads: the header, the left column, the roster,
    // the selected call and the boxes below it, then the check-in column.
    const std::vector<QWidget*> order = { ui->VR2, ui->VR3, ui->editCALLR, ui->btnSEARCH, ui->editCALLARC,
        ui->btnARC, ui->lstboxROSTER, ui->editCALLRV, ui->btnRV, ui->lstboxROSTER2, ui->editCALLREG,
        ui->btnREG, ui->lstboxROSTER3, ui->editCALLWBC, ui->btnWB, ui->lstboxROSTER4, ui->editSelCALL,
        ui->editSelFN, ui->editSelLNAME, ui->editSelSFN, ui->editSelSCALL, ui->editSelCITY, ui->editSelSTATE,
        ui->btnAdd2, ui->editCALL2, ui->editNAME, ui->editCITY, ui->editSTATE, ui->btnAdd, ui->btnNameCk,
        ui->editCALLM, ui->VRSEARCH, ui->lstboxCALLS, ui->editQUICK, ui->lstboxCheckIN, ui->editNCS,
        ui->btnExport, ui->btnAttendance, ui->btnDelete, ui->Button2 };
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Boxes that only show a value are not stops of the Tab key.
    for (QLineEdit* shown : findChildren<QLineEdit*>())
        if (shown->isReadOnly())
            shown->setFocusPolicy(Qt::NoFocus);
}
