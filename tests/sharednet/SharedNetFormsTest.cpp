// The SHARE NET and JOIN NET forms, and the words of a shared net.
#include "Operator.h"
#include "TestServer.h"

#include "sharednet/JoinNetForm.h"
#include "sharednet/ShareNetForm.h"
#include "sharednet/SharedNetText.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(SharedNetForms, ShareFormProposesTheNameAndWantsEveryField)
{
    ShareNetForm form("host=/run/velmora dbname=velmora", defaultNetName("ARC", QDate(2026, 12, 9)), "");
    auto* server = form.findChild<QLineEdit*>("editSERVER");
    auto* name = form.findChild<QLineEdit*>("editNETNAME");
    auto* call = form.findChild<QLineEdit*>("editOPERATOR");
    auto* ok = form.findChild<QPushButton*>("btnOK");
    ASSERT_TRUE(server && name && call && ok);
    EXPECT_EQ(name->text(), "ARC net 2026-12-09");
    EXPECT_FALSE(ok->isEnabled()); // no call yet
    QTest::keyClicks(call, "n5ncs");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(form.operatorCall(), "N5NCS");
    name->clear();
    EXPECT_FALSE(ok->isEnabled());
}

TEST(SharedNetForms, JoinFormListsTheOpenNetsOfTheServerAndJoinsTheOneChosen)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), "Tuesday net", "N5NCS"));
    ncs.add("K5ABC");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));

    JoinNetForm form("host=/nowhere/at/all dbname=velmora", "k5log",
        [&](const QString& c, QString* m) { return logger.session.openNets(c, m); });
    auto* server = form.findChild<QLineEdit*>("editSERVER");
    auto* nets = form.findChild<QListWidget*>("lstNETS");
    auto* note = form.findChild<QLabel*>("lblNOTE");
    auto* ok = form.findChild<QPushButton*>("btnOK");
    ASSERT_TRUE(server && nets && note && ok);
    form.listNets();
    EXPECT_EQ(nets->count(), 0);
    EXPECT_TRUE(note->text().startsWith("The server localhost cannot be reached"))
        << note->text().toStdString();
    EXPECT_FALSE(ok->isEnabled());

    server->setText(db.conninfo("k5log"));
    QTest::keyClick(server, Qt::Key_Return);
    ASSERT_EQ(nets->count(), 1);
    // Name, net control, opening time (the server's) and operators.
    const QString opened = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:");
    EXPECT_TRUE(nets->item(0)->text().startsWith("Tuesday net   N5NCS   " + opened))
        << nets->item(0)->text().toStdString();
    EXPECT_TRUE(nets->item(0)->text().endsWith("   N5NCS"));
    EXPECT_EQ(form.netId(), ncs.session.serverNet());
    EXPECT_TRUE(ok->isEnabled());
    ASSERT_TRUE(logger.session.join(form.server(), form.netId(), form.operatorCall()));
    EXPECT_EQ(logger.lines(), QStringList { "1 K5ABC [] by N5NCS" });
    EXPECT_TRUE(logger.session.label().startsWith(
        "Shared: Tuesday net on " + testServerShownName() + ", 2 operators"));
    // The one net control repeat notice, with who logged the line.
    EXPECT_TRUE(repeatNotice(" K5ABC ", logger.list.at(logger.indexOf("K5ABC")), QTimeZone::utc())
                    .endsWith(" by N5NCS"));
    // The joined list begins with the net's date line, as the net control's does.
    EXPECT_TRUE(logger.list.at(0).dateLine);
    EXPECT_EQ(logger.session.netControl(), "N5NCS");
    EXPECT_EQ(sharedLabelText(false, "Tuesday net", "localhost", 2, 3), "OFFLINE: 3 changes waiting");
}
