// The licence file rules without the page: the head, the prefix list of whole lines,
// the exact call search, the split of a record, saving the list.
#include "TestSupport.h"

#include "licence/LicenceFile.h"
#include "licence/LicenceList.h"
#include "licence/LicenceRecord.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kExample
    = "EN|1234567|||N0CALL|L|L01234567|DOE, JANE Q|JANE|Q|DOE|||||1 MAIN ST|ANYTOWN|TX|"
      "75001|||000|0001234567|I||||||";
const std::string kSixDigit
    = "EN|123456|||K5ABC|L|L00000001|SMITH, JOHN|JOHN||SMITH|||||2 OAK ST|WACO|TX|76701"
      "|||000|0000000001|I||||||";
const std::string kClub
    = "EN|2549677|||K0ARC|L|L00728874|ANYTOWN AMATEUR RADIO CLUB||||||||915 Elm St|Aurora|CO|"
      "80011||ANN B COOK|000|0009437070|B||||||";

std::vector<std::string> lines(const LicenceList& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.emplace_back(list.line(i));
    return out;
}

std::string join(const std::vector<std::string>& fileLines, const char* end, bool endLast = true)
{
    std::string text;
    for (std::size_t i = 0; i < fileLines.size(); ++i) {
        text += fileLines[i];
        if (endLast || i + 1 < fileLines.size())
            text += end;
    }
    return text;
}

// A file line of exactly length characters for call, padded in the street field.
std::string lineOfLength(const std::string& call, std::size_t length)
{
    std::string line = "EN|7654321|||" + call + "|L|L01111111|ROE, RAY|RAY||ROE|||||";
    const std::string tail = "|PLAINS|KS|67869|||000|0002222222|I||||||";
    line += std::string(length - line.size() - tail.size(), 'X') + tail;
    return line;
}

class LicenceFileTest : public ::testing::Test {
protected:
    QString write(const std::string& bytes, const char* name = "EN.dat")
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
        return path;
    }
    QTemporaryDir dir;
};

TEST(LicenceRecord, SplitOfTheExampleLine)
{
    const LicenceRecord r = SplitLicenceRecord(StripLicenceHead(kExample));
    EXPECT_EQ(r.call, "  N0CALL");
    EXPECT_EQ(r.lastName, "DOE,");
    EXPECT_EQ(r.firstName, " JANE Q");
    EXPECT_EQ(r.city, "ANYTOWN");
    EXPECT_EQ(r.state, "TX");
}

TEST(LicenceRecord, ClubLicenceKeepsItsWholeNameAndItsCityAndState)
{
    const LicenceRecord r = SplitLicenceRecord(StripLicenceHead(kClub));
    EXPECT_EQ(r.call, "  K0ARC");
    EXPECT_EQ(r.lastName, "ANYTOWN AMATEUR RADIO CLUB");
    EXPECT_EQ(r.firstName, "");
    EXPECT_EQ(r.city, "Aurora");
    EXPECT_EQ(r.state, "CO");
}

TEST(LicenceRecord, ShortAndOddLinesGiveShorterTexts)
{
    const LicenceRecord empty = SplitLicenceRecord("");
    EXPECT_EQ(empty.call, "  ");
    EXPECT_EQ(empty.lastName + empty.firstName + empty.city + empty.state, "");

    const LicenceRecord noBar = SplitLicenceRecord("W1AW");
    EXPECT_EQ(noBar.call, "  W1AW");
    EXPECT_EQ(noBar.city, "");

    // A second comma stays in the first-name text.
    const LicenceRecord commas = SplitLicenceRecord("K1X|L|L1|DOE, JOHN, JR|");
    EXPECT_EQ(commas.lastName, "DOE,");
    EXPECT_EQ(commas.firstName, " JOHN, JR");
    EXPECT_EQ(commas.city, "");
}

