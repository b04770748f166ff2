#include "net/CheckInPanel.h"

#include "checkin/CheckInLine.h"
#include "checkin/CheckInStatus.h"
#include "controls/Dialogs.h"
#include "data/AtomicFile.h"
#include "journal/NetJournal.h"
#include "net/CheckInView.h"
#include "net/StatusTagDelegate.h"
#include "sharednet/SharedNetText.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

CheckInPanel::CheckInPanel(CheckInList& list, NetJournal& journal, Widgets widgets, QWidget* page)
    : QObject(page), m_list(list), m_journal(journal), m_w(widgets), m_page(page), m_model(list),
      m_unprotected(new QLabel(m_w.list->parentWidget()))
{
    // Over the top of the list, where the operator looks: the list in memory is all there is.
    m_unprotected->setObjectName(QStringLiteral("lblUNPROTECTED"));
    m_unprotected->setGeometry(m_w.list->x(), m_w.list->y(), m_w.list->width(), 24);
    m_unprotected->setAlignment(Qt::AlignCenter);
    m_unprotected->setText(QStringLiteral("CHECK-INS NOT PROTECTED: save the list to a file"));
    m_unprotected->setStyleSheet(
        QStringLiteral("color: white; background: #d00000; font: bold 10pt \"Arial\";"));
    m_unprotected->hide();
    m_w.list->setModel(&m_model);
    m_w.list->setItemDelegate(new StatusTagDelegate(CheckInModel::StatusRole, m_w.list));
    m_w.list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_w.list, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { showStatusMenu(m_w.list->viewport()->mapToGlobal(at)); });
    connect(m_w.list, &QAbstractItemView::clicked, this, &CheckInPanel::chooseLine);
    connect(m_w.list, &QAbstractItemView::doubleClicked, this, &CheckInPanel::chooseLine);
    connect(m_w.list, &KeyListView::enterPressed, this, &CheckInPanel::chooseLine);
    connect(&m_model, &CheckInModel::listChanged, this, [this] {
        showCount();
        emit changed();
    });
    connect(m_w.remove, &QPushButton::clicked, this, &CheckInPanel::deleteSelected);
    connect(m_w.list, &CheckInView::deletePressed, this, &CheckInPanel::deleteSelected);
    m_w.remove->setToolTip(QStringLiteral("Delete the selected check-in (Del); Ctrl+Z brings it back"));
    connect(m_w.showPrint, &QPushButton::clicked, this, [this] {
        m_w.printText->setPlainText(m_list.lines().join(QLatin1Char('\n')));
        m_w.printPanel->show();
        m_w.printPanel->raise();
    });
    connect(m_w.closePrint, &QPushButton::clicked, m_w.printPanel, &QWidget::hide);
    // Notes on the page (a save done, nothing added) fade after a few seconds.
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(6000);
    connect(&m_noteTimer, &QTimer::timeout, m_w.note, &QLabel::clear);
}

void CheckInPanel::chooseLine(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    emit lineChosen(callOfCheckInLine(m_list.line(index.row())));
}

void CheckInPanel::showCount()
{
    // The count is the number of check-in lines actually in the list; date lines never count.
    m_w.count->setText(QString::number(m_list.checkInCount()));
    reportJournalProblem();
}

void CheckInPanel::showProtection()
{
    const QString problem = m_list.journalProblem();
    m_unprotected->setToolTip(problem);
    m_unprotected->setVisible(!problem.isEmpty());
    if (!problem.isEmpty())
        m_unprotected->raise();
}

void CheckInPanel::reportJournalProblem()
{
    showProtection();
    if (m_journalProblemTold)
        return;
    const QString problem = m_list.journalProblem();
    if (problem.isEmpty())
        return;
    m_journalProblemTold = true;
    Dialogs::errorBox(QStringLiteral("Check-ins are NOT being protected against a crash or a power cut.\n%1\n"
                                     "The net goes on: save the list to a file before you close the program.")
                          .arg(problem));
}

void CheckInPanel::showNote(const QString& text)
{
    m_w.note->setText(text);
    m_noteTimer.start();
}

bool CheckInPanel::warnRepeat(const QString& call)
{
    const int index = m_list.findCall(call);
    if (index < 0 || m_repeatWarned == call)
        return false;
    m_repeatWarned = call;
    // Over a shared net the notice also names who logged the line.
    emit notice(repeatNotice(call, m_list.at(index)));
    return true;
}

bool CheckInPanel::checkIn(const Station& station)
{
    const CheckInFields fields = station.checkInFields();
    if (fields.call.isEmpty()) {
        showNote(QStringLiteral("Nothing added: the call is blank."));
        return false;
    }
    if (warnRepeat(fields.call))
        return false;
    m_repeatWarned.clear();
    m_list.addCheckIn(fields, station.source()); // durable before it is shown
    // The station just heard is the selected line: a status key right now marks it.
    m_w.list->setCurrentIndex(m_model.index(m_list.size() - 1));
    m_w.list->scrollToBottom();
    emit checkedIn();
    return true;
}

