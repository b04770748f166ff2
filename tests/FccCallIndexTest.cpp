// The call index of the licence file: packed calls, the index on every kind of line end,
// its searches against a plain scan, the cache file, and the worker that makes it.
#include "TestSupport.h"

#include "licence/FccCallIndex.h"
#include "licence/FccIndexLoader.h"
#include "licence/FccZip.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string enLine(int id, const std::string& call, const std::string& city)
{
    return "EN|" + std::to_string(1000000 + id) + "|||" + call + "|L|L0" + std::to_string(id)
        + "|DOE, JANE|JANE||DOE|||||1 MAIN ST|" + city + "|TX|75001|||000|0001234567|I||||||";
}

QString writeFile(const QTemporaryDir& dir, const std::string& bytes, const char* name = "EN.dat")
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
    return path;
}

std::vector<std::string> calls(const FccCallIndex& index)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < index.size(); ++i)
        out.push_back(index.call(i));
    return out;
}

// Every call's city, read back through its offset.
std::vector<std::string> cities(const FccCallIndex& index)
{
    FccRecordReader reader(index);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < index.size(); ++i) {
        const auto r = reader.record(i);
        out.push_back(r ? r->city : "(unreadable)");
    }
    return out;
}

} // namespace

TEST(FccPackedCall, KeepsTheOrderOfTheTextsAndRefusesWhatIsNoCall)
{
    std::vector<std::string> texts = { "0", "9ZZ", "A", "A0", "AA", "K", "K5", "K5A", "K5AB", "K5ABC",
        "K5ABD", "K5B", "KA5ABC", "W1AW", "ZZZZZZZZZZZZ", "000000000000", "K1", "K10", "K1A" };
    std::sort(texts.begin(), texts.end());
    std::vector<std::uint64_t> keys;
    for (const auto& t : texts) {
        const auto key = fcccall::pack(t);
        ASSERT_TRUE(key) << t;
        EXPECT_EQ(fcccall::unpack(*key), t);
        std::string backwards(t.rbegin(), t.rend());
        EXPECT_EQ(fcccall::unpack(fcccall::reversed(*key)), backwards);
        keys.push_back(*key);
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(fcccall::pack("k5abc"), fcccall::pack("K5ABC"));
    for (const char* bad : { "", "K5 ABC", "K5-ABC", "K5ABC|", "ZZZZZZZZZZZZZ", "K\xC3\x84" })
        EXPECT_FALSE(fcccall::pack(bad)) << bad;
}

TEST(FccCallIndexBuild, SameCallsAndOffsetsWhateverTheLineEnds)
{
    const std::vector<std::string> records
        = { enLine(1, "K5ABC", "WACO"), enLine(2, "W1AW", "NEWINGTON"), enLine(3, "N0CALL", "ANYTOWN") };
    QTemporaryDir dir;
    const std::vector<std::string> expectedCalls = { "K5ABC", "N0CALL", "W1AW" };
    const std::vector<std::string> expectedCities = { "WACO", "ANYTOWN", "NEWINGTON" };
    int n = 0;
    for (const std::string end : { "\n", "\r\n", "\r" }) {
        for (const bool lastEnded : { true, false }) {
            std::string text = records[0] + end + records[1] + end + records[2];
            if (lastEnded)
                text += end;
            const QString path = writeFile(dir, text, qPrintable(QStringLiteral("EN%1.dat").arg(n++)));
            QString error;
            const auto index = FccCallIndex::build(path, &error);
            ASSERT_TRUE(index) << error.toStdString();
            EXPECT_EQ(calls(*index), expectedCalls) << int(end.size()) << lastEnded;
            EXPECT_EQ(cities(*index), expectedCities) << int(end.size()) << lastEnded;
        }
    }
    // Line ends of every kind in one file.
    const auto mixed = FccCallIndex::build(
        writeFile(dir, records[0] + "\r\n" + records[1] + "\r" + records[2] + "\n", "mixed.dat"));
    ASSERT_TRUE(mixed);
    EXPECT_EQ(cities(*mixed), expectedCities);
}

TEST(FccCallIndexBuild, FirstRecordOfACallIsKeptAndNoCallsAreLeftOut)
{
    QTemporaryDir dir;
    const std::string text = enLine(1, "K5ABC", "FIRST") + "\n" + enLine(2, "", "NOCALL") + "\n"
        + enLine(3, "K5-X", "DASH") + "\n" + enLine(4, "ABCDEFGHIJKLM", "TOOLONG") + "\n"
        + enLine(5, "k5abc", "SECOND") + "\n" + "EN|6|||\n" + "\n" + "garbage without bars\n"
        + enLine(7, "kd5low", "LOWER") + "\n";
    const auto index = FccCallIndex::build(writeFile(dir, text));
    ASSERT_TRUE(index);
    EXPECT_EQ(calls(*index), (std::vector<std::string> { "K5ABC", "KD5LOW" }));
    EXPECT_EQ(cities(*index), (std::vector<std::string> { "FIRST", "LOWER" }));
}

TEST(FccCallIndexBuild, LineLongerThanTheReadBufferDoesNotHideTheNextRecords)
{
    QTemporaryDir dir;
    std::string longRecord = enLine(1, "W9HUGE", "BIG");
    longRecord.insert(longRecord.size() - 10, std::string(9u << 20, 'X')); // 9 MiB in one line
    const std::string text = longRecord + "\r\n" + enLine(2, "K1NEXT", "NEXT") + "\r\n";
    const auto index = FccCallIndex::build(writeFile(dir, text));
    ASSERT_TRUE(index);
    EXPECT_EQ(calls(*index), (std::vector<std::string> { "K1NEXT", "W9HUGE" }));
    EXPECT_EQ(cities(*index), (std::vector<std::string> { "NEXT", "BIG" }));
}

TEST(FccCallIndexBuild, EveryCallOfTheRealSampleIsFoundAtItsFirstRecord)
{
    const QString path = sourceDir() + "/tests/fixtures/fcc/EN_daily_sample.dat";
    QFile sample(path);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = sample.readAll().split('\n');
    const auto index = FccCallIndex::build(path);
    ASSERT_TRUE(index);
    std::set<std::string> expected;
    qint64 offset = 0;
    FccRecordReader reader(*index);
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split('|');
        if (f.size() > 17 && !f[4].isEmpty()) {
            const std::string call = f[4].toStdString();
            const auto i = index->find(call);
            ASSERT_TRUE(i) << call;
            if (expected.insert(call).second) {
                EXPECT_EQ(index->offset(*i), std::uint32_t(offset)) << call;
                EXPECT_EQ(reader.record(*i)->city, f[16].toStdString()) << call;
            }
        }
        offset += line.size() + 1;
    }
    EXPECT_EQ(index->size(), expected.size());
}

