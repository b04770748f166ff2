#include "net/RosterGridPanel.h"

#include "controls/Dialogs.h"
#include "controls/FacePanel.h"
#include "data/DataError.h"
#include "data/Workbook.h"
#include "lookup/StationDirectory.h"
#include "net/RosterGridView.h"
#include "roster/RosterCatalog.h"

#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

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

RosterGridPanel::RosterGridPanel(StationDirectory& stations, Widgets widgets, QObject* parent)
    : QObject(parent), m_stations(stations), m_w(widgets)
{
    m_w.grid->setModel(&m_model);
    // The grid panel lies over the check-in list: a check-in the operator cannot see
    // must not be deleted or printed meanwhile.
    new CoverGuard(m_w.panel, m_w.covered);
    const RosterSheet& sheet = rosterSheet();
    connect(m_w.toggle, &FacePanel::clicked, this, &RosterGridPanel::toggle);
    connect(m_w.byCall, &FacePanel::clicked, this, [this, &sheet] { sortBy(m_w.byCall, sheet.callColumn); });
    connect(
        m_w.byName, &FacePanel::clicked, this, [this, &sheet] { sortBy(m_w.byName, sheet.lastNameColumn); });
    connect(m_w.byState, &FacePanel::clicked, this,
        [this, &sheet] { sortBy(m_w.byState, sheet.stateSortColumn); });
    connect(m_w.grid, &QAbstractItemView::clicked, this,
        [this](const QModelIndex& index) { clickCell(index.row()); });
    connect(m_w.search, &QPushButton::clicked, this, &RosterGridPanel::searchMember);
    connect(m_w.searchCall, &QLineEdit::returnPressed, this, &RosterGridPanel::searchMember);
}

void RosterGridPanel::load(const QString& directory)
{
    const QString file = rosterSheetPath(directory);
    m_w.file->setText(file);
    try {
        const QList<QStringList> rows = ReadFirstWorksheet(file);
        m_model.setRows(rows);
        m_stations.setSpreadsheet(rows);
    } catch (const DataError& e) {
        m_model.clear();
        m_stations.setSpreadsheet({});
        m_w.members->setText(QStringLiteral("0"));
        Dialogs::showMessage(QStringLiteral("The ARC roster spreadsheet could not be loaded.\n%1")
                                 .arg(QString::fromUtf8(e.what())));
        return;
    }
    m_w.members->setText(QString::number(std::max(0, m_model.rowCount() - 1)));
}

void RosterGridPanel::close()
{
    m_w.panel->hide();
    m_w.toggle->setColor(clGray);
}

void RosterGridPanel::toggle()
{
    if (m_w.toggle->color() == clGray) {
        emit opened();
        m_w.toggle->setColor(clGreen);
        m_model.sortByColumn(rosterSheet().callColumn);
        m_w.panel->show();
        m_w.panel->raise();
        m_w.grid->setFocus();
    } else {
        close();
        m_w.covered->show();
    }
}

void RosterGridPanel::sortBy(FacePanel* panel, int column)
{
    if (panel->color() != clGray)
        return;
    for (FacePanel* p : { m_w.byCall, m_w.byName, m_w.byState })
        p->setColor(p == panel ? clGreen : clGray);
    m_model.sortByColumn(column);
}

Station RosterGridPanel::memberStation(int row, bool fromSearch) const
{
    const RosterSheet& sheet = rosterSheet();
    Station s(CheckInSource::Spreadsheet, QStringLiteral("ARC ROSTER"));
    for (const SheetField& f : fromSearch ? sheet.searchFields : sheet.gridFields)
        s.set(f.field, m_model.cell(f.column, row));
    return s;
}

void RosterGridPanel::clickCell(int row)
{
    if (row < 1 || row >= m_model.rowCount())
        return; // the header row is not a member
    emit stationChosen(memberStation(row, false));
    close();
}

int RosterGridPanel::memberRow(const QString& call) const
{
    for (int row = 1; row < m_model.rowCount(); ++row)
        if (m_model.cell(rosterSheet().callColumn, row) == call)
            return row;
    return -1;
}

void RosterGridPanel::searchMember()
{
    const int row = memberRow(m_w.searchCall->text());
    if (row < 0) {
        // A sheet with members that does not hold the call: the station has not paid.
        m_w.searchMatch->setText(
            m_model.rowCount() > 1 ? QStringLiteral("NOT PAID ARC MEMBER") : QStringLiteral("    "));
        return;
    }
    m_w.searchMatch->setText(QStringLiteral("ARC MEMBER"));
    emit stationChosen(memberStation(row, true));
    close();
}
