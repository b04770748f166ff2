#pragma once
// The FCC page's licence boxes and its import: the class, status and expiry of the
// record on screen (editCLASS, editSTATUS, editEXPIRES), IMPORT FCC FILES (btnIMPORT)
// with its progress bar (barIMPORT), and the line saying how fresh the FCC data is
// (lblFCCDATA). Owned by the page; the page tells it which call it shows.
//
// The licences come from the call index of the page's licence file, which the net
// session holds (the same index the net page uses when both read the installation's
// file). The import runs on a worker thread of its own; closing the program meanwhile
// stops it, which leaves the licence files as they were.
#include "licence/FccIndexLoader.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class FccIndexes;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;
class WorkerThread;

class FccLicencePanel : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QLineEdit* editCLASS;
        QLineEdit* editSTATUS;
        QLineEdit* editEXPIRES;
        QPushButton* btnIMPORT;
        QProgressBar* barIMPORT;
        QLabel* lblFCCDATA;
    };
    // licenceFile gives the page's EN.dat; HD.dat, AM.dat and dates.txt lie beside it.
    // Its call index comes from indexes.
    FccLicencePanel(
        QWidget* page, const Widgets& widgets, std::function<QString()> licenceFile, FccIndexes& indexes);
    ~FccLicencePanel() override;

    // The page became active: the data line is read again, and the index made again
    // when the licence files changed.
    void refresh();
    // Shows the licence of call (blanks around it are ignored): of the record with the
    // unique system identifier id when given (an earlier holder's record shows his own
    // licence), else the call's current one. The boxes stay empty while the index is
    // being made and fill when it is ready.
    void showLicence(const QString& call, std::optional<std::uint32_t> id = std::nullopt);
    void clearLicence();

    // IMPORT FCC FILES: picks zips and imports them in the background.
    void btnIMPORTClick();
    // Starts importing zips in the background; false when an import already runs. A
    // weekly set far smaller than the data in place is imported only after the operator
    // said so (asked when the import finds it), or when acceptSmallerWeekly is set.
    bool startImport(const QStringList& zips, bool acceptSmallerWeekly = false);
    bool importing() const;

    // The call index of the licence file shown last.
    const FccIndexLoader& index() const;

signals:
    // An import ended (its message has been shown and the data line updated).
    void importFinished(bool ok);
    // The call index is ready (again): who holds a call is known from now on.
    void indexReady();

private:
    struct Import;
    void showCurrent();
    void importDone(bool ok, const QString& message, bool smallerWeekly);
    // The index of the page's licence file now, started when it was not.
    FccIndexLoader& currentIndex(bool restart);

    QWidget* m_page;
    Widgets m_w;
    std::function<QString()> m_licenceFile;
    FccIndexes& m_indexes;
    FccIndexLoader* m_loader = nullptr; // the index the boxes read, once asked for
    QMetaObject::Connection m_loaderDone;
    QString m_shownCall; // the call whose licence the boxes show, or are to show
    std::optional<std::uint32_t> m_shownId; // of the record shown, when known
    std::shared_ptr<Import> m_import;
    QStringList m_importing; // the zips of the running import
    std::unique_ptr<WorkerThread> m_importer; // made for the first import
};
