// The check-in list: the selected call, adding, deleting, saving, printing, phonetics.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "ui_TfrmNET.h"

#include "data/AtomicFile.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <span>

namespace {
struct FieldMap {
    const char* column;
    const char* field;
};

// The columns each group's table supplies, in the order they are filled.
const FieldMap arcFields[] = { { "FN", "editSelFN" }, { "SFN", "editSelSFN" }, { "LNAME", "editSelLNAME" },
    { "SCALL", "editSelSCALL" }, { "CITY", "editSelCITY" }, { "STATE", "editSelSTATE" } };
const FieldMap rvFields[] = { { "FN", "editSelFN" }, { "Spouse", "editSelSFN" }, { "CITY", "editSelCITY" },
    { "STATE", "editSelSTATE" } };
const FieldMap regFields[]
    = { { "NameS", "editSelFN" }, { "City", "editSelCITY" }, { "State", "editSelSTATE" } };
const FieldMap wbcFields[]
    = { { "NameS", "editSelFN" }, { "CITY", "editSelCITY" }, { "STATE", "editSelSTATE" } };
} // namespace

void TfrmNET::setSelected(const char* field, const QString& text)
{
    findChild<QLineEdit*>(QString::fromLatin1(field))->setText(text);
}

void TfrmNET::ClearSelectedCall()
{
    ui->editSelCALL->setText(QStringLiteral(" "));
    ui->editSelFN->setText(QStringLiteral(" "));
    ui->editSelLNAME->setText(QStringLiteral(" "));
    ui->editSelSCALL->setText(QStringLiteral(" "));
    ui->editSelSFN->setText(QStringLiteral(" "));
    ui->editSelCITY->setText(QStringLiteral("   "));
    ui->editSelSTATE->setText(QStringLiteral("  "));
}

void TfrmNET::LookUpStation(const QString& text)
{
    lookUpIn(CurrentGroup, text);
}

void TfrmNET::lookUpIn(int value, const QString& text)
{
    ClearSelectedCall();
    RosterTable* table = group(value).table;
    if (!table)
        return;
    const QString key = value == rgARC ? QStringLiteral("CALL") : QStringLiteral("Call");
    std::span<const FieldMap> map;
    switch (value) {
    case rgARC:
        map = arcFields;
        break;
    case rgRV:
        map = rvFields;
        break;
    case rgRegular:
        map = regFields;
        break;
    default:
        map = wbcFields;
        break;
    }
    // The station whose call is the text; only when there is none, the first record in
    // table order whose call begins with it.
    if (!table->LocateCall(key, text))
        return;
    selectedSource = CheckInSource::Roster;
    ui->editSelCALL->setText(text);
    for (const FieldMap& f : map)
        setSelected(f.field, table->FieldText(QString::fromLatin1(f.column)));
}

void TfrmNET::rosterClick(QListWidget* list)
{
    ClearSelectedCall();
    QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected())
        return;
    // A line is looked up in its own list's table, whichever group is current.
    for (int g = rgARC; g <= rgWBCCI; ++g)
        if (group(g).list == list)
            lookUpIn(g, item->text());
}

void TfrmNET::lstboxROSTERClick()
{
    rosterClick(ui->lstboxROSTER);
}

void TfrmNET::lstboxROSTER2Click()
{
    rosterClick(ui->lstboxROSTER2);
}

void TfrmNET::lstboxROSTER3Click()
{
    rosterClick(ui->lstboxROSTER3);
}

void TfrmNET::lstboxROSTER4Click()
{
    rosterClick(ui->lstboxROSTER4);
}

QStringList TfrmNET::checkInLines() const
{
    return checkIns.lines();
}

void TfrmNET::showCheckInCount()
{
    // The count is the number of check-in lines actually in the list; date lines never count.
    ui->editNoCheckins->setText(QString::number(checkIns.checkInCount()));
    reportJournalProblem();
}

void TfrmNET::reportJournalProblem()
{
    if (journalProblemTold)
        return;
    const QString problem = checkIns.journalProblem();
    if (problem.isEmpty())
        return;
    journalProblemTold = true;
    Dialogs::errorBox(QStringLiteral("Check-ins are NOT being protected against a crash or a power cut.\n%1\n"
                                     "The net goes on: save the list to a file before you close the program.")
                          .arg(problem));
}

void TfrmNET::showNote(const QString& text)
{
    ui->lblNOTE->setText(text);
    noteTimer.start();
}

bool TfrmNET::addCheckIn(const CheckInFields& fields, CheckInSource source)
{
    // A call of blanks alone is no station: nothing is added.
    if (fields.call.trimmed().isEmpty()) {
        showNote(QStringLiteral("Nothing added: the call is blank."));
        return false;
    }
    // A station already on the list is pointed out first; the same add again checks it in again.
    if (warnRepeat(fields.call))
        return false;
    repeatWarned.clear();
    checkIns.addCheckIn(fields, source); // durable before it is shown
    ui->lstboxCheckIN->addItem(checkIns.line(checkIns.size() - 1));
    ui->lstboxCheckIN->scrollToBottom();
    checkInsChanged();
    // The next station is typed at once.
    focusQuickCall();
    return true;
}

