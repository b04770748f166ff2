#include "fcc/FccLicencePanel.h"

#include "controls/Dialogs.h"
#include "fcc/FccDataDate.h"
#include "fcc/FccImport.h"
#include "fcc/FccLicenceSet.h"
#include "fcc/LicenceInfo.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>
#include <thread>

// One import on its worker thread. What it reports reaches the panel through the event
// loop, and only while the panel lives.
struct FccLicencePanel::Import {
    std::thread thread;
    std::atomic<bool> cancel { false };
    std::atomic<bool> done { false };
};

FccLicencePanel::FccLicencePanel(QWidget* page, const Widgets& widgets, std::function<QString()> licenceFile)
    : QObject(page), m_page(page), m_w(widgets), m_licenceFile(std::move(licenceFile))
{
    m_w.barIMPORT->setRange(0, 100);
    m_w.barIMPORT->hide();
    connect(m_w.btnIMPORT, &QPushButton::clicked, this, &FccLicencePanel::btnIMPORTClick);
    // A licence file that changed while the index was being made (the page was shown
    // again meanwhile, or files were copied in) is read again.
    connect(
        &m_loader, &FccIndexLoader::finished, this,
        [this] {
            if (!m_loader.refreshIfChanged()) {
                showCurrent();
                if (m_loader.index())
                    emit indexReady();
            }
        },
        Qt::QueuedConnection);
}

FccLicencePanel::~FccLicencePanel()
{
    if (m_import) {
        m_import->cancel = true;
        m_import->thread.join();
    }
}

void FccLicencePanel::startIndex()
{
    m_loader.start(m_licenceFile());
    m_loaderStarted = true;
}

void FccLicencePanel::refresh()
{
    const QString enFile = m_licenceFile();
    const QString folder = QFileInfo(enFile).absolutePath();
    const FccDataLine line = FccDataDateLine(
        ReadFccDates(folder), QFileInfo::exists(CurrentLicenceFile(enFile)), LicenceToday());
    m_w.lblFCCDATA->setText(line.text);
    m_w.lblFCCDATA->setStyleSheet(QStringLiteral("color: %1; font: bold 10pt \"Arial\";")
                                      .arg(line.red ? QStringLiteral("#ff0000") : QStringLiteral("#ffffff")));
    if (!m_loaderStarted)
        startIndex();
    else
        m_loader.refreshIfChanged();
}

void FccLicencePanel::showLicence(const QString& call, std::optional<std::uint32_t> id)
{
    m_shownCall = call.trimmed();
    m_shownId = id;
    showCurrent();
}

void FccLicencePanel::clearLicence()
{
    m_shownCall.clear();
    m_shownId.reset();
    showCurrent();
}

void FccLicencePanel::showCurrent()
{
    QString cls, status, expires;
    const auto index = m_loader.index();
    if (!m_shownCall.isEmpty() && index) {
        if (!index->hasLicences()) {
            cls = status = QStringLiteral("unknown");
        } else if (const auto info = m_shownId ? index->licence(m_shownCall.toStdString(), *m_shownId)
                                               : index->licence(m_shownCall.toStdString())) {
            cls = QString::fromStdString(LicenceClassName(info->operatorClass));
            status = info->known() ? QString::fromStdString(LicenceStatusName(info->status))
                                   : QStringLiteral("unknown");
            expires = QString::fromStdString(LicenceDayText(info->expires));
        }
    }
    m_w.editCLASS->setText(cls);
    m_w.editSTATUS->setText(status);
    m_w.editEXPIRES->setText(expires);
    const bool lapsed = status == QLatin1String("Expired") || status == QLatin1String("Cancelled")
        || status == QLatin1String("Terminated");
    m_w.editSTATUS->setStyleSheet(lapsed ? QStringLiteral("font: bold 11pt \"Arial\"; color: #ff0000;")
                                         : QStringLiteral("font: 11pt \"Arial\";"));
}

void FccLicencePanel::btnIMPORTClick()
{
    if (importing())
        return;
    const QStringList zips = Dialogs::openFileNames(m_page,
        QStringLiteral("FCC files: the weekly l_amat.zip and any daily l_am_<day>.zip"),
        QStringLiteral("FCC zips (*.zip *.ZIP)"));
    if (!zips.isEmpty())
        startImport(zips);
}

bool FccLicencePanel::importing() const
{
    return m_import != nullptr;
}

bool FccLicencePanel::startImport(const QStringList& zips, bool acceptSmallerWeekly)
{
    if (importing())
        return false;
    m_importing = zips;
    FccImportOptions options;
    options.acceptSmallerWeekly = acceptSmallerWeekly;
    const QString folder = QFileInfo(m_licenceFile()).absolutePath();
    auto import = std::make_shared<Import>();
    m_import = import;
    m_w.btnIMPORT->setEnabled(false);
    m_w.barIMPORT->setValue(0);
    m_w.barIMPORT->show();
    QPointer<FccLicencePanel> self(this);
    import->thread = std::thread([self, import, zips, folder, options] {
        const FccImportResult result = ImportFccZips(
            zips, folder,
            [self](int percent) {
                QMetaObject::invokeMethod(
                    self, [self, percent] {
                        if (self)
                            self->m_w.barIMPORT->setValue(percent);
},
                    Qt::QueuedConnection);
},
            &import->cancel, options);
QString message;
if (result.ok)
    message = QStringLiteral("FCC files imported: %1 licence records.").arg(result.records);
else
    message = QStringLiteral("The FCC files were not imported: %1").arg(result.error);
if (!result.notes.isEmpty())
    message += QLatin1Char('\n') + result.notes.join(QLatin1Char('\n'));
import->done = true;
QMetaObject::invokeMethod(
    self,
    [self, ok = result.ok, message, smaller = result.smallerWeekly] {
        if (self)
            self->importDone(ok, message, smaller);
    },
    Qt::QueuedConnection);
});
return true;
}

void FccLicencePanel::importDone(bool ok, const QString& message, bool smallerWeekly)
{
    if (m_import) {
        m_import->thread.join();
        m_import.reset();
    }
    m_w.barIMPORT->hide();
    m_w.btnIMPORT->setEnabled(true);
    // A weekly set far smaller than the data in place may be a cut or wrong file: it
    // replaces the data only when the operator says so.
    if (smallerWeekly
        && Dialogs::choose(m_page,
               message + QStringLiteral(".\nImport it all the same, replacing the licence data in place?"),
               { QStringLiteral("Import"), QStringLiteral("Cancel") })
            == 0) {
        startImport(m_importing, true);
        return;
    }
    refresh();
    if (ok)
        startIndex(); // new licence files: a new index
    Dialogs::showMessage(message);
    emit importFinished(ok);
}

bool FccLicencePanel::waitForImport(int msecs)
{
    QDeadlineTimer deadline(msecs);
    while (m_import && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return !m_import;
}
