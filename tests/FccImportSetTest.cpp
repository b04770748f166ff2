// Imports that must not lose licence data: weekly and daily sets told apart by what the
// zips hold, weeklies that lack files or whose files do not belong together, weeklies far
// smaller than the data in place, dailies by the time the FCC wrote them, damaged
// dailies, the real daily set on top of a weekly, and the switch to a new set killed at
// every step.
#include "TestSupport.h"

#include "licence/FccCallIndex.h"
#include "licence/FccDataDate.h"
#include "licence/FccImport.h"
#include "licence/FccLicenceSet.h"
#include "licence/FccZip.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

QString realDaily()
{
    return sourceDir() + "/tests/fixtures/fcc/l_am_wed.zip";
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The whole current set of a folder: its three licence files and its dates.
std::map<QString, QByteArray> currentSet(const QString& folder)
{
    std::map<QString, QByteArray> out;
    for (const char* name : { "EN.dat", "HD.dat", "AM.dat", "dates.txt" })
        out[name] = readFile(QDir(FccCurrentSetFolder(folder)).filePath(name));
    return out;
}

// A zip of the given entries; those named in stored are kept uncompressed.
QString makeZip(const QString& path, const std::map<std::string, std::string>& entries,
    const std::vector<std::string>& stored = {})
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(z, nullptr);
    for (const auto& [name, text] : entries) {
        zip_source_t* src = zip_source_buffer(z, text.data(), text.size(), 0);
        const zip_int64_t at = zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE);
        EXPECT_GE(at, 0);
        if (std::find(stored.begin(), stored.end(), name) != stored.end())
            zip_set_file_compression(z, zip_uint64_t(at), ZIP_CM_STORE, 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
}

// The entries of a zip as texts, lines ended with CR LF.
std::map<std::string, std::string> entriesOf(const QString& path)
{
    FccZip zip;
    EXPECT_TRUE(zip.open(path));
    std::map<std::string, std::string> out;
    for (const char* name : { "counts", "EN.dat", "HD.dat", "AM.dat" }) {
        if (!zip.has(name))
            continue;
        std::string& text = out[name];
        zip.forEachLine(name, [&text](std::string_view line) {
            text.append(line);
            text += "\r\n";
        });
    }
    return out;
}

// An HD record with a last action date (field 44).
std::string hdLine(int id, const char* call, const char* status, const char* granted, const char* changed)
{
    std::string line
        = "HD|" + std::to_string(id) + "|||" + call + "|" + status + "|HA|" + granted + "|01/01/2035||";
    line += std::string(33, '|');
    return line + changed + "|||\r\n";
}

class FccImportSet : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath("FCCraw"); }
    QString copyAs(const QString& from, const char* name) const
    {
        const QString to = dir.filePath(QLatin1String(name));
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(from, to));
        return to;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(FccSetKind, RecordsCountsAndNameMustAgree)
{
    auto kind = [](const char* name, const char* counts, int dated, int recent) {
        return FccSetKindOf({ QString::fromLatin1(name), counts, dated, recent });
    };
    const char* dailyCounts = "File Creation Date: Thu Sep 25 08:00:19 EDT 2025\n"
                              "   473 /home/pubacc/scripts/licdayzipdata/EN.dat\n";
    const char* plainCounts = "File Creation Date: Sun Sep 28 07:05:12 EDT 2025\n";
    EXPECT_EQ(kind("l_am_wed.zip", dailyCounts, 473, 473), FccSetKind::Daily);
    EXPECT_EQ(kind("fcc-tuesday.zip", dailyCounts, 473, 473), FccSetKind::Daily);
    EXPECT_EQ(kind("fcc-tuesday.zip", plainCounts, 473, 470), FccSetKind::Daily);
    EXPECT_EQ(kind("l_amat.zip", plainCounts, 5000, 12), FccSetKind::Weekly);
    EXPECT_EQ(kind("complete.zip", plainCounts, 5000, 12), FccSetKind::Weekly);
    // The name and what the zip holds or says disagree: refused.
    EXPECT_EQ(kind("l_amat.zip", dailyCounts, 473, 473), FccSetKind::Unknown);
    EXPECT_EQ(kind("l_amat.zip", plainCounts, 473, 473), FccSetKind::Unknown);
    EXPECT_EQ(kind("l_am_mon.zip", plainCounts, 5000, 12), FccSetKind::Unknown);
    // Records that do not tell: a daily's name or counts may be taken, which replaces
    // nothing; a weekly's name alone is not enough.
    EXPECT_EQ(kind("l_am_mon.zip", plainCounts, 0, 0), FccSetKind::Daily);
    EXPECT_EQ(kind("l_amat.zip", plainCounts, 0, 0), FccSetKind::Unknown);
    EXPECT_EQ(kind("fcc.zip", plainCounts, 0, 0), FccSetKind::Unknown);
    EXPECT_EQ(kind("fcc.zip", plainCounts, 100, 65), FccSetKind::Unknown); // neither kind's mix
}

