#include "licence/FccImport.h"

#include "data/AtomicFile.h"
#include "licence/FccDataDate.h"
#include "licence/FccImportFiles.h"
#include "licence/FccLicenceSet.h"
#include "licence/FccZip.h"
#include "licence/LicenceInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using fccimport::forEachFileLine;
using fccimport::StagedFile;

enum Kind { EN, HD, AM };
constexpr int kKinds = 3;
const char* const kFileNames[kKinds] = { "EN.dat", "HD.dat", "AM.dat" };
// The record type and the bounds on the number of fields of each file. The layouts have
// 30 (EN, 27 in older files), about 50 (HD) and 18 (AM) fields; a few real EN records
// carry a stray "|" in a name or street. A record with fewer fields than the program
// reads, or far more than the layout has, is not a record of that file and is skipped.
struct Layout {
    std::string_view type;
    int minFields;
    int maxFields;
};
constexpr Layout kLayouts[kKinds] = { { "EN", 18, 40 }, { "HD", 10, 80 }, { "AM", 6, 30 } };
// Longer lines are no licence records: skipped rather than kept.
constexpr std::size_t kMaxLine = 4096;

std::optional<std::uint32_t> recordId(std::string_view line, Kind kind)
{
    const Layout& layout = kLayouts[kind];
    if (line.size() >= kMaxLine || line.substr(0, 3) != std::string(layout.type) + "|")
        return std::nullopt;
    const int fields = int(std::count(line.begin(), line.end(), '|')) + 1;
    if (fields < layout.minFields || fields > layout.maxFields)
        return std::nullopt;
    return LicenceRecordId(line);
}

QString shortName(const QString& path)
{
    return QFileInfo(path).fileName();
}

struct Set {
    QString path;
    bool daily = false;
    FccSetDate date;
    std::unique_ptr<FccZip> zip;
};

// How many HD records of a zip are read to tell a weekly set from a daily one.
constexpr int kCluesRecords = 5000;

class Importer {
public:
    Importer(const QString& folder, const std::function<void(int)>& progress, const std::atomic<bool>* cancel,
        const FccImportOptions& options)
        : m_folder(folder), m_progress(progress), m_cancel(cancel), m_options(options)
    {
    }
    FccImportResult run(const QStringList& zips);

private:
    bool fail(const QString& why)
    {
        m_result.error = why;
        return false;
    }
    bool openSets(const QStringList& zips);
    bool tellKind(Set& set);
    void passed(const char* step)
    {
        if (m_options.step)
            m_options.step(step);
    }
    bool keepGoing(std::int64_t readInEntry);
    bool readDailies(Kind kind, std::unordered_map<std::uint32_t, std::string>& replacements);
    bool writeKind(Kind kind, StagedFile& out);
    bool dropEarlierDuplicates(Kind kind, StagedFile& out, std::vector<std::uint32_t> ids);

    QString m_folder;
    QString m_current; // the folder of the current set, which the dailies alone update
    std::function<void(int)> m_progress;
    const std::atomic<bool>* m_cancel;
    FccImportOptions m_options;
    std::vector<std::uint32_t> m_enIds; // of the weekly's EN records, sorted
    FccImportResult m_result;
    Set* m_weekly = nullptr;
    std::vector<Set> m_sets;
    std::vector<Set*> m_dailies; // those applied, oldest first
    FccDataDates m_dates;
    std::int64_t m_total = 1, m_done = 0, m_entryRead = 0;
    int m_lastPercent = -1;
};

bool Importer::keepGoing(std::int64_t readInEntry)
{
    m_done += readInEntry - m_entryRead;
    m_entryRead = readInEntry;
    const int percent = int(std::min<std::int64_t>(99, m_done * 100 / m_total));
    if (m_progress && percent != m_lastPercent)
        m_progress(percent);
    m_lastPercent = percent;
    return !(m_cancel && m_cancel->load(std::memory_order_relaxed));
}