void TfrmNET::checkInsChanged()
{
    attendanceCache.clear();
    showCheckInCount();
    markCheckedIn();
    updateNetClock();
}

void TfrmNET::appendDateLine(const QString& date)
{
    checkIns.addDateLine(date);
    ui->lstboxCheckIN->addItem(checkIns.line(checkIns.size() - 1));
    reportJournalProblem();
}

void TfrmNET::btnAdd2Click()
{
    addCheckIn(
        { ui->editSelCALL->text(), ui->editSelFN->text(), ui->editSelCITY->text(), ui->editSelSTATE->text() },
        selectedSource);
}

void TfrmNET::btnAddClick()
{
    addCheckIn({ ui->editCALL2->text().toUpper(), ui->editNAME->text().toUpper(), ui->editCITY->text(),
                   ui->editSTATE->text() },
        CheckInSource::Manual);
    ui->panS7->hide();
}

void TfrmNET::btnDeleteClick()
{
    QListWidget* list = ui->lstboxCheckIN;
    const int row = list->currentRow();
    if (row < 0 || !list->item(row)->isSelected())
        return;
    if (!checkIns.remove(row))
        return;
    delete list->takeItem(row);
    // Nothing stays selected: a second press, a double click or a held key deletes no more.
    list->setCurrentRow(-1);
    list->clearSelection();
    checkInsChanged();
}

void TfrmNET::undoDelete()
{
    const auto index = checkIns.undo();
    if (!index)
        return;
    ui->lstboxCheckIN->insertItem(*index, checkIns.line(*index));
    showStatusLines();
    ui->lstboxCheckIN->scrollToItem(ui->lstboxCheckIN->item(*index));
    checkInsChanged();
}

void TfrmNET::lstboxCheckINClick()
{
    QListWidgetItem* item = ui->lstboxCheckIN->currentItem();
    if (!item)
        return;
    const QString call = callOfCheckInLine(item->text());
    if (call.isEmpty()) {
        ClearSelectedCall(); // a date line only clears the selection
        return;
    }
    LookUpStation(call);
}

QString TfrmNET::proposedSaveName() const
{
    QString folder = lastSaveFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString name = QStringLiteral("net-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
    return QDir(folder).filePath(name);
}

bool TfrmNET::saveCheckIns()
{
    const QString name = Dialogs::saveFileName(this, QString(), proposedSaveName());
    if (name.isEmpty())
        return false;
    QString error;
    // Written beside the target and renamed over it only when every byte is on disk, so a
    // failure leaves the file that was there as it was.
    if (!writeFileAtomically(name, checkInFileContents(checkInLines()), &error)) {
        Dialogs::errorBox(QStringLiteral("The check-ins were NOT saved to \"%1\".\n%2")
                              .arg(QDir::toNativeSeparators(name), error));
        return false;
    }
    lastSaveFolder = QFileInfo(name).absolutePath();
    checkIns.markSaved();
    showNote(QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(name)));
    reportJournalProblem();
    return true;
}

void TfrmNET::panSAVEClick()
{
    saveCheckIns();
}

bool TfrmNET::canClose()
{
    if (!checkIns.isUnsaved())
        return true;
    switch (Dialogs::askSave(this,
        QStringLiteral("The check-in list has changes that are not saved.\n"
                       "Save them before closing?"))) {
    case Dialogs::SaveChoice::Save:
        return saveCheckIns();
    case Dialogs::SaveChoice::Discard:
        checkIns.markDiscarded();
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

void TfrmNET::offerRestore()
{
    if (!journal->keptAside().isEmpty())
        Dialogs::showMessage(journal->problem());
    if (!journal->ok()) {
        reportJournalProblem();
        return;
    }
    const auto pending = journal->pendingNet();
    if (!pending || pending->checkIns == 0)
        return;
    const QString when = QLocale::system().toString(
        QDateTime::fromMSecsSinceEpoch(pending->startedUtcMs).toLocalTime(), QLocale::ShortFormat);
    const int answer = Dialogs::choose(this,
        QStringLiteral("An unsaved net from %1 with %2 check-ins was found. Restore it?")
            .arg(when)
            .arg(pending->checkIns),
        { QStringLiteral("Restore"), QStringLiteral("Discard") });
    if (answer != 0) {
        journal->setDiscarded(pending->id);
        return;
    }
    checkIns.restore(pending->id);
    ui->lstboxCheckIN->clear();
    ui->lstboxCheckIN->addItems(checkIns.lines());
    ui->lstboxCheckIN->scrollToBottom();
    showStatusLines();
    checkInsChanged();
}

void TfrmNET::VR2Click()
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

void TfrmNET::Button2Click()
{
    ui->RichEdit1->setPlainText(checkInLines().join(QLatin1Char('\n')));
    ui->panPRINT->show();
    ui->panPRINT->raise();
}

void TfrmNET::Button3Click()
{
    ui->panPRINT->hide();
}
