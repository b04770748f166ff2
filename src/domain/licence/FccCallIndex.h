#pragma once
// An index of the call signs in the licence entity file, for the quick call box: which
// calls the file holds and where each call's record starts, so a call is found by
// exact text, by its beginning, by its end or within one edit without reading the file.
// A national file of 1.5 million records gives an index of about 36 MB: no text is kept,
// only numbers. Name, city and state are read from the file when a call is shown.
//
// Beside each call the index keeps what HD.dat and AM.dat (in the same folder as the
// entity file) say of its licence: class, status and dates, joined to the entity record
// by the unique system identifier. Without those files the licence is unknown.
//
// A call that changed hands has several entity records, one per licence (identifier).
// Its station is one licensee's: the record whose identifier is that of the licence that
// counts (LicenceCountsOver), so name, address and licence always belong together. The
// licences of the other records (earlier holders) are kept by identifier, for a page
// that shows such a record.
//
// A call is kept packed in one 64-bit number: up to 12 characters, each a digit or a
// capital letter, as the digits of a base-37 number (0 stands for "no character"). The
// numbers sort as the texts do, so the calls that begin with a text are one range of
// the sorted numbers. The calls that end with a text are one range of a second order:
// the calls sorted by their reversed text.
//
// An index never changes once made, so any thread may read it. No widgets here.
#include "licence/LicenceInfo.h"
#include "licence/LicenceRecord.h"

#include <QFile>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fcccall {

inline constexpr std::size_t kMaxLength = 12;

// The packed number of a call: letters of either case count as capitals. Nothing for
// an empty text, one longer than kMaxLength, or one holding anything but letters and
// digits.
std::optional<std::uint64_t> pack(std::string_view call);
std::string unpack(std::uint64_t key);
// The number of the same call read backwards.
std::uint64_t reversed(std::uint64_t key);
// How many packed numbers begin with a text of the given length: the calls that begin
// with text lie in [pack(text), pack(text) + span(text.size())).
std::uint64_t span(std::size_t length);

} // namespace fcccall

// Size and modification time of a file, which tell whether an index still fits it.
struct LicenceFileStamp {
    std::int64_t size = -1;
    std::int64_t modified = 0; // nanoseconds since the file-system clock's epoch
    bool operator==(const LicenceFileStamp&) const = default;
};
// The stamp of the file at path (of the current set, when path names one in its
// folder), or nothing when there is no such file.
std::optional<LicenceFileStamp> StampOfLicenceFile(const QString& path);
// HD.dat and AM.dat beside the entity file at enPath.
QString LicenceHeaderFile(const QString& enPath);
QString LicenceAmateurFile(const QString& enPath);

class FccCallIndex {
public:
    // Reads the file at path (CurrentLicenceFile: the current set's, when its folder
    // has one) from start to end and indexes the call sign (field 5) of
    // every record. A line ends at LF, CR or CR LF; the last line needs no line end.
    // Records whose call is empty, longer than 12 characters or holds anything but
    // letters and digits are left out. HD.dat and AM.dat beside it, when both are there,
    // give each call its licence; when either cannot be read the licences stay unknown.
    // A call held by several records is kept once, at the record whose licence counts
    // (LicenceCountsOver); without licences, at the first of them in file order. Returns
    // nothing, with the reason in *error, when the file cannot be read whole, is 4 GiB
    // or more, or cancel was set.
    static std::shared_ptr<const FccCallIndex> build(
        const QString& path, QString* error = nullptr, const std::atomic<bool>* cancel = nullptr);

    // The index kept in cacheFile, when it was made from the file at path (of the
    // current set) while that
    // file had the given stamp; nothing (with the reason) when it was not, or when the
    // cache file is damaged, or HD.dat and AM.dat beside the file are no longer those
    // the index was made with.
    static std::shared_ptr<const FccCallIndex> load(const QString& cacheFile, const QString& path,
        const LicenceFileStamp& stamp, QString* error = nullptr);
    // Writes the index to cacheFile, replacing it only when the whole was written.
    bool save(const QString& cacheFile, QString* error = nullptr) const;

