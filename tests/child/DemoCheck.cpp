// The program's parts on an installation, used as an operator uses them:
//   velmora-demo-check INSTALL_DIR SAVED_FILE [share|join CONNINFO NET OPERATOR [ADD [CALL...]]]
// The installer's test puts it beside the installed velmora.exe, so it runs with the installed
// Qt, libraries and reader. Started in the installation's folder, it opens the pages there,
// shows each club's whole roster (the four databases, read by the reader), finds the roster
// spreadsheet's members in the grid, checks a station in from QUICK CALL with the keyboard and
// saves the list to SAVED_FILE with the page's SAVE. Each fault is printed as a line starting
// with "FAIL"; the exit status is 0 when there was none. It needs no test library, which the
// installation does not hold.
// With "share" it first shares the net NET on the server CONNINFO as OPERATOR, so its check-ins
// go there; with "join" it joins that net instead of checking those stations in, waits until
// each CALL is on its list, and checks in ADD ("-": nothing) from QUICK CALL. Either waits until
// the server has every change, so that instances on other systems can be shown to see them.
#include "ChildChecks.h"
#include "PageProbes.h"
#include "RunEnd.h"
#include "app/Application.h"
#include "app/Pages.h"
#include "checkin/CheckInLine.h"
#include "controls/Dialogs.h"
#include "sharednet/SharedNetSession.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {
using namespace childcheck;

