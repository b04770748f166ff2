// The FCC page's licence boxes, IMPORT FCC FILES with its progress bar, and the line of
// the data's date, as the operator sees them.
#include "TestSupport.h"

#include "app/Pages.h"
#include "fcc/FccLicencePanel.h"
#include "fcc/TfrmFCC2.h"
#include "pages/TfrmMainA.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    QFile en(dir.filePath("FCCraw/EN.dat"));
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
