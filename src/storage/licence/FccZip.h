#pragma once
// Reading the FCC's zips (the weekly l_amat.zip and the daily l_am_<day>.zip) as they
// are published, entry by entry, straight from the zip: nothing is unpacked to disk.
// Entries are found by name without regard to case or folder. Damage shows as an
// error: a zip that cannot be opened or fails its consistency check, and an entry that
// is cut short or fails its check sum. QtCore only, over libzip.
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct zip;

class FccZip {
public:
    FccZip();
    ~FccZip();
    FccZip(const FccZip&) = delete;
    FccZip& operator=(const FccZip&) = delete;

    // Opens the zip at path; false, with error() saying why, when it is no zip or is
    // damaged.
    bool open(const QString& path);
    QString error() const { return m_error; }

    // Whether the zip holds an entry of that name, and its size unpacked (-1 when not).
    bool has(const char* name) const;
    std::int64_t size(const char* name) const;
    // The whole of a small entry (the counts file); nothing, with error(), when it
    // cannot be read or is larger than limit.
    std::optional<std::string> readAll(const char* name, std::size_t limit = 1u << 20);
    // Hands the entry's lines to line(std::string_view) one by one, without their line
    // ends (LF, CR LF or CR), in the order of the entry. A line longer than maxLine is
    // handed over cut to maxLine bytes. Returns false, with error(), when the entry
    // cannot be read whole, or when keepGoing() turns false between pieces.
    bool forEachLine(const char* name, const std::function<void(std::string_view)>& line,
        const std::function<bool(std::int64_t bytesRead)>& keepGoing = {}, std::size_t maxLine = 1u << 16);

private:
    std::int64_t locate(const char* name) const;

    zip* m_zip = nullptr;
    QString m_path;
    QString m_error;
};
