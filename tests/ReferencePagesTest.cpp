// The reference pages: the informational page, the RV net frequencies page, the map page
// and the preamble page, reached from the main page and closed back to it.
#include "TestSupport.h"

#include "app/Pages.h"
#include "controls/DemoButton.h"
#include "controls/FacePanel.h"
#include "controls/ImageBox.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmMainA.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRegularExpression>
#ifdef VELMORA_PICTURES_AS_PNG
#include <QPixmap>
#else
#include <QSvgRenderer>
#endif
#include <gtest/gtest.h>

// The pictures are compiled into the static library; a program registers them once.
static void registerPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace {

class ReferencePages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerPictures(); }

    // These pages open no database, so they are made here one by one, as start-up makes
    // them, without the net calling page.
    void SetUp() override
    {
        frmMainA = new TfrmMainA();
        frmMainA->setObjectName(QStringLiteral("frmMainA"));
        frmINFO = new TfrmINFO();
        frmINFO->setObjectName(QStringLiteral("frmINFO"));
        frmRVnets = new TfrmRVnets();
        frmRVnets->setObjectName(QStringLiteral("frmRVnets"));
        frmMAPS = new TfrmMAPS();
        frmMAPS->setObjectName(QStringLiteral("frmMAPS"));
        frmPreAmp = new TfrmPreAmp();
        frmPreAmp->setObjectName(QStringLiteral("frmPreAmp"));
        // Wired as start-up wires them: each page leads back to the main page.
        for (Page* page : std::initializer_list<Page*> { frmINFO, frmRVnets, frmMAPS, frmPreAmp })
            page->setPageBehind(frmMainA);
        QObject::connect(frmMainA, &TfrmMainA::infoWanted, [] { navigate(frmMainA, frmINFO); });
        QObject::connect(frmMainA, &TfrmMainA::rvNetsWanted, [] { navigate(frmMainA, frmRVnets); });
        QObject::connect(frmMainA, &TfrmMainA::mapsWanted, [] { navigate(frmMainA, frmMAPS); });
        QObject::connect(frmMainA, &TfrmMainA::preambleWanted, [] { navigate(frmMainA, frmPreAmp); });
        frmMainA->show();
    }

    void TearDown() override
    {
        delete frmPreAmp;
        delete frmMAPS;
        delete frmRVnets;
        delete frmINFO;
        delete frmMainA;
        frmPreAmp = nullptr;
        frmMAPS = nullptr;
        frmRVnets = nullptr;
        frmINFO = nullptr;
        frmMainA = nullptr;
    }

    // Opens a page through its menu button on the main page (START first when needed).
    void open(const char* menuButton)
    {
        auto* button = child(frmMainA, menuButton);
        if (button && !button->isVisible())
            click(child(frmMainA, "VRstart"));
        click(button);
    }

    // Colour of each named button, and whether each named panel shows.
    static QList<TColor> colours(QWidget* page, std::initializer_list<const char*> buttons)
    {
        QList<TColor> out;
        for (const char* name : buttons)
            out << child<DemoButton>(page, name)->color();
        return out;
    }
    static QList<bool> showing(QWidget* page, std::initializer_list<const char*> panels)
    {
        QList<bool> out;
        for (const char* name : panels)
            out << child(page, name)->isVisibleTo(page);
        return out;
    }

    RecordingDialogs dialogs;
};

constexpr TColor G = clGray;
constexpr TColor L = clGreen; // lit

#define INFO_BUTTONS                                                                                         \
    {                                                                                                        \
        "VR1", "VR2", "VR3", "VR4"                                                                           \
    }
#define INFO_PANELS                                                                                          \
    {                                                                                                        \
        "panS1", "panS2", "panS3", "panS4"                                                                   \
    }
#define NET_BUTTONS                                                                                          \
    {                                                                                                        \
        "VR1", "VR2", "VR3", "VR4", "VR5", "VR6", "VR7", "VR8"                                               \
    }
#define NET_PANELS                                                                                           \
    {                                                                                                        \
        "pan1", "pan2", "pan3", "pan4", "pan5", "pan7"                                                       \
    }

