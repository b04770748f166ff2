// The search boxes above the roster lists, and MEMBER CHECK against the roster grid.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "ui_TfrmNET.h"

bool TfrmNET::searchList(QListWidget* list, const QString& text)
{
    // Every line is compared; when several are equal the last one ends up selected.
    int match = -1;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text)
            match = i;
    if (match < 0)
        return false;
    list->setCurrentRow(match);
    list->scrollToItem(list->item(match));
    return true;
}

bool TfrmNET::SearchRosterList(const QString& text, int value)
{
    const Group g = group(value);
    return g.list && searchList(g.list, text);
}

void TfrmNET::rosterSearchClick(QLineEdit* edit, int value)
{
    if (!SearchRosterList(edit->text(), value)) {
        Dialogs::showMessage(QStringLiteral("CALL NOT FOUND IN DATABASE ! "));
        return;
    }
    // The station found is picked as a click on its line picks it, and Enter in the list
    // then checks it in.
    const Group g = group(value);
    rosterClick(g.list);
    g.list->setFocus();
}

void TfrmNET::btnARCClick()
{
    rosterSearchClick(ui->editCALLARC, rgARC);
}

void TfrmNET::btnRVClick()
{
    rosterSearchClick(ui->editCALLRV, rgRV);
}

void TfrmNET::btnREGClick()
{
    rosterSearchClick(ui->editCALLREG, rgRegular);
}

void TfrmNET::btnWBClick()
{
    rosterSearchClick(ui->editCALLWBC, rgWBCCI);
}

void TfrmNET::btnNameCkClick()
{
    const QString key = ui->editCALL2->text();
    ui->editMATCH->setText(QStringLiteral("    "));
    for (int row = 1; row < gridRowCount(); ++row) {
        if (gridCell(2, row) != key)
            continue;
        ui->editMATCH->setText(QStringLiteral("ARC MEMBER"));
        ui->editNAME->setText(gridCell(1, row));
        ui->editCITY->setText(gridCell(12, row));
        ui->editSTATE->setText(gridCell(13, row));
        return;
    }
}
