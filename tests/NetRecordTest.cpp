// The net's clock and record on the page: the timer, the identification reminder, statuses,
// the CSV export, the printed report and attendance, all on a clock the test sets.
#include "NetFixture.h"
#include "PageProbes.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPdfWriter>
#include <QProcess>

namespace {
QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class NetRecord : public NetPage {
protected:
    void SetUp() override
    {
        SetNetClock([this] { return now; });
        NetPage::SetUp();
        openNetPage();
    }
    void TearDown() override
    {
        NetPage::TearDown();
        SetNetClock({});
    }
    void minutes(double m)
    {
        now += std::int64_t(m * 60'000);
        netPage().updateNetClock();
    }
    QString netTime() const { return child<QLabel>(net(), "lblNETTIME")->text(); }
    LineProbe line(int row) const { return list("lstboxCheckIN")->item(row); }
    std::int64_t now = 1'765'240'000'000; // 2025-12-09 00:26:40 UTC
};

TEST_F(NetRecord, TheTimerRunsFromTheFirstCheckInAndTheReminderTurnsYellowThenRed)
{
    EXPECT_EQ(netTime(), "NET --:--");
    EXPECT_EQ(face("panIDENT"), clGray);
    minutes(3); // waiting for stations: the net has not begun
    addStation("K5A"); // the first check-in is the first identification
    EXPECT_EQ(netTime(), "NET 0:00:00");
    minutes(7.99);
    EXPECT_EQ(netTime(), "NET 0:07:59");
    EXPECT_EQ(face("panIDENT"), clGray);
    EXPECT_EQ(panel("panIDENT")->caption(), "ID 7 min");
    minutes(0.01);
    EXPECT_EQ(face("panIDENT"), clYellow);
    minutes(2);
    EXPECT_EQ(face("panIDENT"), clRed);
    EXPECT_EQ(panel("panIDENT")->caption(), "ID 10 min");

    click(w("panIDENT")); // identified now
    EXPECT_EQ(face("panIDENT"), clGray);
    minutes(9);
    EXPECT_EQ(face("panIDENT"), clYellow);
    QTest::keyClick(edit("editQUICK"), Qt::Key_F9);
    EXPECT_EQ(face("panIDENT"), clGray);
    EXPECT_EQ(netPage().checkInList().identifications().size(), 3u);
    EXPECT_TRUE(dialogs.shown.empty()); // colour alone: no box

    // Back from another page the net goes on; after a restart and restore it goes on too.
    minutes(61);
    click(w("panQUIT"));
    click(child(static_cast<QWidget*>(frmMainA), "VR4"));
    EXPECT_EQ(netTime(), "NET 1:20:00");
    DestroyPages();
    dialogs.chosen = { 0 };
    CreatePages(install.path());
    netPage().updateNetClock();
    EXPECT_EQ(netTime(), "NET 1:20:00");
    EXPECT_EQ(face("panIDENT"), clRed); // 61 minutes since F9
}

// After a save, Ctrl+N begins the next net: its timer and reminder start from its own first
// check-in, never from the net before.
TEST_F(NetRecord, ANewNetHasItsOwnClock)
{
    addStation("K5A");
    minutes(45);
    EXPECT_EQ(face("panIDENT"), clRed);
    // Unsaved: the operator is asked first and may keep the list.
    QTest::keyClick(edit("editQUICK"), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(netPage().checkInList().checkInCount(), 1);
    dialogs.fileNames = { install.filePath("first.txt") };
    dialogs.answers = { Dialogs::SaveChoice::Save };
    QTest::keyClick(edit("editQUICK"), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(install.filePath("first.txt")));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1); // today's date line alone
    EXPECT_TRUE(lines("lstboxCheckIN")[0].startsWith("DATE : "));
    EXPECT_EQ(netTime(), "NET --:--");
    EXPECT_EQ(face("panIDENT"), clGray);

    minutes(20); // waiting for the next net's stations
    addStation("K5B");
    EXPECT_EQ(netTime(), "NET 0:00:00");
    EXPECT_TRUE(lines("lstboxCheckIN")[1].startsWith("1  K5B"));
    minutes(5);
    EXPECT_EQ(netTime(), "NET 0:05:00");
    EXPECT_EQ(panel("panIDENT")->caption(), "ID 5 min");
    EXPECT_EQ(face("panIDENT"), clGray);
}
TEST_F(NetRecord, StatusesByKeysAndMenuAreShownBesideTheLineAndKeptOnRestore)
{
    for (const char* call : { "K5A", "K5B", "K5C" })
        addStation(call);
    const QStringList text = lines("lstboxCheckIN");
    // Alt+T marks the station just checked in.
    QTest::keyClick(edit("editQUICK"), Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(netPage().checkInList().at(3).status, "T");
    // Alt+R on the selected line.
    list("lstboxCheckIN")->setCurrentRow(1);
    QTest::keyClick(list("lstboxCheckIN"), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(netPage().checkInList().at(1).status, "R");

    // The right-click menu on the second check-in.
    const auto l = list("lstboxCheckIN");
    l->setCurrentRow(2);
    emit l->customContextMenuRequested(l->visualItemRect(line(2)).center());
    auto* menu = net()->findChild<QMenu*>("menuSTATUS");
    ASSERT_NE(menu, nullptr);
    QAction* checkedOut = nullptr;
    for (QAction* a : menu->actions())
        if (a->data().toString() == "OUT")
            checkedOut = a;
    ASSERT_NE(checkedOut, nullptr);
    checkedOut->trigger();
    EXPECT_EQ(netPage().checkInList().at(2).status, "OUT");
    menu->close();

    EXPECT_EQ(lines("lstboxCheckIN"), text); // the line's text never carries the status
    EXPECT_EQ(line(1)->data(Qt::UserRole + 1).toString(), "R");

    DestroyPages();
    dialogs.chosen = { 0 };
    CreatePages(install.path());
    EXPECT_EQ(lines("lstboxCheckIN"), text);
    EXPECT_EQ(netPage().checkInList().at(1).status, "R");
    EXPECT_EQ(netPage().checkInList().at(2).status, "OUT");
    EXPECT_EQ(line(3)->data(Qt::UserRole + 1).toString(), "T");
}

// Not built for Windows: it reads the file back with Python's csv module, which runs on Linux.
#ifndef _WIN32
TEST_F(NetRecord, TheCsvExportReadsBackInAnIndependentReader)
{
    edit("editNCS")->setText("w5ncs");
    edit("editSelCITY")->setText("Waco, \"the\" city");
    edit("editSelFN")->setText("Ann\nMarie");
    addStation("K5A");
    edit("editSelFN")->setText(QString::fromUtf8("José"));
    addStation("K5B");
    QTest::keyClick(edit("editQUICK"), Qt::Key_G, Qt::AltModifier);
    QTemporaryDir out;
    const QString file = out.filePath("net.csv");
    dialogs.fileNames = { file };
    click(w("btnExport"));
    ASSERT_TRUE(QFile::exists(file)) << qPrintable(dialogs.texts().join('|'));
    EXPECT_TRUE(dialogs.proposedNames[0].endsWith(".csv"));

    QProcess python;
    python.start("/usr/bin/python3",
        { "-c",
            "import csv,sys\n"
            "rows=[r for r in csv.reader(open(sys.argv[1],encoding='utf-8-sig',newline=''))"
            " if r and not r[0].startswith('#')]\n"
            "for r in rows: print(repr(r[:6]))\n"
            "print(len(rows))",
            file });
    ASSERT_TRUE(python.waitForFinished(20000));
    const QStringList out_lines
        = QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(out_lines.size(), 4) << qPrintable(out_lines.join('\n'));
    EXPECT_EQ(out_lines[0], "['number', 'call', 'name', 'city', 'state', 'status']");
    EXPECT_EQ(out_lines[1], "['1', 'K5A', 'Ann\\nMarie', 'Waco, \"the\" city', '  ', '']");
    EXPECT_EQ(out_lines[2], QString::fromUtf8("['2', 'K5B', 'José', 'Waco, \"the\" city', '  ', 'G']"));
    EXPECT_TRUE(readFile(file).contains("W5NCS")); // the net's facts above the header
}
#endif

TEST_F(NetRecord, ThePrintedReportIsOnePage)
{
    for (int i = 0; i < 60; ++i) {
        addStation(QStringLiteral("K5N%1").arg(i));
        minutes(0.5);
    }
    QTemporaryDir out;
    int pages = 0;
    Dialogs::Hook hook;
    hook.printPages = [&](const std::function<int(QPagedPaintDevice&)>& paint) {
        QPdfWriter pdf(out.filePath("report.pdf"));
        pages = paint(pdf);
        return pages > 0;
    };
    Dialogs::Hook* previous = Dialogs::setHook(&hook);
    click(w("Button2"));
    click(w("btnPrint"));
    Dialogs::setHook(previous);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(readFile(out.filePath("report.pdf")).count("/Type /Page\n")
            + readFile(out.filePath("report.pdf")).count("/Type /Page\r"),
        1);
}

TEST_F(NetRecord, AttendanceCountsNetsAcrossTheJournal)
{
    // Three nets on three days; K5A in all, K5B in one.
    for (int net = 0; net < 3; ++net) {
        addStation("K5A");
        if (net == 1)
            addStation("K5B");
        QTemporaryDir out;
        dialogs.fileNames = { out.filePath("n.txt") };
        click(w("panSAVE"));
        DestroyPages();
        now += 24 * 3600 * 1000LL;
        CreatePages(install.path());
        openNetPage();
    }
    EXPECT_TRUE(netPage().attendanceText("K5A").startsWith("3 of last 3 nets, last "))
        << qPrintable(netPage().attendanceText("K5A"));
    EXPECT_TRUE(netPage().attendanceText("K5B").startsWith("1 of last 3 nets"));
    EXPECT_EQ(netPage().attendanceText("N0NE"), "");

    QTemporaryDir out;
    Dialogs::Hook range;
    dialogs.fileNames = { out.filePath("att.csv") };
    int asked = 0;
    // The range is answered through the same recorder's hook chain: a hook of its own here.
    Dialogs::Hook* previous = Dialogs::setHook(&range);
    range.dateRange = [&](QDate& from, QDate& to) {
        ++asked;
        from = QDate(2020, 1, 1);
        to = QDate(2030, 1, 1);
        return true;
    };
    range.saveFileName = [&](const QString&, const QString&) { return out.filePath("att.csv"); };
    click(w("btnAttendance"));
    Dialogs::setHook(previous);
    EXPECT_EQ(asked, 1);
    const QString csv = QString::fromUtf8(readFile(out.filePath("att.csv")));
    EXPECT_TRUE(csv.contains("K5A,")) << qPrintable(csv);
    EXPECT_TRUE(csv.contains(",3,")) << qPrintable(csv);
}
