// The net page's parts built alone, each over its own list and store, without the pages or
// their globals; and every item model of the program under Qt's model tester.
#include "TestSupport.h"

#include "checkin/CheckInList.h"
#include "fcc/LicenceListModel.h"
#include "journal/NetJournal.h"
#include "licence/FccIndexLoader.h"
#include "licence/LicenceFile.h"
#include "lookup/StationDirectory.h"
#include "net/CheckInModel.h"
#include "net/CheckInPanel.h"
#include "net/CheckInView.h"
#include "net/QuickCallBox.h"
#include "net/RosterGridModel.h"
#include "net/RosterModel.h"
#include "roster/RosterCatalog.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kNineThirty = 1'765'359'000'000; // a fixed instant for the list's times

RosterTable rvRoster()
{
    return RosterTable({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
        {
            { "K5ZZZ", "5", "Placeholder", "", "", "" }, // the roster's first record is never listed
            { "K5ABD", "5", "Ray", "Rita", "Dallas", "TX" },
            { "W1VNI", "1", "Tom", "Uma", "Boston", "MA" },
            { "W7AIR", "7", "Sue", "", "Mesa", "AZ" },
        });
}

Station station(const QString& call, const QString& name)
{
    Station s(CheckInSource::Roster, QStringLiteral("RV"));
    s.set(StationField::Call, call);
    s.set(StationField::FirstName, name);
    return s;
}

// The check-in panel on a bare page of its own widgets.
struct CheckInPart {
    RecordingDialogs dialogs;
    QTemporaryDir folder;
    NetJournal journal { folder.path() };
    CheckInList list { nullptr, [] { return kNineThirty; } }; // no store: the list alone
    QWidget page;
    CheckInView* view = new CheckInView(&page);
    QPushButton* remove = new QPushButton(&page);
    QLineEdit* count = new QLineEdit(&page);
    QLabel* note = new QLabel(&page);
    QPushButton* showPrint = new QPushButton(&page);
    QWidget* printPanel = new QWidget(&page);
    QTextEdit* printText = new QTextEdit(printPanel);
    QPushButton* closePrint = new QPushButton(printPanel);
    CheckInPanel panel { list, journal,
        { view, remove, count, note, showPrint, printPanel, printText, closePrint }, &page };

    QStringList lines() const
    {
        QStringList out;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            out << view->model()->index(row, 0).data().toString();
        return out;
    }
};

} // namespace