TEST_F(FccImportSet, RenamedDailyIsAppliedAsADailyAndAWeeklyNameDoesNotMakeItOne)
{
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat_0921.zip" }, folder()).ok);
    const auto weekly = currentSet(folder());

    // The real Wednesday daily saved under a name of its own: still a daily, applied.
    const FccImportResult tuesday = ImportFccZips({ copyAs(realDaily(), "fcc-tuesday.zip") }, folder());
    ASSERT_TRUE(tuesday.ok) << tuesday.error.toStdString();
    EXPECT_GT(tuesday.records, 3000); // the weekly's records stay, the daily's are added
    const auto dates = ReadFccDates(folder());
    ASSERT_TRUE(dates);
    EXPECT_EQ(LicenceDayText(dates->weekly), "2025-09-21");
    ASSERT_EQ(dates->dailies.size(), 1u);
    EXPECT_EQ(LicenceDayText(dates->dailies[0]), "2025-09-25");
    const auto applied = currentSet(folder());

    // Calls that changed hands show their current holder with his licence.
    const auto index = FccCallIndex::build(folder() + "/EN.dat");
    ASSERT_TRUE(index);
    EXPECT_EQ(FccRecordReader(*index).record(*index->find("K7TEA"))->lastName, "HOFFER,");
    EXPECT_EQ(NetLicenceText(index->licence("K7TEA"), true).text, "General, active to 2025-04-07");

    // Named as the weekly: what it holds says daily, so it is refused and nothing changes.
    QTemporaryDir other;
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat_0921.zip" }, other.path()).ok);
    const QString named = copyAs(realDaily(), "l_amat.zip");
    const FccImportResult refused = ImportFccZips({ named }, other.path());
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.contains(QDir::toNativeSeparators(named))) << refused.error.toStdString();
    EXPECT_TRUE(refused.error.contains("weekly complete amateur file")) << refused.error.toStdString();
    EXPECT_EQ(currentSet(other.path()), weekly);

    // A zip whose records carry no last action dates, under no FCC name: refused.
    auto entries = entriesOf(sets() + "/l_amat.zip");
    std::string& hd = entries["HD.dat"];
    std::string stripped;
    for (std::size_t at = 0; at < hd.size();) {
        const std::size_t end = hd.find("\r\n", at);
        std::string line = hd.substr(at, end - at);
        line = line.substr(0, line.find("|||||||||||||||||||||")); // the fields after 10 gone
        stripped += line + "||||\r\n";
        at = end + 2;
    }
    hd = stripped;
    const QString mystery = makeZip(dir.filePath("mystery.zip"), entries);
    const FccImportResult unknown = ImportFccZips({ mystery }, folder());
    EXPECT_FALSE(unknown.ok);
    EXPECT_TRUE(unknown.error.contains(QDir::toNativeSeparators(mystery))) << unknown.error.toStdString();
    EXPECT_EQ(currentSet(folder()), applied);
}

