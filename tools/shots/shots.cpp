// Renders the program's pages to PNG files: velmora-shots INSTALL_DIR OUT_DIR [PAGE...]
// The pages are created exactly as the program creates them, then driven through their
// own controls so the pictures show real states. Without an installation whose databases
// open, the pages that need none are made one by one and the net calling page is drawn
// from its form alone (empty lists), so its layout can still be shown.
#include "PageProbes.h"
#include "app/Application.h"
#include "app/Pages.h"
#include "checkin/CheckInList.h"
#include "clocks/TfrmTimeZone.h"
#include "controls/Dialogs.h"
#include "fcc/FccLicencePanel.h"
#include "fcc/TfrmFCC2.h"
#include "licence/FccIndexes.h"
#include "net/TfrmNET.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmMainA.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"
#include "ui_TfrmNET.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <exception>
#include <memory>

namespace {
QString outDir;

void save(QWidget* page, const QString& name, const QRect& area = QRect())
{
    QCoreApplication::processEvents();
    const QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!page->grab(area.isNull() ? QRect(QPoint(0, 0), QSize(-1, -1)) : area).save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

QWidget* find(QWidget* page, const char* name)
{
    auto* w = page->findChild<QWidget*>(QString::fromLatin1(name));
    if (!w)
        std::fprintf(stderr, "no control %s on %s\n", name, qPrintable(page->objectName()));
    return w;
}

void press(QWidget* page, const char* name)
{
    if (QWidget* w = find(page, name)) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
        QCoreApplication::processEvents();
    }
}

void type(QWidget* page, const char* name, const QString& text)
{
    if (auto* e = page->findChild<QLineEdit*>(QString::fromLatin1(name)))
        e->setText(text);
}

// Shows a page at the size it is laid out for, whatever the headless screen's size: the
// pictures show the design pixel for pixel.
void showAtLayoutSize(QWidget* page)
{
    page->show();
    page->setWindowState(Qt::WindowNoState);
    auto* p = qobject_cast<Page*>(page);
    page->resize(p ? p->designSize() : QSize(1600, 900));
    QCoreApplication::processEvents();
}

// Clicks a station line of a roster list, then "Add to Net", once per line.
void checkIn(QWidget* net, const char* list, int lines)
{
    auto* roster = net->findChild<QListView*>(QString::fromLatin1(list));
    if (!roster || !roster->model())
        return;
    for (int row = 0; row < lines && row < roster->model()->rowCount(); ++row) {
        const QModelIndex item = roster->model()->index(row, 0);
        roster->scrollTo(item);
        const QRect r = roster->visualRect(item);
        QTest::mouseClick(roster->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        press(net, "btnAdd2");
    }
}

// The net calling page's form without the page behind it, which would open the databases.
struct BareNetPage : Page {
    BareNetPage() { ui.setupUi(this); }
    Ui::TfrmNET ui;
};

template <typename T, typename... Args> void makePage(T*& global, const char* name, Args&... args)
{
    global = new T(args...);
    global->setObjectName(QString::fromLatin1(name));
}

// Every page that opens without the databases, as the program would have them; the net
// page as its bare form.
std::unique_ptr<QWidget> makePagesWithoutDatabases()
{
    makePage(frmMainA, "frmMainA");
    makePage(frmINFO, "frmINFO");
    makePage(frmTimeZone, "frmTimeZone");
    makePage(frmRVnets, "frmRVnets");
    makePage(frmMAPS, "frmMAPS");
    static FccIndexes indexes; // the FCC page reads no licence file here
    const QString noInstallation;
    makePage(frmFCC2, "frmFCC2", noInstallation, indexes);
    makePage(frmPreAmp, "frmPreAmp");
    frmMainA->show();
    auto form = std::make_unique<BareNetPage>();
    form->setObjectName(QStringLiteral("frmNET"));
    return form;
}

void destroyPagesWithoutDatabases()
{
    for (QWidget* page : std::initializer_list<QWidget*> {
             frmPreAmp, frmFCC2, frmMAPS, frmRVnets, frmTimeZone, frmINFO, frmMainA })
        delete page;
    frmPreAmp = nullptr;
    frmFCC2 = nullptr;
    frmMAPS = nullptr;
    frmRVnets = nullptr;
    frmTimeZone = nullptr;
    frmINFO = nullptr;
    frmMainA = nullptr;
}

// The call of the n-th record of the licence file whose call begins with prefix.
QString sampleCall(const QString& file, const char* prefix, int n)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    while (!f.atEnd()) {
        const QList<QByteArray> fields = f.readLine().split('|');
        if (fields.size() > 4 && fields[4].startsWith(prefix) && --n <= 0)
            return QString::fromLatin1(fields[4]);
    }
    return QString();
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    VelmoraApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmora-shots INSTALL_DIR OUT_DIR [PAGE...]\n");
        return 2;
    }
    Q_INIT_RESOURCE(pictures);
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);
    // Boxes are answered silently so the run never waits for a click.
    Dialogs::Hook quiet;
    quiet.shown = [](Dialogs::Kind, const QString&, const QString& text) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
    };
    quiet.saveFileName = [](const QString&, const QString&) { return QString(); };
    quiet.question = [](const QString&) { return Dialogs::SaveChoice::Discard; };
    quiet.choose = [](const QString&, const QStringList& buttons) { return int(buttons.size()) - 1; };
    Dialogs::setHook(&quiet);

    // The pictures never touch the user's own net journal.
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    const QString install = QString::fromLocal8Bit(argv[1]);
    QDir::setCurrent(install);
    std::unique_ptr<QWidget> bareNet;
    try {
        CreatePages(install);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\nThe net calling page is drawn without its rosters.\n", e.what());
        bareNet = makePagesWithoutDatabases();
    }
    QWidget* main = frmMainA;
    QWidget* net = bareNet ? bareNet.get() : static_cast<QWidget*>(frmNET);

    showAtLayoutSize(main);
    save(main, QStringLiteral("main-start"));
    press(main, "VRstart");
    // The pictures go into the project and its help pages: they show an example folder,
    // not the one of the machine they were made on.
    if (auto* path = main->findChild<QLineEdit*>(QStringLiteral("editPATH")))
        path->setText(QStringLiteral("/home/operator/Velmora"));
    save(main, QStringLiteral("main"));
    for (const auto& [control, name] :
        { std::pair { "panMAIN", "main-menu" }, std::pair { "Panel1", "main-path" } }) {
        if (QWidget* w = find(main, control))
            save(main, QString::fromLatin1(name), QRect(w->mapTo(main, QPoint(0, 0)), w->size()));
    }

    if (bareNet) {
        showAtLayoutSize(net);
    } else {
        press(main, "VR4");
        showAtLayoutSize(net);
        press(net, "panRV");
        press(net, "panA5");
        checkIn(net, "lstboxROSTER2", 1);
    }
    save(net, QStringLiteral("net-calling"));
    save(net, QStringLiteral("net"));
    if (!bareNet) {
        checkIn(net, "lstboxROSTER2", 6);
        if (auto* list = net->findChild<QListView*>(QStringLiteral("lstboxCheckIN"));
            list && list->model() && list->model()->rowCount() > 2)
            list->setCurrentIndex(list->model()->index(2, 0));
    }
    save(net, QStringLiteral("net-checkins"));
    if (!bareNet) {
        // Statuses on lines, and the identification reminder as the minutes go by.
        const NetPageProbe page(*static_cast<TfrmNET*>(net));
        const char* codes[] = { "R", "T", "M/S", "EB", "G", "OUT", "NH" };
        for (int row = 1, i = 0; row < page.checkInList().size() && i < 7; ++row, ++i)
            page.setCheckInStatus(row, QString::fromLatin1(codes[i]));
        const std::int64_t start = QDateTime::currentMSecsSinceEpoch();
        for (const auto& [minutes, name] : { std::pair { 3, "net-ident-grey" },
                 std::pair { 9, "net-ident-yellow" }, std::pair { 12, "net-ident-red" } }) {
            SetNetClock([start, m = minutes] { return start + m * 60'000LL; });
            page.updateNetClock();
            save(net, QString::fromLatin1(name));
        }
        SetNetClock({});
        page.updateNetClock();
    }
    if (!bareNet) {
        // The quick call box with its suggestions for a few letters heard.
        if (auto* quick = net->findChild<QLineEdit*>(QStringLiteral("editQUICK"))) {
            quick->setFocus();
            QTest::keyClicks(quick, QStringLiteral("k5"));
        }
        save(net, QStringLiteral("net-quick"));
        if (auto* quick = net->findChild<QLineEdit*>(QStringLiteral("editQUICK")))
            QTest::keyClick(quick, Qt::Key_Escape);

        // The ARC roster grid scrolled to its last members: titles and names stay in place.
        press(net, "panAR");
        if (auto* grid = net->findChild<QTableView*>(QStringLiteral("AdvStringGrid1"))) {
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
            grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum() / 2);
        }
        save(net, QStringLiteral("net-grid"));
        press(net, "panAR");
    }
    net->hide();

    showAtLayoutSize(frmINFO);
    press(frmINFO, "VR1");
    save(frmINFO, QStringLiteral("info"));
    frmINFO->hide();

    showAtLayoutSize(frmRVnets);
    press(frmRVnets, "VR1");
    save(frmRVnets, QStringLiteral("rvnets"));
    frmRVnets->hide();

    showAtLayoutSize(frmMAPS);
    save(frmMAPS, QStringLiteral("maps"));
    frmMAPS->hide();

    showAtLayoutSize(frmPreAmp);
    save(frmPreAmp, QStringLiteral("preamble"));
    frmPreAmp->hide();

    // The clock page runs on timers: give it time to show real values.
    showAtLayoutSize(frmTimeZone);
    QTest::qWait(1500);
    save(frmTimeZone, QStringLiteral("timezone"));
    frmTimeZone->hide();

    // The FCC page with a prefix list built and one licensee found in it.
    showAtLayoutSize(frmFCC2);
    frmFCC2->FormActivate();
    type(frmFCC2, "editCALL", QStringLiteral("KD"));
    type(frmFCC2, "editS", sampleCall(install + QStringLiteral("/FCCraw/EN.dat"), "KD", 40));
    press(frmFCC2, "VR3");
    if (!QTest::qWaitFor([] { return !frmFCC2->buildingList(); }, 30000))
        std::fprintf(stderr, "the FCC list was not built in time\n");
    // The licence boxes fill once the page's call index is ready.
    frmFCC2->licencePanel().index().waitForFinished(30000);
    QTest::qWait(300);
    save(frmFCC2, QStringLiteral("fcc"));
    frmFCC2->hide();

    // Last, so that no picture before it is drawn after a scaled page: the net page in the
    // window of a 1366 by 768 laptop screen, the whole page scaled.
    net->show();
    net->setWindowState(Qt::WindowNoState);
    net->resize(1366, 768);
    save(net, QStringLiteral("net-1366x768"));
    net->hide();

    for (int i = 3; i < argc; ++i) {
        // Further pages by object name, as they stand.
        const QString name = QString::fromLocal8Bit(argv[i]);
        for (QWidget* page : QApplication::topLevelWidgets())
            if (page->objectName() == name)
                save(page, name);
    }
    if (bareNet) {
        bareNet.reset();
        destroyPagesWithoutDatabases();
    } else {
        DestroyPages();
    }
    return 0;
}
