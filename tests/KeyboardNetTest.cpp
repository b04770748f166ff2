// A whole net run from the keyboard on the demonstration installation, as an operator runs
// it: every key goes to the widget that has the focus. Typos, suffixes, spouse calls, FCC-only
// and new stations, a repeat, statuses, a wrong line deleted and brought back, and a save:
// the file holds exactly the stations meant, numbered, with their statuses.
#include "NetFixture.h"
#include "PageProbes.h"

#include "licence/FccIndexLoader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>

namespace {
class KeyboardNet : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = QDir::currentPath();
        QDir::setCurrent(binaryDir() + "/demo");
        CreatePages(binaryDir() + "/demo");
        ASSERT_NE(frmNET, nullptr);
        auto* main = static_cast<QWidget*>(frmMainA);
        click(child(main, "VRstart"));
        click(child(main, "VR4"));
        ASSERT_TRUE(QTest::qWaitForWindowActive(page()));
        netPage().fccCallIndex().start(
            QDir::currentPath() + "/FCCraw/EN.dat", QString(), std::chrono::milliseconds(0));
        ASSERT_TRUE(netPage().fccCallIndex().waitForFinished(10000));
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        DestroyPages();
        QDir::setCurrent(previous);
    }
    QWidget* page() const { return static_cast<QWidget*>(frmNET); }
    // Keys go where the focus is, as they do at the keyboard.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, k, modifiers);
    }
    void typeIn(const QString& text)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, text);
    }
    // The operator hears a call, types it and presses Enter.
    void heard(const QString& text)
    {
        typeIn(text);
        key(Qt::Key_Return);
    }
    QString note() const { return child<QLabel>(page(), "lblQUICKNOTE")->text(); }
    const CheckInList& list() const { return netPage().checkInList(); }
    QString lastCall() const { return list().at(list().size() - 1).call; }
    void expectLast(const char* call) const
    {
        EXPECT_EQ(lastCall(), call) << "note: " << note().toStdString();
    }

    QString previous;
    RecordingDialogs dialogs;
    QTemporaryDir out;
};
} // namespace

TEST_F(KeyboardNet, ThirtyStationsLoggedExactlyAsMeant)
{
    QStringList meant; // "number call status" of every station the operator meant
    auto logged = [&](const QString& call, const QString& status = QString()) {
        meant << QStringLiteral("%1 %2 %3").arg(list().highestNumber()).arg(call, status).trimmed();
    };
    auto expectLast = [&](const char* call) {
        EXPECT_EQ(lastCall(), call) << "after " << call << ", note: " << note().toStdString();
    };

    // Roster members, typed in full.
    for (const char* call : { "W4OZV", "WW8MPN", "kg2d" }) {
        heard(call);
        expectLast(QString(call).toUpper().toLatin1().constData());
        logged(QString(call).toUpper());
    }
    // Only the suffix was caught, and one club station ends with it: Enter checks it in.
    heard("OZB");
    expectLast("K5OZB");
    logged("K5OZB");
    // Two letters swapped: the first Enter logs nothing and names the station meant.
    heard("K7NKV");
    EXPECT_TRUE(note().startsWith("K7NKV is on no list. Did you mean K7NVK")) << note().toStdString();
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    expectLast("K7NVK");
    logged("K7NVK");
    // In the FCC file only; a spouse call of the chapter's spreadsheet.
    heard("KG4IDK");
    expectLast("KG4IDK");
    logged("KG4IDK");
    heard("AC5DL");
    expectLast("AC5DL");
    EXPECT_EQ(list().at(list().size() - 1).name, "George");
    logged("AC5DL");
    // A station on no list at all takes a second Enter; one given whole goes in as typed.
    heard("KE5NEW");
    key(Qt::Key_Return);
    expectLast("KE5NEW");
    logged("KE5NEW");
    heard("kd5zzz, bob, Lubbock, TX");
    expectLast("KD5ZZZ");
    logged("KD5ZZZ");
    heard("N3UB");
    logged("N3UB");
    // A repeat is pointed out and not logged; Esc and the operator goes on.
    const int before = list().size();
    heard("W4OZV");
    EXPECT_TRUE(note().startsWith("W4OZV is already checked in as #1")) << note().toStdString();
    EXPECT_EQ(list().size(), before);
    key(Qt::Key_Escape);
    // Statuses land on the station just heard.
    heard("KF7UVP");
    key(Qt::Key_M, Qt::AltModifier);
    logged("KF7UVP", "M/S");
    heard("W8LS");
    key(Qt::Key_R, Qt::AltModifier);
    logged("W8LS", "R");
    heard("N5UWK");
    logged("N5UWK");
    // A slip: Enter twice on a typo logs a station that is not there. Tab to the list, End,
    // Delete takes it off; a second Delete takes nothing more.
    heard("N5UWKK");
    key(Qt::Key_Return);
    expectLast("N5UWKK");
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "lstboxCheckIN");
    key(Qt::Key_End);
    key(Qt::Key_Delete);
    key(Qt::Key_Delete);
    expectLast("N5UWK");
    // Another line deleted by mistake comes back with Ctrl+Z, in its place.
    key(Qt::Key_Up);
    key(Qt::Key_Delete);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_F2);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "editQUICK");
    for (const char* call : { "KM1ZZ", "W8OHE", "AH3UN", "W5LJN", "KI5LL" }) {
        heard(call);
        expectLast(call);
        logged(call);
    }
    key(Qt::Key_T, Qt::AltModifier);
    meant.last() += " T";
    // A club call caught by its last three characters, ahead of FCC calls.
    heard("1AB");
    expectLast("KN1AB");
    logged("KN1AB");
    for (const char* call :
        { "N6NWN", "K1PJG", "N1XDT", "WT5D", "AA0WW", "KD7XRN", "WX5VTF", "K6VAB", "W1APT", "AJ4HC" }) {
        heard(call);
        expectLast(call);
        logged(call);
    }
    heard("ke7egu"); // the last one is in the FCC file only
    expectLast("KE7EGU");
    logged("KE7EGU");
    ASSERT_EQ(meant.size(), 30);

    // Saved with Ctrl+S: the file holds the stations meant, in order, and nothing else.
    const QString file = out.filePath("net.txt");
    dialogs.fileNames = { file };
    key(Qt::Key_S, Qt::ControlModifier);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QStringList got;
    for (const QByteArray& line : saved.readAll().split('\n')) {
        const QStringList f = QString::fromUtf8(line).split(' ', Qt::SkipEmptyParts);
        if (f.size() >= 2 && f[0] != "DATE")
            got << QStringLiteral("%1 %2").arg(f[0], f[1]);
    }
    QStringList numbered;
    QStringList statuses, meantStatuses;
    for (const QString& m : meant)
        numbered << m.section(' ', 0, 1);
    EXPECT_EQ(got, numbered);
    for (int i = 0; i < list().size(); ++i)
        if (!list().at(i).dateLine && !list().at(i).status.isEmpty())
            statuses << QStringLiteral("%1 %2").arg(list().at(i).call, list().at(i).status);
    for (const QString& m : meant)
        if (m.count(' ') == 2)
            meantStatuses << m.section(' ', 1, 2);
    EXPECT_EQ(statuses, meantStatuses);
}

