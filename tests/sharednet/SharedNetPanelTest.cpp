// The shared net's part of the net page on its own: its buttons, its state line and its note,
// over a journal in a folder of the test's and the test's server, without the pages.
#include "Operator.h"
#include "TestServer.h"
#include "TestSupport.h"

#include "sharednet/SharedNetPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

TEST(SharedNetPanelPart, ShowsTheNetItSharesSaysWhatWentWrongOnceAndTurnsRedOffline)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    RecordingDialogs dialogs;
    Operator ncs;
    ncs.session.setStatementWait(2000);
    QWidget page;
    auto* share = new QPushButton(&page);
    auto* join = new QPushButton(&page);
    auto* state = new QLabel(&page);
    QStringList notes;
    {
        SharedNetPanel panel(ncs.session, share, join, state, &page);
        panel.setNote([&](const QString& text) { notes << text; });
        EXPECT_FALSE(panel.isShared());
        EXPECT_TRUE(state->text().isEmpty());

        // A sign-in that is not allowed to share: the reason is shown, nothing is shared.
        EXPECT_FALSE(panel.shareNet(db.conninfo("k5log"), "Panel net", "K5LOG"));
        ASSERT_EQ(dialogs.texts().size(), 1);
        EXPECT_TRUE(dialogs.texts().first().contains("Only a net control may share a net"))
            << dialogs.texts().first().toStdString();
        EXPECT_TRUE(state->text().isEmpty());

        ASSERT_TRUE(panel.shareNet(db.conninfo("n5ncs"), "Panel net", "n5ncs"));
        EXPECT_TRUE(panel.isShared());
        ASSERT_TRUE(waitFor([&] {
            return state->text() == "Shared: Panel net on " + testServerShownName() + ", 1 operators";
        })) << state->text().toStdString();
        EXPECT_TRUE(state->styleSheet().contains("#80ff80"));

        // What the session has to say reaches the page's note once, and stays in the tooltip.
        emit ncs.session.problem("The server refused a change: no.");
        EXPECT_EQ(notes, QStringList { "The server refused a change: no." });
        EXPECT_EQ(state->toolTip(), "The server refused a change: no.");

        // Off line, the line says how many changes wait, in red.
        ncs.session.setBackoff(60000, 60000);
        ncs.session.dropConnection();
        ncs.add("K5ABC"); // and the net control's first identification with it
        ASSERT_TRUE(waitFor([&] { return state->text() == "OFFLINE: 2 changes waiting"; }))
            << state->text().toStdString();
        EXPECT_TRUE(state->styleSheet().contains("#ff3030"));
    }
    // The panel goes with its page; the session, the net session's, goes on.
    EXPECT_TRUE(ncs.session.isShared());
    EXPECT_EQ(ncs.session.waitingChanges(), 2);
}
