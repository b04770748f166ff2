// A page scaled as one picture: controls, fonts and style sheets follow the window, what the
// program changes while the page is scaled is scaled too, and the design size gives back the
// design exactly.
#include "controls/PageScaler.h"
#include "TestSupport.h"
#include "controls/FacePanel.h"
#include "controls/Page.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A small page laid out by hand, as the forms are: a panel holding a label and a list.
struct SmallPage : Page {
    SmallPage()
    {
        resize(1600, 800);
        panel = new FacePanel(this);
        panel->setGeometry(200, 100, 800, 400);
        label = new QLabel(QStringLiteral("NET CONTROL :"), panel);
        label->setGeometry(20, 20, 400, 48);
        label->setStyleSheet(QStringLiteral("color: white; font: bold 10pt \"Arial\";"));
        list = new QListWidget(panel);
        list->setGeometry(20, 80, 760, 300);
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(12);
        list->setFont(f);
    }
    FacePanel* panel;
    QLabel* label;
    QListWidget* list;
};

QRect inPage(QWidget* page, QWidget* w)
{
    return QRect(w->mapTo(page, QPoint(0, 0)), w->size());
}
} // namespace

TEST(PageScaler, ThePageFollowsItsWindowAndReturnsToItsDesign)
{
    SmallPage page;
    page.show();
    const QRect labelDesign = inPage(&page, page.label);
    const QRect listDesign = inPage(&page, page.list);

    // Half the size: everything at half, centred in the wider window.
    page.resize(1000, 400);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(page.designScale(), 0.5);
    EXPECT_EQ(page.panel->geometry(), QRect(100 + 100, 50, 400, 200)); // (1000 - 800) / 2 to the left
    EXPECT_EQ(inPage(&page, page.label), QRect(200 + 10, 50 + 10, 200, 24));
    EXPECT_EQ(page.label->styleSheet(), QStringLiteral("color: white; font: bold 5.00pt \"Arial\";"));
    EXPECT_DOUBLE_EQ(page.list->font().pointSizeF(), 6.0);
    EXPECT_EQ(PageScaler::scaled(page.list, 300), 150);

    // The program gives the label a new style and resizes the list, in the window's pixels.
    page.label->setStyleSheet(QStringLiteral("color: red; font: bold 12pt \"Arial\";"));
    EXPECT_EQ(page.label->styleSheet(), QStringLiteral("color: red; font: bold 6.00pt \"Arial\";"));
    page.list->resize(page.list->width(), 50);

    // Twice the design: the new style and the list's new height are scaled from there.
    page.resize(3200, 1600);
    QCoreApplication::processEvents();
    fprintf(stderr, "page %dx%d scale %f list %d,%d %dx%d panel %d,%d\n", page.width(), page.height(),
        page.designScale(), page.list->x(), page.list->y(), page.list->width(), page.list->height(),
        page.panel->x(), page.panel->y());
    EXPECT_DOUBLE_EQ(page.designScale(), 2.0);
    EXPECT_EQ(page.label->styleSheet(), QStringLiteral("color: red; font: bold 24.00pt \"Arial\";"));
    EXPECT_EQ(page.list->height(), 200); // 50 pixels at half size are 100 of the design
    EXPECT_EQ(page.list->width(), 1520);
    EXPECT_DOUBLE_EQ(page.list->font().pointSizeF(), 24.0);

    // Back at the design size: the design, as the program last set it.
    page.resize(1600, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(page.designScale(), 1.0);
    EXPECT_EQ(inPage(&page, page.label), labelDesign);
    EXPECT_EQ(inPage(&page, page.list), QRect(listDesign.topLeft(), QSize(listDesign.width(), 100)));
    EXPECT_EQ(page.label->styleSheet(), QStringLiteral("color: red; font: bold 12pt \"Arial\";"));
    EXPECT_EQ(page.list->font().pointSize(), 12);
    EXPECT_EQ(page.designSize(), QSize(1600, 800));
}

TEST(PageScaler, ClicksLandOnTheScaledControls)
{
    SmallPage page;
    page.show();
    int clicks = 0;
    QObject::connect(page.panel, &FacePanel::clicked, [&clicks] { ++clicks; });
    page.resize(2400, 1200);
    QCoreApplication::processEvents();
    // A point of the panel's design beside its list, (990, 300), is scaled by 1.5: a click
    // there reaches the panel.
    const QPoint point(1485, 450);
    QWidget* hit = page.childAt(point);
    ASSERT_EQ(hit, page.panel);
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, hit->mapFrom(&page, point));
    // And a point of the list's design, (600, 300), reaches the list.
    EXPECT_TRUE(page.list->isAncestorOf(page.childAt(QPoint(900, 450))));
    EXPECT_EQ(clicks, 1);
}
