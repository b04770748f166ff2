#include "fcc/TfrmFCC2.h"

#include "controls/Dialogs.h"
#include "fcc/FccLicencePanel.h"
#include "fcc/LicenceListModel.h"
#include "licence/LicenceFile.h"
#include "licence/LicenceRecord.h"
#include "ui_TfrmFCC2.h"
#include "work/WorkerThread.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHideEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <string>

namespace {

// Lines of 20 pixels, wide enough for the longest line of the list.
class LicenceLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* model = qobject_cast<const LicenceListModel*>(index.model());
        const int chars = model ? int(std::min<std::size_t>(model->lines().maxLineLength(), 4096)) : 0;
        return QSize(option.fontMetrics.horizontalAdvance(QLatin1Char('M')) * chars + 8, 20);
    }
};

// The bytes of text when every character of it can stand in the licence file, whose
// bytes the page shows as Latin-1; nothing otherwise, as such a text matches no line.
std::optional<std::string> fileBytes(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return std::nullopt;
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString shown(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

// One BUILD LIST: the worker reads its flag, raised when the page is closed meanwhile.
struct TfrmFCC2::Build {
    std::atomic<bool> dropped { false };
};

TfrmFCC2::TfrmFCC2(const QString& installFolder, FccIndexes& indexes, QWidget* parent)
    : Page(parent), ui(std::make_unique<Ui::TfrmFCC2>()), m_installFolder(installFolder)
{
    ui->setupUi(this);
    setWindowState(Qt::WindowMaximized);

    m_model = new LicenceListModel(this);
    ui->lstboxG->setModel(m_model);
    ui->lstboxG->setItemDelegate(new LicenceLineDelegate(ui->lstboxG));
    QPalette colours = ui->lstboxG->palette();
    colours.setColor(QPalette::Base, toQColor(clBlack));
    colours.setColor(QPalette::Text, toQColor(clLime));
    ui->lstboxG->setPalette(colours);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    ui->lstboxG->setFont(font);

    m_licence = new FccLicencePanel(
        this,
        { ui->editCLASS, ui->editSTATUS, ui->editEXPIRES, ui->btnIMPORT, ui->barIMPORT, ui->lblFCCDATA },
        [this] { return licenceFile(); }, indexes);

    connect(ui->VR1, &QPushButton::clicked, this, &TfrmFCC2::VR1Click);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmFCC2::VR3Click);
    connect(ui->VR5, &QPushButton::clicked, this, &TfrmFCC2::VR5Click);
    connect(ui->VR6, &QPushButton::clicked, this, &TfrmFCC2::VR6Click);
    connect(ui->VRsearch, &QPushButton::clicked, this, &TfrmFCC2::VRsearchClick);
    connect(ui->VrDemoButton1, &QPushButton::clicked, this, &TfrmFCC2::VrDemoButton1Click);
    // Enter in the prefix box builds the list; Enter in the call searcher searches it.
    connect(ui->editCALL, &QLineEdit::returnPressed, this, &TfrmFCC2::VR3Click);
    connect(ui->editS, &QLineEdit::returnPressed, this, &TfrmFCC2::VRsearchClick);
    // A line chosen by mouse or arrow keys shows its record; a line selected by the
    // search does not come this way.
    connect(ui->lstboxG->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) { listCurrentChanged(current); });
    // A call of several holders found before the index knew which one holds it now.
    connect(m_licence, &FccLicencePanel::indexReady, this, [this] {
        if (!m_searchedEarly.isEmpty() && isVisible())
            search(m_searchedEarly);
    });
}

TfrmFCC2::~TfrmFCC2()
{
    // A build still reading gives up at its next piece; its result, if any, is dropped.
    if (m_build) {
        m_build->dropped = true;
        QApplication::restoreOverrideCursor();
    }
    m_builder.reset();
}

QString TfrmFCC2::licenceFile() const
{
    return m_licenceFile.isEmpty() ? LicenceFilePath(m_installFolder) : m_licenceFile;
}

void TfrmFCC2::setLicenceFile(const QString& path)
{
    m_licenceFile = path.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

void TfrmFCC2::FormActivate()
{
    ClearLicenceView();
    m_licence->refresh();
}

void TfrmFCC2::ClearLicenceView()
{
    ui->pan2->hide();
    ui->pan1->hide();
    ui->editFN2->clear();
    ui->editCALL2->clear();
    ui->editLN2->clear();
    ui->editCITY2->clear();
    ui->editSTATE2->clear();
    m_licence->clearLicence();
    m_model->clear();
    m_shown.reset();
    m_searchedEarly.clear();
}

bool TfrmFCC2::BuildPrefixList(const QString& prefix)
{
    if (m_build)
        return false;
    const std::optional<std::string> bytes = fileBytes(prefix);
    if (!bytes) {
        listBuilt(); // no line can begin with it
        return true;
    }
    auto build = std::make_shared<Build>();
    m_build = build;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_builder)
        m_builder = std::make_unique<WorkerThread>(QStringLiteral("BUILD LIST"));
    const QString path = licenceFile();
    m_builder->post([this, build, path, bytes = *bytes] {
        auto scan = std::make_shared<LicenceFileScan>();
        try {
            *scan = ScanLicenceFile(path, bytes, &build->dropped);
        } catch (const std::exception& e) {
            scan->error = QString::fromLocal8Bit(e.what());
        }
        runOnThreadOf(this, [this, build, path, scan] { buildDone(build, path, scan); });
    });
    return true;
}