TEST(NetParts, CheckInPanelAloneChecksInPointsOutARepeatDeletesAndBringsBack)
{
    CheckInPart part;
    QAbstractItemModelTester tester(
        part.view->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy added(&part.panel, &CheckInPanel::checkedIn);

    EXPECT_TRUE(part.panel.checkIn(station("K5ABD", "RAY")));
    EXPECT_TRUE(part.panel.checkIn(station("W7AIR", "SUE")));
    EXPECT_EQ(part.lines(), (QStringList { "1  K5ABD  RAY    ", "2  W7AIR  SUE    " }));
    EXPECT_EQ(part.count->text(), "2");
    EXPECT_EQ(added.count(), 2);

    // A station on the list already is pointed out first, and checked in on the second ask.
    EXPECT_FALSE(part.panel.checkIn(station("K5ABD", "RAY")));
    EXPECT_EQ(part.lines().size(), 2);
    EXPECT_TRUE(part.panel.checkIn(station("K5ABD", "RAY")));
    EXPECT_EQ(part.lines().size(), 3);

    part.view->setCurrentIndex(part.view->model()->index(0, 0));
    part.panel.deleteSelected();
    EXPECT_EQ(part.lines(), (QStringList { "2  W7AIR  SUE    ", "3  K5ABD  RAY    " }));
    EXPECT_EQ(part.count->text(), "2");
    part.panel.undoDelete();
    EXPECT_EQ(part.lines().first(), "1  K5ABD  RAY    ");
    EXPECT_EQ(part.count->text(), "3");
}

TEST(NetParts, QuickCallBoxAloneSuggestsFromTheDirectoryAndAsksForTheCheckIn)
{
    StationDirectory stations;
    const RosterTable rv = rvRoster();
    stations.setRoster(StationSource::RvRoster, rv);
    CheckInList list;
    QWidget page;
    auto* edit = new QLineEdit(&page);
    auto* note = new QLabel(&page);
    QuickCallBox box(
        stations, list, [](const QString&) { return QString(); }, edit, note, &page);
    QSignalSpy wanted(&box, &QuickCallBox::checkInWanted);
    page.show();

    QTest::keyClicks(edit, "K5AB");
    auto* suggestions = page.findChild<QListWidget*>();
    ASSERT_NE(suggestions, nullptr);
    ASSERT_GE(suggestions->count(), 1);
    EXPECT_TRUE(suggestions->item(0)->text().startsWith("K5ABD"))
        << suggestions->item(0)->text().toStdString();

    QTest::keyClick(edit, Qt::Key_D); // the whole call: the station on record
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(wanted.count(), 1);
    EXPECT_EQ(wanted.at(0).at(0).value<Station>().call(), "K5ABD");
}

TEST(NetParts, AKeyPressWhileTheCallIndexIsBeingMadeIsHandledOnceAtOnce)
{
    QTemporaryDir folder;
    const QString file = folder.filePath("EN.dat");
    QFile en(file);
    ASSERT_TRUE(en.open(QIODevice::WriteOnly));
    en.write("EN|1|||K7TEA|L|L1|HOFFER, ALAN|ALAN||HOFFER|||||1 MAIN ST|KENT|WA|98030|||000|1|I||||||\r\n");
    en.close();
    FccIndexLoader loader;
    StationDirectory stations;
    const RosterTable rv = rvRoster();
    stations.setRoster(StationSource::RvRoster, rv);
    stations.setFccLoader(&loader);
    CheckInList list;
    QWidget page;
    auto* edit = new QLineEdit(&page);
    auto* note = new QLabel(&page);
    QuickCallBox box(
        stations, list, [](const QString&) { return QString(); }, edit, note, &page);
    QSignalSpy wanted(&box, &QuickCallBox::checkInWanted);
    page.show();

    // The index is being made (its worker waits first): the keys are the page's at once.
    loader.start(file, QString(), std::chrono::milliseconds(400));
    ASSERT_EQ(loader.state(), FccIndexLoader::State::Loading);
    QTest::keyClicks(edit, "K5ABD");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(wanted.count(), 1);
    EXPECT_EQ(loader.state(), FccIndexLoader::State::Loading);

    // The index comes in afterwards through the event loop, and nothing is handled again.
    ASSERT_TRUE(loader.waitForFinished(10000));
    QTest::qWait(50);
    EXPECT_EQ(loader.state(), FccIndexLoader::State::Ready);
    EXPECT_EQ(wanted.count(), 1);
    ASSERT_NE(loader.index(), nullptr);
}

TEST(ItemModels, EveryModelPassesQtsModelTesterThroughItsChanges)
{
    using Mode = QAbstractItemModelTester::FailureReportingMode;

    CheckInList list;
    CheckInModel checkIns(list);
    QAbstractItemModelTester checkInTester(&checkIns, Mode::Fatal);
    list.addDateLine(QStringLiteral("12/9/26"));
    list.addCheckIn(
        { QStringLiteral("K5ABD"), QStringLiteral("RAY"), QString(), QString() }, CheckInSource::Roster);
    list.addCheckIn(
        { QStringLiteral("W7AIR"), QStringLiteral("SUE"), QString(), QString() }, CheckInSource::Roster);
    list.setStatus(2, QStringLiteral("R"));
    list.remove(1);
    EXPECT_EQ(checkIns.rowCount(), 2);
    ASSERT_TRUE(list.undo());
    EXPECT_EQ(checkIns.rowCount(), 3);

    const RosterTable rv = rvRoster();
    RosterModel roster(*clubRoster(rgRV), rv);
    RosterAreaFilter area(&roster);
    QAbstractItemModelTester rosterTester(&roster, Mode::Fatal);
    QAbstractItemModelTester areaTester(&area, Mode::Fatal);
    area.showWhole();
    EXPECT_EQ(area.rowCount(), 3);
    area.showArea(QStringLiteral("7"));
    EXPECT_EQ(area.rowCount(), 1);
    roster.setCheckedIn({ QStringLiteral("W7AIR") });

    RosterGridModel grid;
    QAbstractItemModelTester gridTester(&grid, Mode::Fatal);
    grid.setRows({ { "Call", "Name" }, { "W7AIR", "Sue" }, { "K5ABD", "Ray" } });
    grid.sortByColumn(0);
    EXPECT_EQ(grid.cell(0, 1), "K5ABD");
    grid.clear();
    EXPECT_EQ(grid.rowCount(), 0);

    QTemporaryDir folder;
    const QString file = folder.filePath("EN.dat");
    QFile en(file);
    ASSERT_TRUE(en.open(QIODevice::WriteOnly));
    en.write("EN|1|||K5ABD|L|L1|DOE, RAY|RAY||DOE|||||1 MAIN ST|DALLAS|TX|75001|||000|1|I||||||\r\n"
             "EN|2|||K5ABE|L|L2|ROE, ANN|ANN||ROE|||||2 OAK ST|WACO|TX|76701|||000|2|I||||||\r\n");
    en.close();
    LicenceListModel licences;
    QAbstractItemModelTester licenceTester(&licences, Mode::Fatal);
    LicenceList lines;
    ASSERT_EQ(BuildPrefixList(file, "K5AB", lines), 2);
    licences.appendLines(std::move(lines));
    EXPECT_EQ(licences.rowCount(), 2);
    licences.clear();
    EXPECT_EQ(licences.rowCount(), 0);
}