TEST(FccCallIndexSearch, RangesHoldExactlyTheCallsAPlainScanFinds)
{
    std::mt19937 random(12);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    auto pick = [&](const std::string& from) { return from[random() % from.size()]; };
    std::set<std::string> unique;
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        std::string call(1, pick("AKNW"));
        if (random() % 2)
            call += pick(letters);
        call += pick("0123456789");
        for (int k = 0, n = 1 + int(random() % 3); k < n; ++k)
            call += pick(letters);
        unique.insert(call);
        text += enLine(i, call, "C") + "\n";
    }
    QTemporaryDir dir;
    const auto index = FccCallIndex::build(writeFile(dir, text));
    ASSERT_TRUE(index);
    ASSERT_EQ(calls(*index), std::vector<std::string>(unique.begin(), unique.end()));

    for (const std::string probe :
        { "K", "K5", "KA5", "W1A", "Z", "K5ABCDEFGHIJ", "AB", "A", "0", "5A", "QQ" }) {
        std::vector<std::string> starts, ends;
        for (const auto& c : unique) {
            if (c.starts_with(probe))
                starts.push_back(c);
            if (c.ends_with(probe))
                ends.push_back(c);
        }
        const auto [pf, pl] = index->prefixRange(probe);
        std::vector<std::string> gotStarts;
        for (std::size_t i = pf; i < pl; ++i)
            gotStarts.push_back(index->call(i));
        EXPECT_EQ(gotStarts, starts) << probe;

        const auto [sf, sl] = index->suffixRange(probe);
        std::vector<std::string> gotEnds;
        for (std::size_t p = sf; p < sl; ++p)
            gotEnds.push_back(index->call(index->endingAt(p)));
        std::sort(gotEnds.begin(), gotEnds.end());
        EXPECT_EQ(gotEnds, ends) << probe;
    }
    EXPECT_EQ(index->prefixRange("K-"), (std::pair<std::size_t, std::size_t> { 0, 0 }));
    EXPECT_EQ(index->suffixRange(""), (std::pair<std::size_t, std::size_t> { 0, 0 }));
    const std::string some = *std::next(unique.begin(), 1234);
    EXPECT_EQ(index->call(*index->find(some)), some);
    EXPECT_FALSE(index->find("K0ZZZZZ"));
}

