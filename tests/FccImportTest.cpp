// Importing the FCC's zips: the weekly set and its dailies joined as the generator says
// they should be, daily order, duplicate identifiers and malformed records, damaged and
// stopped imports that leave the files as they were, the call index's licences from the
// result, and the command line.
#include "TestSupport.h"

#include "licence/FccCallIndex.h"
#include "licence/FccDataDate.h"
#include "licence/FccImport.h"
#include "licence/FccLicenceSet.h"

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

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The three licence files of a folder's current set, for comparing whole sets.
std::map<QString, QByteArray> licenceFiles(const QString& folder)
{
    std::map<QString, QByteArray> out;
    for (const char* name : { "EN.dat", "HD.dat", "AM.dat" })
        out[name] = readFile(QDir(FccCurrentSetFolder(folder)).filePath(name));
    return out;
}

// "expired CALL DATE" and the like, of the generator's manifest of merged set n.
std::vector<QStringList> manifest(int merged)
{
    std::vector<QStringList> out;
    for (const QByteArray& line :
        readFile(sets() + QStringLiteral("/merged%1/manifest.txt").arg(merged)).split('\n'))
        if (!line.isEmpty())
            out.push_back(QString::fromLatin1(line).split(' '));
    return out;
}

// Whether two folders hold the same three licence files (a message names the first
// that differs, rather than printing files of megabytes).
::testing::AssertionResult sameFiles(const QString& folder, const QString& expected)
{
    const auto a = licenceFiles(folder), b = licenceFiles(expected);
    for (const auto& [name, bytes] : a)
        if (bytes != b.at(name))
            return ::testing::AssertionFailure() << name.toStdString() << " differs";
    return ::testing::AssertionSuccess();
}

// A zip made here of the given entries, for the cases the generator does not make.
QString makeZip(const QString& path, const std::map<std::string, std::string>& entries)
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(z, nullptr);
    for (const auto& [name, text] : entries) {
        zip_source_t* src = zip_source_buffer(z, text.data(), text.size(), 0);
        EXPECT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
}

class FccImport : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath("FCCraw"); }
    QString zip(const char* name) const { return sets() + "/" + name; }
    FccImportResult import(const QStringList& zips) { return ImportFccZips(zips, folder()); }
    // Nothing but the current set (its three files and the dates) and the pointer to it
    // is left in the folder.
    QStringList leftOver() const
    {
        const QString set = FccCurrentSetFolder(folder());
        QStringList files = QDir(set).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const char* name : { "EN.dat", "HD.dat", "AM.dat", "dates.txt" })
            files.removeAll(QLatin1String(name));
        if (set != folder()) {
            QStringList beside = QDir(folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString& name :
                { QStringLiteral("current"), QStringLiteral("import.lock"), QFileInfo(set).fileName() })
                beside.removeAll(name);
            files += beside;
        }
        return files;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FccImport, WeeklyAndDailiesInDateOrderGiveTheMergedSet)
{
    // The dailies given before the weekly and out of order: their dates decide.
    const FccImportResult result = import({ zip("l_am_tue.zip"), zip("l_am_mon.zip"), zip("l_amat.zip") });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(sameFiles(folder(), sets() + "/merged2"));
    EXPECT_EQ(leftOver(), QStringList());
    const auto dates = ReadFccDates(folder());
    ASSERT_TRUE(dates);
    EXPECT_EQ(LicenceDayText(dates->weekly), "2025-09-28");
    ASSERT_EQ(dates->dailies.size(), 2u);
    EXPECT_EQ(LicenceDayText(dates->dailies[1]), "2025-09-30");
    EXPECT_EQ(FccDataDateLine(dates, true, LicenceDayOf(2025, 10, 1)).text,
        "FCC data of 2025-09-28 with 2 daily updates");

    // The weekly alone is the weekly set.
    QTemporaryDir other;
    ASSERT_TRUE(ImportFccZips({ zip("l_amat.zip") }, other.path()).ok);
    EXPECT_TRUE(sameFiles(other.path(), sets() + "/weekly"));
}

