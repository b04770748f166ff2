// The program's window on one screen, run by the tests with Qt's offscreen platform given
// that screen: velmora-screen-child INSTALL_DIR. It opens the pages as the operator does,
// with mouse clicks on the controls, and on each page checks that every visible button,
// edit, list and caption lies inside the window and on the screen, is the control found
// at its centre and shows its whole text. It then checks a station in from QUICK CALL and
// picks one with a click on a roster line. Each fault is printed as a line starting with
// "FAIL"; the exit status is 0 when there was none.
#include "ChildChecks.h"
#include "TestScreen.h"
#include "app/Application.h"
#include "app/Pages.h"
#include "controls/DemoButton.h"
#include "controls/Dialogs.h"
#include "controls/FacePanel.h"
#include "controls/Page.h"
#include "pages/TfrmMainA.h"
#include "sharednet/SharedNetText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDate>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cstdio>

namespace {
using namespace childcheck;
int checks = 0;

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
}

// A click at the centre of a control, as the mouse gives it.
void click(QWidget* page, const char* name)
{
    if (QWidget* w = find(page, name)) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
        settle();
    }
}

QString where(QWidget* page, QWidget* w)
{
    return QStringLiteral("%1/%2").arg(page->objectName(),
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
}

// The width and height a caption needs, drawn in font within width (wrapping when asked).
QSize needed(const QFont& font, const QString& text, int width, bool wrap)
{
    const QFontMetrics fm(font);
    if (!wrap)
        return QSize(fm.horizontalAdvance(text), fm.height());
    return fm.boundingRect(QRect(0, 0, std::max(1, width), 100000), Qt::TextWordWrap, text).size();
}

QFont captionFont(int pointSize, bool bold, qreal scale)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(pointSize * scale);
    f.setBold(bold);
    return f;
}

void checkText(QWidget* page, QWidget* w)
{
    const qreal scale = static_cast<Page*>(page)->designScale();
    QString text;
    QFont font = w->font();
    QRect room = w->contentsRect();
    bool wrap = false;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (!label->pixmap().isNull() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return;
        text = label->text();
        wrap = label->wordWrap();
        const int inset = label->margin() + std::max(0, label->indent());
        room.adjust(inset, label->margin(), -inset, -label->margin());
    } else if (auto* button = qobject_cast<DemoButton*>(w)) {
        text = button->text();
        font = captionFont(button->captionSize(), true, scale);
    } else if (auto* panel = qobject_cast<FacePanel*>(w)) {
        text = panel->caption();
        font = captionFont(panel->captionSize(), panel->bold(), scale);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        text = button->text();
        room.adjust(2, 0, -2, 0); // the button's frame
    }
    text.remove(QLatin1Char('&'));
    if (text.trimmed().isEmpty())
        return;
    ++checks;
    const QSize need = needed(font, text, room.width(), wrap);
    if (need.width() > room.width() || need.height() > room.height())
        fail(QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                 .arg(where(page, w), text)
                 .arg(need.width())
                 .arg(need.height())
                 .arg(room.width())
                 .arg(room.height()));
}

bool checked(QWidget* w)
{
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
        || qobject_cast<QAbstractItemView*>(w) || qobject_cast<QPlainTextEdit*>(w)
        || qobject_cast<QTextEdit*>(w) || qobject_cast<QLabel*>(w)
        || (qobject_cast<FacePanel*>(w) && !static_cast<FacePanel*>(w)->caption().isEmpty());
}

QRect windowGeometry;