TEST(FccCallIndexCache, KeptIndexIsTakenOnlyForTheSameFileUnchangedAndUndamaged)
{
    QTemporaryDir dir;
    const QString path
        = writeFile(dir, enLine(1, "K5ABC", "WACO") + "\n" + enLine(2, "W1AW", "NEWINGTON") + "\n");
    const auto built = FccCallIndex::build(path);
    ASSERT_TRUE(built);
    const QString cache = dir.filePath("cache/calls.idx");
    QString error;
    ASSERT_TRUE(built->save(cache, &error)) << error.toStdString();

    const auto loaded = FccCallIndex::load(cache, path, built->stamp(), &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(calls(*loaded), calls(*built));
    EXPECT_EQ(cities(*loaded), cities(*built));
    EXPECT_EQ(loaded->suffixRange("AW"), built->suffixRange("AW"));

    LicenceFileStamp other = built->stamp();
    other.modified += 1;
    EXPECT_FALSE(FccCallIndex::load(cache, path, other));
    other = built->stamp();
    other.size += 1;
    EXPECT_FALSE(FccCallIndex::load(cache, path, other));
    EXPECT_FALSE(FccCallIndex::load(cache, dir.filePath("other.dat"), built->stamp()));

    const QByteArray good = [&] {
        QFile f(cache);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    auto damage = [&](const QByteArray& bytes) {
        QFile f(cache);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        f.close();
        return FccCallIndex::load(cache, path, built->stamp(), &error);
    };
    QByteArray flipped = good;
    flipped[flipped.size() - 5] = char(flipped[flipped.size() - 5] ^ 0x10);
    EXPECT_FALSE(damage(flipped));
    EXPECT_FALSE(damage(good.left(good.size() - 4)));
    EXPECT_FALSE(damage(QByteArray("short")));
    EXPECT_FALSE(damage(QByteArray()));
    EXPECT_TRUE(damage(good));
}

TEST(FccCallIndexLicences, JoinedByIdentifierActiveRecordCountsElseTheLatest)
{
    QTemporaryDir dir;
    // enLine(n) has the identifier 1000000 + n.
    const QString path = writeFile(dir,
        enLine(1, "K5ABC", "WACO") + "\r\n" + enLine(2, "W1AW", "NEWINGTON") + "\r\n"
            + enLine(3, "K5ABC", "TULSA") + "\r\n" + enLine(4, "N0OLD", "BEND") + "\r\n"
            + enLine(5, "N0OLD", "OMAHA") + "\r\n" + enLine(6, "KX9NEW", "AURORA") + "\r\n");
    auto hd = [](int n, const char* call, const char* status, const char* granted, const char* expires,
                  const char* cancelled = "") {
        return "HD|" + std::to_string(1000000 + n) + "|||" + call + "|" + status + "|HA|" + granted + "|"
            + expires + "|" + cancelled + "|||N|||\r\n";
    };
    auto am = [](int n, const char* call, const char* cls) {
        return "AM|" + std::to_string(1000000 + n) + "|||" + call + "|" + cls + "|D|||||||||||\r\n";
    };
    // K5ABC: an older active record and a newer expired one; N0OLD: two lapsed, the
    // later grant counts; W1AW a club; KX9NEW has no HD or AM record.
    writeFile(dir,
        hd(1, "K5ABC", "A", "01/02/2016", "01/02/2026") + hd(3, "K5ABC", "E", "05/06/2012", "05/06/2022")
            + hd(2, "W1AW", "A", "03/04/2020", "03/04/2030") + hd(4, "N0OLD", "E", "01/01/2005", "01/01/2015")
            + hd(5, "N0OLD", "C", "01/01/2010", "01/01/2020", "09/30/2015"),
        "HD.dat");
    writeFile(dir,
        am(1, "K5ABC", "G") + am(3, "K5ABC", "T") + am(2, "W1AW", "") + am(4, "N0OLD", "N")
            + am(5, "N0OLD", "A"),
        "AM.dat");
    const auto index = FccCallIndex::build(path);
    ASSERT_TRUE(index);
    ASSERT_TRUE(index->hasLicences());
    EXPECT_EQ(NetLicenceText(index->licence("K5ABC"), true).text, "General, active to 2026-01-02");
    EXPECT_EQ(NetLicenceText(index->licence("k5abc"), true).text, "General, active to 2026-01-02");
    EXPECT_EQ(NetLicenceText(index->licence("W1AW"), true).text, "Active to 2030-03-04");
    EXPECT_EQ(NetLicenceText(index->licence("N0OLD"), true), (LicenceLabel { "CANCELLED 2015-09-30", true }));
    EXPECT_EQ(index->licence("N0OLD")->operatorClass, 'A');
    EXPECT_EQ(NetLicenceText(index->licence("KX9NEW"), true).text, "class and status unknown");
    EXPECT_EQ(NetLicenceText(index->licence("K1NONE"), true).text, "not in the FCC file");
    // Name and address come from the record of the licence that counts.
    EXPECT_EQ(cities(*index)[*index->find("K5ABC")], "WACO");
    EXPECT_EQ(cities(*index)[*index->find("N0OLD")], "OMAHA");

    // The cache keeps the licences, and is not taken once HD.dat has changed.
    const QString cache = dir.filePath("cache/calls.idx");
    ASSERT_TRUE(index->save(cache));
    const auto loaded = FccCallIndex::load(cache, path, index->stamp());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->hasLicences());
    for (std::size_t i = 0; i < index->size(); ++i)
        EXPECT_EQ(loaded->licence(i), index->licence(i)) << index->call(i);
    writeFile(dir, hd(1, "K5ABC", "C", "01/02/2016", "01/02/2026", "10/01/2025"), "HD.dat");
    EXPECT_FALSE(FccCallIndex::load(cache, path, index->stamp()));
    EXPECT_EQ(FccCallIndex::build(path)->licence("K5ABC")->status, 'C');

    // EN.dat alone: every licence unknown, and an index made so is not taken once the
    // detail files are there.
    QFile::remove(dir.filePath("HD.dat"));
    const auto plain = FccCallIndex::build(path);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->hasLicences());
    EXPECT_FALSE(plain->licence("K5ABC")->known());
    ASSERT_TRUE(plain->save(cache));
    EXPECT_TRUE(FccCallIndex::load(cache, path, plain->stamp()));
    writeFile(dir, hd(1, "K5ABC", "A", "01/02/2016", "01/02/2026"), "HD.dat");
    EXPECT_FALSE(FccCallIndex::load(cache, path, plain->stamp()));
}