TEST(LicenceRecord, HeadIsRecognisedByItsSeparators)
{
    EXPECT_EQ(StripLicenceHead(kExample).substr(0, 7), "N0CALL|");
    EXPECT_EQ(StripLicenceHead(kSixDigit).substr(0, 6), "K5ABC|");
    // Identifiers shorter or longer than usual, and non-empty file numbers.
    EXPECT_EQ(StripLicenceHead("EN|12|||W1AW|L"), "W1AW|L");
    EXPECT_EQ(StripLicenceHead("EN|123456789|A0001|E7|W1AW|L"), "W1AW|L");
    // A line without a whole head is all head.
    EXPECT_EQ(StripLicenceHead("EN|123456|||"), "");
    EXPECT_EQ(StripLicenceHead("EN|123456||"), "");
    EXPECT_EQ(StripLicenceHead(""), "");

    EXPECT_EQ(LicenceCallSign("N0CALL|L|x"), "N0CALL");
    EXPECT_EQ(LicenceCallSign("N0CALL"), "N0CALL");
    EXPECT_EQ(LicenceCallSign("|L"), "");
}

TEST(LicenceLines, SixAndSevenDigitIdentifiersBothListFromTheCallSign)
{
    const auto list = lines(ScanLicenceText(join({ kSixDigit, kExample }, "\r\n"), ""));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], kSixDigit.substr(12));
    EXPECT_EQ(list[1], kExample.substr(13));
}

TEST(LicenceLines, LineEndsAreNotPartOfTheLinesInLfAndCrLfFiles)
{
    const std::vector<std::string> file = { kSixDigit, kExample, kClub };
    const auto lf = lines(ScanLicenceText(join(file, "\n"), ""));
    const auto crlf = lines(ScanLicenceText(join(file, "\r\n"), ""));
    const auto mixed = lines(ScanLicenceText(kSixDigit + "\n" + kExample + "\r\n" + kClub, ""));
    ASSERT_EQ(lf.size(), 3u);
    EXPECT_EQ(lf, crlf);
    EXPECT_EQ(lf, mixed);
    EXPECT_EQ(lf[2], kClub.substr(13));
    for (const auto& l : lf)
        EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
}

TEST(LicenceLines, CrAloneEndsALineAndCrCrLfIsOneLineEnd)
{
    const std::vector<std::string> file = { kSixDigit, kExample, kClub };
    const auto lf = lines(ScanLicenceText(join(file, "\n"), ""));
    ASSERT_EQ(lf.size(), 3u);
    EXPECT_EQ(lines(ScanLicenceText(join(file, "\r"), "")), lf);
    EXPECT_EQ(lines(ScanLicenceText(join(file, "\r", false), "")), lf);
    EXPECT_EQ(lines(ScanLicenceText(join(file, "\r\r\n"), "")), lf);
    EXPECT_EQ(lines(ScanLicenceText(kSixDigit + "\r" + kExample + "\r\r\n" + kClub + "\n", "")), lf);
    // Every record of a CR-only file can be found, not only the first.
    const LicenceList list = ScanLicenceText(join(file, "\r"), "");
    EXPECT_EQ(FindCallInList(list, "N0CALL"), 1);
    EXPECT_EQ(FindCallInList(list, "K0ARC"), 2);
    EXPECT_EQ(lines(ScanLicenceText(join(file, "\r"), "K0")), std::vector<std::string> { kClub.substr(13) });
    // Two CRs with nothing between are an empty line, as two LFs are.
    EXPECT_EQ(lines(ScanLicenceText(kSixDigit + "\r\r" + kExample, "")),
        lines(ScanLicenceText(kSixDigit + "\n\n" + kExample, "")));
    EXPECT_EQ(lines(ScanLicenceText(kSixDigit + "\r\r" + kExample, "")).size(), 3u);
}

