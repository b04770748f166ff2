#include "net/NetRecordPanel.h"

#include "checkin/CheckInList.h"
#include "controls/Dialogs.h"
#include "controls/FacePanel.h"
#include "data/AtomicFile.h"
#include "journal/NetJournal.h"
#include "report/NetExport.h"
#include "report/NetReport.h"
#include "report/NetSummary.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString clockText(std::int64_t ms)
{
    const std::int64_t s = std::max<std::int64_t>(0, ms / 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

NetRecordPanel::NetRecordPanel(
    CheckInList& list, NetJournal& journal, Clock clock, Widgets widgets, QWidget* page)
    : QObject(page), m_list(list), m_journal(journal), m_clock(std::move(clock)), m_w(widgets), m_page(page)
{
    connect(m_w.ident, &FacePanel::clicked, this, &NetRecordPanel::identified);
    connect(m_w.exportCsv, &QPushButton::clicked, this, &NetRecordPanel::exportCsv);
    connect(m_w.attendance, &QPushButton::clicked, this, &NetRecordPanel::exportAttendance);
    connect(m_w.print, &QPushButton::clicked, this, &NetRecordPanel::print);
    // The net control's call is part of the net: journaled as it is typed, so a kill keeps it.
    connect(m_w.controlStation, &QLineEdit::textEdited, this, &NetRecordPanel::controlCallEdited);
    // The timer and the reminder follow the clock; colour alone tells, no box and no sound.
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &NetRecordPanel::updateClock);
    m_timer.start();
    updateClock();
}

void NetRecordPanel::updateClock()
{
    const std::int64_t now = m_clock();
    const auto start = m_list.netStartUtc();
    m_w.netTime->setText(
        start ? QStringLiteral("NET ") + clockText(now - *start) : QStringLiteral("NET --:--"));
    const auto& idents = m_list.identifications();
    if (!start || idents.empty()) {
        m_w.ident->setCaption(QStringLiteral("ID --"));
        m_w.ident->setColor(clGray);
        return;
    }
    const std::int64_t minutes = std::max<std::int64_t>(0, (now - idents.back()) / 60000);
    m_w.ident->setCaption(QStringLiteral("ID %1 min").arg(minutes));
    // Identify at least every ten minutes: yellow from eight, red from ten.
    m_w.ident->setColor(minutes >= 10 ? clRed : minutes >= 8 ? clYellow : clGray);
    m_w.ident->setFontColor(minutes >= 8 && minutes < 10 ? clBlack : clWhite);
}

void NetRecordPanel::identified()
{
    m_list.markIdentified();
    updateClock();
}

void NetRecordPanel::controlCallEdited()
{
    const std::int64_t net = m_list.openNet();
    m_controlNet = net;
    if (net != 0)
        m_journal.setControlCall(net, m_w.controlStation->text().trimmed().toUpper());
}

void NetRecordPanel::netChanged()
{
    const std::int64_t net = m_list.netId();
    if (net == 0 || net == m_controlNet)
        return;
    m_controlNet = net;
    const QString journaled = m_journal.controlCall(net);
    const QString shown = m_w.controlStation->text().trimmed().toUpper();
    if (!journaled.isEmpty())
        m_w.controlStation->setText(journaled);
    else if (!shown.isEmpty())
        m_journal.setControlCall(net, shown); // the same control station goes on with the next net
}

QString NetRecordPanel::attendanceText(const QString& call) const
{
    if (!m_journal.ok())
        return QString();
    // Asked for every suggestion row at every keystroke: kept until the check-ins change.
    const auto known = m_attendance.constFind(call);
    if (known != m_attendance.constEnd())
        return *known;
    const QString note = attendanceNote(m_journal.recentAttendance(call, 10));
    m_attendance.insert(call, note);
    return note;
}

QString NetRecordPanel::saveTarget(const QString& proposedName)
{
    QString folder = m_lastExportFolder;
    if (folder.isEmpty() && m_saveFolder)
        folder = m_saveFolder();
    return Dialogs::saveFileName(m_page, QString(), QDir(folder).filePath(proposedName));
}

bool NetRecordPanel::writeExport(const QString& name, const QByteArray& bytes)
{
    QString error;
    if (!writeFileAtomically(name, bytes, &error)) {
        Dialogs::errorBox(
            QStringLiteral("\"%1\" was NOT written.\n%2").arg(QDir::toNativeSeparators(name), error));
        return false;
    }
    m_lastExportFolder = QFileInfo(name).absolutePath();
    if (m_note)
        m_note(QStringLiteral("Written: %1").arg(QFileInfo(name).fileName()));
    return true;
}

void NetRecordPanel::exportCsv()
{
    const QString name
        = saveTarget(QStringLiteral("net-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    if (name.isEmpty())
        return;
    const NetSummary summary = summarizeNet(m_list, m_w.controlStation->text().trimmed().toUpper());
    writeExport(name, netCsv(summary, currentNet(m_list)));
}

void NetRecordPanel::exportAttendance()
{
    if (!m_journal.ok()) {
        Dialogs::showMessage(QStringLiteral("No net journal is kept, so there is no attendance to write."));
        return;
    }
    QDate to = QDate::currentDate();
    QDate from = to.addYears(-1);
    if (!Dialogs::dateRange(m_page, QStringLiteral("Stations that checked in between:"), from, to))
        return;
    const QString name = saveTarget(
        QStringLiteral("attendance-%1-to-%2.csv").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)));
    if (name.isEmpty())
        return;
    const auto [first, last] = attendanceRange(from, to);
    writeExport(name, attendanceCsv(m_journal.attendance(first, last)));
}

void NetRecordPanel::print()
{
    // The printed net report: the check-ins with times and statuses, and the net's summary.
    const NetSummary summary = summarizeNet(m_list, m_w.controlStation->text().trimmed().toUpper());
    const std::vector<JournalEntry> lines = currentNet(m_list);
    Dialogs::printPages(
        m_page, [&](QPagedPaintDevice& device) { return paintNetReport(device, summary, lines); });
}