TEST_F(ReferencePages, InformationalPageOpensWithFourGreyButtonsAndNoPicture)
{
    open("VR1");
    ASSERT_TRUE(frmINFO->isVisible());
    EXPECT_FALSE(frmMainA->isVisible());
    EXPECT_EQ(frmINFO->windowTitle(), "INFORMATIONAL PAGE");
    // Laid out for 1305 by 750, it opens in the main window's place and size.
    EXPECT_EQ(frmINFO->designSize(), QSize(1305, 750));
    EXPECT_EQ(frmINFO->geometry(), frmMainA->geometry());
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { G, G, G, G }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, false, false, false }));
    const char* captions[] = { "PAGE 1", "PAGE 2", "PAGE 3", "PAGE 4" };
    for (int i = 0; i < 4; ++i) {
        auto* b = child<DemoButton>(frmINFO, QByteArray("VR" + QByteArray::number(i + 1)).constData());
        EXPECT_EQ(b->text(), captions[i]);
        EXPECT_EQ(b->fontColor(), clWhite);
        EXPECT_EQ(b->hoverColor(), clBlue);
    }
    EXPECT_EQ(child<QLabel>(frmINFO, "Label2")->text(),
        "Main page buttons                         Calling the net                       "
        "Save,Print,Previous                 Update Databases");
}

TEST_F(ReferencePages, InformationalPageShowsAtMostOnePictureAndASecondClickClosesIt)
{
    open("VR1");
    click(child(frmINFO, "VR2"));
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { G, L, G, G }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, true, false, false }));

    // Switching: page 2 goes away, page 3 shows.
    click(child(frmINFO, "VR3"));
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { G, G, L, G }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, false, true, false }));
    EXPECT_TRUE(child(frmINFO, "panS3")->isVisible());

    // A second click on the lit button closes its picture and leaves everything grey.
    click(child(frmINFO, "VR3"));
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { G, G, G, G }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, false, false, false }));

    // Every button shows its own panel, from any state.
    click(child(frmINFO, "VR4"));
    click(child(frmINFO, "VR1"));
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { L, G, G, G }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { true, false, false, false }));
}

TEST_F(ReferencePages, InformationalPageKeepsItsPictureBetweenVisits)
{
    open("VR1");
    click(child(frmINFO, "VR4"));
    // Out through the icon, back through HELP.
    click(child(frmINFO, "Image1"));
    EXPECT_FALSE(frmINFO->isVisible());
    EXPECT_TRUE(frmMainA->isVisible());
    open("VR1");
    EXPECT_EQ(colours(frmINFO, INFO_BUTTONS), (QList<TColor> { G, G, G, L }));
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, false, false, true }));

    // The grey panel around the icon closes this page too.
    auto* quit = child(frmINFO, "panQUIT");
    QTest::mouseClick(quit, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_FALSE(frmINFO->isVisible());
    EXPECT_TRUE(frmMainA->isVisible());
    open("VR1");
    EXPECT_EQ(showing(frmINFO, INFO_PANELS), (QList<bool> { false, false, false, true }));
}

TEST_F(ReferencePages, FrequenciesPageTogglesItsSixPictures)
{
    open("VrDemoButton1");
    ASSERT_TRUE(frmRVnets->isVisible());
    EXPECT_EQ(frmRVnets->windowTitle(), "RV NET FREQUENCIES");
    EXPECT_EQ(frmRVnets->geometry(), frmMainA->geometry()); // the window stays where it was
    EXPECT_EQ(colours(frmRVnets, NET_BUTTONS), (QList<TColor> { G, G, G, G, G, G, G, G }));
    EXPECT_EQ(showing(frmRVnets, NET_PANELS), (QList<bool> { false, false, false, false, false, false }));
    const char* captions[] = { "GENERAL FREQS", "VESKAR", "RV RADIO NETWORK", "SHR - GOOD SAMS", "FMCA  ARC",
        "FLEETWOOD ", "WIT RADIO", "" };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(
            child<DemoButton>(frmRVnets, QByteArray("VR" + QByteArray::number(i + 1)).constData())->text(),
            captions[i]);

    // Each picture button in turn: only its own panel shows, only it is green.
    const std::pair<const char*, int> buttons[]
        = { { "VR1", 0 }, { "VR2", 1 }, { "VR3", 2 }, { "VR4", 3 }, { "VR5", 4 }, { "VR7", 5 } };
    for (const auto& [button, panel] : buttons) {
        click(child(frmRVnets, button));
        QList<bool> expected(6, false);
        expected[panel] = true;
        EXPECT_EQ(showing(frmRVnets, NET_PANELS), expected) << button;
        EXPECT_EQ(child<DemoButton>(frmRVnets, button)->color(), clGreen) << button;
        int green = 0;
        for (TColor c : colours(frmRVnets, NET_BUTTONS))
            green += c == clGreen;
        EXPECT_EQ(green, 1) << button;
    }
    click(child(frmRVnets, "VR7"));
    EXPECT_EQ(colours(frmRVnets, NET_BUTTONS), (QList<TColor> { G, G, G, G, G, G, G, G }));
    EXPECT_EQ(showing(frmRVnets, NET_PANELS), (QList<bool> { false, false, false, false, false, false }));
}