class FccLoaderTest : public ::testing::Test {
protected:
    QString write(const std::string& text) { return writeFile(dir, text); }
    bool has(const FccIndexLoader& loader, const char* call)
    {
        const auto index = loader.index();
        return index && index->find(call).has_value();
    }
    QTemporaryDir dir;
    QString cacheFolder = dir.filePath("cache");
};

TEST_F(FccLoaderTest, ReadyFromTheFileThenFromTheCacheAndSaysSoWhenFinished)
{
    const QString path = write(enLine(1, "K5ABC", "WACO") + "\n");
    FccIndexLoader first;
    // Sent from the worker, received in this thread through its event loop.
    int finished = 0;
    QObject receiver;
    QObject::connect(&first, &FccIndexLoader::finished, &receiver, [&] {
        EXPECT_EQ(QThread::currentThread(), receiver.thread());
        ++finished;
    });
    EXPECT_EQ(first.state(), FccIndexLoader::State::NoFile);
    first.start(path, cacheFolder);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.state(), FccIndexLoader::State::Ready);
    EXPECT_EQ(first.origin(), FccIndexLoader::Origin::File);
    EXPECT_TRUE(has(first, "K5ABC"));
    for (int i = 0; i < 500 && finished == 0; ++i)
        QTest::qWait(10);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(QFile::exists(FccIndexLoader::cacheFileFor(cacheFolder, path)));

    FccIndexLoader second;
    second.start(path, cacheFolder);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.origin(), FccIndexLoader::Origin::Cache);
    EXPECT_TRUE(has(second, "K5ABC"));
    EXPECT_FALSE(second.refreshIfChanged()); // nothing changed
}