// Lets the page and the reader's answers come in.
void settle(int ms = 100)
{
    for (int waited = 0; waited < ms; waited += 10) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

// A press and release of the left button at the control's centre.
void click(QWidget* page, const char* name)
{
    QWidget* w = find(page, name);
    if (!w)
        return;
    const QPointF at = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    settle();
}

void key(QWidget* w, int code, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

QStringList lines(QAbstractItemView* list)
{
    QStringList out;
    for (int row = 0; list && row < list->model()->rowCount(); ++row)
        out << list->model()->index(row, 0).data().toString();
    return out;
}

// The check-in list's lines as SAVE writes them: a shared net's line is shown with the
// operator who logged it after it.
QStringList checkInLines()
{
    return netPage().checkInList().lines();
}
} // namespace

int main(int argc, char** argv)
{
    VelmoraApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmora-demo-check INSTALL_DIR SAVED_FILE\n");
        return 2;
    }
    const QString saved = QString::fromLocal8Bit(argv[2]);
    Dialogs::Hook hook;
    hook.shown = [](Dialogs::Kind, const QString&, const QString& text) { fail("message: " + text); };
    hook.question = [](const QString&) { return Dialogs::SaveChoice::Discard; };
    hook.choose = [](const QString&, const QStringList& buttons) { return int(buttons.size()) - 1; };
    hook.saveFileName = [&saved](const QString&, const QString&) { return saved; };
    Dialogs::setHook(&hook);
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    try {
        CreatePages(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        fail(QStringLiteral("the pages were not made: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    QWidget* main = page("frmMainA");
    QWidget* net = page("frmNET");
    if (!main || !net)
        return 1;
    click(main, "VRstart");
    click(main, "VR4");

    // Each club's whole roster, from its database.
    const char* const clubs[][2] = { { "panARC", "lstboxROSTER" }, { "panRV", "lstboxROSTER2" },
        { "panReg", "lstboxROSTER3" }, { "panWBCII", "lstboxROSTER4" } };
    QString firstCall;
    QStringList counts;
    for (const auto& [club, listName] : clubs) {
        click(net, club);
        click(net, "panENTIRE");
        settle(500);
        const QStringList roster = lines(qobject_cast<QAbstractItemView*>(find(net, listName)));
        if (roster.isEmpty())
            fail(QStringLiteral("%1 shows no stations").arg(QString::fromLatin1(club)));
        else if (firstCall.isEmpty())
            firstCall = roster.first().section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        counts << QString::number(roster.size());
    }
    // The roster spreadsheet below the folder the program was started in.
    const int members = netPage().gridRowCount() - 1; // its first row holds the column titles
    if (members <= 0)
        fail(QStringLiteral("the roster spreadsheet's members are not in the grid"));

    auto* quick = qobject_cast<QLineEdit*>(find(net, "editQUICK"));
    auto* checkIns = qobject_cast<QAbstractItemView*>(find(net, "lstboxCheckIN"));
    if (!quick || !checkIns || firstCall.isEmpty())
        return 1;
    const auto type = [quick](const QString& text) {
        for (const QChar c : text)
            key(quick, c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown), QString(c));
        settle();
        key(quick, Qt::Key_Return);
        settle(300);
    };
    // Waits up to 30 s for the condition, letting the page and the shared net's answers in.
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int waited = 0; waited < 30000 && !done(); waited += 100)
            settle(100);
        return done();
    };
    const QString mode = argc > 3 ? QString::fromLatin1(argv[3]) : QString();
    const bool shared = mode == QLatin1String("share") || mode == QLatin1String("join");
    if (!mode.isEmpty() && (!shared || argc < 7)) {
        std::fprintf(stderr,
            "usage: velmora-demo-check INSTALL_DIR SAVED_FILE [share|join CONNINFO NET OPERATOR "
            "[ADD [CALL...]]]\n");
        return 2;
    }
    SharedNetSession& session = netPage().sharedNet();
    if (shared) {
        const QString conninfo = QString::fromLocal8Bit(argv[4]);
        const QString netName = QString::fromLocal8Bit(argv[5]);
        const QString op = QString::fromLocal8Bit(argv[6]);
        const bool done = mode == QLatin1String("share") ? frmNET->shareNet(conninfo, netName, op)
                                                         : frmNET->joinNet(conninfo, netName, op);
        if (!done) {
            fail(QStringLiteral("%1 %2: %3").arg(mode.toUpper(), netName, session.message()));
            return 1;
        }
    }
    quick->setFocus();
    if (mode == QLatin1String("join")) {
        QStringList calls;
        for (int i = 8; i < argc; ++i)
            calls << QString::fromLocal8Bit(argv[i]);
        const auto allShown = [&] {
            const QString shown = checkInLines().join(QLatin1Char('|'));
            return std::all_of(
                calls.begin(), calls.end(), [&](const QString& c) { return shown.contains(c); });
        };
        if (!waitFor(allShown))
            fail(QStringLiteral("the joined net does not show %1: %2")
                     .arg(calls.join(QLatin1Char(' ')), checkInLines().join(QLatin1Char('|'))));
        const QString add = argc > 7 ? QString::fromLocal8Bit(argv[7]) : QStringLiteral("-");
        if (add != QLatin1String("-")) {
            type(add);
            if (!checkInLines().last().contains(add.section(QLatin1Char(','), 0, 0).trimmed()))
                fail(QStringLiteral("QUICK CALL \"%1\" did not check it in on the joined net").arg(add));
        }
    } else {
        // A station of the first roster checked in from QUICK CALL, with the keyboard.
        const int before = checkIns->model()->rowCount();
        type(firstCall);
        // A station on no list, in the comma form, with letters beyond ASCII.
        const QString visitor = QString::fromUtf8("N0JOS, Jos\u00e9, Espa\u00f1ola, NM");
        type(visitor);
        const QStringList list = checkInLines();
        if (list.size() != before + 2 || !list[before].contains(firstCall))
            fail(QStringLiteral("QUICK CALL %1 and Enter did not check it in").arg(firstCall));
        if (!list.last().endsWith(QString::fromUtf8("N0JOS  JOS\u00c9  Espa\u00f1ola  NM")))
            fail(QStringLiteral("QUICK CALL \"%1\" did not check the visitor in: %2")
                     .arg(visitor, list.join('|')));
    }
    if (shared && !waitFor([&] { return session.isOnline() && session.waitingChanges() == 0; }))
        fail(QStringLiteral("the server did not take every change: %1").arg(session.label()));
    const QStringList list = checkInLines();

    // SAVE: the list as it is shown, each line ended by CR LF, in the system's encoding.
    click(net, "panSAVE");
    QFile file(saved);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("SAVE wrote no %1").arg(QDir::toNativeSeparators(saved)));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    if (bytes != checkInFileContents(list))
        fail(QStringLiteral("the saved file does not hold the list's lines in the system's encoding"));
    if (!bytes.endsWith("\r\n") || bytes.count("\r\n") != bytes.count('\n')
        || bytes.count("\r\n") != list.size())
        fail(QStringLiteral("the saved file's lines do not each end with CR LF"));
#ifdef _WIN32
    // Windows-1252, the code page of a US Windows: one byte for each of the visitor's letters.
    std::printf("code page %u\n", unsigned(GetACP()));
    if (GetACP() == 1252 && !bytes.contains("N0JOS  JOS\xc9  Espa\xf1ola  NM\r\n"))
        fail(QStringLiteral("the saved file is not in Windows-1252"));
#endif

    std::printf("rosters %s stations, %d spreadsheet members, %lld bytes saved with CR LF\n",
        qPrintable(counts.join(QLatin1Char('/'))), members, qint64(bytes.size()));
    std::printf(
        "%s%s\n", shared ? "shared net: " : "checked in: ", qPrintable(list.join(QStringLiteral(" | "))));
    DestroyPages();
    // As the test programs end: under Wine, unloading the runtime after child processes' pipe
    // threads can hang a program whose work is done.
    endTestRun(failures == 0 ? 0 : 1);
}
