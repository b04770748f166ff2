// The net's clock and record: the net timer, the identification reminder, the status of each
// check-in, and what the club takes away (CSV, the printed report, attendance).
#include "net/TfrmNET.h"

#include "app/Pages.h"
#include "controls/Dialogs.h"
#include "data/AtomicFile.h"
#include "checkin/CheckInStatus.h"
#include "report/NetExport.h"
#include "report/NetReport.h"
#include "report/NetSummary.h"
#include "ui_TfrmNET.h"

#include <QContextMenuEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {
constexpr int StatusRole = Qt::UserRole + 1;

// Draws a check-in line as it is, with its status as a small coloured tag at the right:
// the status is never part of the line's text.
class StatusTagDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const CheckInStatus* status = statusByCode(index.data(StatusRole).toString());
        if (!status)
            return;
        painter->save();
        QFont font = option.font;
        font.setBold(true);
        painter->setFont(font);
        const int width = QFontMetrics(font).horizontalAdvance(status->code) + 12;
        const QRect tag(
            option.rect.right() - width - 4, option.rect.top() + 1, width, option.rect.height() - 2);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(status->colour);
        painter->drawRoundedRect(tag, 4, 4);
        painter->setPen(status->colour.lightness() > 140 ? Qt::black : Qt::white);
        painter->drawText(tag, Qt::AlignCenter, status->code);
        painter->restore();
    }
};

QString clockText(std::int64_t ms)
{
    const std::int64_t s = std::max<std::int64_t>(0, ms / 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

void TfrmNET::setUpNetRecord()
{
    ui->lstboxCheckIN->setItemDelegate(new StatusTagDelegate(ui->lstboxCheckIN));
    ui->lstboxCheckIN->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->lstboxCheckIN, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { showStatusMenu(ui->lstboxCheckIN->viewport()->mapToGlobal(at)); });
    connect(ui->panIDENT, &FacePanel::clicked, this, &TfrmNET::panIDENTClick);
    connect(ui->btnExport, &QPushButton::clicked, this, &TfrmNET::btnExportClick);
    connect(ui->btnAttendance, &QPushButton::clicked, this, &TfrmNET::btnAttendanceClick);
    for (int g = rgARC; g <= rgWBCCI; ++g)
        group(g).list->viewport()->installEventFilter(this);
    // The timer and the reminder follow the clock; colour alone tells, no box and no sound.
    netClockTimer.setInterval(1000);
    connect(&netClockTimer, &QTimer::timeout, this, &TfrmNET::updateNetClock);
    netClockTimer.start();
    updateNetClock();
}

void TfrmNET::updateNetClock()
{
    const std::int64_t now = NetClockNow();
    const auto start = checkIns.netStartUtc();
    ui->lblNETTIME->setText(
        start ? QStringLiteral("NET ") + clockText(now - *start) : QStringLiteral("NET --:--"));
    const auto& idents = checkIns.identifications();
    if (!start || idents.empty()) {
        ui->panIDENT->setCaption(QStringLiteral("ID --"));
        ui->panIDENT->setColor(clGray);
        return;
    }
    const std::int64_t minutes = std::max<std::int64_t>(0, (now - idents.back()) / 60000);
    ui->panIDENT->setCaption(QStringLiteral("ID %1 min").arg(minutes));
    // Identify at least every ten minutes: yellow from eight, red from ten.
    ui->panIDENT->setColor(minutes >= 10 ? clRed : minutes >= 8 ? clYellow : clGray);
    ui->panIDENT->setFontColor(minutes >= 8 && minutes < 10 ? clBlack : clWhite);
}

void TfrmNET::panIDENTClick()
{
    checkIns.markIdentified();
    updateNetClock();
    reportJournalProblem();
}

int TfrmNET::statusTarget() const
{
    // The selected check-in; with none selected, the latest one, which is the station just heard.
    const int row = ui->lstboxCheckIN->currentRow();
    if (row >= 0 && ui->lstboxCheckIN->item(row)->isSelected() && !checkIns.at(row).dateLine)
        return row;
    for (int i = checkIns.size() - 1; i >= 0; --i)
        if (!checkIns.at(i).dateLine)
            return i;
    return -1;
}

void TfrmNET::setCheckInStatus(int row, const QString& code)
{
    if (row < 0 || !checkIns.setStatus(row, code))
        return;
    ui->lstboxCheckIN->item(row)->setData(StatusRole, code);
    const CheckInStatus* status = statusByCode(code);
    ui->lstboxCheckIN->item(row)->setToolTip(status ? status->label : QString());
    reportJournalProblem();
}

void TfrmNET::showStatusLines()
{
    for (int i = 0; i < checkIns.size() && i < ui->lstboxCheckIN->count(); ++i) {
        const CheckInStatus* status = statusByCode(checkIns.at(i).status);
        ui->lstboxCheckIN->item(i)->setData(StatusRole, checkIns.at(i).status);
        ui->lstboxCheckIN->item(i)->setToolTip(status ? status->label : QString());
    }
}

void TfrmNET::showStatusMenu(const QPoint& globalPos)
{
    const int row = ui->lstboxCheckIN->currentRow();
    if (row < 0 || row >= checkIns.size() || checkIns.at(row).dateLine)
        return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menuSTATUS"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const CheckInStatus& status : checkInStatuses()) {
        QAction* action = menu->addAction(status.label + QStringLiteral("\tAlt+") + status.key);
        action->setData(status.code);
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("No status"))->setData(QString());
    connect(menu, &QMenu::triggered, this,
        [this, row](QAction* action) { setCheckInStatus(row, action->data().toString()); });
    menu->popup(globalPos);
}

