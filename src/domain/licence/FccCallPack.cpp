// Packed calls and the stamp of a licence file.
#include "licence/FccCallIndex.h"

#include "licence/FccLicenceSet.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <filesystem>

// ---- packed calls ----

namespace fcccall {
namespace {

constexpr std::uint64_t kBase = 37;

// Powers of 37: kPower[i] is the weight of the character i places from the end of
// the 12 places.
constexpr std::array<std::uint64_t, kMaxLength + 1> powers()
{
    std::array<std::uint64_t, kMaxLength + 1> p {};
    p[0] = 1;
    for (std::size_t i = 1; i <= kMaxLength; ++i)
        p[i] = p[i - 1] * kBase;
    return p;
}
constexpr auto kPower = powers();

// 1..10 for the digits, 11..36 for the letters (either case); 0 for anything else.
constexpr std::array<std::uint8_t, 256> symbols()
{
    std::array<std::uint8_t, 256> s {};
    for (int c = '0'; c <= '9'; ++c)
        s[std::size_t(c)] = std::uint8_t(c - '0' + 1);
    for (int c = 'A'; c <= 'Z'; ++c) {
        s[std::size_t(c)] = std::uint8_t(c - 'A' + 11);
        s[std::size_t(c - 'A' + 'a')] = std::uint8_t(c - 'A' + 11);
    }
    return s;
}
constexpr auto kSymbol = symbols();

constexpr char kCharacter[] = "?0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

} // namespace

std::optional<std::uint64_t> pack(std::string_view call)
{
    if (call.empty() || call.size() > kMaxLength)
        return std::nullopt;
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < call.size(); ++i) {
        const std::uint8_t s = kSymbol[static_cast<unsigned char>(call[i])];
        if (s == 0)
            return std::nullopt;
        key += s * kPower[kMaxLength - 1 - i];
    }
    return key;
}

std::string unpack(std::uint64_t key)
{
    char text[kMaxLength];
    for (std::size_t i = kMaxLength; i-- > 0;) {
        text[i] = kCharacter[key % kBase];
        key /= kBase;
    }
    std::size_t length = kMaxLength;
    while (length > 0 && text[length - 1] == '?')
        --length;
    return std::string(text, length);
}

std::uint64_t reversed(std::uint64_t key)
{
    std::uint8_t s[kMaxLength];
    for (std::size_t i = kMaxLength; i-- > 0;) {
        s[i] = std::uint8_t(key % kBase);
        key /= kBase;
    }
    std::size_t length = kMaxLength;
    while (length > 0 && s[length - 1] == 0)
        --length;
    std::uint64_t out = 0;
    for (std::size_t i = 0; i < length; ++i)
        out += s[length - 1 - i] * kPower[kMaxLength - 1 - i];
    return out;
}

std::uint64_t span(std::size_t length)
{
    return kPower[kMaxLength - std::min(length, kMaxLength)];
}

} // namespace fcccall

// ---- the file's stamp ----

namespace {

std::filesystem::path nativePath(const QString& path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

std::optional<LicenceFileStamp> StampOfLicenceFile(const QString& given)
{
    const QString path = CurrentLicenceFile(given);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(nativePath(path), ec);
    if (ec)
        return std::nullopt;
    LicenceFileStamp stamp;
    stamp.size = info.size();
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    return stamp;
}

QString LicenceHeaderFile(const QString& enPath)
{
    return QFileInfo(enPath).dir().filePath(QStringLiteral("HD.dat"));
}

QString LicenceAmateurFile(const QString& enPath)
{
    return QFileInfo(enPath).dir().filePath(QStringLiteral("AM.dat"));
}
