#include "net/QuickCallBox.h"

#include "checkin/CheckInList.h"
#include "controls/PageScaler.h"
#include "lookup/CallText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

QuickCallBox::QuickCallBox(const StationDirectory& stations, const CheckInList& checkIns,
    AttendanceText attendance, QLineEdit* edit, QLabel* note, QWidget* suggestionsParent)
    : QObject(edit), m_stations(stations), m_checkIns(checkIns), m_attendance(std::move(attendance)),
      m_edit(edit), m_note(note), m_suggestions(new QListWidget(suggestionsParent))
{
    m_suggestions->setObjectName(QStringLiteral("lstQUICK"));
    m_suggestions->setGeometry(8, 102, 582, 300);
    m_suggestions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_suggestions->setFocusPolicy(Qt::NoFocus); // the typing stays in the box
    m_suggestions->setStyleSheet(QStringLiteral("QListWidget { color: black; font: bold 10pt \"Arial\"; "
                                                "background: #ffffe0; } QListWidget::item:selected "
                                                "{ background: #0050c8; color: white; }"));
    m_suggestions->hide();
    connect(m_suggestions, &QListWidget::itemClicked, this, [this] { enter(false); });
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &QuickCallBox::textEdited);
    m_edit->setToolTip(
        QStringLiteral("Type a call (F2 from anywhere). Enter checks the highlighted station in, "
                       "Shift+Enter only fills SELECTED CALL, Up/Down move, Esc clears."));
}

void QuickCallBox::focus()
{
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void QuickCallBox::textEdited()
{
    // The call is shown in capitals as typed; after a comma the name, city and state stay as
    // typed (the name is upper-cased when it is checked in). The cursor stays where it was.
    const int cursor = m_edit->cursorPosition();
    const QString text = m_edit->text();
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    const QString upper = comma < 0 ? text.toUpper() : text.left(comma).toUpper() + text.mid(comma);
    if (upper != m_edit->text()) {
        m_edit->setText(upper);
        m_edit->setCursorPosition(cursor);
    }
    m_note->clear();
    m_newConfirmed.clear();
    emit edited();
    showSuggestions();
}

void QuickCallBox::showNote(const QString& text)
{
    m_note->setText(text);
}

void QuickCallBox::showSuggestions()
{
    const QString text = m_edit->text();
    m_suggestions->clear();
    m_rows.clear();
    if (text.trimmed().isEmpty()) {
        m_suggestions->hide();
        return;
    }
    m_rows = m_stations.suggest(text, 12);
    for (const StationRow& row : m_rows) {
        QString shown = row.call;
        if (m_licenceMark) {
            const QString mark = m_licenceMark(row.call);
            if (!mark.isEmpty())
                shown += QLatin1Char(' ') + mark;
        }
        if (row.match == MatchKind::NewStation) {
            shown += QStringLiteral("   new station");
        } else {
            shown += QStringLiteral("   %1   %2 %3   %4")
                         .arg(row.name, row.city, row.state, StationDirectory::sourceText(row.source));
            const QString chapter = StationDirectory::chapterText(row.chapter);
            if (!chapter.isEmpty())
                shown += QStringLiteral(", ") + chapter;
        }
        if (m_checkIns.findCall(row.call) >= 0)
            shown += QStringLiteral("   (checked in)");
        if (row.match != MatchKind::NewStation && m_attendance) {
            const QString seen = m_attendance(row.call);
            if (!seen.isEmpty())
                shown += QStringLiteral("   [") + seen + QLatin1Char(']');
        }
        m_suggestions->addItem(shown);
    }
    if (m_stations.fccState() == FccIndexLoader::State::Loading)
        m_suggestions->addItem(QStringLiteral("(the FCC file is still loading)"));
    if (m_suggestions->count() == 0) {
        m_suggestions->hide();
        return;
    }
    // A call on no list highlights nothing: the nearest station is one Down away. A part of a
    // call heard (a suffix) that only one club station matches means that station.
    m_clubMatches = 0;
    if (!m_rows.empty() && isKnown()) {
        m_suggestions->setCurrentRow(0);
    } else if (!isWholeCall(text)) {
        m_clubMatches = m_stations.clubMatchCount(text);
        const auto club = std::find_if(m_rows.begin(), m_rows.end(), [](const StationRow& r) {
            return (r.match == MatchKind::Prefix || r.match == MatchKind::Suffix)
                && r.source != StationSource::Fcc;
        });
        if (m_clubMatches == 1 && club != m_rows.end())
            m_suggestions->setCurrentRow(int(club - m_rows.begin()));
    }
    // As tall as its rows, so the check-ins below stay in sight.
    const int rowHeight = std::max(1, m_suggestions->sizeHintForRow(0));
    m_suggestions->resize(m_suggestions->width(),
        std::min(PageScaler::scaled(m_suggestions, 300), rowHeight * m_suggestions->count() + 8));
    m_suggestions->show();
    m_suggestions->raise();
}

void QuickCallBox::clear()
{
    m_edit->clear();
    showSuggestions();
}

bool QuickCallBox::enter(bool fillOnly)
{
    const QString text = m_edit->text();
    if (text.trimmed().isEmpty())
        return false;
    Station station;
    // "CALL, NAME, CITY, STATE" is a station typed in whole, as MANUAL INSERT takes it.
    if (text.contains(QLatin1Char(','))) {
        const auto typed = parseCommaForm(text);
        if (!typed) {
            m_note->setText(QStringLiteral("Type CALL, NAME, CITY, STATE"));
            return false;
        }
        station = typedStation(typed->call, typed->name, typed->city, typed->state);
    } else {
        int row = m_suggestions->currentRow();
        if (row < 0 && !isKnown()) {
            const auto newRow = std::find_if(m_rows.begin(), m_rows.end(),
                [](const StationRow& r) { return r.match == MatchKind::NewStation; });
            if (newRow != m_rows.end()) {
                // A station already on the net (another operator's line) is no typo: it goes on
                // to the repeat notice at once.
                const bool onNet = m_checkIns.findCall(newRow->call) >= 0;
                if (!fillOnly && !onNet && !confirmNew(newRow->call))
                    return true;
                row = int(newRow - m_rows.begin());
            } else if (nearestRow() >= 0) {
                // Stations are listed and none is highlighted: the operator picks one.
                m_note->setText(matchesNote(text.trimmed()));
                return true;
            }
        }
        if (row < 0 || row >= int(m_rows.size())) {
            m_note->setText(QStringLiteral("No station matches %1").arg(text.trimmed()));
            return false;
        }
        const StationRow& pick = m_rows[std::size_t(row)];
        if (pick.match == MatchKind::NewStation) {
            station = Station(CheckInSource::Manual, QStringLiteral("new"));
            station.set(StationField::Call, pick.call);
        } else {
            station = pick.station;
        }
    }
    emit stationChosen(station);
    if (!fillOnly)
        emit checkInWanted(station);
    return true;
}

bool QuickCallBox::isKnown() const
{
    return std::any_of(
        m_rows.begin(), m_rows.end(), [](const StationRow& r) { return r.match == MatchKind::Exact; });
}

int QuickCallBox::nearestRow() const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].match != MatchKind::NewStation)
            return int(i);
    return -1;
}

