#pragma once
// Writes a licence entity file (EN.dat) of fictitious amateur licences that looks like
// the FCC's own: 30 fields separated by "|", an empty ULS file number and EBF number,
// unique system identifiers of six and seven digits, call-sign prefixes in the shares
// of the national file (K most of it, then W, N and A), line lengths like the real
// records' (about 100 to 180 characters), about three club licences in a hundred
// (entity name without a comma) and a few records without a call sign. The same seed
// gives the same file, byte for byte, on every machine.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace fccgen {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) { }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull); // splitmix64
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n
    std::uint32_t below(std::uint32_t n) { return std::uint32_t((next() >> 32) * n >> 32); }
    bool percent(std::uint32_t p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N])
    {
        return items[below(std::uint32_t(N))];
    }

private:
    std::uint64_t m_state;
};

inline constexpr std::string_view kFirstNames[] = {
    "JAMES",
    "MARY",
    "ROBERT",
    "PATRICIA",
    "JOHN",
    "JENNIFER",
    "MICHAEL",
    "LINDA",
    "DAVID",
    "ELIZABETH",
    "WILLIAM",
    "BARBARA",
    "RICHARD",
    "SUSAN",
    "JOSEPH",
    "JESSICA",
    "THOMAS",
    "SARAH",
    "CHARLES",
    "KAREN",
    "CHRISTOPHER",
    "LISA",
    "DANIEL",
    "NANCY",
    "MATTHEW",
    "BETTY",
    "ANTHONY",
    "MARGARET",
    "MARK",
    "SANDRA",
    "DONALD",
    "ASHLEY",
    "STEVEN",
    "KIMBERLY",
    "PAUL",
    "EMILY",
    "ANDREW",
    "DONNA",
    "JOSHUA",
    "MICHELLE",
    "KENNETH",
    "CAROL",
    "KEVIN",
    "AMANDA",
    "BRIAN",
    "DOROTHY",
    "GEORGE",
    "MELISSA",
    "TIMOTHY",
    "DEBORAH",
    "RONALD",
    "STEPHANIE",
    "EDWARD",
    "REBECCA",
    "JASON",
    "SHARON",
    "JEFFREY",
    "LAURA",
    "RYAN",
    "CYNTHIA",
    "JACOB",
    "KATHLEEN",
    "GARY",
    "AMY",
    "NICHOLAS",
    "ANGELA",
    "ERIC",
    "SHIRLEY",
    "JONATHAN",
    "ANNA",
    "STEPHEN",
    "BRENDA",
};
inline constexpr std::string_view kLastNames[] = {
    "SMITH",
    "JOHNSON",
    "WILLIAMS",
    "BROWN",
    "JONES",
    "GARCIA",
    "MILLER",
    "DAVIS",
    "RODRIGUEZ",
    "MARTINEZ",
    "HERNANDEZ",
    "LOPEZ",
    "GONZALEZ",
    "WILSON",
    "ANDERSON",
    "THOMAS",
    "TAYLOR",
    "MOORE",
    "JACKSON",
    "MARTIN",
    "LEE",
    "PEREZ",
    "THOMPSON",
    "WHITE",
    "HARRIS",
    "SANCHEZ",
    "CLARK",
    "RAMIREZ",
    "LEWIS",
    "ROBINSON",
    "WALKER",
    "YOUNG",
    "ALLEN",
    "KING",
    "WRIGHT",
    "SCOTT",
    "TORRES",
    "NGUYEN",
    "HILL",
    "FLORES",
    "GREEN",
    "ADAMS",
    "NELSON",
    "BAKER",
    "HALL",
    "RIVERA",
    "CAMPBELL",
    "MITCHELL",
    "CARTER",
    "ROBERTS",
    "VANDERHOEVEN",
    "OKONKWO-BAILEY",
    "MCALLISTER",
    "DE LA CRUZ",
    "ST JAMES",
    "O'BRIEN",
    "FITZGERALD",
    "WASHINGTON",
    "KOWALCZYK",
    "LINDQVIST",
};
inline constexpr std::string_view kStreetNames[] = {
    "MAIN",
    "OAK",
    "PINE",
    "MAPLE",
    "CEDAR",
    "ELM",
    "WASHINGTON",
    "LAKE",
    "HILL",
    "PARK",
    "SUNSET",
    "RIVERSIDE",
    "HIGHLAND",
    "COUNTRY CLUB",
    "MEADOWBROOK",
    "CANYON RIDGE",
    "OLD MILL",
    "PRAIRIE VIEW",
    "COTTONWOOD CREEK",
    "STATE HIGHWAY 71",
    "COUNTY ROAD 1250",
    "WILLOW",
    "BIRCH",
    "SPRING",
    "FOREST",
    "CHURCH",
    "MOUNTAIN VIEW",
    "BLUEBONNET",
};
inline constexpr std::string_view kStreetTypes[] = { "ST", "AVE", "RD", "DR", "LN", "CT", "BLVD", "WAY",
    "TRL", "CIR", "PKWY", "Street", "Avenue", "Road" };