TEST(LicenceLines, LastLineWithoutLineEndIsListedOnce)
{
    for (const char* end : { "\n", "\r\n" }) {
        const auto ended = lines(ScanLicenceText(join({ kSixDigit, kExample }, end, true), "N"));
        const auto unended = lines(ScanLicenceText(join({ kSixDigit, kExample }, end, false), "N"));
        EXPECT_EQ(ended, std::vector<std::string> { kExample.substr(13) });
        EXPECT_EQ(unended, ended);
    }
    EXPECT_EQ(ScanLicenceText("", "").size(), 0u);
}

TEST(LicenceLines, LongLineIsOneRecordListedWhole)
{
    const std::string longLine = lineOfLength("KD5LONG", 200);
    ASSERT_EQ(longLine.size(), 200u);
    const std::string text = join({ kSixDigit, longLine, kExample }, "\r\n");
    const auto all = lines(ScanLicenceText(text, ""));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], longLine.substr(13));
    // The tail of the long line is no record of its own: nothing but the line itself
    // begins with its call sign, or with a tail's text.
    EXPECT_EQ(lines(ScanLicenceText(text, "KD5LONG")).size(), 1u);
    EXPECT_EQ(lines(ScanLicenceText(text, "XX")).size(), 0u);
    const std::string huge = lineOfLength("W9HUGE", 100000);
    const auto one = lines(ScanLicenceText(join({ huge, kSixDigit }, "\n"), "W9"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], huge.substr(13));
}

TEST(LicenceLines, PrefixIsExactAnchoredAndCaseSensitive)
{
    const std::string other
        = "EN|1111111|||KN0ZZ|L|L1|ZED, ZOE|ZOE||ZED|||||1 A ST|TOWN|OK|1|||000|1|I||||||";
    const std::string text = join({ kExample, other, kSixDigit }, "\r\n");
    EXPECT_EQ(lines(ScanLicenceText(text, "N0")), std::vector<std::string> { kExample.substr(13) });
    EXPECT_EQ(ScanLicenceText(text, "K").size(), 2u);
    EXPECT_EQ(ScanLicenceText(text, "n0").size(), 0u);
    EXPECT_EQ(ScanLicenceText(text, "N0CALL|").size(), 1u);
    EXPECT_EQ(ScanLicenceText(text, "N0CALLS").size(), 0u);
    // An empty prefix lists every line, even one without a whole head.
    EXPECT_EQ(lines(ScanLicenceText(text + "EN|1|\r\n", "")).size(), 4u);
}

TEST_F(LicenceFileTest, BuildsAppendAndReturnTheWholeCount)
{
    const QString path = write(join({ kSixDigit, kExample, kClub }, "\r\n"));
    LicenceList list;
    EXPECT_EQ(BuildPrefixList(path, "", list), 3);
    EXPECT_EQ(BuildPrefixList(path, "", list), 6);
    EXPECT_EQ(BuildPrefixList(path, "K", list), 8);
    const auto all = lines(list);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 3),
        std::vector<std::string>(all.begin() + 3, all.begin() + 6));
    EXPECT_EQ(all[6], kSixDigit.substr(12));
    EXPECT_EQ(all[7], kClub.substr(13));
}

TEST_F(LicenceFileTest, UnreadableFileLeavesTheListAsItWas)
{
    LicenceList list;
    ASSERT_EQ(BuildPrefixList(write(kExample), "", list), 1);
    QString error;
    EXPECT_EQ(BuildPrefixList(dir.filePath("missing.dat"), "", list, &error), -1);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(BuildPrefixList(dir.path(), "", list, &error), -1); // a folder
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(lines(list), std::vector<std::string> { kExample.substr(13) });
}

TEST_F(LicenceFileTest, StoppedReadingGivesNoLines)
{
    const QString path = write(join({ kSixDigit, kExample, kClub }, "\r\n"));
    const std::atomic<bool> stop { true };
    const LicenceFileScan stopped = ScanLicenceFile(path, "", &stop);
    EXPECT_FALSE(stopped.ok());
    EXPECT_EQ(stopped.lines.size(), 0u);
    const std::atomic<bool> go { false };
    EXPECT_EQ(ScanLicenceFile(path, "", &go).lines.size(), 3u);
}

