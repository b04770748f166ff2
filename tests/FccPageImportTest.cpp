// The FCC page's licence boxes, IMPORT FCC FILES with its progress bar, and the line of
// the data's date, as the operator sees them.
#include "TestSupport.h"

#include "app/Pages.h"
#include "fcc/FccLicencePanel.h"
#include "fcc/LicenceListModel.h"
#include "fcc/TfrmFCC2.h"
#include "licence/FccLicenceSet.h"
#include "licence/FccZip.h"
#include "net/TfrmNET.h"
#include "pages/TfrmMainA.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <zip.h>

#include <map>
#include <string>

namespace {

QString sets()
{
    return binaryDir() + "/test-data/fcc";
}

class FccPageImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreatePages(binaryDir() + "/demo");
        ASSERT_NE(frmFCC2, nullptr);
        frmFCC2->setLicenceFile(dir.filePath("FCCraw/EN.dat"));
        navigate(frmMainA, frmFCC2);
    }
    void TearDown() override { DestroyPages(); }

    template <typename T = QWidget> T* w(const char* name) { return child<T>(frmFCC2, name); }
    QString text(const char* name) { return w<QLineEdit>(name)->text(); }
    FccLicencePanel& panel() { return frmFCC2->licencePanel(); }
    void build(const QString& call)
    {
        w<QLineEdit>("editCALL")->setText(call);
        w<QLineEdit>("editS")->setText(call);
        click(w("VR3"));
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmFCC2->buildingList(); }, 20000));
    }
    // Lets the page's call index finish and the boxes take what it found.
    void waitForIndex()
    {
        QDeadlineTimer deadline(60000);
        while (text("editSTATUS").isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QStringList boxes() { return { text("editCLASS"), text("editSTATUS"), text("editEXPIRES") }; }
    // The first call of the manifest that the given kind of change touched last.
    QStringList lastChange(const QString& kind)
    {
        QFile f(sets() + "/merged2/manifest.txt");
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        std::vector<QStringList> notes;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty())
                notes.push_back(QString::fromLatin1(line).split(' '));
        for (const QStringList& note : notes) {
            int touched = 0;
            for (const QStringList& other : notes)
                touched += other[3] == note[3];
            if (note[2] == kind && touched == 1)
                return note;
        }
        ADD_FAILURE() << "no " << kind.toStdString() << " call";
        return {};
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
};

} // namespace

TEST_F(FccPageImport, ImportShowsProgressThenTheDataDateAndTheLicencesOfListedRecords)
{
    EXPECT_EQ(w<QLabel>("lblFCCDATA")->text(), ""); // no licence files yet
    EXPECT_EQ(w<QPushButton>("btnIMPORT")->text(), "IMPORT FCC FILES");
    EXPECT_FALSE(w("barIMPORT")->isVisible());

    dialogs.openNames.push_back(
        { sets() + "/l_amat.zip", sets() + "/l_am_tue.zip", sets() + "/l_am_mon.zip" });
    click(w("btnIMPORT"));
    EXPECT_EQ(dialogs.openDialogs, 1);
    // The import runs in the background: the page shows its progress meanwhile.
    EXPECT_TRUE(w("barIMPORT")->isVisible());
    EXPECT_FALSE(w("btnIMPORT")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); }, 60000));
    EXPECT_FALSE(w("barIMPORT")->isVisible());
    EXPECT_TRUE(w("btnIMPORT")->isEnabled());
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(dialogs.shown.back().text.startsWith("FCC files imported"))
        << dialogs.shown.back().text.toStdString();
    // Data of September 2025 is far older than 14 days today: red.
    EXPECT_EQ(w<QLabel>("lblFCCDATA")->text(), "FCC data of 2025-09-28 with 2 daily updates");
    EXPECT_TRUE(w<QLabel>("lblFCCDATA")->styleSheet().contains("#ff0000"));

    const QStringList expired = lastChange("expired");
    build(expired[3]);
    waitForIndex();
    ASSERT_EQ(text("editCALL2"), "  " + expired[3]);
    EXPECT_EQ(text("editSTATUS"), "Expired");
    EXPECT_EQ(text("editEXPIRES"), expired[4]);
    EXPECT_TRUE(w<QLineEdit>("editSTATUS")->styleSheet().contains("#ff0000"));

    const QStringList cancelled = lastChange("cancelled");
    build(cancelled[3]);
    EXPECT_EQ(text("editSTATUS"), "Cancelled");
    const QStringList added = lastChange("added");
    build(added[3]);
    EXPECT_EQ(text("editCLASS"), "Technician");
    EXPECT_EQ(text("editSTATUS"), "Active");
    EXPECT_EQ(text("editEXPIRES").left(4), "2035"); // ten years from its grant
    const QStringList upgraded = lastChange("upgraded");
    build(upgraded[3]);
    EXPECT_EQ(text("editCLASS"), "Extra");
    EXPECT_EQ(text("editSTATUS"), "Active");

    // CLEAR LIST empties the boxes with the record.
    click(w("VR6"));
    EXPECT_EQ(boxes(), QStringList({ "", "", "" }));
}

