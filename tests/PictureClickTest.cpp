// A picture inside a clickable panel: one click on the picture runs one action. The clicks
// go through the page's window, as the operator's do, so the window decides which control
// is under the pointer.
#include "PageProbes.h"
#include "TestSupport.h"
#include <QLineEdit>

#include "app/Pages.h"
#include "clocks/TfrmTimeZone.h"
#include "controls/FacePanel.h"
#include "controls/ImageBox.h"
#include "fcc/TfrmFCC2.h"
#include "net/TfrmNET.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmMainA.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"

#include <QSignalSpy>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class PictureClick : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreatePages(binaryDir() + "/demo");
        ASSERT_NE(frmMainA, nullptr);
    }
    void TearDown() override { DestroyPages(); }

    // Where a click on w lands in its window: the centre of the part of w inside the
    // window (the headless screen is smaller than a maximized page's layout).
    static QPoint inWindow(QWidget* w)
    {
        QWidget* page = w->window();
        return QRect(w->mapTo(page, QPoint(0, 0)), w->size()).intersected(page->rect()).center();
    }
    // A left click on w, sent to the window that holds it.
    static void windowClick(QWidget* w)
    {
        ASSERT_NE(w->window()->windowHandle(), nullptr);
        QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow(w));
    }
    static void windowDoubleClick(QWidget* w)
    {
        ASSERT_NE(w->window()->windowHandle(), nullptr);
        QTest::mouseDClick(w->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow(w));
    }

    RecordingDialogs dialogs;
};

TEST_F(PictureClick, QuitIconAsksOnceAboutUnsavedCheckInsAndCancelKeepsThePage)
{
    QWidget* main = static_cast<QWidget*>(frmMainA);
    QWidget* net = static_cast<QWidget*>(frmNET);
    click(child(main, "VRstart"));
    click(child(main, "VR4"));
    ASSERT_TRUE(net->isVisible());
    child<QLineEdit>(net, "editSelCALL")->setText("K5A");
    click(child(net, "btnAdd2")); // a check-in that is not saved
    ASSERT_TRUE(netPage().hasUnsavedCheckIns());

    // Back to the main page through the net page's own quit icon.
    windowClick(child(net, "Image1"));
    EXPECT_FALSE(net->isVisible());
    ASSERT_TRUE(main->isVisible());

    QSignalSpy ended(frmMainA, &TfrmMainA::programEnded);
    dialogs.answers = { Dialogs::SaveChoice::Cancel, Dialogs::SaveChoice::Discard };
    windowClick(child(main, "Image1"));
    EXPECT_EQ(dialogs.questions.size(), 1); // asked once; Cancel does not bring the box back
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(main->isVisible());

    windowClick(child(main, "Image1")); // now Discard
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(PictureClick, EveryPictureInAClickablePanelKeepsItsClickToItself)
{
    const QList<QWidget*> pages = { static_cast<QWidget*>(frmMainA), static_cast<QWidget*>(frmINFO),
        static_cast<QWidget*>(frmTimeZone), static_cast<QWidget*>(frmRVnets), static_cast<QWidget*>(frmMAPS),
        static_cast<QWidget*>(frmNET), static_cast<QWidget*>(frmFCC2), static_cast<QWidget*>(frmPreAmp) };
    int tried = 0;
    for (QWidget* page : pages) {
        for (ImageBox* picture : page->findChildren<ImageBox*>()) {
            auto* panel = qobject_cast<FacePanel*>(picture->parentWidget());
            if (!panel)
                continue;
            const std::string where = (page->objectName() + "." + picture->objectName()).toStdString();
            page->show();
            panel->show();
            QCoreApplication::processEvents(); // a maximized page takes its size
            QSignalSpy pictureClicks(picture, &ImageBox::clicked);
            QSignalSpy panelClicks(panel, &FacePanel::clicked);
            windowDoubleClick(picture); // the second press of a double click starts no click either
            windowClick(picture);
            EXPECT_GE(pictureClicks.count(), 1) << where;
            EXPECT_EQ(panelClicks.count(), 0) << where;
            ++tried;
        }
    }
    // The quit icons of seven pages and the pictures of the picture panels.
    EXPECT_GE(tried, 20);
}

TEST_F(PictureClick, PanelAroundAnIconStillAnswersItsOwnClicks)
{
    QWidget* main = static_cast<QWidget*>(frmMainA);
    auto* panel = child<FacePanel>(main, "panQUIT");
    ASSERT_FALSE(child(main, "Image1")->geometry().contains(QPoint(2, 2)));
    QSignalSpy ended(frmMainA, &TfrmMainA::programEnded);
    QTest::mouseClick(main->windowHandle(), Qt::LeftButton, Qt::NoModifier, panel->mapTo(main, QPoint(2, 2)));
    EXPECT_EQ(ended.count(), 1);
}

} // namespace