bool QuickCallBox::isWholeCall(const QString& text)
{
    const auto call = normaliseCallText(text);
    return call && looksLikeCallSign(*call);
}

QString QuickCallBox::matchesNote(const QString& text) const
{
    // The club's stations are counted whole; the FCC file's only as far as they are listed.
    const int listed = int(std::count_if(
        m_rows.begin(), m_rows.end(), [](const StationRow& r) { return r.match != MatchKind::NewStation; }));
    const int count = std::max(m_clubMatches, listed);
    if (count == 1)
        return QStringLiteral("1 station matches %1: Down picks it, Enter checks it in.").arg(text);
    return QStringLiteral("%1 stations match %2: Down picks one, Enter checks it in.").arg(count).arg(text);
}

bool QuickCallBox::confirmNew(const QString& call)
{
    if (m_newConfirmed == call)
        return true;
    m_newConfirmed = call;
    const int near = nearestRow();
    if (near < 0) {
        m_note->setText(QStringLiteral("%1 is on no list; Enter again checks it in as new.").arg(call));
        return false;
    }
    const StationRow& n = m_rows[std::size_t(near)];
    m_note->setText(QStringLiteral(
        "%1 is on no list. Did you mean %2 (%3)? Down picks it; Enter again checks in %1 as new.")
                        .arg(call, n.call, StationDirectory::shortSourceName(n.source)));
    return false;
}

bool QuickCallBox::key(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enter(modifiers & Qt::ShiftModifier);
        return true;
    case Qt::Key_Delete:
        // In an empty box there is nothing to delete but the check-in just made (or the one
        // selected in the list), as Delete there does.
        if (!m_edit->text().isEmpty() || modifiers != Qt::NoModifier)
            return false;
        emit deleteWanted();
        return true;
    case Qt::Key_Escape:
        clear();
        emit edited();
        m_note->clear();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (!m_rows.empty()) {
            const int step = key == Qt::Key_Down ? 1 : -1;
            const int current = m_suggestions->currentRow();
            // From nothing highlighted, Down goes to the nearest station.
            const int next = current < 0 && step > 0 && nearestRow() >= 0 ? nearestRow() : current + step;
            m_suggestions->setCurrentRow(std::clamp(next, 0, int(m_rows.size()) - 1));
        }
        return true;
    default:
        return false;
    }
}

bool QuickCallBox::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl+Z in the empty box brings the deleted check-in back, as the page's key does
    // everywhere else; with text in the box it takes back the typing.
    if (watched == m_edit && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) && m_edit->text().isEmpty())
        return true;
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & Qt::AltModifier)
            return false; // the page's status keys
        return key(k->key(), k->modifiers());
    }
    return QObject::eventFilter(watched, event);
}