TEST_F(FccLoaderTest, IndexIsMadeAgainWhenTheFileChangesSizeOrTime)
{
    const std::string a = enLine(1, "K5ABC", "WACO") + "\n";
    const QString path = write(a);
    FccIndexLoader loader;
    loader.start(path, cacheFolder);
    ASSERT_TRUE(loader.waitForFinished(10000));
    ASSERT_TRUE(has(loader, "K5ABC"));

    // Longer: a record more.
    write(a + enLine(2, "W1NEW", "HARTFORD") + "\n");
    ASSERT_TRUE(loader.refreshIfChanged());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(loader.origin(), FccIndexLoader::Origin::File);
    EXPECT_TRUE(has(loader, "W1NEW"));

    // Same size, another call, another time: the cache of the same size is not taken.
    const QDateTime before = QFileInfo(path).lastModified();
    write(a + enLine(2, "W1OLD", "HARTFORD") + "\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(before.addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    ASSERT_TRUE(loader.refreshIfChanged());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(loader.origin(), FccIndexLoader::Origin::File);
    EXPECT_TRUE(has(loader, "W1OLD"));
    EXPECT_FALSE(has(loader, "W1NEW"));

    // A fresh start on the unchanged file takes the cache written last.
    FccIndexLoader again;
    again.start(path, cacheFolder);
    ASSERT_TRUE(again.waitForFinished(10000));
    EXPECT_EQ(again.origin(), FccIndexLoader::Origin::Cache);
    EXPECT_TRUE(has(again, "W1OLD"));
}

TEST_F(FccLoaderTest, MissingFileIsNoFileUntilItAppears)
{
    const QString path = dir.filePath("EN.dat");
    FccIndexLoader loader;
    loader.start(path, QString());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(loader.state(), FccIndexLoader::State::NoFile);
    EXPECT_FALSE(loader.index());
    EXPECT_FALSE(loader.refreshIfChanged());

    write(enLine(1, "K5ABC", "WACO"));
    ASSERT_TRUE(loader.refreshIfChanged());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(loader.state(), FccIndexLoader::State::Ready);
    EXPECT_TRUE(has(loader, "K5ABC"));
    EXPECT_FALSE(QFile::exists(cacheFolder)); // no cache folder given, none written

    QFile::remove(path);
    ASSERT_TRUE(loader.refreshIfChanged());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(loader.state(), FccIndexLoader::State::NoFile);
    EXPECT_FALSE(loader.index());
}

namespace {

// The entity, licence and class files of a real daily zip, written into dir as they are.
QString unpackRealDaily(const QTemporaryDir& dir)
{
    FccZip zip;
    EXPECT_TRUE(zip.open(sourceDir() + "/tests/fixtures/fcc/l_am_wed.zip")) << zip.error().toStdString();
    for (const char* name : { "EN.dat", "HD.dat", "AM.dat" }) {
        std::string text;
        EXPECT_TRUE(zip.forEachLine(name, [&text](std::string_view line) {
            text.append(line);
            text += "\r\n";
        }));
        writeFile(dir, text, name);
    }
    return dir.filePath("EN.dat");
}

// The identifier of the entity record at the offset the index keeps for call i.
std::uint32_t idAtOffset(const FccCallIndex& index, std::size_t i)
{
    QFile f(index.path());
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    f.seek(index.offset(i));
    const QByteArray line = f.readLine(4096);
    return LicenceRecordId(std::string_view(line.constData(), std::size_t(line.size()))).value_or(0);
}

// What HD.dat says of each identifier.
std::map<std::uint32_t, HdFields> headers(const QString& path, std::vector<std::string>& keep)
{
    std::map<std::uint32_t, HdFields> out;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    while (!f.atEnd()) {
        keep.push_back(f.readLine().trimmed().toStdString());
    }
    for (const std::string& line : keep)
        if (const auto hd = ParseHdRecord(line))
            out[hd->id] = *hd;
    return out;
}

} // namespace

TEST(FccCallIndexHolders, RealDailyShowsEveryCallWithTheRecordOfTheLicenceThatCounts)
{
    QTemporaryDir dir;
    const QString path = unpackRealDaily(dir);
    const auto index = FccCallIndex::build(path);
    ASSERT_TRUE(index);
    ASSERT_TRUE(index->hasLicences());
    FccRecordReader reader(*index);

    // Five calls changed hands: each shows its new holder, with that holder's licence;
    // the earlier holder's record keeps his own.
    struct Holder {
        const char* call;
        const char* lastName;
        const char* city;
        const char* licence;
        std::uint32_t earlier;
        char earlierStatus, earlierClass;
    };
    const Holder holders[] = {
        { "K7TEA", "HOFFER,", "KENT", "General, active to 2025-04-07", 3078416, 'C', 'E' },
        { "KD0GGY", "Miles,", "DRAKE", "Technician, active to 2034-03-25", 3072605, 'C', 0 },
        { "N6NGG", "Geoghegan,", "Newport Beach", "Technician, active to 2035-10-14", 717053, 'E', 'P' },
        { "N6RVT", "Dutton,", "Valencia", "Technician, active to 2035-08-21", 719364, 'E', 'G' },
        { "W5SCG", "GILBERT,", "GALVESTON", "Extra, active to 2035-10-27", 806470, 'E', 'G' },
    };
    for (const Holder& h : holders) {
        const auto i = index->find(h.call);
        ASSERT_TRUE(i) << h.call;
        const auto record = reader.record(*i);
        ASSERT_TRUE(record) << h.call;
        EXPECT_EQ(record->lastName, h.lastName) << h.call;
        EXPECT_EQ(record->city, h.city) << h.call;
        EXPECT_EQ(NetLicenceText(index->licence(h.call), true).text, h.licence) << h.call;
        EXPECT_FALSE(index->isCurrentHolder(h.call, h.earlier)) << h.call;
        EXPECT_TRUE(index->isCurrentHolder(h.call, idAtOffset(*index, *i))) << h.call;
        const auto earlier = index->licence(h.call, h.earlier);
        ASSERT_TRUE(earlier) << h.call;
        EXPECT_EQ(earlier->status, h.earlierStatus) << h.call;
        EXPECT_EQ(earlier->operatorClass, h.earlierClass) << h.call;
        EXPECT_EQ(index->licence(h.call, idAtOffset(*index, *i)), index->licence(h.call)) << h.call;
    }

    // Every call of the file: the record kept and the licence shown are one identifier's.
    std::vector<std::string> lines;
    const auto hd = headers(dir.filePath("HD.dat"), lines);
    for (std::size_t i = 0; i < index->size(); ++i) {
        const auto it = hd.find(idAtOffset(*index, i));
        ASSERT_NE(it, hd.end()) << index->call(i);
        EXPECT_EQ(index->licence(i).status, it->second.status) << index->call(i);
        EXPECT_EQ(index->licence(i).expires, it->second.expires) << index->call(i);
    }

    // The cache keeps who holds each call; one of the earlier version is not taken.
    const QString cache = dir.filePath("cache/calls.idx");
    ASSERT_TRUE(index->save(cache));
    const auto loaded = FccCallIndex::load(cache, path, index->stamp());
    ASSERT_TRUE(loaded);
    for (const Holder& h : holders) {
        EXPECT_EQ(loaded->offset(*loaded->find(h.call)), index->offset(*index->find(h.call)));
        EXPECT_EQ(loaded->licence(h.call, h.earlier), index->licence(h.call, h.earlier));
    }
    QFile file(cache);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[7] = '2'; // the previous version kept each call at its first record
    file.seek(0);
    file.write(bytes);
    file.close();
    QString error;
    EXPECT_FALSE(FccCallIndex::load(cache, path, index->stamp(), &error));
    EXPECT_EQ(error, "not a call index");
}

TEST(FccCallIndexHolders, ReissuedLapsedAndClubCallsShowOneLicenseeEach)
{
    QTemporaryDir dir;
    auto en = [](int id, const char* call, const char* name, const char* city) {
        return "EN|" + std::to_string(id) + "|||" + call + "|L|L0|" + name + "|||||||||1 MAIN ST|" + city
            + "|PA|19027|||000|1|I||||||\r\n";
    };
    auto hd = [](int id, const char* call, const char* status, const char* granted, const char* expires,
                  const char* cancelled = "", const char* changed = "") {
        std::string line = "HD|" + std::to_string(id) + "|||" + call + "|" + status + "|HA|" + granted + "|"
            + expires + "|" + cancelled + "|";
        for (int field = 11; field < 44; ++field)
            line += "|";
        return line + changed + "||||||\r\n";
    };
    auto am = [](int id, const char* call, const char* cls) {
        return "AM|" + std::to_string(id) + "|||" + call + "|" + cls + "|D|||||||||||\r\n";
    };
    // WJ3B reissued twice: the first holder's record comes first in the file, the current
    // one's last. W9SCA: a person's licence expired in 2000, the club holds the call now.
    // N4GONE: the only licence lapsed. K2SAME: two lapsed licences of the same grant, the
    // one cancelled later counts, though its identifier is the lower.
    const QString path = writeFile(dir,
        en(1001, "WJ3B", "ROSEN, EARL", "ELKINS PARK") + en(2002, "WJ3B", "SMITH, JAMES E", "FLORENCE")
            + en(1500, "W9SCA", "HOLT, WALTER", "PEORIA")
            + en(3003, "WJ3B", "BEDWELL, PRISCILLA", "JACKSONVILLE")
            + en(1600, "W9SCA", "SCOUTS AMATEUR RADIO CLUB", "URBANA")
            + en(1700, "N4GONE", "LAST, LEFT", "MACON") + en(1800, "K2SAME", "FIRST, ONE", "TROY")
            + en(1750, "K2SAME", "SECOND, TWO", "UTICA"),
        "EN.dat");
    writeFile(dir,
        hd(1001, "WJ3B", "C", "03/01/2001", "03/01/2011", "05/01/2013")
            + hd(2002, "WJ3B", "C", "06/01/2013", "06/01/2023", "07/01/2025")
            + hd(3003, "WJ3B", "A", "04/22/2025", "04/22/2035")
            + hd(1500, "W9SCA", "E", "01/05/1990", "01/05/2000")
            + hd(1600, "W9SCA", "A", "02/02/2020", "02/02/2030")
            + hd(1700, "N4GONE", "E", "08/08/2008", "08/08/2018")
            + hd(1800, "K2SAME", "C", "01/01/2010", "01/01/2020", "01/01/2019", "01/01/2019")
            + hd(1750, "K2SAME", "C", "01/01/2010", "01/01/2020", "03/03/2022", "03/03/2022"),
        "HD.dat");
    writeFile(dir,
        am(1001, "WJ3B", "G") + am(2002, "WJ3B", "A") + am(3003, "WJ3B", "E") + am(1500, "W9SCA", "T")
            + am(1600, "W9SCA", "") + am(1700, "N4GONE", "N") + am(1800, "K2SAME", "G")
            + am(1750, "K2SAME", "T"),
        "AM.dat");
    const auto index = FccCallIndex::build(path);
    ASSERT_TRUE(index);
    FccRecordReader reader(*index);
    auto shown = [&](const char* call) {
        const auto record = reader.record(*index->find(call));
        return record ? record->lastName + record->firstName + " / " + record->city + " / "
                + NetLicenceText(index->licence(call), true).text
                      : std::string("(unreadable)");
    };
    EXPECT_EQ(shown("WJ3B"), "BEDWELL, PRISCILLA / JACKSONVILLE / Extra, active to 2035-04-22");
    EXPECT_EQ(shown("W9SCA"), "SCOUTS AMATEUR RADIO CLUB / URBANA / Active to 2030-02-02");
    EXPECT_EQ(shown("N4GONE"), "LAST, LEFT / MACON / EXPIRED 2018-08-08");
    EXPECT_EQ(shown("K2SAME"), "SECOND, TWO / UTICA / CANCELLED 2022-03-03");
    // The earlier holders' own licences, by identifier.
    EXPECT_EQ(index->licence("WJ3B", 1001)->status, 'C');
    EXPECT_EQ(index->licence("WJ3B", 2002)->operatorClass, 'A');
    EXPECT_EQ(index->licence("W9SCA", 1500)->expires, LicenceDayOf(2000, 1, 5));
    EXPECT_EQ(index->licence("W9SCA", 1600), index->licence("W9SCA"));
    EXPECT_FALSE(index->licence("K0NONE", 1001));
    EXPECT_FALSE(index->isCurrentHolder("WJ3B", 2002));
    EXPECT_TRUE(index->isCurrentHolder("WJ3B", 3003));

    // Without HD.dat and AM.dat nothing says who holds a call: its first record is kept.
    QFile::remove(dir.filePath("HD.dat"));
    const auto plain = FccCallIndex::build(path);
    ASSERT_TRUE(plain);
    EXPECT_EQ(FccRecordReader(*plain).record(*plain->find("WJ3B"))->city, "ELKINS PARK");
}