// What the operator catches of a call is often its end: a part that one club station matches
// is that station; a part several match is picked with Down. A slip is taken back from the
// empty QUICK CALL box, where the focus already is.
TEST_F(KeyboardNet, APartOfACallHeardAndASlipTakenBackFromTheBox)
{
    heard("W4OZV");
    // One club station ends with VNI: it is highlighted, and one Enter checks it in.
    typeIn("VNI");
    const auto suggestions = child<QListWidget>(page(), "lstQUICK");
    ASSERT_GE(suggestions->currentRow(), 0);
    EXPECT_TRUE(suggestions->currentItem()->text().startsWith("W1VNI"));
    key(Qt::Key_Return);
    expectLast("W1VNI");
    ASSERT_EQ(list().checkInCount(), 2);

    // Two club stations end with YMT: Enter checks nothing in and says how to pick one; the note
    // never says that no station matches while they are listed.
    typeIn("YMT");
    EXPECT_EQ(suggestions->currentRow(), -1);
    key(Qt::Key_Return);
    EXPECT_EQ(list().checkInCount(), 2);
    EXPECT_TRUE(note().contains(QRegularExpression("^[2-9][0-9]* stations match YMT: Down picks one")))
        << note().toStdString();
    EXPECT_FALSE(note().contains("No station")) << note().toStdString();
    key(Qt::Key_Down);
    const QString picked = suggestions->currentItem()->text().section(' ', 0, 0);
    EXPECT_TRUE(picked == "KM2YMT" || picked == "W8YMT") << picked.toStdString();
    key(Qt::Key_Return);
    EXPECT_EQ(lastCall(), picked);
    ASSERT_EQ(list().checkInCount(), 3);

    // A whole call on no list still takes a second Enter.
    heard("KE5NEW");
    EXPECT_EQ(list().checkInCount(), 3);
    key(Qt::Key_Return);
    expectLast("KE5NEW");

    // That was a slip: Delete in the empty box takes it off, Ctrl+Z brings it back.
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "editQUICK");
    key(Qt::Key_Delete);
    EXPECT_EQ(list().checkInCount(), 3);
    expectLast(picked.toLatin1().constData());
    key(Qt::Key_Delete); // nothing selected any more: nothing else goes
    EXPECT_EQ(list().checkInCount(), 3);
    key(Qt::Key_Z, Qt::ControlModifier);
    expectLast("KE5NEW");
    // Delete in a box holding text deletes a character, never a check-in.
    typeIn("K5X");
    key(Qt::Key_Home);
    key(Qt::Key_Delete);
    EXPECT_EQ(child<QLineEdit>(page(), "editQUICK")->text(), "5X");
    EXPECT_EQ(list().checkInCount(), 4);
}