struct Place {
    std::string_view city;
    std::string_view state;
};
inline constexpr Place kPlaces[] = {
    { "ANYTOWN", "TX" },
    { "SPRINGFIELD", "IL" },
    { "RIVERTON", "WY" },
    { "FAIRVIEW", "OR" },
    { "GREENVILLE", "SC" },
    { "MADISON", "WI" },
    { "FRANKLIN", "TN" },
    { "CLINTON", "IA" },
    { "GEORGETOWN", "KY" },
    { "SALEM", "MA" },
    { "BRISTOL", "CT" },
    { "DOVER", "DE" },
    { "ARLINGTON", "VA" },
    { "CHESTER", "PA" },
    { "MARION", "OH" },
    { "OXFORD", "MS" },
    { "AUBURN", "AL" },
    { "KINGSTON", "NY" },
    { "LEBANON", "NH" },
    { "MILFORD", "MI" },
    { "TUCSON", "AZ" },
    { "BOISE", "ID" },
    { "FARGO", "ND" },
    { "ROSWELL", "NM" },
    { "LAS CRUCES", "NM" },
    { "SAN BERNARDINO", "CA" },
    { "COLORADO SPRINGS", "CO" },
    { "SALT LAKE CITY", "UT" },
    { "WEST TERRE HAUTE", "IN" },
    { "ST PETERSBURG", "FL" },
    { "Floral City", "FL" },
    { "Ocala", "FL" },
    { "Leesville", "LA" },
    { "Aurora", "CO" },
    { "New Brighton", "MN" },
    { "Xenia", "OH" },
    { "HONOLULU", "HI" },
    { "ANCHORAGE", "AK" },
    { "LITTLE ROCK", "AR" },
    { "LARAMIE", "WY" },
    { "Bend", "or" },
    { "Waco", "TX" },
    { "Tulsa", "OK" },
    { "Omaha", "NE" },
};
inline constexpr std::string_view kClubWords[] = { "AMATEUR RADIO CLUB", "AMATEUR RADIO ASSOCIATION",
    "EMERGENCY RADIO TEAM", "REPEATER GROUP INC", "DX ASSOCIATION", "RADIO AMATEURS", "ARES GROUP",
    "CONTEST CLUB", "MEMORIAL AMATEUR RADIO SOCIETY" };
inline constexpr std::string_view kSuffixes[] = { "JR", "SR", "II", "III" };

inline std::string digits(Random& r, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += char('0' + r.below(10));
    return s;
}

inline std::string letters(Random& r, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += char('A' + r.below(26));
    return s;
}

inline std::string mixedCase(std::string_view upper)
{
    std::string s(upper);
    bool start = true;
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z' && !start)
            c = char(c - 'A' + 'a');
        start = !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z');
    }
    return s;
}

