// A shared net on the net page itself: SHARE NET and JOIN NET as their forms' OK does them,
// lines of other operators in the page's check-in list, who logged each line, and the
// question before a joined net replaces an unsaved local one.
#include "NetFixture.h"
#include "Operator.h"
#include "TestServer.h"

#include <QDir>
#include <QLabel>
#include <QUuid>

namespace {
class SharedNetPage : public NetPage {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(journal.isValid());
        SetJournalFolder(journal.path());
        NetPage::SetUp();
        ASSERT_TRUE(db.ok());
        openNetPage();
    }
    void TearDown() override
    {
        NetPage::TearDown();
        SetJournalFolder(QString());
    }
    void quickCheckIn(const char* call)
    {
        QLineEdit* quick = edit("editQUICK");
        quick->setFocus();
        QTest::keyClicks(quick, call);
        QTest::keyClick(quick, Qt::Key_Return);
    }
    QString shared() const { return child<QLabel>(net(), "lblSHARED")->text(); }
    // The row of the page's check-in list that holds call, or -1.
    int rowOf(const QString& call) const
    {
        const QStringList all = lines("lstboxCheckIN");
        for (int i = 0; i < all.size(); ++i)
            if (all[i].contains(QLatin1Char(' ') + call + QLatin1Char(' ')))
                return i;
        return -1;
    }

    QTemporaryDir journal;
    TestDatabase db;
};

bool hasCall(const QStringList& lines, const QString& call)
{
    return std::any_of(
        lines.begin(), lines.end(), [&](const QString& l) { return l.contains(" " + call + " "); });
}
} // namespace

TEST_F(SharedNetPage, SharedFromThePageEveryLineReachesTheOthersAndTheirsShowInPlace)
{
    quickCheckIn("K5ABC"); // a line logged before the net is shared goes to the server too
    ASSERT_TRUE(ShareNet(db.conninfo("n5ncs"), "Tuesday net", "n5ncs"));
    EXPECT_TRUE(shared().startsWith("Shared: Tuesday net on ")) << shared().toStdString();

    Operator logger;
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), "Tuesday net", "K5LOG"));
    ASSERT_TRUE(waitFor([&] { return hasCall(logger.lines(), "K5ABC"); }))
        << logger.lines().join('|').toStdString();

    quickCheckIn("W3XYZ");
    ASSERT_TRUE(waitFor([&] { return hasCall(logger.lines(), "W3XYZ"); }));
    logger.add("K9NEW");
    ASSERT_TRUE(waitFor([&] { return rowOf("K9NEW") >= 0; }));
    EXPECT_TRUE(logger.lines().contains("2 W3XYZ [] by N5NCS")) << logger.lines().join('|').toStdString();
    // The other operator's line is numbered by the server, after the page's two.
    const int row = rowOf("K9NEW");
    EXPECT_TRUE(lines("lstboxCheckIN")[row].startsWith("3  K9NEW"))
        << lines("lstboxCheckIN")[row].toStdString();
    EXPECT_EQ(list("lstboxCheckIN").view()->model()->index(row, 0).data(Qt::ToolTipRole).toString(),
        "Logged by K5LOG");
    // Who logged a line is in the line on the screen, not only in its tooltip.
    EXPECT_TRUE(lines("lstboxCheckIN")[row].endsWith("   by K5LOG"))
        << lines("lstboxCheckIN")[row].toStdString();
    EXPECT_TRUE(lines("lstboxCheckIN")[rowOf("W3XYZ")].endsWith("   by N5NCS"));
    EXPECT_TRUE(waitFor([&] { return shared().endsWith(", 2 operators"); })) << shared().toStdString();

    // A repeat of the other operator's station is pointed out with who logged it.
    quickCheckIn("K9NEW");
    const QString note = child<QLabel>(net(), "lblQUICKNOTE")->text();
    EXPECT_TRUE(note.startsWith("K9NEW is already checked in as #3 at ")) << note.toStdString();
    EXPECT_TRUE(note.contains("by K5LOG")) << note.toStdString();

    // Ctrl+N leaves the shared list as it is: a net of one's own would mix with theirs.
    const int lines = list("lstboxCheckIN").count();
    QTest::keyClick(edit("editQUICK"), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(list("lstboxCheckIN").count(), lines);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(SharedNetPage, JoiningAsksBeforeAnUnsavedLocalNetIsReplaced)
{
    Operator ncs;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), "Tuesday net", "N5NCS"));
    ncs.add("K5AB");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));

    quickCheckIn("W3XYZ");
    ASSERT_GE(rowOf("W3XYZ"), 0);
    dialogs.answers = { Dialogs::SaveChoice::Cancel };
    EXPECT_FALSE(JoinNet(db.conninfo("k5log"), "Tuesday net", "k5log"));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_GE(rowOf("W3XYZ"), 0); // kept
    EXPECT_TRUE(shared().isEmpty());

    dialogs.answers = { Dialogs::SaveChoice::Discard };
    ASSERT_TRUE(JoinNet(db.conninfo("k5log"), "Tuesday net", "k5log"));
    EXPECT_LT(rowOf("W3XYZ"), 0);
    EXPECT_GE(rowOf("K5AB"), 0);
    EXPECT_TRUE(shared().startsWith("Shared: Tuesday net on ")) << shared().toStdString();

    // What the joined operator logs reaches the net control, in the logger's name.
    quickCheckIn("KD3Q");
    ASSERT_TRUE(waitFor([&] { return hasCall(ncs.lines(), "KD3Q"); })) << ncs.lines().join('|').toStdString();
    EXPECT_TRUE(ncs.lines().contains("2 KD3Q [] by K5LOG")) << ncs.lines().join('|').toStdString();
}

