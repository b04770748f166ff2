#include "net/RosterPanel.h"

#include "controls/Dialogs.h"
#include "controls/KeyListView.h"
#include "roster/RosterLookUp.h"

#include <QLineEdit>
#include <QPushButton>

RosterPanel::RosterPanel(const ClubRoster& roster, const RosterTable& table, Widgets widgets, QObject* parent)
    : QObject(parent), m_roster(roster), m_table(table), m_w(widgets), m_model(roster, table),
      m_filter(&m_model)
{
    m_w.list->setModel(&m_filter);
    m_w.list->setToolTip(QStringLiteral("Arrow keys pick a station, Enter checks it in"));
    // A click picks a station, and so does a move of the highlight by the arrow keys.
    connect(m_w.list, &QAbstractItemView::clicked, this, &RosterPanel::pickCurrent);
    connect(m_w.list, &QAbstractItemView::doubleClicked, this, &RosterPanel::pickCurrent);
    connect(m_w.list, &KeyListView::keyMoved, this, &RosterPanel::pickCurrent);
    connect(m_w.list, &KeyListView::enterPressed, this, [this] {
        const QModelIndex current = m_w.list->currentIndex();
        if (!current.isValid() || !m_w.list->selectionModel()->isSelected(current)) {
            emit stationChosen(Station());
            return;
        }
        const Station station = lookUp(current.data().toString());
        emit stationChosen(station);
        emit checkInWanted(station);
    });
    auto searchBox = [this] {
        if (!search(m_w.search->text()))
            Dialogs::showMessage(QStringLiteral("CALL NOT FOUND IN DATABASE ! "));
    };
    connect(m_w.searchButton, &QPushButton::clicked, this, searchBox);
    connect(m_w.search, &QLineEdit::returnPressed, this, searchBox);
}

void RosterPanel::showCount()
{
    m_w.count->setText(QString::number(m_filter.rowCount()));
}

void RosterPanel::showWhole()
{
    m_filter.showWhole();
    showCount();
}

void RosterPanel::showArea(int digit)
{
    m_filter.showArea(QString::number(digit));
    showCount();
}

Station RosterPanel::lookUp(const QString& text) const
{
    return lookUpRosterStation(m_roster, m_table, text, m_roster.fields).value_or(Station());
}

void RosterPanel::pickCurrent()
{
    const QModelIndex current = m_w.list->currentIndex();
    if (!current.isValid() || !m_w.list->selectionModel()->isSelected(current)) {
        emit stationChosen(Station());
        return;
    }
    // A line is looked up in its own roster, whichever group is shown.
    emit stationChosen(lookUp(current.data().toString()));
}

bool RosterPanel::search(const QString& text)
{
    // Every line is compared; when several are equal the last one is taken.
    int match = -1;
    for (int row = 0; row < m_filter.rowCount(); ++row)
        if (m_filter.index(row, 0).data().toString() == text)
            match = row;
    if (match < 0)
        return false;
    const QModelIndex index = m_filter.index(match, 0);
    m_w.list->setCurrentIndex(index);
    m_w.list->scrollTo(index);
    // Picked as a click picks it; Enter in the list then checks it in.
    pickCurrent();
    m_w.list->setFocus();
    return true;
}
