// Reading through the separate reader process: every failure, down to a crash or a hang of
// the reader, must come back as a DataError that names the file's full path.
#include "data/IsolatedReader.h"
#include "data/DataError.h"
#include "data/RosterTable.h"
#include "data/TextTableFormat.h"

#include "DataFixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Restores the reader's program and limits when a test is done with them.
struct ReaderSettings {
    IsolatedReader::Limits saved = IsolatedReader::limits();
    ~ReaderSettings()
    {
        IsolatedReader::setLimits(saved);
        IsolatedReader::setProgram({});
    }
};

std::string openError(const QString& file, const QString& table)
{
    try {
        openRosterTable(file, table);
    } catch (const DataError& e) {
        return e.what();
    }
    return "(no error)";
}

bool contains(const std::string& text, const QString& part)
{
    return text.find(part.toStdString()) != std::string::npos;
}

// A roster of a few hundred members over several pages, like the real ones.
jet4::Table fixtureRoster()
{
    QList<QStringList> rows { { "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" } };
    for (int i = 0; i < 300; ++i)
        rows << QStringList { QString("K%1R%2").arg(i % 10).arg(i), QString::number(i % 10), "First",
            i % 3 ? "Sue" : null, "Lastname", "", "Fredericksburg", "TX" };
    return fixtureTable("Amber", rows);
}

#ifndef _WIN32
QString script(const QTemporaryDir& dir, const QString& name, const QByteArray& body)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
#endif

} // namespace

