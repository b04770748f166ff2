// Every page on the screens operators have, from a 1280 by 720 laptop to a 4K monitor at
// display scaling from 100 % to 200 %: the real program window runs in a child on Qt's
// offscreen platform given each screen, and is driven there with the mouse and the keys.
#include "NetFixture.h"
#include "TestScreen.h"
#include "TestSupport.h"
#include "controls/PageScaler.h"

#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

namespace {
struct Screen {
    int width; // in the logical pixels the program works in
    int height;
    double ratio; // device pixels per logical pixel (the display scaling)
};

// Runs the window on that screen; returns its output.
QString runOnScreen(const QString& install, const Screen& s, int* status)
{
    QTemporaryDir dir(newScreenFolderTemplate());
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("{ \"screens\": [ { \"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": %1, "
                              "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": %3 } ] }")
                   .arg(s.width)
                   .arg(s.height)
                   .arg(s.ratio)
                   .toUtf8());
    file.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), offscreenWithConfig(config));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(binaryDir() + "/bin/velmora-screen-child", { install });
    EXPECT_TRUE(child.waitForFinished(120000));
    *status = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    return QString::fromLocal8Bit(child.readAll());
}
} // namespace

TEST(ScreenSizes, EveryPageFitsAndWorksOnEveryScreen)
{
    QTemporaryDir install;
    ASSERT_TRUE(install.isValid());
    netfixture::writeInstall(install.path());
    const Screen screens[] = {
        { 1280, 720, 1 }, { 1366, 768, 1 }, { 1536, 864, 1 }, { 1920, 1080, 1 }, { 2560, 1440, 1 },
        { 3840, 2160, 1 }, { 1280, 720, 2 }, // a 2560 by 1440 panel at 200 %
        { 1536, 864, 1.25 }, // the commonest laptop: 1920 by 1080 at 125 %
        { 1920, 1080, 2 }, // 4K at 200 %
        { 2560, 1440, 1.5 }, // 4K at 150 %
    };
    for (const Screen& s : screens) {
        int status = -1;
        const QString out = runOnScreen(install.path(), s, &status);
        EXPECT_EQ(status, 0) << s.width << "x" << s.height << " at " << s.ratio << ":\n" << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String("0 faults"))) << out.toStdString();
        // The size each screen gave the window and the roster list's lines, for the log.
        for (const QString& line : out.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("screen ")) || line.startsWith(QLatin1String("roster list")))
                std::printf("%s\n", qPrintable(line));
    }
}

TEST(ScreenSizes, APageIsScaledToTheLargestSizeThatKeepsItsProportions)
{
    const QSize design(1600, 900);
    EXPECT_EQ(PageScaler::fitScale(design, design), 1.0);
    EXPECT_DOUBLE_EQ(PageScaler::fitScale(design, QSize(1366, 768)), 768.0 / 900); // the height decides
    EXPECT_DOUBLE_EQ(PageScaler::fitScale(design, QSize(1280, 1000)), 0.8); // the width decides
    EXPECT_DOUBLE_EQ(PageScaler::fitScale(design, QSize(3840, 1800)), 2.0); // the height decides
    // A window a few pixels larger than the design shows the design's own pixels.
    EXPECT_EQ(PageScaler::fitScale(design, QSize(1612, 912)), 1.0);
    EXPECT_LT(PageScaler::fitScale(design, QSize(1599, 900)), 1.0);

    EXPECT_EQ(PageScaler::scaledStyleSheet(QStringLiteral("color: #ff3030; font: bold 10pt \"Arial\";"), 0.5),
        QStringLiteral("color: #ff3030; font: bold 5.00pt \"Arial\";"));
    // Whole pixels stay whole, and a border never vanishes.
    EXPECT_EQ(
        PageScaler::scaledStyleSheet(QStringLiteral("QLineEdit:focus { border: 3px solid #ff8c00; }"), 0.4),
        QStringLiteral("QLineEdit:focus { border: 1px solid #ff8c00; }"));
    EXPECT_EQ(PageScaler::scaledStyleSheet(QStringLiteral("border: 1px solid; margin: 0px"), 2.5),
        QStringLiteral("border: 3px solid; margin: 0px"));
    // Colours and names with digits are not lengths.
    EXPECT_EQ(PageScaler::scaledStyleSheet(QStringLiteral("color: #123pxa; font: 9pt \"X2pt\""), 2),
        QStringLiteral("color: #123pxa; font: 18.00pt \"X2pt\""));
}

TEST(ScreenSizes, DialogsAreKeptOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // A form larger than the screen, and one opened partly off it.
    QDialog large;
    large.resize(area.width() + 400, area.height() + 300);
    large.show();
    QDialog away;
    away.resize(300, 200);
    away.move(area.right() - 100, area.bottom() - 50);
    away.show();
    QTest::qWait(50);
    for (QDialog* d : { &large, &away })
        EXPECT_TRUE(area.contains(d->frameGeometry()))
            << d->frameGeometry().x() << "," << d->frameGeometry().y() << " " << d->frameGeometry().width()
            << "x" << d->frameGeometry().height();
    EXPECT_EQ(away.size(), QSize(300, 200)); // moved, not shrunk
}