TEST_F(ReferencePages, FleetwoodAndTheEighthButtonDoNothing)
{
    open("VrDemoButton1");
    for (const char* dead : { "VR6", "VR8" }) {
        // With no picture showing ...
        click(child(frmRVnets, dead));
        EXPECT_EQ(colours(frmRVnets, NET_BUTTONS), (QList<TColor> { G, G, G, G, G, G, G, G })) << dead;
        EXPECT_EQ(showing(frmRVnets, NET_PANELS), (QList<bool> { false, false, false, false, false, false }))
            << dead;
        // ... and with one showing, which stays.
        click(child(frmRVnets, "VR3"));
        click(child(frmRVnets, dead));
        EXPECT_EQ(colours(frmRVnets, NET_BUTTONS), (QList<TColor> { G, G, L, G, G, G, G, G })) << dead;
        EXPECT_EQ(showing(frmRVnets, NET_PANELS), (QList<bool> { false, false, true, false, false, false }))
            << dead;
        click(child(frmRVnets, "VR3"));
    }
}

TEST_F(ReferencePages, FrequenciesPageKeepsItsPictureBetweenVisits)
{
    open("VrDemoButton1");
    click(child(frmRVnets, "VR5"));
    click(child(frmRVnets, "Image1"));
    EXPECT_FALSE(frmRVnets->isVisible());
    EXPECT_TRUE(frmMainA->isVisible());
    open("VrDemoButton1");
    EXPECT_TRUE(frmRVnets->isVisible());
    EXPECT_EQ(colours(frmRVnets, NET_BUTTONS), (QList<TColor> { G, G, G, G, L, G, G, G }));
    EXPECT_EQ(showing(frmRVnets, NET_PANELS), (QList<bool> { false, false, false, false, true, false }));
    EXPECT_TRUE(child(frmRVnets, "pan5")->isVisible());
}

TEST_F(ReferencePages, EveryPicturePanelHoldsItsPicture)
{
    for (const char* panel : INFO_PANELS) {
        const QList<ImageBox*> images = child(frmINFO, panel)->findChildren<ImageBox*>();
        ASSERT_EQ(images.size(), 1) << panel;
        EXPECT_TRUE(images[0]->hasPicture()) << panel << " " << images[0]->picture().toStdString();
    }
    for (const char* panel : NET_PANELS) {
        const QList<ImageBox*> images = child(frmRVnets, panel)->findChildren<ImageBox*>();
        ASSERT_EQ(images.size(), 1) << panel;
        EXPECT_TRUE(images[0]->hasPicture()) << panel << " " << images[0]->picture().toStdString();
    }
    for (QWidget* page : std::initializer_list<QWidget*> { frmMainA, frmINFO, frmRVnets, frmMAPS, frmPreAmp })
        EXPECT_TRUE(child<ImageBox>(page, "Image1")->hasPicture()) << page->objectName().toStdString();
    EXPECT_TRUE(child<ImageBox>(frmPreAmp, "Image2")->hasPicture());
    EXPECT_TRUE(child<ImageBox>(frmMainA, "Image2")->hasPicture());
    EXPECT_TRUE(child<ImageBox>(frmMainA, "Image3")->hasPicture());
    // The map page shows the time zone map at its own proportions, always.
    auto* map = child<ImageBox>(frmMAPS, "Image2");
    EXPECT_EQ(map->picture(), ":/pictures/timezones.svg");
    EXPECT_TRUE(map->keepAspect());
}

// The pictures are sources a club edits by hand: each must still be a picture, and every
// screenshot it draws must be compiled in beside it.
TEST_F(ReferencePages, EveryPictureIsAValidDrawingWithItsScreenshots)
{
    int pictures = 0;
    QDirIterator it(
        QStringLiteral(":/pictures"), { QStringLiteral("*.svg") }, QDir::Files, QDirIterator::Subdirectories);
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    while (it.hasNext()) {
        const QString file = it.next();
        ++pictures;
#ifdef VELMORA_PICTURES_AS_PNG
        EXPECT_FALSE(QPixmap(file + ".png").isNull()) << file.toStdString();
#else
        EXPECT_TRUE(QSvgRenderer(file).isValid()) << file.toStdString();
#endif
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(f.readAll());
        for (auto m = href.globalMatch(svg); m.hasNext();) {
            const QString target = QFileInfo(file).dir().filePath(m.next().captured(1));
            EXPECT_TRUE(QFile::exists(target)) << file.toStdString() << " draws " << target.toStdString();
        }
    }
    // The quit icon, the start panel, the phonetics of the net page, the preamble banner,
    // four informational pictures and six net pictures at least.
    EXPECT_GE(pictures, 15);
#ifdef VELMORA_PICTURES_AS_PNG
    EXPECT_EQ(QPixmap(QStringLiteral(":/pictures/phonetics.svg.png")).size(), QSize(804, 1632));
#else
    EXPECT_TRUE(QSvgRenderer(QStringLiteral(":/pictures/phonetics.svg")).isValid());
#endif
}