TEST_F(FccImportSet, WeeklyWithoutAllThreeFilesJoinedIsRefusedAndFarSmallerOneMustBeAccepted)
{
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat.zip" }, folder()).ok);
    const auto before = currentSet(folder());
    const auto weekly = entriesOf(sets() + "/l_amat.zip");

    // EN.dat alone, or without AM.dat: every class and status would be lost.
    auto onlyEn = weekly;
    onlyEn.erase("HD.dat");
    onlyEn.erase("AM.dat");
    auto noAm = weekly;
    noAm.erase("AM.dat");
    // HD.dat of another set: its records share no identifier with EN.dat.
    auto foreign = weekly;
    std::string otherHd;
    for (int i = 0; i < 50; ++i)
        otherHd += hdLine(90000000 + i, "K0XX", "A", "01/01/2020", "01/01/2020");
    foreign["HD.dat"] = otherHd;
    for (const auto& [name, entries] : std::map<std::string, std::map<std::string, std::string>> {
             { "l_amat_en.zip", onlyEn }, { "l_amat_noam.zip", noAm }, { "l_amat_foreign.zip", foreign } }) {
        const QString path = makeZip(dir.filePath(QString::fromStdString(name)), entries);
        const FccImportResult result = ImportFccZips({ path }, folder());
        EXPECT_FALSE(result.ok) << name;
        EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << result.error.toStdString();
        EXPECT_EQ(currentSet(folder()), before) << name;
    }

    // A whole weekly of two licences in place of 3000: refused unless accepted.
    const std::string en = "EN|100001|||K1AAA|L|L1|ONE, ANN|||||||||A|TX|1|||000|1|I||||||\r\n"
                           "EN|100002|||K1BBB|L|L2|TWO, TOM|||||||||B|TX|2|||000|2|I||||||\r\n";
    const std::string am = "AM|100001|||K1AAA|G|D||||||||||||\r\nAM|100002|||K1BBB|T|D||||||||||||\r\n";
    const QString small = makeZip(dir.filePath("l_amat_small.zip"),
        { { "counts", "File Creation Date: Sun Oct 05 07:05:12 EDT 2025\n" }, { "EN.dat", en },
            { "HD.dat",
                hdLine(100001, "K1AAA", "A", "01/02/2020", "01/02/2020")
                    + hdLine(100002, "K1BBB", "A", "01/02/2021", "01/02/2021") },
            { "AM.dat", am } });
    const FccImportResult asked = ImportFccZips({ small }, folder());
    EXPECT_FALSE(asked.ok);
    EXPECT_TRUE(asked.smallerWeekly);
    EXPECT_EQ(currentSet(folder()), before);

    // The command line says how to import it all the same, and does so when told.
    QProcess velmora;
    const QString program = binaryDir() + "/bin/velmora";
    velmora.start(program, { "--install-dir", dir.path(), "--import-fcc", small });
    ASSERT_TRUE(velmora.waitForFinished(60000));
    EXPECT_EQ(velmora.exitCode(), 1);
    EXPECT_TRUE(velmora.readAllStandardError().contains("--accept-smaller-weekly"));
    EXPECT_EQ(currentSet(folder()), before);
    velmora.start(program, { "--install-dir", dir.path(), "--import-fcc", small, "--accept-smaller-weekly" });
    ASSERT_TRUE(velmora.waitForFinished(60000));
    EXPECT_EQ(velmora.exitCode(), 0) << velmora.readAllStandardError().toStdString();
    EXPECT_EQ(readFile(CurrentLicenceFile(folder() + "/EN.dat")).toStdString(), en);
}

TEST_F(FccImportSet, DailyWrittenLaterTheSameDayIsAppliedAndAnEarlierOneSkipped)
{
    EXPECT_EQ(ParseCountsTime("File Creation Date: Sun Sep 28 07:05:12 EDT 2025"),
        std::int64_t(LicenceDayOf(2025, 9, 28)) * 86400 + 11 * 3600 + 5 * 60 + 12);
    EXPECT_EQ(ParseCountsTime("09/28/2025 07:05"), -1);
    const QString weekly = sets() + "/l_amat.zip"; // Sun Sep 28 07:05:12 EDT 2025
    ASSERT_TRUE(ImportFccZips({ weekly }, folder()).ok);
    const std::string call = entriesOf(weekly)["EN.dat"].substr(0, 200);
    const std::string record = call.substr(0, call.find("\r\n"));
    const std::string id = record.substr(3, record.find('|', 3) - 3);
    auto daily = [&](const char* name, const char* written, const char* street) {
        std::string en = record;
        const std::size_t streetAt = [&] {
            std::size_t at = 0;
            for (int bar = 0; bar < 15; ++bar)
                at = en.find('|', at) + 1;
            return at;
        }();
        en = en.substr(0, streetAt) + street + en.substr(en.find('|', streetAt));
        return makeZip(dir.filePath(name),
            { { "counts", std::string("File Creation Date: ") + written + "\n" }, { "EN.dat", en + "\r\n" },
                { "HD.dat", hdLine(std::stoi(id), "K0XX", "A", "09/28/2025", "09/28/2025") } });
    };
    // The Saturday daily written at 06:00 is older than the weekly; the one of 15:00 is newer.
    const QString early = daily("l_am_sat.zip", "Sun Sep 28 06:00:00 EDT 2025", "1 EARLY ST");
    const QString late = daily("l_am_sun.zip", "Sun Sep 28 15:00:00 EDT 2025", "2 LATE ST");
    const FccImportResult result = ImportFccZips({ late, early }, folder());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.notes.size(), 1) << result.notes.join(" / ").toStdString();
    EXPECT_TRUE(result.notes[0].contains("l_am_sat.zip"));
    const QByteArray en = readFile(CurrentLicenceFile(folder() + "/EN.dat"));
    EXPECT_TRUE(en.contains("2 LATE ST"));
    EXPECT_FALSE(en.contains("1 EARLY ST"));
    const auto dates = ReadFccDates(folder());
    ASSERT_TRUE(dates);
    ASSERT_EQ(dates->dailies.size(), 1u);
    EXPECT_EQ(dates->newestSet().time, ParseCountsTime("Sep 28 15:00:00 EDT 2025"));
    // The same daily again is not newer than the data now.
    EXPECT_EQ(ImportFccZips({ late }, folder()).notes.size(), 1);
    // Dates kept before times were: still read, by day.
    const auto old = FccDataDates::fromText("weekly 2025-09-28\ndaily 2025-09-29\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->newestSet(), (FccSetDate { LicenceDayOf(2025, 9, 29), -1 }));
}