// Whether the set is the weekly or a daily one, from its counts file, its name and the
// last action dates of its first licence records.
bool Importer::tellKind(Set& set)
{
    FccSetClues clues;
    clues.fileName = shortName(set.path);
    clues.counts = set.zip->readAll("counts", 64 * 1024).value_or(std::string());
    if (set.zip->has("HD.dat")) {
        int read = 0;
        const bool whole = set.zip->forEachLine(
            "HD.dat",
            [&](std::string_view line) {
                if (read >= kCluesRecords)
                    return;
                ++read;
                const LicenceDay changed = HdLastActionDay(line);
                if (changed == 0)
                    return;
                ++clues.dated;
                clues.recent += changed <= set.date.day && changed + 7 >= set.date.day;
            },
            [&read](std::int64_t) { return read < kCluesRecords; });
        if (!whole && read < kCluesRecords)
            return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(set.path), set.zip->error()));
    }
    QString why;
    const FccSetKind kind = FccSetKindOf(clues, &why);
    if (kind == FccSetKind::Unknown)
        return fail(QStringLiteral("%1 cannot be told to be the weekly set or a daily set: %2. %3")
                        .arg(QDir::toNativeSeparators(set.path), why, FccFilesAdvice()));
    set.daily = kind == FccSetKind::Daily;
    return true;
}

