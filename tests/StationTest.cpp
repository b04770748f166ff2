// One value for a chosen station: what every look-up hands to SELECTED CALL and the check-in.
#include "checkin/Station.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(Station, EveryFieldLosesItsPaddingAndOnlyTheCallIsUpperCased)
{
    Station s(CheckInSource::Fcc, QStringLiteral("FCC"));
    s.set(StationField::Call, QStringLiteral("  w1aw "));
    s.set(StationField::FirstName, QStringLiteral(" Percy"));
    s.set(StationField::LastName, QStringLiteral("\tMaxim  "));
    s.set(StationField::City, QStringLiteral(" Newington\r\n"));
    s.set(StationField::State, QString());
    EXPECT_EQ(s.call(), "W1AW");
    EXPECT_EQ(s.text(StationField::FirstName), "Percy"); // names keep their case
    EXPECT_EQ(s.text(StationField::LastName), "Maxim");
    EXPECT_EQ(s.text(StationField::City), "Newington");
    // Set empty is set; never set is a field the source does not have.
    EXPECT_TRUE(s.has(StationField::State));
    EXPECT_FALSE(s.has(StationField::SpouseCall));
    EXPECT_EQ(s.text(StationField::SpouseCall), "");
    const CheckInFields in = s.checkInFields();
    EXPECT_EQ(QStringList({ in.call, in.name, in.city, in.state }),
        QStringList({ "W1AW", "Percy", "Newington", "" }));
    EXPECT_EQ(s.source(), CheckInSource::Fcc);

    for (const char* call : { "W1AW", " w1aw", "W1aw\t", "  W1AW  " })
        EXPECT_EQ(stationIdentity(QString::fromLatin1(call)), "W1AW") << call;
    EXPECT_NE(stationIdentity("W1AW"), stationIdentity("W1AWX"));
}

TEST(Station, TheQuickFormUpperCasesCallAndNameAndKeepsCityAndStateAsTyped)
{
    const Station s = typedStation(" k5xyz", "bob smith ", " Tyler", "tx ");
    EXPECT_EQ(s.call(), "K5XYZ");
    EXPECT_EQ(s.text(StationField::FirstName), "BOB SMITH");
    EXPECT_EQ(s.text(StationField::City), "Tyler");
    EXPECT_EQ(s.text(StationField::State), "tx");
    EXPECT_EQ(s.source(), CheckInSource::Manual);
    EXPECT_FALSE(s.has(StationField::LastName));
    const Station accented = typedStation("w5abc", QString::fromUtf8("zoë"), QString::fromUtf8("Açores"), "");
    EXPECT_EQ(accented.text(StationField::FirstName), QString::fromUtf8("ZOË"));
    EXPECT_EQ(accented.text(StationField::City), QString::fromUtf8("Açores"));
}
