// The quick call box and the keyboard of the page: a station is checked in with its call
// and one Enter, from every source the page knows, and repeats are caught before they land.
#include "net/TfrmNET.h"

#include "app/Pages.h"
#include "lookup/StationDirectory.h"
#include "ui_TfrmNET.h"

#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSet>

#include <algorithm>

namespace {
bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The mark beside a roster line whose station is checked in: a green tick.
QIcon checkedInMark()
{
    QPixmap tick(14, 14);
    tick.fill(Qt::transparent);
    QPainter p(&tick);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 128, 0), 2.5));
    p.drawPolyline(QPolygonF({ QPointF(2, 7.5), QPointF(5.5, 11), QPointF(12, 3) }));
    return QIcon(tick);
}

// A list shows where the focus is with a frame, and its highlighted line in strong colours.
void showFocus(QListWidget* list)
{
    list->setStyleSheet(QStringLiteral("QListWidget { %1 } QListWidget:focus { border: 3px solid #ff8c00; } "
                                       "QListWidget::item:selected { background: #0050c8; color: white; }")
                            .arg(list->styleSheet()));
}
} // namespace

void TfrmNET::setUpQuickCall()
{
    stations = std::make_unique<StationDirectory>();
    fccIndex = std::make_unique<FccIndexLoader>();
    stations->setRoster(StationSource::ArcRoster, tableFMCA);
    stations->setRoster(StationSource::RvRoster, tableRV);
    stations->setRoster(StationSource::RegularRoster, tableReg);
    stations->setRoster(StationSource::WbcciRoster, tableWBC);
    stations->setFccLoader(fccIndex.get());
    // The licence file's call index is made after start-up on a worker thread: the page
    // never waits for it, and the suggestions take it in as soon as it is ready.
    const QString licences = QDir::toNativeSeparators(InstallFolder() + QStringLiteral("/FCCraw/EN.dat"));
    fccIndex->start(licences, FccIndexLoader::defaultCacheFolder(), std::chrono::milliseconds(1500));
    connect(
        fccIndex.get(), &FccIndexLoader::finished, this, [this] { showSuggestions(); }, Qt::QueuedConnection);

    suggestions = new QListWidget(ui->panCheckIns);
    suggestions->setObjectName(QStringLiteral("lstQUICK"));
    suggestions->setGeometry(8, 70, 582, 300);
    suggestions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    suggestions->setFocusPolicy(Qt::NoFocus); // the typing stays in the box
    suggestions->setStyleSheet(
        QStringLiteral("color: black; font: bold 10pt \"Arial\"; background: #ffffe0;"));
    showFocus(suggestions);
    suggestions->hide();
    connect(suggestions, &QListWidget::itemClicked, this, [this] { quickEnter(false); });

    ui->editQUICK->installEventFilter(this);
    connect(ui->editQUICK, &QLineEdit::textEdited, this, &TfrmNET::editQUICKChange);

    // Enter presses a focused push button, as Space does; the page's Alt keys work from every box.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(this);
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->installEventFilter(this);
    for (int g = rgARC; g <= rgWBCCI; ++g) {
        QListWidget* list = group(g).list;
        showFocus(list);
        list->installEventFilter(this);
        // Arrow keys pick the station under the highlight, as a click does.
        connect(list, &QListWidget::currentRowChanged, this, [this, list] {
            if (keyNavigation == list)
                rosterClick(list);
        });
    }
    showFocus(ui->lstboxCheckIN);
    showFocus(ui->lstboxCALLS);

    ui->editQUICK->setToolTip(
        QStringLiteral("Type a call (F2 from anywhere). Enter checks the highlighted station in, "
                       "Shift+Enter only fills SELECTED CALL, Up/Down move, Esc clears."));
    ui->btnAdd2->setToolTip(QStringLiteral("Check in the selected call (Enter)"));
    ui->btnAdd->setToolTip(QStringLiteral("Check in the station typed here (Enter in any box)"));
    ui->btnDelete->setToolTip(QStringLiteral("Delete the selected check-in (Del); Ctrl+Z brings it back"));
    ui->panSAVE->setToolTip(QStringLiteral("Save the check-ins to a text file (Ctrl+S)"));
    for (int g = rgARC; g <= rgWBCCI; ++g)
        group(g).list->setToolTip(QStringLiteral("Arrow keys pick a station, Enter checks it in"));

    // Tab goes through the page as it reads: the header, the left column, the roster,
    // the selected call and the boxes below it, then the check-in column.
    const std::vector<QWidget*> order
        = { ui->VR2, ui->VR3, ui->editCALLR, ui->btnSEARCH, ui->editCALLARC, ui->btnARC, ui->lstboxROSTER,
              ui->editCALLRV, ui->btnRV, ui->lstboxROSTER2, ui->editCALLREG, ui->btnREG, ui->lstboxROSTER3,
              ui->editCALLWBC, ui->btnWB, ui->lstboxROSTER4, ui->editSelCALL, ui->editSelFN, ui->editSelLNAME,
              ui->editSelSFN, ui->editSelSCALL, ui->editSelCITY, ui->editSelSTATE, ui->btnAdd2, ui->editCALL2,
              ui->editNAME, ui->editCITY, ui->editSTATE, ui->btnAdd, ui->btnNameCk, ui->editCALLM,
              ui->VRSEARCH, ui->lstboxCALLS, ui->editQUICK, ui->lstboxCheckIN, ui->btnDelete, ui->Button2 };
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfrmNET::focusQuickCall()
{
    ui->editQUICK->setFocus(Qt::ShortcutFocusReason);
    ui->editQUICK->selectAll();
}

void TfrmNET::editQUICKChange()
{
    // Shown in capitals as typed; the cursor stays where it was.
    const int cursor = ui->editQUICK->cursorPosition();
    const QString upper = ui->editQUICK->text().toUpper();
    if (upper != ui->editQUICK->text()) {
        ui->editQUICK->setText(upper);
        ui->editQUICK->setCursorPosition(cursor);
    }
    repeatWarned.clear();
    ui->lblQUICKNOTE->clear();
    showSuggestions();
}

void TfrmNET::showSuggestions()
{
    const QString text = ui->editQUICK->text();
    suggestions->clear();
    quickRows.clear();
    if (text.trimmed().isEmpty()) {
        suggestions->hide();
        return;
    }
    quickRows = stations->suggest(text, 12);
    // Until the page asks for a second Enter, a new station keeps its place at the top.
    std::stable_partition(quickRows.begin(), quickRows.end(),
        [](const StationRow& row) { return row.match == MatchKind::NewStation; });
    for (const StationRow& row : quickRows) {
        QString shown = row.call;
        if (row.match == MatchKind::NewStation) {
            shown += QStringLiteral("   new station");
        } else {
            shown += QStringLiteral("   %1   %2 %3   %4")
                         .arg(row.name, row.city, row.state, StationDirectory::sourceText(row.source));
            const QString chapter = StationDirectory::chapterText(row.chapter);
            if (!chapter.isEmpty())
                shown += QStringLiteral(", ") + chapter;
        }
        if (checkIns.findCall(row.call) >= 0)
            shown += QStringLiteral("   (checked in)");
        if (row.match != MatchKind::NewStation) {
            const QString seen = attendanceText(row.call);
            if (!seen.isEmpty())
                shown += QStringLiteral("   [") + seen + QLatin1Char(']');
        }
        suggestions->addItem(shown);
    }
    if (stations->fccState() == FccIndexLoader::State::Loading)
        suggestions->addItem(QStringLiteral("(the FCC file is still loading)"));
    if (suggestions->count() == 0) {
        suggestions->hide();
        return;
    }
    if (!quickRows.empty())
        suggestions->setCurrentRow(0);
    // As tall as its rows, so the check-ins below stay in sight.
    const int rowHeight = std::max(1, suggestions->sizeHintForRow(0));
    suggestions->resize(suggestions->width(), std::min(300, rowHeight * suggestions->count() + 8));
    suggestions->show();
    suggestions->raise();
}

void TfrmNET::clearQuickCall()
{
    ui->editQUICK->clear();
    repeatWarned.clear();
    showSuggestions();
}

bool TfrmNET::quickEnter(bool fillOnly)
{
    const QString text = ui->editQUICK->text();
    if (text.trimmed().isEmpty())
        return false;
    // "CALL, NAME, CITY, STATE" is a station typed in whole, as MANUAL INSERT takes it.
    if (text.contains(QLatin1Char(','))) {
        const auto typed = parseCommaForm(text);
        if (!typed) {
            ui->lblQUICKNOTE->setText(QStringLiteral("Type CALL, NAME, CITY, STATE"));
            return false;
        }
        if (fillOnly) {
            ClearSelectedCall();
            ui->editSelCALL->setText(typed->call);
            ui->editSelFN->setText(typed->name.toUpper());
            ui->editSelCITY->setText(typed->city);
            ui->editSelSTATE->setText(typed->state);
            selectedSource = CheckInSource::Manual;
            return true;
        }
        if (addCheckIn(
                { typed->call, typed->name.toUpper(), typed->city, typed->state }, CheckInSource::Manual))
            clearQuickCall();
        return true;
    }
    const int row = suggestions->currentRow();
    if (row < 0 || row >= int(quickRows.size())) {
        ui->lblQUICKNOTE->setText(QStringLiteral("No station matches %1").arg(text.trimmed()));
        return false;
    }
    const StationRow& pick = quickRows[std::size_t(row)];
    if (pick.match == MatchKind::NewStation) {
        if (fillOnly) {
            ClearSelectedCall();
            ui->editSelCALL->setText(pick.call);
            selectedSource = CheckInSource::Manual;
            return true;
        }
        if (addCheckIn({ pick.call, QString(), QString(), QString() }, CheckInSource::Manual))
            clearQuickCall();
        return true;
    }
    // The fields the record's source has are filled; the others are left clear.
    const Station& station = pick.station;
    ClearSelectedCall();
    QLineEdit* const boxes[] = { ui->editSelCALL, ui->editSelFN, ui->editSelLNAME, ui->editSelSFN,
        ui->editSelSCALL, ui->editSelCITY, ui->editSelSTATE };
    for (int f = 0; f < kStationFields; ++f)
        if (station.has(StationField(f)))
            boxes[f]->setText(station.text(StationField(f)));
    selectedSource = station.source();
    if (fillOnly)
        return true;
    if (addCheckIn(station.checkInFields(), selectedSource))
        clearQuickCall();
    return true;
}

bool TfrmNET::warnRepeat(const QString& call)
{
    const int index = checkIns.findCall(call);
    if (index < 0 || repeatWarned == call.trimmed())
        return false;
    repeatWarned = call.trimmed();
    const JournalEntry& e = checkIns.at(index);
    const QString time
        = QDateTime::fromMSecsSinceEpoch(e.utcMs).toLocalTime().toString(QStringLiteral("HH:mm"));
    ui->lblQUICKNOTE->setText(
        QStringLiteral("%1 is already checked in as #%2 at %3").arg(call.trimmed()).arg(e.number).arg(time));
    return true;
}

void TfrmNET::markCheckedIn()
{
    // The roster lines of stations already checked in stand out, so the operator sees who is in.
    QSet<QString> in;
    for (int i = 0; i < checkIns.size(); ++i)
        if (!checkIns.at(i).dateLine)
            in.insert(checkIns.at(i).call);
    for (int g = rgARC; g <= rgWBCCI; ++g) {
        QListWidget* list = group(g).list;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const bool isIn = in.contains(item->text());
            item->setData(Qt::BackgroundRole, isIn ? QVariant(QColor(0xb8, 0xf0, 0xb8)) : QVariant());
            item->setData(Qt::DecorationRole, isIn ? QVariant(checkedInMark()) : QVariant());
        }
    }
}