bool Importer::openSets(const QStringList& zips)
{
    if (zips.isEmpty())
        return fail(QStringLiteral("no FCC zip was given"));
    for (const QString& path : zips) {
        Set set;
        set.path = path;
        set.zip = std::make_unique<FccZip>();
        if (!set.zip->open(path))
            return fail(QStringLiteral("%1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(path), set.zip->error()));
        if (!set.zip->has("EN.dat"))
            return fail(QStringLiteral("%1 holds no EN.dat").arg(QDir::toNativeSeparators(path)));
        const std::optional<std::string> counts = set.zip->readAll("counts", 64 * 1024);
        set.date.day = counts ? ParseCountsDate(*counts) : 0;
        set.date.time = counts ? ParseCountsTime(*counts) : -1;
        if (set.date.day == 0)
            return fail(
                QStringLiteral("%1 has no date in its counts file").arg(QDir::toNativeSeparators(path)));
        if (!tellKind(set))
            return false;
        m_sets.push_back(std::move(set));
    }
    for (Set& set : m_sets) {
        if (set.daily)
            continue;
        if (m_weekly)
            return fail(QStringLiteral("%1 and %2 are both weekly sets; import one at a time")
                            .arg(shortName(m_weekly->path), shortName(set.path)));
        m_weekly = &set;
    }
    if (m_weekly) {
        // A weekly set replaces all three files: without one of them every licence's class
        // or status would be lost.
        for (const char* name : { "HD.dat", "AM.dat" })
            if (!m_weekly->zip->has(name))
                return fail(QStringLiteral("%1 holds no %2, so it is no whole weekly set. %3")
                                .arg(QDir::toNativeSeparators(m_weekly->path), QLatin1String(name),
                                    FccFilesAdvice()));
        // One far smaller than the data in place is most likely no whole weekly set.
        const qint64 inPlace = QFileInfo(QDir(m_current).filePath(QStringLiteral("EN.dat"))).size();
        const qint64 coming = m_weekly->zip->size("EN.dat");
        if (coming * 2 < inPlace && !m_options.acceptSmallerWeekly) {
            m_result.smallerWeekly = true;
            return fail(QStringLiteral("%1 holds far fewer licence records than the data it would replace "
                                       "(EN.dat of %2 KB against %3 KB now)")
                            .arg(QDir::toNativeSeparators(m_weekly->path))
                            .arg((coming + 1023) / 1024)
                            .arg((inPlace + 1023) / 1024));
        }
        m_dates.weekly = m_weekly->date.day;
        m_dates.weeklyTime = m_weekly->date.time;
    } else {
        // Daily sets alone go on top of the files imported before.
        const std::optional<FccDataDates> before = ReadFccDates(m_current);
        for (const char* name : kFileNames)
            if (!before || !QFile::exists(QDir(m_current).filePath(QLatin1String(name))))
                return fail(QStringLiteral("no weekly set (l_amat.zip) was given, and there is no earlier "
                                           "import in %1 to apply the daily sets to. %2")
                                .arg(QDir::toNativeSeparators(m_folder), FccFilesAdvice()));
        m_dates = *before;
    }
    for (Set& set : m_sets)
        if (set.daily)
            m_dailies.push_back(&set);
    // In the order the FCC wrote them.
    std::stable_sort(m_dailies.begin(), m_dailies.end(), [](const Set* a, const Set* b) {
        return a->date.day != b->date.day ? a->date.day < b->date.day : a->date.time < b->date.time;
    });
    std::vector<Set*> newer;
    for (Set* set : m_dailies) {
        if (!set->date.after(m_dates.newestSet())) {
            m_result.notes << QStringLiteral("%1 of %2 is not newer than the data it would update: skipped")
                                  .arg(shortName(set->path),
                                      QString::fromStdString(LicenceDayText(set->date.day)));
            continue;
        }
        m_dates.addDaily(set->date);
        newer.push_back(set);
    }
    m_dailies = newer;

    // Progress counts the bytes read, unpacked.
    m_total = 1;
    for (int k = 0; k < kKinds; ++k) {
        m_total += m_weekly ? std::max<std::int64_t>(m_weekly->zip->size(kFileNames[k]), 0)
                            : QFileInfo(QDir(m_current).filePath(QLatin1String(kFileNames[k]))).size();
        for (const Set* d : m_dailies)
            m_total += std::max<std::int64_t>(d->zip->size(kFileNames[k]), 0);
    }
    return true;
}

bool Importer::readDailies(Kind kind, std::unordered_map<std::uint32_t, std::string>& replacements)
{
    for (Set* daily : m_dailies) {
        // A daily set without a file of that kind changed no such records.
        if (kind != EN && !daily->zip->has(kFileNames[kind]))
            continue;
        long long skipped = 0;
        m_entryRead = 0;
        const bool ok = daily->zip->forEachLine(
            kFileNames[kind],
            [&](std::string_view line) {
                if (line.empty())
                    return;
                if (const auto id = recordId(line, kind))
                    replacements[*id] = std::string(line); // a later record of the id replaces it
                else
                    ++skipped;
            },
            [this](std::int64_t n) { return keepGoing(n); }, kMaxLine);
        if (!ok)
            return fail(
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(daily->path), daily->zip->error()));
        if (skipped > 0)
            m_result.notes << QStringLiteral("%1: %2 malformed records of %3 skipped")
                                  .arg(shortName(daily->path))
                                  .arg(skipped)
                                  .arg(QLatin1String(kFileNames[kind]));
    }
    return true;
}

bool Importer::writeKind(Kind kind, StagedFile& out)
{
    std::unordered_map<std::uint32_t, std::string> replacements;
    if (!readDailies(kind, replacements))
        return false;
    if (!out.open())
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(out.temp()), out.errorString()));

    std::vector<std::uint32_t> ids; // of the records written, in order
    std::vector<std::uint32_t> replaced;
    long long skipped = 0;
    long long joined = 0; // weekly HD and AM records whose identifier EN.dat holds
    bool written = true;
    auto line = [&](std::string_view l) {
        if (l.empty() || !written)
            return;
        const auto id = recordId(l, kind);
        if (!id) {
            ++skipped;
            return;
        }
        if (kind != EN)
            joined += std::binary_search(m_enIds.begin(), m_enIds.end(), *id);
        const auto it = replacements.find(*id);
        if (it != replacements.end()) {
            written = out.write(it->second);
            replaced.push_back(*id);
        } else {
            written = out.write(l);
        }
        ids.push_back(*id);
    };
    m_entryRead = 0;
    const auto going = [this](std::int64_t n) { return keepGoing(n); };
    const QString source
        = m_weekly ? m_weekly->path : QDir(m_current).filePath(QLatin1String(kFileNames[kind]));
    QString why;
    bool ok = true;
    if (m_weekly) {
        ok = m_weekly->zip->forEachLine(kFileNames[kind], line, going, kMaxLine);
        why = m_weekly->zip->error();
        // The weekly's own records, before any daily's are added.
        const auto own = static_cast<long long>(ids.size());
        if (ok && kind == EN) {
            m_enIds = ids;
            std::sort(m_enIds.begin(), m_enIds.end());
        } else if (ok && (own == 0 || joined * 2 < own)) {
            return fail(QStringLiteral("%1: its %2 does not belong to its EN.dat (%3 of %4 records share an "
                                       "identifier with it). %5")
                            .arg(QDir::toNativeSeparators(source), QLatin1String(kFileNames[kind]))
                            .arg(joined)
                            .arg(own)
                            .arg(FccFilesAdvice()));
        }
    } else {
        ok = forEachFileLine(source, line, going, &why);
    }
    if (!ok)
        return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), why));
    if (!written)
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(out.temp()), out.errorString()));
    if (skipped > 0)
        m_result.notes << QStringLiteral("%1: %2 malformed records of %3 skipped")
                              .arg(shortName(source))
                              .arg(skipped)
                              .arg(QLatin1String(kFileNames[kind]));

    // Records of identifiers new to the set, in the order of their identifiers.
    std::sort(replaced.begin(), replaced.end());
    std::vector<std::uint32_t> added;
    for (const auto& [id, text] : replacements)
        if (!std::binary_search(replaced.begin(), replaced.end(), id))
            added.push_back(id);
    std::sort(added.begin(), added.end());
    for (const std::uint32_t id : added) {
        if (!out.write(replacements[id]))
            return fail(QStringLiteral("%1 cannot be written: %2")
                            .arg(QDir::toNativeSeparators(out.temp()), out.errorString()));
        ids.push_back(id);
    }
    if (kind == EN) {
        m_result.records = static_cast<long long>(ids.size());
        if (ids.empty())
            return fail(QStringLiteral("%1 holds no licence records in EN.dat")
                            .arg(QDir::toNativeSeparators(source)));
    }
    if (!out.finish())
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(out.temp()), out.errorString()));
    return dropEarlierDuplicates(kind, out, std::move(ids));
}