TEST(IsolatedReader, IsFoundBesideTheProgram)
{
    const QString program = IsolatedReader::readerProgram();
    ASSERT_FALSE(program.isEmpty());
    EXPECT_EQ(QFileInfo(program).absolutePath(),
        QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
}

TEST(IsolatedReader, MissingFilesAndTablesAreNamedWithTheirFullPath)
{
    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    writeFixtureDatabase("roster.mdb", { fixtureRoster() });
    const QString full = QDir::toNativeSeparators(QFileInfo("roster.mdb").absoluteFilePath());

    // A relative name is reported with its full path.
    const std::string missingFile = openError("nothere.mdb", "Amber");
    EXPECT_TRUE(contains(missingFile, QDir::toNativeSeparators(dir.filePath("nothere.mdb")))) << missingFile;
    EXPECT_TRUE(contains(missingFile, "does not exist")) << missingFile;

    const std::string missingTable = openError("roster.mdb", "ABC");
    EXPECT_TRUE(contains(missingTable, full)) << missingTable;
    EXPECT_TRUE(contains(missingTable, "no table \"ABC\"")) << missingTable;
    EXPECT_TRUE(contains(missingTable, "it holds: Amber")) << missingTable;

    const std::string folder = openError(dir.path(), "Amber");
    EXPECT_TRUE(contains(folder, "folder")) << folder;

    writeBytes("notes.mdb", "CALL,AREA\nK5ABC,5\n");
    const std::string notADatabase = openError("notes.mdb", "Amber");
    EXPECT_TRUE(contains(notADatabase, QDir::toNativeSeparators(dir.filePath("notes.mdb")))) << notADatabase;
    EXPECT_TRUE(contains(notADatabase, "not an Access database")) << notADatabase;

    // Table names are found without regard to case, also beyond ASCII.
    EXPECT_EQ(openRosterTable("roster.mdb", "AMBER").recordCount(), 300);
    writeFixtureDatabase("club.mdb", { fixtureTable("Übersicht", { { "Call" }, { "K5ABC" } }) });
    EXPECT_EQ(openRosterTable("club.mdb", "übersicht").recordCount(), 1);
    QDir::setCurrent(saved);
}

TEST(IsolatedReader, EveryKindOfReaderFailureBecomesADataError)
{
    ReaderSettings restore;
    QTemporaryDir dir;
    const QString file = dir.filePath("roster.mdb");
    writeFixtureDatabase(file, { fixtureRoster() });
    const QString full = QDir::toNativeSeparators(file);
    // The failing reader (tests/child/FailingReader.cpp) fails as the variable tells it.
    const QByteArray kept = qgetenv("VELMORA_FAILING_READER");
    IsolatedReader::setProgram(binaryDir() + "/bin/velmora-failing-reader");
    auto failsWith = [&](const QByteArray& how, const QString& part) {
        qputenv("VELMORA_FAILING_READER", how);
        const std::string text = openError(file, "Amber");
        EXPECT_TRUE(contains(text, full)) << text;
        EXPECT_TRUE(contains(text, part)) << "expected \"" << part.toStdString() << "\" in: " << text;
    };
    failsWith("crash", "the reader stopped on it");
    failsWith("status:3", "status 3");
    failsWith("noise:it has no table \"X\"", "it has no table \"X\"");
    failsWith("bytes:56545431ffffffff", "could not be understood"); // "VTT1", then a count of -1
    // One column named "A" and five rows claimed, none given.
    failsWith("bytes:565454310100000001000000410005000000", "row count does not match");
    failsWith("bytes:67617262616765", "could not be understood"); // "garbage"
    IsolatedReader::setProgram(dir.filePath("no-such-reader"));
    EXPECT_TRUE(contains(openError(file, "Amber"), "could not be started"));

    // A reader that hangs is stopped at the time limit.
    IsolatedReader::setLimits({ 500, IsolatedReader::limits().memoryBytes });
    QElapsedTimer clock;
    clock.start();
    IsolatedReader::setProgram(binaryDir() + "/bin/velmora-failing-reader");
    failsWith("hang", "took longer than 0.5 seconds");
    EXPECT_LT(clock.elapsed(), 10000);
    kept.isNull() ? qunsetenv("VELMORA_FAILING_READER") : qputenv("VELMORA_FAILING_READER", kept);
}

// Not built for Windows, which has no limits of this kind for a process.
#ifndef _WIN32
TEST(IsolatedReader, RunsTheReaderWithMemoryAndCoreLimits)
{
    ReaderSettings restore;
    QTemporaryDir dir;
    const QString file = dir.filePath("roster.mdb");
    writeFixtureDatabase(file, { fixtureRoster() });
    IsolatedReader::setLimits({ 5000, 256LL * 1024 * 1024 });
    IsolatedReader::setProgram(script(dir, "limits.sh",
        "echo \"error: core $(ulimit -c) space $(ulimit -v) asan $ASAN_OPTIONS\" >&2; exit 1"));
    const std::string text = openError(file, "Amber");
    EXPECT_TRUE(contains(text, "core 0 ")) << text;
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(contains(text, "hard_rss_limit_mb=256")) << text;
#else
    EXPECT_TRUE(contains(text, "space 262144 ")) << text; // in KiB
#endif
}
#endif

TEST(IsolatedReader, ReadsRealFilesWithinTheLimits)
{
    ReaderSettings restore;
    QTemporaryDir dir;
    const QString file = dir.filePath("roster.mdb");
    writeFixtureDatabase(file, { fixtureRoster() });
    IsolatedReader::setLimits({ 5000, 512LL * 1024 * 1024 });
    const TextTable t = IsolatedReader::readMdbTable(file, "Amber");
    ASSERT_EQ(t.rows.size(), 300u);
    EXPECT_EQ(t.columns.size(), 8);
    EXPECT_EQ(
        t.rows[299], QStringList({ "K9R299", "9", "First", "Sue", "Lastname", "", "Fredericksburg", "TX" }));
    EXPECT_EQ(t.rows[0][3], "") << "null";
}

// Damaged copies of a good file must each give a clear DataError naming the file, or a table of
// sound shape; never a crash of the program or a hang.
class DamagedDatabases : public ::testing::Test {
protected:
    void SetUp() override
    {
        IsolatedReader::setLimits({ 3000, 512LL * 1024 * 1024 });
        const QString good = dir.filePath("good.mdb");
        writeFixtureDatabase(good, { fixtureRoster() });
        original = fileBytes(good);
        pages = int(original.size() / 4096);
        ASSERT_GE(pages, 8);
    }

    void add(const std::string& what, const QByteArray& bytes) { variants.emplace_back(what, bytes); }

    // Reads every variant; the number that failed with an error.
    int readAll()
    {
        const QString damaged = dir.filePath("damaged.mdb");
        const QString full = QDir::toNativeSeparators(damaged);
        int errors = 0;
        for (const auto& [what, bytes] : variants) {
            writeBytes(damaged, bytes);
            try {
                const RosterTable t = openRosterTable(damaged, "Amber");
                EXPECT_LE(t.columns().size(), 255) << what;
                EXPECT_LE(t.recordCount(), 300 * 2) << what;
            } catch (const DataError& e) {
                ++errors;
                EXPECT_TRUE(contains(e.what(), full)) << what << ": " << e.what();
                if (qEnvironmentVariableIsSet("VELMORA_SHOW_DAMAGE"))
                    std::cout << what << ": " << e.what() << "\n";
            }
        }
        std::cout << "[          ] " << variants.size() << " damaged databases, " << errors << " errors\n";
        return errors;
    }

    ReaderSettings restore;
    QTemporaryDir dir;
    QByteArray original;
    int pages = 0;
    std::vector<std::pair<std::string, QByteArray>> variants;
};

TEST_F(DamagedDatabases, CutShortOrWithPagesWipedOut)
{
    for (qsizetype size : { qsizetype(0), qsizetype(1), qsizetype(100), qsizetype(4095), qsizetype(4096),
             qsizetype(8192), qsizetype(3 * 4096 + 17), original.size() - 4096, original.size() - 1 })
        add("cut to " + std::to_string(size), original.left(size));
    for (int p = 0; p < pages; ++p) {
        QByteArray zeroed = original;
        zeroed.replace(p * 4096, 4096, QByteArray(4096, '\0'));
        add("page " + std::to_string(p) + " zeroed", zeroed);
        QByteArray overwritten = original;
        for (int k = 0; k < 4096; k += 7)
            overwritten[p * 4096 + k] = char(0xFF);
        add("page " + std::to_string(p) + " overwritten", overwritten);
    }
    const int errors = readAll();
    EXPECT_GE(errors, 9 + pages) << "cut files and wiped pages cannot be read";
}

// Single changed bytes where the structure lives: page headers, table definitions (counts,
// page maps, column descriptors), row offsets and the ends of rows (null masks, offsets of
// the variable columns).
const int structureOffsets[] = { 0, 1, 2, 4, 8, 12, 14, 16, 40, 43, 45, 55, 56, 59, 63, 70, 88, 4094, 4095 };

TEST_F(DamagedDatabases, WithBytesChangedInTheHeaderAndTheCatalog)
{
    // Pages 0 to 3: header, usage maps, catalog definition and catalog records.
    for (int p = 0; p < 4; ++p)
        for (int o : structureOffsets) {
            const unsigned char x = (o % 2) ? 0x01 : 0xFF;
            QByteArray v = original;
            v[p * 4096 + o] = char(v[p * 4096 + o] ^ x);
            add("page " + std::to_string(p) + " byte " + std::to_string(o) + " ^ " + std::to_string(x), v);
        }
    for (int o = 0x14; o < 0x98; o += 5) { // the masked block of the header
        QByteArray v = original;
        v[o] = char(v[o] ^ 0x55);
        add("header byte " + std::to_string(o), v);
    }
    const int errors = readAll();
    EXPECT_GE(errors, 10);
    EXPECT_LT(errors, int(variants.size())) << "some of these bytes are not used by a reader";
}

TEST_F(DamagedDatabases, WithBytesChangedInTheTable)
{
    // The table's definition page, then its data pages, which all look alike: their header and
    // the end of their last row suffice.
    for (int p = 4; p < pages; ++p)
        for (int o : structureOffsets) {
            if (p > 4 && o > 16 && o < 4094)
                continue;
            const unsigned char x = (o % 2) ? 0x01 : 0xFF;
            QByteArray v = original;
            v[p * 4096 + o] = char(v[p * 4096 + o] ^ x);
            add("page " + std::to_string(p) + " byte " + std::to_string(o) + " ^ " + std::to_string(x), v);
        }
    const int errors = readAll();
    EXPECT_GE(errors, 10);
    EXPECT_LT(errors, int(variants.size())) << "changes inside text leave the file readable";
}