bool TfrmNET::quickKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        quickEnter(key->modifiers() & Qt::ShiftModifier);
        return true;
    case Qt::Key_Escape:
        clearQuickCall();
        ui->lblQUICKNOTE->clear();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (!quickRows.empty()) {
            const int step = key->key() == Qt::Key_Down ? 1 : -1;
            const int row = std::clamp(suggestions->currentRow() + step, 0, int(quickRows.size()) - 1);
            suggestions->setCurrentRow(row);
        }
        return true;
    default:
        return false;
    }
}

bool TfrmNET::pageKey(QObject* watched, QKeyEvent* key)
{
    if (statusKey(key))
        return true;
    if (watched == ui->editQUICK)
        return quickKey(key);
    for (int g = rgARC; g <= rgWBCCI; ++g) {
        QListWidget* list = group(g).list;
        if (watched != list)
            continue;
        if (isEnter(key)) {
            rosterClick(list);
            if (list->currentItem() && list->currentItem()->isSelected())
                btnAdd2Click();
            return true;
        }
        keyNavigation = list; // a change of line the list makes for this key fills the fields
        return false;
    }
    if (auto* button = qobject_cast<QPushButton*>(watched); button && isEnter(key) && !key->isAutoRepeat()) {
        button->click();
        return true;
    }
    return false;
}
