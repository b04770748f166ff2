#include "checkin/Station.h"

void Station::set(StationField field, const QString& text)
{
    QString clean = text.trimmed();
    if (field == StationField::Call)
        clean = clean.toUpper();
    m_fields[std::size_t(field)] = clean;
}

void Station::setAsShown(StationField field, const QString& text)
{
    if (field == StationField::Call)
        set(field, text);
    else
        m_fields[std::size_t(field)] = text;
}

CheckInFields Station::checkInFields() const
{
    return { call(), text(StationField::FirstName), text(StationField::City), text(StationField::State) };
}

Station typedStation(const QString& call, const QString& name, const QString& city, const QString& state)
{
    Station s(CheckInSource::Manual, QStringLiteral("typed"));
    s.set(StationField::Call, call);
    s.set(StationField::FirstName, name.toUpper());
    s.set(StationField::City, city);
    s.set(StationField::State, state);
    return s;
}

QString stationIdentity(const QString& call)
{
    return call.trimmed().toUpper();
}