// A sign-in with a password and no password file: the page asks for it, a wrong one is told,
// and the password is kept nowhere on disk.
TEST_F(SharedNetPage, APasswordIsAskedForAndNeverWritten)
{
    const QString user = QStringLiteral("pw") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    ASSERT_TRUE(db.addPasswordSignIn(user, "right horse"));
    dialogs.passwords = { "wrong horse" };
    EXPECT_FALSE(ShareNet(db.conninfo(user), "Tuesday net", "n5ncs"));
    ASSERT_EQ(dialogs.passwordQuestions.size(), 1);
    EXPECT_TRUE(dialogs.passwordQuestions[0].startsWith("Password of " + user + " on "))
        << dialogs.passwordQuestions[0].toStdString();
    ASSERT_FALSE(dialogs.texts().isEmpty());
    EXPECT_TRUE(dialogs.texts().last().contains("password authentication failed"))
        << dialogs.texts().last().toStdString();
    EXPECT_TRUE(shared().isEmpty());

    dialogs.passwords = { "right horse" };
    ASSERT_TRUE(ShareNet(db.conninfo(user), "Tuesday net", "n5ncs"));
    quickCheckIn("K5ABC");
    EXPECT_TRUE(shared().startsWith("Shared: Tuesday net on ")) << shared().toStdString();
    for (const QFileInfo& file : QDir(journal.path()).entryInfoList(QDir::Files)) {
        QFile f(file.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.readAll().contains("right horse")) << file.fileName().toStdString();
    }
}

// Off line, the label is red only while changes wait to be sent.
TEST_F(SharedNetPage, OfflineIsRedOnlyWhileChangesWait)
{
    PrivateCluster cluster;
    ASSERT_TRUE(cluster.ok());
    TestDatabase own(cluster.base());
    ASSERT_TRUE(own.ok());
    ASSERT_TRUE(ShareNet(own.conninfo("n5ncs"), "Tuesday net", "n5ncs"));
    const QLabel* label = child<QLabel>(net(), "lblSHARED");
    ASSERT_TRUE(cluster.halt());
    ASSERT_TRUE(waitFor([&] { return shared() == "OFFLINE: 0 changes waiting"; }, 30000))
        << shared().toStdString();
    EXPECT_FALSE(label->styleSheet().contains("#ff3030")) << label->styleSheet().toStdString();
    quickCheckIn("K5ABC");
    ASSERT_TRUE(waitFor(
        [&] { return shared().startsWith("OFFLINE: ") && shared() != "OFFLINE: 0 changes waiting"; }, 5000))
        << shared().toStdString();
    EXPECT_TRUE(label->styleSheet().contains("#ff3030"));
    ASSERT_TRUE(cluster.resume());
    ASSERT_TRUE(waitFor([&] { return shared().startsWith("Shared: "); }, 30000)) << shared().toStdString();
    EXPECT_FALSE(label->styleSheet().contains("#ff3030"));
}