// Where a set holds an identifier twice, its later record counts, as a later daily
// record replaces an earlier one: the earlier records are taken out of the file.
bool Importer::dropEarlierDuplicates(Kind kind, StagedFile& out, std::vector<std::uint32_t> ids)
{
    std::sort(ids.begin(), ids.end());
    std::unordered_map<std::uint32_t, int> left; // records of a twice-held identifier still to come
    for (std::size_t i = 1; i < ids.size(); ++i)
        if (ids[i] == ids[i - 1])
            left[ids[i]] = left.count(ids[i]) ? left[ids[i]] + 1 : 2;
    const auto copies = left; // how many records each twice-held identifier has
    if (left.empty())
        return true;
    m_result.notes << QStringLiteral(
        "%1: identifiers held by more than one record: %2; the later record counts")
                          .arg(QLatin1String(kFileNames[kind]))
                          .arg(left.size());
    const QString all = out.temp() + QStringLiteral(".all");
    QFile::remove(all);
    if (!QFile::rename(out.temp(), all))
        return fail(QStringLiteral("%1 cannot be written").arg(QDir::toNativeSeparators(out.temp())));
    bool written = out.open();
    QString why;
    const bool read = forEachFileLine(
        all,
        [&](std::string_view l) {
            const auto id = recordId(l, kind);
            if (!id || !written)
                return;
            const auto it = left.find(*id);
            if (it != left.end() && --it->second > 0)
                return;
            written = out.write(l);
        },
        {}, &why);
    QFile::remove(all);
    if (!read || !written || !out.finish())
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(out.temp()), read ? out.errorString() : why));
    if (kind == EN)
        for (const auto& [id, count] : copies)
            m_result.records -= count - 1;
    return true;
}

