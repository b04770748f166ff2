// The chapter roster spreadsheet in a grid: loading, opening, sorting, picking a member.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "data/DataError.h"
#include "data/Workbook.h"
#include "lookup/StationDirectory.h"
#include "net/RosterGridModel.h"
#include "ui_TfrmNET.h"

#include <QDir>
#include <QEvent>
#include <QPointer>

namespace {

// While a panel covers another, what lies under it is out of reach: nothing there can be
// clicked where it shows beside the cover, or reached with the Tab key. The covered
// panel is switched off when the cover is shown and on again when it is hidden, whoever
// shows or hides it.
class CoverGuard : public QObject {
public:
    CoverGuard(QWidget* cover, QWidget* covered) : QObject(cover), m_cover(cover), m_covered(covered)
    {
        cover->installEventFilter(this);
        m_covered->setEnabled(m_cover->isHidden());
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            if (m_covered)
                m_covered->setEnabled(m_cover->isHidden());
        return false;
    }

private:
    QWidget* m_cover;
    QPointer<QWidget> m_covered;
};

} // namespace

void TfrmNET::setUpRosterGrid()
{
    gridModel = std::make_unique<RosterGridModel>();
    ui->AdvStringGrid1->setModel(gridModel.get());
    // The grid panel lies over the check-in list: a check-in the operator cannot see
    // must not be deleted or printed meanwhile.
    new CoverGuard(ui->panS7, ui->panCheckIns);
}

int TfrmNET::gridRowCount() const
{
    return gridModel->rowCount();
}

QString TfrmNET::gridCell(int column, int row) const
{
    return gridModel->cell(column, row);
}

void TfrmNET::LoadRosterSpreadsheet(const QString& directory)
{
    // The directory text is used as it stands: a root folder ending in a separator
    // gives a doubled separator, which the file system accepts.
    const QString file = directory + QDir::toNativeSeparators(QStringLiteral("/OrvikDB/Roster_Name_ARC.xls"));
    ui->editRosterFile->setText(file);
    try {
        const QList<QStringList> rows = ReadFirstWorksheet(file);
        gridModel->setRows(rows);
        stations->setSpreadsheet(rows);
    } catch (const DataError& e) {
        gridModel->clear();
        stations->setSpreadsheet({});
        ui->editNumMem->setText(QStringLiteral("0"));
        Dialogs::showMessage(QStringLiteral("The ARC roster spreadsheet could not be loaded.\n%1")
                                 .arg(QString::fromUtf8(e.what())));
        return;
    }
    ui->editNumMem->setText(QString::number(std::max(0, gridRowCount() - 1)));
}

void TfrmNET::SortRosterGrid(int column)
{
    gridModel->sortByColumn(column);
}

void TfrmNET::closeGrid()
{
    ui->panS7->hide();
    ui->panAR->setColor(clGray);
}

void TfrmNET::panARClick()
{
    if (ui->panAR->color() == clGray) {
        ResetHeaderButtons();
        ui->panAR->setColor(clGreen);
        SortRosterGrid(2);
        ui->panS7->show();
        ui->panS7->raise();
        ui->AdvStringGrid1->setFocus();
    } else {
        closeGrid();
        ui->panCheckIns->show();
    }
}

void TfrmNET::panS1Click()
{
    if (ui->panS1->color() != clGray)
        return;
    ui->panS1->setColor(clGreen);
    ui->panS2->setColor(clGray);
    ui->panS3->setColor(clGray);
    SortRosterGrid(2);
}

void TfrmNET::panS2Click()
{
    if (ui->panS2->color() != clGray)
        return;
    ui->panS2->setColor(clGreen);
    ui->panS1->setColor(clGray);
    ui->panS3->setColor(clGray);
    SortRosterGrid(0);
}

void TfrmNET::panS3Click()
{
    if (ui->panS3->color() != clGray)
        return;
    ui->panS3->setColor(clGreen);
    ui->panS1->setColor(clGray);
    ui->panS2->setColor(clGray);
    SortRosterGrid(8);
}

void TfrmNET::AdvStringGrid1ClickCell(int row, int)
{
    if (row < 1 || row >= gridRowCount())
        return; // the header row is not a member
    selectedSource = CheckInSource::Spreadsheet;
    ui->editSelLNAME->setText(gridCell(0, row));
    ui->editSelFN->setText(gridCell(1, row));
    ui->editSelCALL->setText(gridCell(2, row));
    ui->editSelSFN->setText(gridCell(5, row));
    ui->editSelSCALL->setText(gridCell(6, row));
    ui->editSelCITY->setText(gridCell(11, row));
    ui->editSelSTATE->setText(gridCell(12, row));
    closeGrid();
}

void TfrmNET::btnSEARCHClick()
{
    const QString key = ui->editCALLR->text();
    ui->editMATCH2->setText(QStringLiteral("    "));
    for (int row = 1; row < gridRowCount(); ++row) {
        if (gridCell(2, row) != key) {
            ui->editMATCH2->setText(QStringLiteral("NOT PAID ARC MEMBER"));
            continue;
        }
        ui->editMATCH2->setText(QStringLiteral("ARC MEMBER"));
        selectedSource = CheckInSource::Spreadsheet;
        ui->editSelLNAME->setText(gridCell(0, row));
        ui->editSelFN->setText(gridCell(1, row));
        ui->editSelCALL->setText(gridCell(2, row));
        ui->editSelSFN->setText(gridCell(6, row));
        ui->editSelCITY->setText(gridCell(12, row));
        ui->editSelSTATE->setText(gridCell(13, row));
        closeGrid();
        return;
    }
}
