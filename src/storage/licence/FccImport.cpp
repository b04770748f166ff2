#include "licence/FccImport.h"

#include "data/AtomicFile.h"
#include "licence/FccDataDate.h"
#include "licence/FccImportFiles.h"
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
    LicenceDay date = 0;
    std::unique_ptr<FccZip> zip;
};

class Importer {
public:
    Importer(const QString& folder, const std::function<void(int)>& progress, const std::atomic<bool>* cancel)
        : m_folder(folder), m_progress(progress), m_cancel(cancel)
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
    bool keepGoing(std::int64_t readInEntry);
    bool readDailies(Kind kind, std::unordered_map<std::uint32_t, std::string>& replacements);
    bool writeKind(Kind kind, StagedFile& out);
    bool dropEarlierDuplicates(Kind kind, StagedFile& out, std::vector<std::uint32_t> ids);

    QString m_folder;
    std::function<void(int)> m_progress;
    const std::atomic<bool>* m_cancel;
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

bool Importer::openSets(const QStringList& zips)
{
    if (zips.isEmpty())
        return fail(QStringLiteral("no FCC zip was given"));
    for (const QString& path : zips) {
        Set set;
        set.path = path;
        set.daily = IsDailyFccZip(path);
        set.zip = std::make_unique<FccZip>();
        if (!set.zip->open(path))
            return fail(QStringLiteral("%1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(path), set.zip->error()));
        if (!set.zip->has("EN.dat"))
            return fail(QStringLiteral("%1 holds no EN.dat").arg(QDir::toNativeSeparators(path)));
        const std::optional<std::string> counts = set.zip->readAll("counts", 64 * 1024);
        set.date = counts ? ParseCountsDate(*counts) : 0;
        if (set.date == 0)
            return fail(
                QStringLiteral("%1 has no date in its counts file").arg(QDir::toNativeSeparators(path)));
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
        m_dates.weekly = m_weekly->date;
    } else {
        // Daily sets alone go on top of the files imported before.
        const std::optional<FccDataDates> before = ReadFccDates(m_folder);
        for (const char* name : kFileNames)
            if (!before || !QFile::exists(QDir(m_folder).filePath(QLatin1String(name))))
                return fail(QStringLiteral("no weekly set (l_amat.zip) was given, and there is no earlier "
                                           "import in %1 to apply the daily sets to")
                                .arg(QDir::toNativeSeparators(m_folder)));
        m_dates = *before;
    }
    for (Set& set : m_sets)
        if (set.daily)
            m_dailies.push_back(&set);
    std::stable_sort(
        m_dailies.begin(), m_dailies.end(), [](const Set* a, const Set* b) { return a->date < b->date; });
    std::vector<Set*> newer;
    for (Set* set : m_dailies) {
        if (set->date <= m_dates.newest()) {
            m_result.notes << QStringLiteral("%1 of %2 is not newer than the data it would update: skipped")
                                  .arg(shortName(set->path),
                                      QString::fromStdString(LicenceDayText(set->date)));
            continue;
        }
        m_dates.dailies.push_back(set->date);
        newer.push_back(set);
    }
    m_dailies = newer;

    // Progress counts the bytes read, unpacked.
    m_total = 1;
    for (int k = 0; k < kKinds; ++k) {
        m_total += m_weekly ? std::max<std::int64_t>(m_weekly->zip->size(kFileNames[k]), 0)
                            : QFileInfo(QDir(m_folder).filePath(QLatin1String(kFileNames[k]))).size();
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
    bool written = true;
    auto line = [&](std::string_view l) {
        if (l.empty() || !written)
            return;
        const auto id = recordId(l, kind);
        if (!id) {
            ++skipped;
            return;
        }
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
        = m_weekly ? m_weekly->path : QDir(m_folder).filePath(QLatin1String(kFileNames[kind]));
    QString why;
    bool ok = true;
    if (m_weekly) {
        if (kind != EN && !m_weekly->zip->has(kFileNames[kind]))
            m_result.notes
                << QStringLiteral("%1 holds no %2").arg(shortName(source), QLatin1String(kFileNames[kind]));
        else
            ok = m_weekly->zip->forEachLine(kFileNames[kind], line, going, kMaxLine);
        why = m_weekly->zip->error();
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
        if (!QDir().mkpath(m_folder)) {
            fail(QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(m_folder)));
            return m_result;
        }
        if (!openSets(zips))
            return m_result;
        if (m_progress)
            m_progress(0);
        std::unique_ptr<StagedFile> staged[kKinds];
        for (int k = 0; k < kKinds; ++k) {
            staged[k] = std::make_unique<StagedFile>(QDir(m_folder).filePath(QLatin1String(kFileNames[k])));
            if (!writeKind(Kind(k), *staged[k]))
                return m_result; // the staged files are removed, the old ones stay
        }
        // All three are whole: only now do they replace the old ones.
        for (int k = 0; k < kKinds; ++k)
            if (!staged[k]->commit()) {
                fail(QStringLiteral("%1 cannot be replaced")
                         .arg(QDir::toNativeSeparators(
                             QDir(m_folder).filePath(QLatin1String(kFileNames[k])))));
                return m_result;
            }
        QString why;
        if (!writeFileAtomically(FccDatesFile(m_folder), m_dates.toText(), &why)) {
            fail(why);
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

FccImportResult ImportFccZips(const QStringList& zips, const QString& fccFolder,
    const std::function<void(int)>& progress, const std::atomic<bool>* cancel)
{
    Importer importer(fccFolder, progress, cancel);
    return importer.run(zips);
}
