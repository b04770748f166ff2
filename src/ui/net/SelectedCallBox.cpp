#include "net/SelectedCallBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// A field left clear holds blanks, as many as the box has always shown.
QString clearText(StationField field)
{
    switch (field) {
    case StationField::City:
        return QStringLiteral("   ");
    case StationField::State:
        return QStringLiteral("  ");
    default:
        return QStringLiteral(" ");
    }
}
} // namespace

SelectedCallBox::SelectedCallBox(
    std::array<QLineEdit*, kStationFields> fields, QPushButton* add, QLabel* licence, QObject* parent)
    : QObject(parent), m_fields(fields), m_licence(licence)
{
    // The licence line follows the call, also as the operator edits it.
    connect(m_fields[0], &QLineEdit::textChanged, this, &SelectedCallBox::showLicence);
    connect(add, &QPushButton::clicked, this, [this] { emit checkInWanted(station()); });
    add->setToolTip(QStringLiteral("Check in the selected call (Enter)"));
    clear();
}

void SelectedCallBox::show(const Station& station)
{
    m_source = station.source();
    m_origin = station.origin();
    for (int f = 0; f < kStationFields; ++f) {
        const auto field = StationField(f);
        m_fields[std::size_t(f)]->setText(station.has(field) ? station.text(field) : clearText(field));
    }
}

void SelectedCallBox::setLicenceText(LicenceText text)
{
    m_licenceText = std::move(text);
    showLicence();
}

void SelectedCallBox::showLicence()
{
    const QString call = m_fields[0]->text().trimmed();
    const auto [text, red]
        = m_licenceText && !call.isEmpty() ? m_licenceText(call) : std::pair<QString, bool>();
    m_licence->setText(text);
    m_licence->setStyleSheet(
        QStringLiteral("color: %1; font: bold 9pt \"Arial\";").arg(red ? "#ff3030" : "white"));
}

void SelectedCallBox::clear()
{
    show(Station(CheckInSource::Manual, QString()));
}

Station SelectedCallBox::station() const
{
    Station s(m_source, m_origin);
    for (int f = 0; f < kStationFields; ++f)
        s.setAsShown(StationField(f), m_fields[std::size_t(f)]->text());
    return s;
}