// A call sign: the first letter K, W, N or A in the shares of the national file, a
// call-area digit and the suffix letters, in the usual formats (1x2, 1x3, 2x1, 2x2, 2x3).
inline std::string callSign(Random& r)
{
    const std::uint32_t p = r.below(100);
    const char first = p < 60 ? 'K' : p < 77 ? 'W' : p < 92 ? 'N' : 'A';
    std::string call(1, first);
    const std::uint32_t format = r.below(100);
    int prefixLetters = format < 25 ? 1 : 2;
    if (first == 'A')
        prefixLetters = 2;
    if (prefixLetters == 2)
        call += first == 'A' ? char('A' + r.below(12)) : char('A' + r.below(26));
    call += char('0' + r.below(10));
    const int suffixLetters = format < 5 ? 2 : format < 25 ? 3 : format < 33 ? 1 : format < 45 ? 2 : 3;
    call += letters(r, suffixLetters);
    return call;
}

// One record, without its line end. id is the unique system identifier.
inline std::string record(Random& r, std::uint32_t id)
{
    const bool club = r.percent(3);
    const bool mixed = r.percent(30);
    auto text = [&](std::string_view upper) { return mixed ? mixedCase(upper) : std::string(upper); };

    std::string call = r.below(1000) == 0 ? std::string() : callSign(r);
    std::string entity, first, middle, last, suffix, attention;
    if (club) {
        entity = text(std::string(r.pick(kPlaces).city) + " " + std::string(r.pick(kClubWords)));
        if (r.percent(70))
            attention = text(std::string(r.pick(kFirstNames)) + " " + letters(r, 1) + " "
                + std::string(r.pick(kLastNames)));
    } else {
        first = text(r.pick(kFirstNames));
        middle = r.percent(70) ? letters(r, 1) : std::string();
        last = text(r.pick(kLastNames));
        suffix = r.percent(3) ? std::string(r.pick(kSuffixes)) : std::string();
        entity = last + ", " + first + (middle.empty() ? "" : " " + middle)
            + (suffix.empty() ? "" : " " + suffix);
        if (r.percent(4))
            attention = text(std::string(r.pick(kFirstNames)) + " " + last);
    }
    std::string street = std::to_string(1 + r.below(r.percent(50) ? 999 : 29999)) + " "
        + text(r.pick(kStreetNames)) + " " + std::string(r.pick(kStreetTypes));
    if (r.percent(15))
        street += (r.percent(50) ? "   Apt " : " UNIT ") + std::to_string(1 + r.below(400));
    const Place place = r.pick(kPlaces);
    const std::string zip = digits(r, r.percent(40) ? 9 : 5);
    const std::string email = r.percent(5) ? letters(r, 6 + int(r.below(6))) + "@example.net" : std::string();

    std::string line;
    line.reserve(200);
    auto field = [&line](std::string_view value) {
        line += value;
        line += '|';
    };
    field("EN");
    field(std::to_string(id));
    field("");
    field("");
    field(call);
    field("L");
    field("L0" + digits(r, 7));
    field(entity);
    field(first);
    field(middle);
    field(last);
    field(suffix);
    field("");
    field("");
    field(email);
    field(street);
    field(text(place.city));
    field(place.state);
    field(zip);
    field("");
    field(attention);
    field("000");
    field("00" + digits(r, 8));
    field(club ? "B" : "I");
    for (int i = 0; i < 5; ++i)
        field("");
    // field 30, the last, has no separator behind it
    return line;
}

// Writes records licences to out, each line ended by CR LF (or LF). Returns false when
// writing failed.
inline bool writeEnFile(std::FILE* out, std::uint64_t records, std::uint64_t seed, bool crlf = true)
{
    Random r(seed);
    // About one record in five has a six-digit identifier, the rest seven digits; the
    // identifiers grow through the file as in the FCC's own.
    const std::uint64_t sixDigit = records / 5;
    std::string buffer;
    buffer.reserve(1 << 20);
    for (std::uint64_t i = 0; i < records; ++i) {
        std::uint32_t id;
        if (i < sixDigit)
            id = std::uint32_t(100000 + i * 899999 / (sixDigit ? sixDigit : 1));
        else
            id = std::uint32_t(1000000 + (i - sixDigit) * 8999999 / (records - sixDigit));
        buffer += record(r, id);
        buffer += crlf ? "\r\n" : "\n";
        if (buffer.size() >= (1u << 20) - 512) {
            if (std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size())
                return false;
            buffer.clear();
        }
    }
    return std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size() && std::fflush(out) == 0;
}

} // namespace fccgen
