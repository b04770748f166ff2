#include "net/ClubSearchPanel.h"

#include "controls/Dialogs.h"
#include "roster/ClubSearch.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

ClubSearchPanel::ClubSearchPanel(
    Tables tables, QLineEdit* call, QPushButton* search, QListWidget* found, QObject* parent)
    : QObject(parent), m_tables(std::move(tables)), m_call(call), m_found(found)
{
    auto run = [this] {
        m_found->clear();
        this->search(m_call->text());
    };
    connect(search, &QPushButton::clicked, this, run);
    connect(call, &QLineEdit::returnPressed, this, run);
}

void ClubSearchPanel::search(const QString& call)
{
    const ClubSearchResult result = searchClubRosters(call, m_tables);
    emit stationFound(result.station.value_or(Station()));
    m_found->addItems(result.rosters);
    if (result.station)
        return;
    // A second look in the ARC roster with letter case ignored tells the operator that the
    // call is there in other letters.
    const ClubRoster& arc = *clubRoster(rgARC);
    if (m_tables(rgARC).find(
            QString::fromLatin1(arc.keyColumn), call.toUpper(), LocateOptions { true, true }))
        Dialogs::showMessage(QStringLiteral("found"));
    Dialogs::showMessage(QStringLiteral("CALL NOT FOUND IN DATABASE ! "));
}
