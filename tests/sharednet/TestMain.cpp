// Entry of the shared net tests: one application object for the whole run, headless.
#include <QApplication>
#include <gtest/gtest.h>

#include "RunEnd.h"
#include "TestScreen.h"

#include <QTemporaryDir>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        const QTemporaryDir screen(newScreenFolderTemplate());
        useDesignSizedScreen(screen);
        useStandInFonts();
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    endTestRun(status);
}
