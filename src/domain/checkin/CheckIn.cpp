#include "checkin/CheckIn.h"

#include <iterator>

namespace {
// The names the journal and the exports write; never renamed, old journals hold them.
const char* const sourceNames[] = { "roster", "manual", "fcc", "spreadsheet", "club" };
} // namespace

QString sourceName(CheckInSource source)
{
    return QString::fromLatin1(sourceNames[int(source)]);
}

CheckInSource sourceFromName(const QString& name)
{
    for (int i = 0; i < int(std::size(sourceNames)); ++i)
        if (name == QLatin1String(sourceNames[i]))
            return CheckInSource(i);
    return CheckInSource::Manual;
}