TEST_F(FccPageImport, FailedImportIsToldAndChangesNothing)
{
    ASSERT_TRUE(panel().startImport({ sets() + "/l_amat.zip" }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); }, 60000));
    const QString dataLine = w<QLabel>("lblFCCDATA")->text();
    EXPECT_EQ(dataLine, "FCC data of 2025-09-28");
    QFile en(CurrentLicenceFile(dir.filePath("FCCraw/EN.dat")));
    ASSERT_TRUE(en.open(QIODevice::ReadOnly));
    const QByteArray before = en.readAll();
    en.close();

    const QString broken = dir.filePath("l_am_wed.zip");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 not really a zip");
    f.close();
    dialogs.openNames.push_back({ broken });
    click(w("btnIMPORT"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); }, 60000));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(dialogs.shown.back().text.startsWith("The FCC files were not imported"));
    EXPECT_TRUE(dialogs.shown.back().text.contains(QDir::toNativeSeparators(broken)));
    EXPECT_EQ(w<QLabel>("lblFCCDATA")->text(), dataLine);
    ASSERT_TRUE(en.open(QIODevice::ReadOnly));
    EXPECT_EQ(en.readAll(), before);

    // Cancelling the dialog imports nothing.
    const auto told = dialogs.shown.size();
    click(w("btnIMPORT"));
    EXPECT_FALSE(panel().importing());
    EXPECT_EQ(dialogs.shown.size(), told);
}

TEST_F(FccPageImport, PlainEntityFileShowsClassAndStatusUnknown)
{
    QDir().mkpath(dir.filePath("FCCraw"));
    QFile f(dir.filePath("FCCraw/EN.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("EN|123456|||K5ABC|L|L00000001|SMITH, JOHN|JOHN||SMITH|||||2 OAK "
            "ST|WACO|TX|76701|||000|1|I||||||\r\n");
    f.close();
    frmFCC2->FormActivate();
    EXPECT_EQ(w<QLabel>("lblFCCDATA")->text(), "FCC data of unknown date");
    build("K5ABC");
    waitForIndex();
    EXPECT_EQ(text("editCALL2"), "  K5ABC");
    EXPECT_EQ(boxes(), QStringList({ "unknown", "unknown", "" }));
}

TEST_F(FccPageImport, CallThatChangedHandsShowsItsHolderAndAnEarlierHoldersLineHisOwnLicence)
{
    // The entity, licence and class files of a real daily set, as they are; EN.dat last,
    // so the page's index, which may be on its way already, finds the other two with it.
    QDir().mkpath(dir.filePath("FCCraw"));
    FccZip zip;
    ASSERT_TRUE(zip.open(sourceDir() + "/tests/fixtures/fcc/l_am_wed.zip"));
    for (const char* name : { "HD.dat", "AM.dat", "EN.dat" }) {
        QFile f(dir.filePath(QStringLiteral("FCCraw/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(zip.forEachLine(name, [&f](std::string_view line) {
            f.write(line.data(), qint64(line.size()));
            f.write("\r\n");
        }));
    }
    frmFCC2->FormActivate();
    // K7TEA: Theresa Edwards' record comes first in the file (cancelled in 2011); Alan
    // Hoffer holds the call now. SEARCH shows him, with his licence, here and on the net page.
    build("K7TEA");
    waitForIndex();
    EXPECT_EQ(frmFCC2->listModel().rowCount(), 2);
    EXPECT_EQ(text("editLN2"), "HOFFER,");
    EXPECT_EQ(text("editCITY2"), "KENT");
    EXPECT_EQ(boxes(), QStringList({ "General", "Active", "2025-04-07" }));
    EXPECT_EQ(child<QLineEdit>(frmNET, "editSelLNAME")->text(), "HOFFER,");
    EXPECT_EQ(child<QLineEdit>(frmNET, "editSelCITY")->text(), "KENT");

    // A click on the earlier holder's line shows her with her own licence.
    auto* list = w<QListView>("lstboxG");
    const LicenceListModel& model = frmFCC2->listModel();
    int edwards = -1;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.lineText(row).contains("Edwards"))
            edwards = row;
    ASSERT_GE(edwards, 0);
    list->setCurrentIndex(list->model()->index(edwards, 0));
    EXPECT_EQ(text("editLN2"), "Edwards,");
    EXPECT_EQ(boxes(), QStringList({ "Extra", "Cancelled", "2019-02-13" }));
    EXPECT_TRUE(w<QLineEdit>("editSTATUS")->styleSheet().contains("#ff0000"));

    // A club's call that a person holds now: the person, as SEARCH finds him.
    build("KD0GGY");
    EXPECT_EQ(text("editLN2"), "Miles,");
    EXPECT_EQ(boxes(), QStringList({ "Technician", "Active", "2034-03-25" }));
}

