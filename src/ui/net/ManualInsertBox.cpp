#include "net/ManualInsertBox.h"

#include "net/RosterGridPanel.h"
#include "roster/RosterCatalog.h"

#include <QLineEdit>
#include <QPushButton>

ManualInsertBox::ManualInsertBox(const RosterGridPanel& grid, Widgets widgets, QObject* parent)
    : QObject(parent), m_grid(grid), m_w(widgets)
{
    auto add = [this] {
        emit checkInWanted(
            typedStation(m_w.call->text(), m_w.name->text(), m_w.city->text(), m_w.state->text()));
    };
    connect(m_w.add, &QPushButton::clicked, this, add);
    for (QLineEdit* e : { m_w.call, m_w.name, m_w.city, m_w.state })
        connect(e, &QLineEdit::returnPressed, this, add);
    m_w.add->setToolTip(QStringLiteral("Check in the station typed here (Enter in any box)"));
    connect(m_w.memberCheck, &QPushButton::clicked, this, &ManualInsertBox::memberCheck);
}

void ManualInsertBox::memberCheck()
{
    m_w.match->setText(QStringLiteral("    "));
    const int row = m_grid.memberRow(m_w.call->text());
    if (row < 0)
        return;
    const RosterSheet& sheet = rosterSheet();
    const RosterGridModel& model = m_grid.model();
    m_w.match->setText(QStringLiteral("ARC MEMBER"));
    m_w.name->setText(model.cell(sheet.checkNameColumn, row));
    m_w.city->setText(model.cell(sheet.checkCityColumn, row));
    m_w.state->setText(model.cell(sheet.checkStateColumn, row));
}