void checkPage(QWidget* page, QWidget* part = nullptr)
{
    settle();
    if (!page->isVisible()) {
        fail(QStringLiteral("%1 is not shown").arg(page->objectName()));
        return;
    }
    const QRect screen = page->screen()->geometry();
    if (!screen.contains(page->frameGeometry()))
        fail(QStringLiteral("%1: the window %2,%3 %4x%5 leaves the screen")
                 .arg(page->objectName())
                 .arg(page->frameGeometry().x())
                 .arg(page->frameGeometry().y())
                 .arg(page->frameGeometry().width())
                 .arg(page->frameGeometry().height()));
    if (windowGeometry.isNull())
        windowGeometry = page->geometry();
    else if (page->geometry() != windowGeometry)
        fail(
            QStringLiteral("%1: the window moved or changed its size with the page").arg(page->objectName()));
    // A panel opened over the page is checked by itself: what it covers is meant to be covered.
    for (QWidget* w : (part ? part : page)->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || !checked(w))
            continue;
        // The inner parts of a list (its viewport, scroll bars, headers) belong to the list.
        bool inner = false;
        for (QWidget* up = w->parentWidget(); up && up != page; up = up->parentWidget())
            if (qobject_cast<QAbstractItemView*>(up) || qobject_cast<QLineEdit*>(up)
                || qobject_cast<QAbstractButton*>(up))
                inner = true;
        if (inner)
            continue;
        ++checks;
        const QRect inPage(w->mapTo(page, QPoint(0, 0)), w->size());
        if (!page->rect().contains(inPage))
            fail(QStringLiteral("%1 lies outside the window").arg(where(page, w)));
        const QRect onScreen(w->mapToGlobal(QPoint(0, 0)), w->size());
        if (!screen.contains(onScreen))
            fail(QStringLiteral("%1 lies off the screen").arg(where(page, w)));
        if (!w->testAttribute(Qt::WA_TransparentForMouseEvents)) {
            QWidget* hit = page->childAt(inPage.center());
            if (hit != w && !w->isAncestorOf(hit))
                fail(QStringLiteral("%1 is covered by %2")
                         .arg(where(page, w), hit ? where(page, hit) : QStringLiteral("nothing")));
        }
        checkText(page, w);
    }
}

// From the main page to a page and back, with the mouse.
void visit(QWidget* main, const char* button, const char* name)
{
    click(main, button);
    QWidget* p = page(name);
    if (!p)
        return;
    checkPage(p);
    click(p, "Image1");
    if (!main->isVisible())
        fail(QStringLiteral("%1: its quit did not lead back").arg(QString::fromLatin1(name)));
}

QString lineText(QAbstractItemView* list, int row)
{
    return list->model()->index(row, 0).data().toString();
}
} // namespace

// Every page, opened with the mouse from the main page, checked in the window it has.
static void tour(QWidget* main, QWidget* net, bool checkIn);

int main(int argc, char** argv)
{
    useStandInFonts(); // before the application's own fonts are looked up
    VelmoraApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-screen-child INSTALL_DIR\n");
        return 2;
    }
    Dialogs::Hook quiet;
    quiet.shown = [](Dialogs::Kind, const QString&, const QString&) {};
    quiet.question = [](const QString&) { return Dialogs::SaveChoice::Discard; };
    quiet.choose = [](const QString&, const QStringList& buttons) { return int(buttons.size()) - 1; };
    Dialogs::setHook(&quiet);
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    CreatePages(QString::fromLocal8Bit(argv[1]));
    QWidget* main = page("frmMainA");
    QWidget* net = page("frmNET");
    if (!main || !net)
        return 1;
    checkPage(main);
    click(main, "VRstart");
    // The window as it opens, then maximized by the operator.
    tour(main, net, true);
    main->showMaximized();
    settle();
    windowGeometry = QRect();
    tour(main, net, false);

    const QScreen* screen = main->screen();
    std::printf("screen %dx%d at %.2f, window %dx%d, scale %.3f: %d checks, %d faults\n",
        screen->geometry().width(), screen->geometry().height(), screen->devicePixelRatio(), main->width(),
        main->height(), static_cast<Page*>(main)->designScale(), checks, failures);
    DestroyPages();
    return failures == 0 ? 0 : 1;
}