bool TfrmNET::statusKey(QKeyEvent* key)
{
    if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return false;
    const CheckInStatus* status = statusByKey(QChar(char('A' + (key->key() - Qt::Key_A))));
    if (!status)
        return false;
    setCheckInStatus(statusTarget(), status->code);
    return true;
}

QString TfrmNET::attendanceText(const QString& call) const
{
    if (!journal->ok())
        return QString();
    // Asked for every suggestion row at every keystroke: kept until the check-ins change.
    const auto known = attendanceCache.constFind(call);
    if (known != attendanceCache.constEnd())
        return *known;
    const QString note = attendanceNote(journal->recentAttendance(call, 10));
    attendanceCache.insert(call, note);
    return note;
}

bool TfrmNET::rosterToolTip(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    for (int g = rgARC; g <= rgWBCCI; ++g) {
        QListWidget* list = group(g).list;
        if (watched != list->viewport())
            continue;
        auto* help = static_cast<QHelpEvent*>(event);
        QListWidgetItem* item = list->itemAt(help->pos());
        if (!item)
            return false;
        QString text = attendanceText(item->text());
        if (text.isEmpty())
            text = QStringLiteral("No check-ins on record");
        QToolTip::showText(help->globalPos(), item->text() + QStringLiteral(": ") + text, list->viewport());
        return true;
    }
    return false;
}

QString TfrmNET::saveTarget(const QString& proposedName, QString* folderMemory)
{
    QString folder = *folderMemory;
    if (folder.isEmpty())
        folder = QFileInfo(proposedSaveName()).absolutePath();
    return Dialogs::saveFileName(this, QString(), QDir(folder).filePath(proposedName));
}

bool TfrmNET::writeExport(const QString& name, const QByteArray& bytes, QString* folderMemory)
{
    QString error;
    if (!writeFileAtomically(name, bytes, &error)) {
        Dialogs::errorBox(
            QStringLiteral("\"%1\" was NOT written.\n%2").arg(QDir::toNativeSeparators(name), error));
        return false;
    }
    *folderMemory = QFileInfo(name).absolutePath();
    showNote(QStringLiteral("Written: %1").arg(QFileInfo(name).fileName()));
    return true;
}

void TfrmNET::btnExportClick()
{
    const QString name = saveTarget(
        QStringLiteral("net-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)), &lastExportFolder);
    if (name.isEmpty())
        return;
    const NetSummary summary = summarizeNet(checkIns, ui->editNCS->text().trimmed().toUpper());
    writeExport(name, netCsv(summary, currentNet(checkIns)), &lastExportFolder);
}

void TfrmNET::btnAttendanceClick()
{
    if (!journal->ok()) {
        Dialogs::showMessage(QStringLiteral("No net journal is kept, so there is no attendance to write."));
        return;
    }
    QDate to = QDate::currentDate();
    QDate from = to.addYears(-1);
    if (!Dialogs::dateRange(this, QStringLiteral("Stations that checked in between:"), from, to))
        return;
    const QString name = saveTarget(
        QStringLiteral("attendance-%1-to-%2.csv").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)),
        &lastExportFolder);
    if (name.isEmpty())
        return;
    const auto [first, last] = attendanceRange(from, to);
    writeExport(name, attendanceCsv(journal->attendance(first, last)), &lastExportFolder);
}

void TfrmNET::btnPrintClick()
{
    // The printed net report: the check-ins with times and statuses, and the net's summary.
    const NetSummary summary = summarizeNet(checkIns, ui->editNCS->text().trimmed().toUpper());
    const std::vector<JournalEntry> lines = currentNet(checkIns);
    Dialogs::printPages(
        this, [&](QPagedPaintDevice& device) { return paintNetReport(device, summary, lines); });
}
