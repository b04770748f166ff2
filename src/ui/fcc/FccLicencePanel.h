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

#include <functional>
#include <memory>

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
    FccLicencePanel(QWidget* page, const Widgets& widgets, std::function<QString()> licenceFile, FccIndexes& indexes);
    ~FccLicencePanel() override;

    // The page became active: the data line is read again, and the index made again
    // when the licence files changed.
    void refresh();
    // Shows the licence of call (blanks around it are ignored); the boxes stay empty
    // while the index is being made and fill when it is ready.
    void showLicence(const QString& call);
    void clearLicence();

    // IMPORT FCC FILES: picks zips and imports them in the background.
    void btnIMPORTClick();
    // Starts importing zips in the background; false when an import already runs.
    bool startImport(const QStringList& zips);
    bool importing() const;

    // The call index of the licence file shown last.
    const FccIndexLoader& index() const;

signals:
    // An import ended (its message has been shown and the data line updated).
    void importFinished(bool ok);

private:
    struct Import;
    void showCurrent();
    void importDone(bool ok, const QString& message);
    // The index of the page's licence file now, started when it was not.
    FccIndexLoader& currentIndex(bool restart);

    QWidget* m_page;
    Widgets m_w;
    std::function<QString()> m_licenceFile;
    FccIndexes& m_indexes;
    FccIndexLoader* m_loader = nullptr; // the index the boxes read, once asked for
    QMetaObject::Connection m_loaderDone;
    QString m_shownCall; // the call whose licence the boxes show, or are to show
    std::shared_ptr<Import> m_import;
    std::unique_ptr<WorkerThread> m_importer; // made for the first import
};
