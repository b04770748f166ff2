// Entry of the shared net tests: one application object for the whole run, headless.
#include <QApplication>
#include <gtest/gtest.h>

#include "TestScreen.h"

#include <QTemporaryDir>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QTemporaryDir screen(newScreenFolderTemplate());
    useDesignSizedScreen(screen);
    useStandInFonts();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