    // The file the index was made from, and its stamp at that time.
    const QString& path() const { return m_path; }
    const LicenceFileStamp& stamp() const { return m_stamp; }

    // The calls, in alphabetical order: 0 <= i < size().
    std::size_t size() const { return m_keys.size(); }
    std::string call(std::size_t i) const { return fcccall::unpack(m_keys[i]); }
    std::uint64_t key(std::size_t i) const { return m_keys[i]; }
    // Where the record of call i starts in the file: the current holder's.
    std::uint32_t offset(std::size_t i) const { return m_offsets[i]; }

    // Whether the licences were read from HD.dat and AM.dat.
    bool hasLicences() const { return m_hasLicences; }
    // The licence of call i; unknown (status 0) when hasLicences() is false.
    const LicenceInfo& licence(std::size_t i) const { return m_licences[i]; }
    // The licence of a call, or nothing when the index does not hold the call.
    std::optional<LicenceInfo> licence(std::string_view call) const;
    // The licence of the record of call with the unique system identifier id: an earlier
    // holder's own class, status and expiry (no grant or cancellation date: they are not
    // kept for earlier holders), or the call's licence for the record that counts.
    // Nothing when the index does not hold the call.
    std::optional<LicenceInfo> licence(std::string_view call, std::uint32_t id) const;
    // Whether the record of call with identifier id is the call's current holder, the one
    // the index keeps; false for an earlier holder's record and for a call not held.
    bool isCurrentHolder(std::string_view call, std::uint32_t id) const;

    // The position of a call (letters of either case), or nothing.
    std::optional<std::size_t> find(std::string_view call) const;
    std::optional<std::size_t> find(std::uint64_t key) const;
    // The positions [first, last) of the calls that begin with text (the call equal
    // to text included). Empty for a text that cannot be packed.
    std::pair<std::size_t, std::size_t> prefixRange(std::string_view text) const;
    // The places [first, last) in the order of reversed calls of the calls that end
    // with text; endingAt(place) is the position of the call at that place.
    std::pair<std::size_t, std::size_t> suffixRange(std::string_view text) const;
    std::size_t endingAt(std::size_t place) const { return m_byEnding[place]; }

    // What the index holds in memory.
    std::size_t memoryBytes() const;

private:
    FccCallIndex() = default;
    void makeEndingOrder();

    QString m_path;
    LicenceFileStamp m_stamp;
    std::vector<std::uint64_t> m_keys; // sorted, no call twice
    std::vector<std::uint32_t> m_offsets; // by position
    std::vector<std::uint32_t> m_byEnding; // positions sorted by reversed call
    std::vector<LicenceInfo> m_licences; // by position
    // The records of a call other than the one kept, by identifier: earlier holders.
    struct OtherRecord {
        std::uint32_t id;
        LicenceDay expires;
        char operatorClass;
        char status;
    };
    const OtherRecord* otherRecord(std::uint32_t id) const;
    std::vector<OtherRecord> m_others; // sorted by identifier, each once
    bool m_hasLicences = false;
    // The stamps of HD.dat and AM.dat when they were read; size -1 when not.
    LicenceFileStamp m_hdStamp, m_amStamp;
};

// Reads records of an index's file by their offsets, keeping the file open between
// reads. For one thread at a time.
class FccRecordReader {
public:
    explicit FccRecordReader(const FccCallIndex& index);
    // The record of call i, split as the FCC page splits it; nothing when the file
    // cannot be read or no longer holds that call there (it changed after the index
    // was made).
    std::optional<LicenceRecord> record(std::size_t i);

private:
    const FccCallIndex& m_index;
    QFile m_file;
    bool m_tried = false;
    std::string m_buffer;
};