TEST(LicenceSearch, ExactWholeCaseSensitiveAndFirstOfEqualCalls)
{
    LicenceList list = ScanLicenceText(join({ kSixDigit, kExample, kClub, kExample }, "\n"), "");
    list.append(ScanLicenceText("EN|1|||W1AW\nEN|2|||KX1Y|L|second\nEN|3|||KX1Y|L|third\n", ""));
    EXPECT_EQ(FindCallInList(list, "N0CALL"), 1);
    EXPECT_EQ(FindCallInList(list, "N0CAL"), -1);
    EXPECT_EQ(FindCallInList(list, "n0call"), -1);
    EXPECT_EQ(FindCallInList(list, "N0CALL "), -1);
    EXPECT_EQ(FindCallInList(list, "N0CALL|L"), -1);
    EXPECT_EQ(FindCallInList(list, "K0ARC"), 2);
    EXPECT_EQ(FindCallInList(list, "W1AW"), 4); // a line without "|" is its own call sign
    EXPECT_EQ(FindCallInList(list, "KX1Y"), 5); // first of two, in an appended build
    EXPECT_EQ(FindCallInList(list, ""), -1);
    EXPECT_EQ(FindCallInList(LicenceList(), "N0CALL"), -1);
}

TEST(LicenceSearch, EveryRecordOfTheRealSampleSplitsIntoItsFields)
{
    QFile sample(sourceDir() + "/tests/fixtures/fcc/EN_daily_sample.dat");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray bytes = sample.readAll();
    const LicenceList list
        = ScanLicenceText(std::string_view(bytes.constData(), std::size_t(bytes.size())), "");
    const QList<QByteArray> fileLines = bytes.split('\n');
    ASSERT_EQ(list.size(), 473u);
    ASSERT_EQ(fileLines.size(), 474); // the last line ends with CR LF
    int clubs = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const QList<QByteArray> f = fileLines[qsizetype(i)].chopped(1).split('|');
        ASSERT_GE(f.size(), 18);
        const LicenceRecord r = SplitLicenceRecord(list.line(i));
        EXPECT_EQ(r.call, "  " + f[4].toStdString()) << i;
        const qsizetype comma = f[7].indexOf(',');
        clubs += comma < 0;
        EXPECT_EQ(r.lastName, (comma < 0 ? f[7] : f[7].left(comma + 1)).toStdString()) << i;
        EXPECT_EQ(r.firstName, (comma < 0 ? QByteArray() : f[7].mid(comma + 1)).toStdString()) << i;
        EXPECT_EQ(r.city, f[16].toStdString()) << i;
        EXPECT_EQ(r.state, f[17].toStdString()) << i;
        EXPECT_EQ(FindCallInList(list, f[4].toStdString()) >= 0, !f[4].isEmpty()) << i;
    }
    EXPECT_GT(clubs, 0);
}

namespace {

// The records of the real sample, without their line ends, split into fields.
std::vector<std::vector<std::string>> sampleRecords()
{
    QFile sample(sourceDir() + "/tests/fixtures/fcc/EN_daily_sample.dat");
    std::vector<std::vector<std::string>> records;
    if (!sample.open(QIODevice::ReadOnly))
        return records;
    for (QByteArray line : sample.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        std::vector<std::string> fields;
        for (const QByteArray& f : line.split('|'))
            fields.push_back(f.toStdString());
        records.push_back(std::move(fields));
    }
    return records;
}

std::string joinFields(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "|" : "") + fields[i];
    return line;
}

} // namespace

