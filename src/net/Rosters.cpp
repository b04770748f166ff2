// Club rosters: group and area choice, the roster lists, activation of the page.
#include "net/TfrmNET.h"

#include "fcc/FccIndexLoader.h"
#include "ui_TfrmNET.h"

#include <QDate>
#include <QLocale>

TfrmNET::Group TfrmNET::group(int value)
{
    // Which record a list starts from: the first record of the RV Radio and WBCCI tables
    // is never listed, the first of the Regular table only in the whole list.
    switch (value) {
    case rgARC:
        return { &tableFMCA, ui->panARC, ui->panARC2, ui->lstboxROSTER, ui->editRosterCNT, false, false };
    case rgRV:
        return { &tableRV, ui->panRV, ui->panRV2, ui->lstboxROSTER2, ui->editRosterCNT2, true, true };
    case rgRegular:
        return { &tableReg, ui->panReg, ui->panReg2, ui->lstboxROSTER3, ui->editRosterCNT3, false, true };
    case rgWBCCI:
        return { &tableWBC, ui->panWBCII, ui->panWBCII2, ui->lstboxROSTER4, ui->editRosterCNT4, true, true };
    default:
        return { nullptr, nullptr, nullptr, nullptr, nullptr, false, false };
    }
}

FacePanel* TfrmNET::areaPanel(int digit) const
{
    FacePanel* const panels[] = { ui->panA0, ui->panA1, ui->panA2, ui->panA3, ui->panA4, ui->panA5, ui->panA6,
        ui->panA7, ui->panA8, ui->panA9 };
    return panels[digit];
}

void TfrmNET::ResetGroupPanels()
{
    for (int g = rgARC; g <= rgWBCCI; ++g) {
        group(g).groupPanel->setColor(clGray);
        group(g).rosterPanel->hide();
    }
    ui->panGROUP->setColor(clGray);
    ui->panCALL->setColor(clGray);
}

void TfrmNET::ResetAreaPanels()
{
    ui->panENTIRE->setColor(clRed);
    for (int d = 0; d <= 9; ++d)
        areaPanel(d)->setColor(clRed);
}

void TfrmNET::ResetHeaderButtons()
{
    ui->VR2->setColor(clGray);
    ui->VR3->setColor(clGray);
    ui->panS7->hide();
}

void TfrmNET::fillRoster(const Group& g, bool fromSecond, const QString* area)
{
    RosterTable& table = *g.table;
    table.First();
    if (fromSecond)
        table.Next();
    g.list->clear();
    QStringList lines;
    try {
        while (!table.Eof()) {
            if (!area || table.FieldText(QStringLiteral("AREA")) == *area)
                lines << table.FieldText(QStringLiteral("CALL"));
            table.Next();
        }
    } catch (...) {
        // The lines read before the failure stay listed; the count is left alone.
        g.list->addItems(lines);
        throw;
    }
    g.list->addItems(lines);
    g.count->setText(QString::number(g.list->count()));
    markCheckedIn();
}

void TfrmNET::LoadWholeRoster(int value)
{
    const Group g = group(value);
    if (g.table)
        fillRoster(g, g.wholeFromSecond, nullptr);
}

void TfrmNET::LoadAreaRoster(int value, int digit)
{
    const Group g = group(value);
    if (!g.table)
        return;
    const QString area = QString::number(digit);
    fillRoster(g, g.areaFromSecond, &area);
}

void TfrmNET::showGroupChosen(int value)
{
    const Group g = group(value);
    ResetGroupPanels();
    ResetAreaPanels();
    ui->panENTIRE->setColor(clGreen);
    g.groupPanel->setColor(clGreen);
    g.rosterPanel->show();
    ui->panAreas->show();
    CurrentGroup = value;
}

int TfrmNET::shownGroup()
{
    for (int g = rgARC; g <= rgWBCCI; ++g)
        if (group(g).groupPanel->color() == clGreen && !group(g).rosterPanel->isHidden())
            return g;
    return rgNone;
}

void TfrmNET::chooseGroup(int value)
{
    const Group g = group(value);
    if (g.groupPanel->color() != clGray)
        return; // already the chosen group: the list is not reloaded
    showGroupChosen(value);
    LoadWholeRoster(value);
}

void TfrmNET::panARCClick()
{
    chooseGroup(rgARC);
}

void TfrmNET::panRVClick()
{
    chooseGroup(rgRV);
}

void TfrmNET::panRegClick()
{
    chooseGroup(rgRegular);
}

void TfrmNET::panWBCIIClick()
{
    chooseGroup(rgWBCCI);
}

void TfrmNET::panGROUPClick()
{
    if (ui->panGROUP->color() != clGray)
        return;
    ResetGroupPanels();
    ui->panGROUP->setColor(clGreen);
    ui->panGROUP2->show();
    ui->panAreas->show();
    // No roster is shown now, so area clicks have no list to fill until a group is chosen.
    CurrentGroup = rgNone;
}

void TfrmNET::panENTIREClick()
{
    ResetAreaPanels();
    ui->panENTIRE->setColor(clGreen);
    LoadWholeRoster(CurrentGroup);
}

void TfrmNET::panAreaClick(int digit)
{
    ResetAreaPanels();
    areaPanel(digit)->setColor(clGreen);
    LoadAreaRoster(CurrentGroup, digit);
}

void TfrmNET::FormActivate()
{
    ResetHeaderButtons();
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    ui->editDATE->setText(today);
    appendDateLine(today);
    LoadWholeRoster(rgARC);
    // The roster on screen stays the one acted on: coming back from another page leaves the
    // operator in the roster they were working. With none shown, ARC is shown, whole.
    const int shown = shownGroup();
    if (shown == rgNone || shown == rgARC)
        showGroupChosen(rgARC);
    else
        CurrentGroup = shown;
    // A licence file replaced since its calls were indexed is indexed again.
    fccCallIndex().refreshIfChanged();
    focusQuickCall();
}