void CheckInPanel::addDateLine(const QString& date)
{
    // One date line per day: a trip to another page, a restore or CALL A NET again adds none.
    const QString line = dateLine(date);
    for (int i = 0; i < m_list.size(); ++i)
        if (m_list.at(i).dateLine && m_list.at(i).text == line)
            return;
    m_list.addDateLine(date);
}

void CheckInPanel::deleteSelected()
{
    const QModelIndex current = m_w.list->currentIndex();
    if (!current.isValid() || !m_w.list->selectionModel()->isSelected(current))
        return;
    const int row = current.row();
    if (!m_list.remove(row))
        return;
    // Nothing stays selected: a second press, a double click or a held key deletes no more.
    m_w.list->standAtGap(row);
}

void CheckInPanel::undoDelete()
{
    const auto index = m_list.undo();
    if (index)
        m_w.list->scrollTo(m_model.index(*index));
}

int CheckInPanel::statusTarget() const
{
    const QModelIndex current = m_w.list->currentIndex();
    if (current.isValid() && m_w.list->selectionModel()->isSelected(current)
        && !m_list.at(current.row()).dateLine)
        return current.row();
    for (int i = m_list.size() - 1; i >= 0; --i)
        if (!m_list.at(i).dateLine)
            return i;
    return -1;
}

void CheckInPanel::setStatus(int row, const QString& code)
{
    if (row >= 0)
        m_list.setStatus(row, code);
    reportJournalProblem();
}

void CheckInPanel::setStatusByKey(QChar key)
{
    if (const CheckInStatus* status = statusByKey(key))
        setStatus(statusTarget(), status->code);
}

void CheckInPanel::showStatusMenu(const QPoint& globalPos)
{
    const int row = m_w.list->currentIndex().row();
    if (row < 0 || row >= m_list.size() || m_list.at(row).dateLine)
        return;
    auto* menu = new QMenu(m_page);
    menu->setObjectName(QStringLiteral("menuSTATUS"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const CheckInStatus& status : checkInStatuses()) {
        QAction* action = menu->addAction(status.label + QStringLiteral("\tAlt+") + status.key);
        action->setData(status.code);
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("No status"))->setData(QString());
    connect(menu, &QMenu::triggered, this,
        [this, row](QAction* action) { setStatus(row, action->data().toString()); });
    menu->popup(globalPos);
}

QString CheckInPanel::proposedSaveName() const
{
    QString folder = m_lastSaveFolder;
    // After a restart: the folder of the check-in file saved last, as the journal keeps it.
    if (folder.isEmpty()) {
        const QString last = m_journal.lastSavedFile();
        if (!last.isEmpty())
            folder = QFileInfo(last).absolutePath();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString name = QStringLiteral("net-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
    return QDir(folder).filePath(name);
}

bool CheckInPanel::save()
{
    const QString name = Dialogs::saveFileName(m_page, QString(), proposedSaveName());
    if (name.isEmpty())
        return false;
    QString error;
    // Written beside the target and renamed over it only when every byte is on disk, so a
    // failure leaves the file that was there as it was.
    if (!writeFileAtomically(name, checkInFileContents(m_list.lines()), &error)) {
        Dialogs::errorBox(QStringLiteral("The check-ins were NOT saved to \"%1\".\n%2")
                              .arg(QDir::toNativeSeparators(name), error));
        return false;
    }
    m_lastSaveFolder = QFileInfo(name).absolutePath();
    m_list.markSaved();
    if (m_list.netId() != 0)
        m_journal.setSavedFile(m_list.netId(), QFileInfo(name).absoluteFilePath());
    showNote(QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(name)));
    reportJournalProblem();
    return true;
}

bool CheckInPanel::canClose()
{
    if (!m_list.isUnsaved())
        return true;
    switch (Dialogs::askSave(m_page,
        QStringLiteral("The check-in list has changes that are not saved.\n"
                       "Save them before closing?"))) {
    case Dialogs::SaveChoice::Save:
        return save();
    case Dialogs::SaveChoice::Discard:
        m_list.markDiscarded();
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool CheckInPanel::beginNewNet(const QString& today)
{
    if (!canClose())
        return false;
    // The net timer and the identification reminder start again from the next check-in.
    m_list.beginNewNet();
    forgetRepeat();
    addDateLine(today);
    showNote(QStringLiteral("A new net begins with the next check-in."));
    return true;
}

void CheckInPanel::offerRestore()
{
    if (!m_journal.keptAside().isEmpty())
        Dialogs::showMessage(m_journal.problem());
    if (!m_journal.ok()) {
        reportJournalProblem();
        return;
    }
    const auto pending = m_journal.pendingNet();
    if (!pending || pending->checkIns == 0)
        return;
    const QString when = QLocale::system().toString(
        QDateTime::fromMSecsSinceEpoch(pending->startedUtcMs).toLocalTime(), QLocale::ShortFormat);
    const int answer = Dialogs::choose(m_page,
        QStringLiteral("An unsaved net from %1 with %2 check-ins was found. Restore it?")
            .arg(when)
            .arg(pending->checkIns),
        { QStringLiteral("Restore"), QStringLiteral("Discard") });
    if (answer != 0) {
        m_journal.setDiscarded(pending->id);
        return;
    }
    m_list.restore(pending->id);
    m_w.list->scrollToBottom();
}