TEST(LicenceRecord, StrayBarInStreetOrNameOfRealRecordsStillGivesTheirCityStateAndName)
{
    const auto records = sampleRecords();
    ASSERT_EQ(records.size(), 473u);
    int people = 0;
    for (const auto& fields : records) {
        ASSERT_EQ(fields.size(), 30u);
        const LicenceRecord clean = SplitLicenceRecord(StripLicenceHead(joinFields(fields)));
        const std::string& name = fields[7];
        const std::string& street = fields[15];
        const auto comma = name.find(',');
        const std::string call = fields[4];
        // One "|" added in the street, in the name before its comma, and after it.
        std::vector<std::pair<const char*, std::vector<std::string>>> strays;
        if (street.size() > 1) {
            auto f = fields;
            f[15].insert(street.size() / 2, "|");
            strays.push_back({ "street", f });
        }
        if (comma != std::string::npos && comma > 1 && comma + 2 < name.size()) {
            auto before = fields;
            before[7].insert(comma, "|");
            strays.push_back({ "name before comma", before });
            auto after = fields;
            after[7].insert(comma + 2, "|");
            strays.push_back({ "name after comma", after });
            ++people;
        }
        for (const auto& [where, f] : strays) {
            const std::string line = joinFields(f);
            const LicenceRecord r = SplitLicenceRecord(StripLicenceHead(line));
            EXPECT_EQ(r.city, fields[16]) << where << ": " << line;
            EXPECT_EQ(r.state, fields[17]) << where << ": " << line;
            EXPECT_EQ(r.call, "  " + call) << where << ": " << line;
            EXPECT_EQ(r.lastName, clean.lastName) << where << ": " << line;
            EXPECT_EQ(r.firstName, clean.firstName) << where << ": " << line;
        }
    }
    EXPECT_GT(people, 400);
}

TEST(LicenceRecord, RecordsOfThirtyFieldsOrFewerAreSplitFromTheStart)
{
    // The older layout of 27 fields: city and state stand at the same places.
    const std::string old27
        = "EN|1234567|||N0OLD|L|L01234567|OLD, OLLIE|OLLIE||OLD|||||9 ELM ST|OLDTOWN|KS|66001|||000|1|I|||";
    const LicenceRecord r = SplitLicenceRecord(StripLicenceHead(old27));
    EXPECT_EQ(r.lastName, "OLD,");
    EXPECT_EQ(r.firstName, " OLLIE");
    EXPECT_EQ(r.city, "OLDTOWN");
    EXPECT_EQ(r.state, "KS");
    // A 27-field record with one stray "|" in its street has 28 fields: still counted
    // from the start, as the layout it was written for says.
    const std::string stray
        = "EN|1234567|||N0OLD|L|L01234567|OLD, OLLIE|OLLIE||OLD|||||9 ELM|ST|OLDTOWN|KS|66001|||000|1|I|||";
    EXPECT_EQ(SplitLicenceRecord(StripLicenceHead(stray)).city, "ST");
    // A club record of 31 fields, the stray "|" in its name: whole name, city and state.
    const std::string club
        = "EN|2549677|||K0ARC|L|L00728874|ANYTOWN AMATEUR| RADIO CLUB||||||||915 Elm St|Aurora|CO|"
          "80011||ANN B COOK|000|0009437070|B||||||";
    const LicenceRecord c = SplitLicenceRecord(StripLicenceHead(club));
    EXPECT_EQ(c.lastName, "ANYTOWN AMATEUR RADIO CLUB");
    EXPECT_EQ(c.firstName, "");
    EXPECT_EQ(c.city, "Aurora");
    EXPECT_EQ(c.state, "CO");
    // Published GMRS lines of 36 fields: city and state from the end.
    const std::string gmrs36
        = "EN|3000001|||WRXX123|L|L09999999|ROE, RITA|RITA||ROE|||||1 A ST|B|C|D|E|F|G|Tulsa|OK|"
          "74101|||000|0000000001|I||||||";
    const LicenceRecord g = SplitLicenceRecord(StripLicenceHead(gmrs36));
    EXPECT_EQ(g.city, "Tulsa");
    EXPECT_EQ(g.state, "OK");
    EXPECT_EQ(g.lastName, "ROE,");
    EXPECT_EQ(g.firstName, " RITA");
}