TEST_F(ReferencePages, PreambleMemoHoldsTheScriptAndKeepsEditsBetweenVisits)
{
    open("VR3");
    ASSERT_TRUE(frmPreAmp->isVisible());
    EXPECT_TRUE(frmPreAmp->windowTitle().isEmpty());
    EXPECT_EQ(frmPreAmp->designSize(), QSize(1305, 891));
    EXPECT_EQ(frmPreAmp->geometry(), frmMainA->geometry());
    auto* memo = child<QPlainTextEdit>(frmPreAmp, "Memo1");
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    const QString script = memo->toPlainText();
    const QStringList lines = script.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Memo1");
    EXPECT_EQ(lines[1], "Revised May 2024");
    // The five call-ups, in the order they are read out.
    qsizetype at = 0;
    for (const char* callUp : { "1-R ", "2-T ", "3-M/S ", "4-EB ", "5-G " }) {
        const qsizetype next = script.indexOf(QLatin1String("\n") + QLatin1String(callUp), at);
        EXPECT_GT(next, at) << callUp;
        at = std::max(at, next);
    }
    for (const char* blank : { "{YourCall, again phoneticaly}", "{YourName, again phoneticaly}",
             "{YourLocation}", "{YourWeather}", "{RequestRelayStations}" })
        EXPECT_TRUE(script.contains(QLatin1String(blank))) << blank;

    // The operator's own changes are there when the page is opened again.
    memo->appendPlainText(QStringLiteral("Tonight: K5ABC relays for the west."));
    click(child(frmPreAmp, "Image1"));
    EXPECT_FALSE(frmPreAmp->isVisible());
    open("VR3");
    EXPECT_TRUE(memo->toPlainText().endsWith(QLatin1String("Tonight: K5ABC relays for the west.")));
    EXPECT_TRUE(memo->toPlainText().startsWith(QLatin1String("Memo1\nRevised May 2024\n")));
}

TEST_F(ReferencePages, PreambleClosesOnlyThroughItsIcon)
{
    open("VR3");
    auto* quit = child(frmPreAmp, "panQUIT");
    auto* icon = child(frmPreAmp, "Image1");
    ASSERT_FALSE(icon->geometry().contains(QPoint(2, 2)));
    // Each corner of the grey frame around the icon.
    for (const QPoint at : { QPoint(2, 2), QPoint(quit->width() - 3, 2), QPoint(2, quit->height() - 3),
             QPoint(quit->width() - 3, quit->height() - 3) }) {
        QTest::mouseClick(quit, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_TRUE(frmPreAmp->isVisible());
        EXPECT_FALSE(frmMainA->isVisible());
    }
    click(icon);
    EXPECT_FALSE(frmPreAmp->isVisible());
    EXPECT_TRUE(frmMainA->isVisible());
}

TEST_F(ReferencePages, MapPageShowsItsMapAndCloses)
{
    open("VR6");
    ASSERT_TRUE(frmMAPS->isVisible());
    EXPECT_EQ(frmMAPS->windowTitle(), "MAP PAGE");
    EXPECT_TRUE(child(frmMAPS, "Image2")->isVisible());
    QTest::mouseClick(child(frmMAPS, "panQUIT"), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_FALSE(frmMAPS->isVisible());
    EXPECT_TRUE(frmMainA->isVisible());
}

// Closing a page from its window frame would otherwise leave no window at all while the
// program runs on: it goes back to the main page. At the end of the program, hidden pages
// close without a fuss.
TEST_F(ReferencePages, ClosingFromTheWindowFrameReturnsToTheMainPage)
{
    const std::pair<const char*, QWidget*> pages[]
        = { { "VR1", frmINFO }, { "VrDemoButton1", frmRVnets }, { "VR6", frmMAPS }, { "VR3", frmPreAmp } };
    for (const auto& [button, page] : pages) {
        open(button);
        ASSERT_TRUE(page->isVisible()) << button;
        EXPECT_FALSE(page->close()) << button;
        EXPECT_FALSE(page->isVisible()) << button;
        EXPECT_TRUE(frmMainA->isVisible()) << button;
        EXPECT_TRUE(page->close()) << button;
    }
}

} // namespace