void TfrmFCC2::buildDone(
    const std::shared_ptr<Build>& build, const QString& path, std::shared_ptr<LicenceFileScan> scan)
{
    QApplication::restoreOverrideCursor();
    m_build.reset();
    if (build->dropped)
        return;
    if (scan->ok())
        m_model->appendLines(std::move(scan->lines));
    else
        Dialogs::showMessage(
            QStringLiteral("The licence file %1 could not be read: %2").arg(path, scan->error));
    listBuilt();
}

void TfrmFCC2::hideEvent(QHideEvent* event)
{
    // Minimising is no leaving; hiding or closing the page is.
    if (m_build && !event->spontaneous())
        m_build->dropped = true;
    Page::hideEvent(event);
}

bool TfrmFCC2::FindCallInList(const QString& call)
{
    const std::optional<std::string> bytes = fileBytes(call);
    const LicenceList& lines = m_model->lines();
    auto found = bytes ? lines.findCall(*bytes) : std::nullopt;
    if (!found)
        return false;
    // A call that changed hands has a line per holder: the current holder's is shown.
    m_searchedEarly.clear();
    if (const auto calls = m_licence->index().index()) {
        for (auto at = found; at; at = lines.findCall(*bytes, *at + 1)) {
            const auto id = lines.recordId(*at);
            if (id && calls->isCurrentHolder(*bytes, *id)) {
                found = at;
                break;
            }
        }
    } else {
        m_searchedEarly = call;
    }
    const QModelIndex index = m_model->index(int(*found));
    QScopedValueRollback<bool> byProgram(m_selectingByProgram, true);
    ui->lstboxG->setCurrentIndex(index);
    ui->lstboxG->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

void TfrmFCC2::ShowLicenceRecord()
{
    const QModelIndex current = ui->lstboxG->currentIndex();
    if (!current.isValid())
        return;
    const LicenceRecord record = SplitLicenceRecord(m_model->lines().line(std::size_t(current.row())));
    Station station(CheckInSource::Fcc, QStringLiteral("FCC"));
    auto show = [&](QLineEdit* here, StationField field, const std::string& text) {
        here->setText(shown(text));
        station.set(field, shown(text));
    };
    show(ui->editCALL2, StationField::Call, record.call);
    show(ui->editLN2, StationField::LastName, record.lastName);
    show(ui->editFN2, StationField::FirstName, record.firstName);
    show(ui->editCITY2, StationField::City, record.city);
    show(ui->editSTATE2, StationField::State, record.state);
    m_licence->showLicence(shown(record.call), m_model->lines().recordId(std::size_t(current.row())));
    m_shown = station;
    emit stationChosen(station);
}

void TfrmFCC2::VR3Click()
{
    BuildPrefixList(ui->editCALL->text());
}

void TfrmFCC2::listBuilt()
{
    ui->pan1->show();
    ui->pan2->show();
    ui->lbl2->show();
    ui->lbl1->hide();
    ui->editNoLines->setText(QString::number(m_model->lines().size()));
    ui->VR5->show();
    ui->VR6->show();
    search(ui->editS->text());
}

void TfrmFCC2::VRsearchClick()
{
    search(ui->editS->text());
}

void TfrmFCC2::search(const QString& call)
{
    ui->panCallNotFound->hide();
    ui->panCallFound->hide();
    if (FindCallInList(call)) {
        ui->panCallFound->show();
        ShowLicenceRecord();
    } else {
        ui->panCallNotFound->show();
    }
}

void TfrmFCC2::listCurrentChanged(const QModelIndex& current)
{
    if (m_selectingByProgram || !current.isValid())
        return;
    m_searchedEarly.clear(); // the operator's own choice stays
    lstboxGClick();
}

void TfrmFCC2::lstboxGClick()
{
    ShowLicenceRecord();
}

void TfrmFCC2::VR6Click()
{
    ClearLicenceView();
}

void TfrmFCC2::VR5Click()
{
    const QString name = Dialogs::saveFileName(this);
    if (name.isEmpty())
        return;
    const QString error = SaveLicenceList(m_model->lines(), name);
    if (!error.isEmpty())
        Dialogs::errorBox(QStringLiteral("The list could not be saved to %1: %2")
                              .arg(QDir::toNativeSeparators(name), error));
}

void TfrmFCC2::VR1Click()
{
    if (ui->VR1->color() == clGray) {
        ui->VR1->setColor(clGreen);
        ui->panS3->show();
    } else {
        ui->VR1->setColor(clGray);
        ui->panS3->hide();
    }
}

void TfrmFCC2::VrDemoButton1Click()
{
    // QUIT takes the station shown back with it.
    if (m_shown)
        emit stationChosen(*m_shown);
    goBack();
}