TEST(LicenceSearch, ListedLineCostsEightBytesBesideTheFile)
{
    QFile sample(sourceDir() + "/tests/fixtures/fcc/EN_daily_sample.dat");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray bytes = sample.readAll();
    std::string many;
    for (int i = 0; i < 120; ++i)
        many.append(bytes.constData(), std::size_t(bytes.size()));
    const LicenceList list = ScanLicenceText(many, "K");
    ASSERT_EQ(list.size(), 120u * 383u);
    EXPECT_LE(list.memoryBytes(), 8 * list.size() + 1024);
}

// Not built for Windows: Windows lets no file that is open be renamed over (the import never does so: each
// import is a set of its own).
#ifndef _WIN32
TEST_F(LicenceFileTest, LinesOfEarlierBuildsStayAsReadWhenTheFileIsReplaced)
{
    // The import replaces the licence file by renaming a new one over it: the lines
    // already listed keep the text they were read from, and a new build reads the new file.
    std::vector<std::string> file;
    for (int i = 0; i < 60; ++i)
        file.push_back(lineOfLength("K" + std::to_string(i), 100 + i));
    file.insert(file.begin() + 30, lineOfLength("KBIG", 1000));
    const QString path = write(join(file, "\r\n"));
    std::vector<std::string> expected;
    for (const auto& l : file)
        expected.push_back(l.substr(13));

    LicenceList list;
    ASSERT_EQ(BuildPrefixList(path, "K", list), 61);
    EXPECT_EQ(list.maxLineLength(), 1000u - 13u);

    // Written beside the file and renamed over it, as the import does.
    QSaveFile next(path);
    ASSERT_TRUE(next.open(QIODevice::WriteOnly));
    next.write(QByteArray::fromStdString(kExample + "\r\n" + kClub + "\r\n"));
    ASSERT_TRUE(next.commit());

    ASSERT_EQ(BuildPrefixList(path, "K", list), 62);
    std::vector<std::string> both = expected;
    both.push_back(kClub.substr(13));
    EXPECT_EQ(lines(list), both);
    EXPECT_EQ(FindCallInList(list, "K59"), 60);
    EXPECT_EQ(FindCallInList(list, "KBIG"), 30);
    EXPECT_EQ(FindCallInList(list, "K0ARC"), 61);

    // Moved and cleared lists keep nothing of the texts.
    LicenceList moved;
    moved.append(std::move(list));
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(lines(moved), both);
    moved.clear();
    EXPECT_EQ(moved.size(), 0u);
    EXPECT_EQ(FindCallInList(moved, "K59"), -1);
}
#endif

TEST_F(LicenceFileTest, SavedListIsEveryLineWithCrLf)
{
    const LicenceList list = ScanLicenceText(join({ kSixDigit, kExample }, "\n") + "EN|1|||\n", "");
    const QString path = dir.filePath("list.txt");
    EXPECT_EQ(SaveLicenceList(list, path), QString());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        saved.readAll().toStdString(), kSixDigit.substr(12) + "\r\n" + kExample.substr(13) + "\r\n\r\n");

    EXPECT_EQ(SaveLicenceList(LicenceList(), dir.filePath("empty.txt")), QString());
    EXPECT_EQ(QFile(dir.filePath("empty.txt")).size(), 0);
}

TEST_F(LicenceFileTest, FailedSaveSaysWhyAndLeavesNoFileBehind)
{
    const LicenceList list = ScanLicenceText(kExample, "");
    EXPECT_FALSE(SaveLicenceList(list, dir.filePath("no/such/folder/list.txt")).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/list.txt")));
    EXPECT_FALSE(SaveLicenceList(list, dir.path()).isEmpty()); // a folder
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

} // namespace