FccImportResult Importer::run(const QStringList& zips)
{
    try {
        // The new set is written beside the current one, which stays as it is until the
        // new one is whole.
        FccSetWriter set(m_folder);
        QString why;
        if (!set.begin(&why)) {
            fail(why);
            return m_result;
        }
        m_current = FccCurrentSetFolder(m_folder);
        if (!openSets(zips))
            return m_result;
        passed("started");
        if (m_progress)
            m_progress(0);
        std::unique_ptr<StagedFile> staged[kKinds];
        for (int k = 0; k < kKinds; ++k) {
            staged[k]
                = std::make_unique<StagedFile>(QDir(set.folder()).filePath(QLatin1String(kFileNames[k])));
            if (!writeKind(Kind(k), *staged[k]) || !staged[k]->commit()) {
                if (m_result.error.isEmpty())
                    fail(QStringLiteral("%1 cannot be written")
                             .arg(QDir::toNativeSeparators(staged[k]->temp())));
                return m_result; // the new set is removed, the current one stays
            }
            passed(kFileNames[k]);
        }
        if (!writeFileAtomically(
                QDir(set.folder()).filePath(QStringLiteral("dates.txt")), m_dates.toText(), &why)) {
            fail(why);
            return m_result;
        }
        passed("dates");
        if (!set.commit(&why, m_options.step)) {
            fail(QStringLiteral("the new licence files in %1 could not be made current: %2")
                     .arg(QDir::toNativeSeparators(m_folder), why));
            return m_result;
        }
        if (m_progress)
            m_progress(100);
        m_result.ok = true;
    } catch (const std::bad_alloc&) {
        fail(QStringLiteral("not enough memory for the import"));
    }
    return m_result;
}

} // namespace

bool IsDailyFccZip(const QString& path)
{
    static const QRegularExpression daily(
        QStringLiteral("^l_am_[a-z0-9]+.*\\.zip$"), QRegularExpression::CaseInsensitiveOption);
    return daily.match(QFileInfo(path).fileName()).hasMatch();
}

FccSetKind FccSetKindOf(const FccSetClues& clues, QString* why)
{
    auto unknown = [why](const QString& text) {
        if (why)
            *why = text;
        return FccSetKind::Unknown;
    };
    // What the records say: a daily set holds the licences changed in the days before it
    // was written, a weekly set every licence, most of them changed long ago.
    FccSetKind held = FccSetKind::Unknown;
    if (clues.dated > 0 && clues.recent * 10 >= clues.dated * 8)
        held = FccSetKind::Daily;
    else if (clues.dated > 0 && clues.recent * 2 <= clues.dated)
        held = FccSetKind::Weekly;
    // What the zip says: the daily files' counts name the folder they were made in, and
    // the FCC names its zips l_amat.zip and l_am_<day>.zip.
    static const QRegularExpression weeklyName(
        QStringLiteral("^l_amat([^a-z].*)?\\.zip$"), QRegularExpression::CaseInsensitiveOption);
    FccSetKind said = FccSetKind::Unknown;
    const bool countsDaily = QString::fromLatin1(clues.counts.data(), qsizetype(clues.counts.size()))
                                 .contains(QLatin1String("licdayzip"), Qt::CaseInsensitive);
    const bool nameDaily = IsDailyFccZip(clues.fileName);
    const bool nameWeekly = weeklyName.match(clues.fileName).hasMatch();
    if ((countsDaily && nameWeekly) || (nameDaily && nameWeekly))
        return unknown(QStringLiteral("its counts file and its name disagree"));
    if (countsDaily || nameDaily)
        said = FccSetKind::Daily;
    else if (nameWeekly)
        said = FccSetKind::Weekly;

    if (held != FccSetKind::Unknown && said != FccSetKind::Unknown && held != said)
        return unknown(held == FccSetKind::Daily
                ? QStringLiteral("it is named as the weekly set but holds only recently changed licences")
                : QStringLiteral("it says it is a daily set but holds licences changed long ago"));
    if (held != FccSetKind::Unknown)
        return held;
    // Nothing in the records tells: taking it for a daily set loses nothing, taking it
    // for the weekly set would replace every licence, so only the first is done on what
    // the zip says alone.
    if (said == FccSetKind::Daily)
        return said;
    return unknown(QStringLiteral("its licence records carry no last action dates to tell by"));
}

QString FccFilesAdvice()
{
    return QStringLiteral(
        "Import first the FCC's weekly complete amateur file l_amat.zip, then its daily files "
        "l_am_<day>.zip (both from the FCC's licence system, ULS), as the FCC named them.");
}

FccImportResult ImportFccZips(const QStringList& zips, const QString& fccFolder,
    const std::function<void(int)>& progress, const std::atomic<bool>* cancel,
    const FccImportOptions& options)
{
    Importer importer(fccFolder, progress, cancel, options);
    return importer.run(zips);
}
