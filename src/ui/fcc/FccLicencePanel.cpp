#include "fcc/FccLicencePanel.h"

#include "controls/Dialogs.h"
#include "licence/FccDataDate.h"
#include "licence/FccImport.h"
#include "licence/FccIndexes.h"
#include "licence/FccLicenceSet.h"
#include "licence/LicenceInfo.h"
#include "work/WorkerThread.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>

// One import: the worker reads its cancel flag; what it reports reaches the panel through
// the page's event loop, and only while the panel lives.
struct FccLicencePanel::Import {
    std::atomic<bool> cancel { false };
};

FccLicencePanel::FccLicencePanel(
    QWidget* page, const Widgets& widgets, std::function<QString()> licenceFile, FccIndexes& indexes)
    : QObject(page), m_page(page), m_w(widgets), m_licenceFile(std::move(licenceFile)), m_indexes(indexes)
{
    m_w.barIMPORT->setRange(0, 100);
    m_w.barIMPORT->hide();
    connect(m_w.btnIMPORT, &QPushButton::clicked, this, &FccLicencePanel::btnIMPORTClick);
}

FccLicencePanel::~FccLicencePanel()
{
    // A running import gives up at its next step; the worker ends before the panel does.
    if (m_import)
        m_import->cancel = true;
    m_importer.reset();
}

FccIndexLoader& FccLicencePanel::currentIndex(bool restart)
{
    const QString file = m_licenceFile();
    FccIndexLoader& loader = m_indexes.forFile(file);
    if (&loader != m_loader) {
        disconnect(m_loaderDone);
        m_loader = &loader;
        // A licence file that changed while the index was being made (the page was shown
        // again meanwhile, or files were copied in) is read again.
        m_loaderDone = connect(
            m_loader, &FccIndexLoader::finished, this,
            [this] {
                if (!m_loader->refreshIfChanged()) {
                    showCurrent();
                    if (m_loader->index())
                        emit indexReady();
                }
            },
            Qt::QueuedConnection);
    }
    if (restart)
        loader.start(file);
    else
        loader.startOnce(file);
    return loader;
}

const FccIndexLoader& FccLicencePanel::index() const
{
    return m_loader ? *m_loader : m_indexes.forFile(m_licenceFile());
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
    currentIndex(false);
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
    const auto index = m_loader ? m_loader->index() : nullptr;
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
    if (!m_importer)
        m_importer = std::make_unique<WorkerThread>(QStringLiteral("FCC import"));
    m_importer->post([this, import, zips, folder, options] {
        const FccImportResult result = ImportFccZips(
            zips, folder,
            [this](
                int percent) { runOnThreadOf(this, [this, percent] { m_w.barIMPORT->setValue(percent); }); },
            &import->cancel, options);
        QString message;
        if (result.ok)
            message = QStringLiteral("FCC files imported: %1 licence records.").arg(result.records);
        else
            message = QStringLiteral("The FCC files were not imported: %1").arg(result.error);
        if (!result.notes.isEmpty())
            message += QLatin1Char('\n') + result.notes.join(QLatin1Char('\n'));
        runOnThreadOf(this, [this, ok = result.ok, message, smaller = result.smallerWeekly] {
            importDone(ok, message, smaller);
        });
    });
    return true;
}

void FccLicencePanel::importDone(bool ok, const QString& message, bool smallerWeekly)
{
    m_import.reset();
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
        currentIndex(true); // new licence files: a new index, for every page that reads them
    Dialogs::showMessage(message);
    emit importFinished(ok);
}