static void tour(QWidget* main, QWidget* net, bool checkIn)
{
    checkPage(main);
    click(main, "VR4");
    checkPage(net);
    // The shared net's state line as it reads while shared, and while the server is away.
    if (auto* state = qobject_cast<QLabel*>(find(net, "lblSHARED"))) {
        for (const QString& text :
            { sharedLabelText(true, defaultNetName(QStringLiteral("RV Radio"), QDate(2026, 12, 10)),
                  QStringLiteral("/srv/velmora-net/run"), 12, 0),
                sharedLabelText(false, QString(), QString(), 0, 1250) }) {
            state->setText(text);
            checkPage(net);
        }
        state->clear();
    }
    // A station checked in from the QUICK CALL box, from the keyboard.
    auto* quick = static_cast<QLineEdit*>(find(net, "editQUICK"));
    auto* checkIns = static_cast<QAbstractItemView*>(find(net, "lstboxCheckIN"));
    if (checkIn && quick && checkIns) {
        const int before = checkIns->model()->rowCount();
        QTest::mouseClick(quick, Qt::LeftButton, Qt::NoModifier, quick->rect().center());
        QTest::keyClicks(quick, QStringLiteral("K5ABC"));
        checkPage(net); // the suggestions shown over the list
        QTest::keyClick(quick, Qt::Key_Return);
        settle();
        const int after = checkIns->model()->rowCount();
        if (after != before + 1 || !lineText(checkIns, after - 1).contains(QLatin1String("K5ABC")))
            fail(QStringLiteral("QUICK CALL K5ABC and Enter did not check K5ABC in"));
        // The note when the call is on no list: the nearest station is named.
        QTest::keyClicks(quick, QStringLiteral("K5ABX"));
        QTest::keyClick(quick, Qt::Key_Return);
        settle();
        auto* note = qobject_cast<QLabel*>(find(net, "lblQUICKNOTE"));
        if (note && !note->text().contains(QLatin1String("Did you mean")))
            fail(QStringLiteral("no \"Did you mean\" note: %1").arg(note->text()));
        checkPage(net);
        QTest::keyClick(quick, Qt::Key_Escape);
    }
    // A click on a roster line picks its station.
    click(net, "panARC");
    click(net, "panENTIRE");
    auto* roster = static_cast<QAbstractItemView*>(find(net, "lstboxROSTER"));
    auto* selected = static_cast<QLineEdit*>(find(net, "editSelCALL"));
    if (roster && selected) {
        int row = -1;
        for (int r = 0; r < roster->model()->rowCount(); ++r)
            if (lineText(roster, r).contains(QLatin1String("W3XYZ")))
                row = r;
        if (row < 0) {
            fail(QStringLiteral("W3XYZ is not on the ARC roster list"));
        } else {
            const QModelIndex line = roster->model()->index(row, 0);
            roster->scrollTo(line);
            QTest::mouseClick(
                roster->viewport(), Qt::LeftButton, Qt::NoModifier, roster->visualRect(line).center());
            settle();
            // How many lines the list shows at this size, for the log.
            std::printf("roster list: %d lines of %d pixels in %d\n",
                roster->viewport()->height() / std::max(1, roster->sizeHintForRow(0)),
                roster->sizeHintForRow(0), roster->viewport()->height());
            if (selected->text() != QLatin1String("W3XYZ"))
                fail(QStringLiteral("a click on the W3XYZ line gave SELECTED CALL \"%1\"")
                         .arg(selected->text()));
        }
        checkPage(net);
    }
    // The grid of the chapter roster, open over the page.
    click(net, "panAR");
    if (QWidget* grid = find(net, "panS7"))
        checkPage(net, grid);
    click(net, "panAR");

    click(net, "VR3");
    if (QWidget* fcc = page("frmFCC2")) {
        checkPage(fcc);
        click(fcc, "VrDemoButton1");
    }
    if (!net->isVisible())
        fail(QStringLiteral("the FCC page's quit did not lead back to the net page"));
    click(net, "Image1");
    if (!main->isVisible())
        fail(QStringLiteral("the net page's quit did not lead back to the main page"));

    visit(main, "VR5", "frmTimeZone");
    visit(main, "VR1", "frmINFO");
    visit(main, "VR3", "frmPreAmp");
    visit(main, "VrDemoButton1", "frmRVnets");
    visit(main, "VR6", "frmMAPS");
}