TEST_F(FccPageImport, FarSmallerWeeklyAsksFirstAndReplacesTheDataOnlyWhenTold)
{
    ASSERT_TRUE(panel().startImport({ sets() + "/l_amat.zip" }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); }, 60000));
    const QString enFile = dir.filePath("FCCraw/EN.dat");
    const QByteArray before = [&] {
        QFile f(CurrentLicenceFile(enFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(before.isEmpty());

    // A whole weekly set of one licence, in place of 3000.
    const std::string last = std::string(33, '|') + "01/02/2020|||\r\n";
    const std::map<std::string, std::string> entries = {
        { "counts", "File Creation Date: Sun Oct 05 07:05:12 EDT 2025\n" },
        { "EN.dat", "EN|100001|||K1AAA|L|L1|ONE, ANN|||||||||A|TX|1|||000|1|I||||||\r\n" },
        { "HD.dat", "HD|100001|||K1AAA|A|HA|01/02/2020|01/02/2030||" + last },
        { "AM.dat", "AM|100001|||K1AAA|G|D||||||||||||\r\n" },
    };
    const QString small = dir.filePath("l_amat_small.zip");
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(small).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, text] : entries)
        zip_file_add(z, name.c_str(), zip_source_buffer(z, text.data(), text.size(), 0), ZIP_FL_OVERWRITE);
    ASSERT_EQ(zip_close(z), 0);
    auto current = [&] {
        QFile f(CurrentLicenceFile(enFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // Cancel: asked, told it was not imported, the data stays.
    dialogs.chosen.push_back(1);
    ASSERT_TRUE(panel().startImport({ small }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); }, 60000));
    ASSERT_EQ(dialogs.choices.size(), 1);
    EXPECT_TRUE(dialogs.choices.back().contains("far fewer licence records"))
        << dialogs.choices.back().toStdString();
    EXPECT_EQ(dialogs.choiceButtons, QStringList({ "Import", "Cancel" }));
    EXPECT_TRUE(dialogs.shown.back().text.startsWith("The FCC files were not imported"));
    EXPECT_EQ(current(), before);

    // Import: the small weekly replaces the data.
    dialogs.chosen.push_back(0);
    ASSERT_TRUE(panel().startImport({ small }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !panel().importing(); },
        60000)); // the second import, started on the answer, included
    EXPECT_EQ(dialogs.choices.size(), 2);
    EXPECT_TRUE(dialogs.shown.back().text.startsWith("FCC files imported: 1 licence records"))
        << dialogs.shown.back().text.toStdString();
    EXPECT_EQ(current(), QByteArray("EN|100001|||K1AAA|L|L1|ONE, ANN|||||||||A|TX|1|||000|1|I||||||\r\n"));
}