TEST_F(FccImportSet, ReadErrorInADailyIsRefusedWithTheFileNamed)
{
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat_0921.zip" }, folder()).ok);
    const auto before = currentSet(folder());
    // The real daily with its EN.dat kept uncompressed and one byte of a record changed:
    // the zip opens and its directory is sound, but the entry fails its check sum.
    const QString path = makeZip(dir.filePath("l_am_wed.zip"), entriesOf(realDaily()), { "EN.dat" });
    QByteArray bytes = readFile(path);
    const int at = bytes.indexOf("HOFFER, ALAN B");
    ASSERT_GT(at, 0);
    bytes[at] = 'X';
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const FccImportResult result = ImportFccZips({ path }, folder());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << result.error.toStdString();
    EXPECT_EQ(currentSet(folder()), before);
}

TEST_F(FccImportSet, ImportKilledAtEveryStepLeavesTheOldSetOrTheNewOneWhole)
{
    // The old set: the weekly alone. The new one: with Monday's daily on top.
    QTemporaryDir expected;
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat.zip", sets() + "/l_am_mon.zip" }, expected.path()).ok);
    const auto newSet = currentSet(expected.path());
    const char* const steps[]
        = { "started", "EN.dat", "HD.dat", "AM.dat", "dates", "named", "switched", "cleaned" };
    for (const char* step : steps) {
        QTemporaryDir install;
        const QString fcc = install.filePath("FCCraw");
        ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat.zip" }, fcc).ok);
        const auto oldSet = currentSet(fcc);
        ASSERT_NE(oldSet, newSet);

        QProcess child;
        child.start(binaryDir() + "/bin/velmora-fcc-import-child",
            { fcc, QLatin1String(step), sets() + "/l_am_mon.zip" });
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray said; // its lines, without the CR that Windows writes before each LF
        while (!said.split('\n').contains(QByteArray(step)) && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput().replace('\r', QByteArray());
        ASSERT_TRUE(said.split('\n').contains(QByteArray(step))) << step << ": " << said.toStdString();
        child.kill();
        child.waitForFinished(10000);

        // Whoever reads now finds one set whole, the old one until the switch.
        const auto found = currentSet(fcc);
        const bool switched = std::string_view(step) == "switched" || std::string_view(step) == "cleaned";
        EXPECT_EQ(found, switched ? newSet : oldSet) << step;
        const auto index = FccCallIndex::build(fcc + "/EN.dat");
        ASSERT_TRUE(index) << step;
        EXPECT_TRUE(index->hasLicences()) << step;

        // The next import clears away what the killed one left and gives the new set.
        const FccImportResult again
            = ImportFccZips({ sets() + "/l_amat.zip", sets() + "/l_am_mon.zip" }, fcc);
        ASSERT_TRUE(again.ok) << step << ": " << again.error.toStdString();
        EXPECT_EQ(currentSet(fcc), newSet) << step;
        QStringList entries = QDir(fcc).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        entries.removeAll("import.lock");
        EXPECT_EQ(entries, QStringList({ "current", QFileInfo(FccCurrentSetFolder(fcc)).fileName() }))
            << step;
    }

    // An installation of plain FCCraw files (copied by hand, or imported before sets were
    // kept) is read as it is, and the first import replaces it by a set.
    QTemporaryDir plain;
    const QString fcc = plain.filePath("FCCraw");
    QDir().mkpath(fcc);
    for (const char* name : { "EN.dat", "HD.dat", "AM.dat" })
        ASSERT_TRUE(QFile::copy(sets() + "/weekly/" + name, fcc + "/" + name));
    EXPECT_EQ(FccCurrentSetFolder(fcc), fcc);
    EXPECT_EQ(CurrentLicenceFile(fcc + "/EN.dat"), fcc + "/EN.dat");
    ASSERT_TRUE(FccCallIndex::build(fcc + "/EN.dat")->hasLicences());
    ASSERT_TRUE(ImportFccZips({ sets() + "/l_amat.zip", sets() + "/l_am_mon.zip" }, fcc).ok);
    EXPECT_NE(FccCurrentSetFolder(fcc), fcc);
    EXPECT_FALSE(QFile::exists(fcc + "/EN.dat"));
    auto found = currentSet(fcc);
    found.erase("dates.txt");
    auto wanted = newSet;
    wanted.erase("dates.txt");
    EXPECT_EQ(found, wanted);
}