TEST_F(FccImport, IndexOfTheImportedSetKnowsEveryChangeOfTheDailies)
{
    ASSERT_TRUE(import({ zip("l_amat.zip"), zip("l_am_mon.zip"), zip("l_am_tue.zip") }).ok);
    const auto index = FccCallIndex::build(folder() + "/EN.dat");
    ASSERT_TRUE(index);
    ASSERT_TRUE(index->hasLicences());
    int checked = 0;
    for (const QStringList& note : manifest(2)) {
        // "daily N what CALL [DATE]"; a call changed again by a later daily is left out.
        const std::string call = note[3].toStdString();
        bool later = false;
        for (const QStringList& other : manifest(2))
            later = later || (other[3] == note[3] && other[1].toInt() > note[1].toInt());
        if (later || index->find(call) == std::nullopt)
            continue;
        const auto info = index->licence(call);
        ASSERT_TRUE(info) << call;
        const QString what = note[2];
        const LicenceLabel shown = NetLicenceText(info, true);
        if (what == "expired") {
            EXPECT_EQ(shown.text, "EXPIRED " + note[4].toStdString()) << call;
            EXPECT_TRUE(shown.red);
        } else if (what == "cancelled") {
            EXPECT_EQ(shown.text, "CANCELLED " + note[4].toStdString()) << call;
        } else if (what == "upgraded") {
            EXPECT_EQ(info->operatorClass, 'E') << call;
        } else if (what == "added") {
            EXPECT_EQ(info->status, 'A') << call;
            EXPECT_EQ(info->operatorClass, 'T') << call;
        }
        ++checked;
    }
    EXPECT_GT(checked, 8);
}

TEST_F(FccImport, DailiesAloneGoOnTopOfTheEarlierImportAndOldOnesAreSkipped)
{
    ASSERT_TRUE(import({ zip("l_amat.zip"), zip("l_am_mon.zip") }).ok);
    EXPECT_TRUE(sameFiles(folder(), sets() + "/merged1"));
    // Monday's again is not newer than the data: skipped, said so; Tuesday's applies.
    const FccImportResult result = import({ zip("l_am_mon.zip"), zip("l_am_tue.zip") });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(sameFiles(folder(), sets() + "/merged2"));
    ASSERT_EQ(result.notes.size(), 1);
    EXPECT_TRUE(result.notes[0].contains("l_am_mon.zip")) << result.notes[0].toStdString();
    EXPECT_EQ(ReadFccDates(folder())->dailies.size(), 2u);

    // Without an earlier import there is nothing to apply them to.
    QTemporaryDir empty;
    const FccImportResult none = ImportFccZips({ zip("l_am_tue.zip") }, empty.path());
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(none.error.contains("weekly")) << none.error.toStdString();
}

TEST_F(FccImport, LaterRecordOfAnIdentifierCountsAndMalformedRecordsAreSkipped)
{
    const std::string counts = "File Creation Date: Sun Sep 28 07:05:12 EDT 2025\n";
    const std::string en = "EN|100001|||K1AAA|L|L1|ONE, OLD|||||||||A|TX|1|||000|1|I||||||\r\n"
                           "EN|100002|||K1BBB|L|L2|TWO, TOM|||||||||B|TX|2|||000|2|I||||||\r\n"
                           "EN|100001|||K1AAA|L|L1|ONE, NEW|||||||||A|TX|1|||000|1|I||||||\r\n"
                           "EN|100003|||K1CCC|L|L3|SHORT\r\n" // too few fields
                           "XX|100004|||K1DDD|L|L4|OTHER, KIND|||||||||A|TX|1|||000|1|I||||||\r\n";
    // Field 44, the last action date: years before the set was written, as in a weekly.
    const std::string last = std::string(33, '|') + "01/02/2020|||\r\n";
    const std::string hd = "HD|100001|||K1AAA|A|HA|01/02/2020|01/02/2030||" + last
        + "HD|100002|||K1BBB|E|HA|01/02/2010|01/02/2020||" + last;
    const std::string am = "AM|100001|||K1AAA|G|D||||||||||||\r\nAM|100002|||K1BBB|T|D||||||||||||\r\n";
    const QString weekly = makeZip(dir.filePath("l_amat.zip"),
        { { "counts", counts }, { "EN.dat", en }, { "HD.dat", hd }, { "AM.dat", am } });
    const FccImportResult result = import({ weekly });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.records, 2);
    EXPECT_EQ(readFile(CurrentLicenceFile(folder() + "/EN.dat")).toStdString(),
        "EN|100002|||K1BBB|L|L2|TWO, TOM|||||||||B|TX|2|||000|2|I||||||\r\n"
        "EN|100001|||K1AAA|L|L1|ONE, NEW|||||||||A|TX|1|||000|1|I||||||\r\n");
    EXPECT_EQ(result.notes.size(), 2) << result.notes.join(" / ").toStdString();
    EXPECT_TRUE(result.notes.join(" ").contains("2 malformed records of EN.dat"))
        << result.notes.join(" / ").toStdString();
    EXPECT_EQ(leftOver(), QStringList());
}

