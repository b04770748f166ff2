#include "lookup/CallText.h"

#include <QStringList>

namespace {

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

} // namespace

std::optional<std::string> normaliseCallText(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.size() > std::size_t(kMaxCallLength))
        return std::nullopt;
    std::string call(text);
    for (char& c : call) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (!isLetter(c) && !isDigit(c))
            return std::nullopt;
    }
    return call;
}

std::optional<std::string> normaliseCallText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > kMaxCallLength)
        return std::nullopt;
    for (const QChar c : trimmed)
        if (c.unicode() > 0x7F)
            return std::nullopt;
    const QByteArray ascii = trimmed.toLatin1();
    return normaliseCallText(std::string_view(ascii.constData(), std::size_t(ascii.size())));
}

bool looksLikeCallSign(std::string_view call)
{
    // Every prefix form is two characters at most, so try each length.
    auto prefix = [&](std::size_t n) {
        if (n == 1)
            return isLetter(call[0]);
        return (isLetter(call[0]) && isLetter(call[1])) || (isLetter(call[0]) && isDigit(call[1]))
            || (isDigit(call[0]) && isLetter(call[1]));
    };
    for (std::size_t n = 1; n <= 2; ++n) {
        if (call.size() < n + 2 || !prefix(n) || !isDigit(call[n]))
            continue;
        const std::string_view suffix = call.substr(n + 1);
        if (suffix.size() > 4)
            continue;
        bool letters = true;
        for (char c : suffix)
            letters = letters && isLetter(c);
        if (letters)
            return true;
    }
    return false;
}

bool withinOneEdit(std::string_view a, std::string_view b)
{
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > 1)
        return false;
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    if (a.size() == b.size()) {
        if (i == a.size())
            return false; // equal
        // One change, or two neighbours swapped.
        if (a.substr(i + 1) == b.substr(i + 1))
            return true;
        return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
    }
    // b has one character more: it is b[i].
    return a.substr(i) == b.substr(i + 1);
}

std::optional<CommaStation> parseCommaForm(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    const QStringList fields = clean.split(QLatin1Char(','));
    if (fields.size() < 2 || fields.size() > 4)
        return std::nullopt;
    CommaStation station;
    station.call = fields[0].trimmed().toUpper();
    if (station.call.isEmpty() || station.call.size() > kMaxCallLength + 4)
        return std::nullopt;
    for (const QChar c : station.call) {
        const char l = c.toLatin1();
        if (c.unicode() > 0x7F || !(isLetter(l) || isDigit(l) || l == '/'))
            return std::nullopt;
    }
    station.name = fields.value(1).trimmed();
    station.city = fields.value(2).trimmed();
    station.state = fields.value(3).trimmed();
    return station;
}
