// The check-in list: the selected call, adding, deleting, saving, printing, phonetics.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "ui_TfrmNET.h"

#include <QSaveFile>
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
    ClearSelectedCall();
    RosterTable* table = group(CurrentGroup).table;
    if (!table)
        return;
    const QString key = CurrentGroup == rgARC ? QStringLiteral("CALL") : QStringLiteral("Call");
    std::span<const FieldMap> map;
    switch (CurrentGroup) {
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
    // The first record, in table order, whose call begins with the text.
    if (!table->Locate(key, text, LocateOptions { true, false }))
        return;
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
    LookUpStation(item->text());
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
    QStringList lines;
    lines.reserve(ui->lstboxCheckIN->count());
    for (int i = 0; i < ui->lstboxCheckIN->count(); ++i)
        lines << ui->lstboxCheckIN->item(i)->text();
    return lines;
}

void TfrmNET::showCheckInCount()
{
    // The count is the number of check-in lines actually in the list; date lines never count.
    ui->editNoCheckins->setText(QString::number(countCheckIns(checkInLines())));
}

void TfrmNET::addCheckIn(const QString& call, const QString& name, const QString& city, const QString& state)
{
    const int number = numbering.next();
    ui->lstboxCheckIN->addItem(checkInLine(number, call, name, city, state));
    ui->lstboxCheckIN->scrollToBottom();
    unsaved = true;
    showCheckInCount();
}

void TfrmNET::btnAdd2Click()
{
    addCheckIn(
        ui->editSelCALL->text(), ui->editSelFN->text(), ui->editSelCITY->text(), ui->editSelSTATE->text());
}

void TfrmNET::btnAddClick()
{
    addCheckIn(ui->editCALL2->text().toUpper(), ui->editNAME->text().toUpper(), ui->editCITY->text(),
        ui->editSTATE->text());
    ui->panS7->hide();
}

void TfrmNET::btnDeleteClick()
{
    const int row = ui->lstboxCheckIN->currentRow();
    if (row < 0 || !ui->lstboxCheckIN->item(row)->isSelected())
        return;
    delete ui->lstboxCheckIN->takeItem(row);
    unsaved = true;
    showCheckInCount();
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

bool TfrmNET::saveCheckIns()
{
    const QString name = Dialogs::saveFileName(this);
    if (name.isEmpty())
        return false;
    // Written beside the target and renamed over it only when complete, so a failure
    // never leaves a half-written net log behind.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        Dialogs::errorBox(QStringLiteral("Cannot create file \"%1\". %2").arg(name, file.errorString()));
        return false;
    }
    file.write(checkInFileContents(checkInLines()));
    if (!file.commit()) {
        Dialogs::errorBox(QStringLiteral("Cannot write file \"%1\". %2").arg(name, file.errorString()));
        return false;
    }
    unsaved = false;
    return true;
}

void TfrmNET::panSAVEClick()
{
    saveCheckIns();
}

bool TfrmNET::canClose()
{
    if (!unsaved)
        return true;
    switch (Dialogs::askSave(this,
        QStringLiteral("The check-in list has changes that are not saved.\n"
                       "Save them before closing?"))) {
    case Dialogs::SaveChoice::Save:
        return saveCheckIns();
    case Dialogs::SaveChoice::Discard:
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
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

void TfrmNET::btnPrintClick()
{
    Dialogs::printDocument(this, ui->RichEdit1->document());
}