TEST_F(FccImport, DamagedStoppedOrWrongZipsLeaveTheFilesAsTheyWere)
{
    ASSERT_TRUE(import({ zip("l_amat.zip") }).ok);
    const QString saved = dir.filePath("saved");
    ASSERT_TRUE(ImportFccZips({ zip("l_amat.zip") }, saved).ok);
    const QByteArray datesBefore = readFile(FccDatesFile(folder()));
    const QByteArray daily = readFile(zip("l_am_mon.zip"));
    const QByteArray weekly = readFile(zip("l_amat.zip"));
    auto damaged = [&](const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    QByteArray flipped = weekly;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x55); // inside the packed records
    const std::vector<QStringList> bad = {
        { damaged("l_amat_flip.zip", flipped) },
        { damaged("l_amat_cut.zip", weekly.left(weekly.size() - 100)) },
        { zip("l_amat.zip"), damaged("l_am_cut.zip", daily.left(daily.size() / 2)) },
        { zip("l_amat.zip"), damaged("l_am_text.zip", "EN|1|||K1A|\r\n") },
        { zip("l_amat.zip"), damaged("l_am_empty.zip", QByteArray()) },
        { zip("l_amat.zip"),
            makeZip(dir.filePath("l_am_noen.zip"), { { "counts", "Sep 29 2025" }, { "HD.dat", "" } }) },
        { zip("l_amat.zip"),
            makeZip(dir.filePath("l_am_nodate.zip"), { { "counts", "  1 EN.dat\n" }, { "EN.dat", "" } }) },
        { zip("l_amat.zip"), zip("l_am_mon.zip"), dir.filePath("l_am_missing.zip") },
    };
    for (const QStringList& zips : bad) {
        const FccImportResult result = import(zips);
        EXPECT_FALSE(result.ok) << zips.last().toStdString();
        EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(zips.last())))
            << result.error.toStdString();
        EXPECT_TRUE(sameFiles(folder(), saved)) << zips.last().toStdString();
        EXPECT_EQ(leftOver(), QStringList()) << zips.last().toStdString();
    }
    // A weekly with no records at all would empty the data: refused.
    const QString emptyWeekly = makeZip(dir.filePath("l_amat_empty.zip"),
        { { "counts", "Sep 29 2025" }, { "EN.dat", "" }, { "HD.dat", "" }, { "AM.dat", "" } });
    EXPECT_FALSE(import({ emptyWeekly }).ok);
    // Two weeklies at once are refused.
    EXPECT_FALSE(import({ zip("l_amat.zip"), emptyWeekly }).ok);
    EXPECT_TRUE(sameFiles(folder(), saved));

    // Stopped late, once EN.dat has been written whole, as when the program is closed
    // during an import: the new EN.dat must not replace the old one alone.
    std::atomic<bool> stop { false };
    const FccImportResult stopped = ImportFccZips(
        { zip("l_amat.zip"), zip("l_am_mon.zip") }, folder(),
        [&stop](int percent) { stop = stop || percent >= 75; }, &stop);
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(sameFiles(folder(), saved));
    EXPECT_EQ(readFile(FccDatesFile(folder())), datesBefore);
    EXPECT_EQ(leftOver(), QStringList());
}

TEST_F(FccImport, CommandLineImportsHeadlessAndNamesTheFileThatFails)
{
    QProcess velmora;
    // No display of any kind: the import must not need one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(name);
    velmora.setProcessEnvironment(env);
    const QString program = binaryDir() + "/bin/velmora";
    velmora.start(
        program, { "--install-dir", dir.path(), "--import-fcc", zip("l_amat.zip"), zip("l_am_mon.zip") });
    ASSERT_TRUE(velmora.waitForFinished(60000));
    EXPECT_EQ(velmora.exitCode(), 0) << velmora.readAllStandardError().toStdString();
    EXPECT_TRUE(sameFiles(folder(), sets() + "/merged1"));

    const QString missing = dir.filePath("l_am_wed.zip");
    velmora.start(program, { "--install-dir", dir.path(), "--import-fcc", zip("l_am_tue.zip"), missing });
    ASSERT_TRUE(velmora.waitForFinished(60000));
    EXPECT_NE(velmora.exitCode(), 0);
    EXPECT_TRUE(
        QString::fromLocal8Bit(velmora.readAllStandardError()).contains(QDir::toNativeSeparators(missing)));
    EXPECT_TRUE(sameFiles(folder(), sets() + "/merged1"));

    velmora.start(program, { "--help" });
    ASSERT_TRUE(velmora.waitForFinished(60000));
    EXPECT_TRUE(velmora.readAllStandardOutput().contains("--import-fcc FILE..."));
}
